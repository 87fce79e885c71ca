// Movable global-memory blocks that hold script text while it is prepared:
// locked for as long as the holder lives, grown by reallocation.
#pragma once
#include <windows.h>
#include <cstddef>

namespace zel::script {

class TextBlock {
 public:
  TextBlock() = default;
  ~TextBlock() { Free(); }
  TextBlock(const TextBlock&) = delete;
  TextBlock& operator=(const TextBlock&) = delete;

  // Allocates and locks a new movable block of `size` bytes. False when it
  // cannot be allocated, or (with *lockFailed set) allocated but not locked.
  bool Alloc(size_t size, bool* lockFailed = nullptr);

  // Locks a block that stays its owner's (the host's script buffer): it is
  // unlocked, never freed, when this holder lets go. False when it cannot be
  // locked.
  bool Adopt(HGLOBAL h);

  // Makes the block at least `size` bytes long, keeping its contents. A
  // movable block keeps its handle; a fixed one only grows in place. False
  // when it cannot grow (the block is then as it was).
  bool Reserve(size_t size);

  char* data() const { return p_; }
  size_t size() const { return size_; }
  HGLOBAL handle() const { return h_; }

  // Unlocks the block and hands its handle to the caller, who then owns it.
  HGLOBAL Release();

  // Unlocks the block and frees it when it is owned.
  void Free();

  // Takes over `other`'s block, freeing this holder's own.
  void Take(TextBlock* other);

 private:
  HGLOBAL h_ = nullptr;
  char* p_ = nullptr;
  size_t size_ = 0;
  bool owned_ = false;
};

}  // namespace zel::script
