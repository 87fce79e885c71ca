// Movable global-memory blocks for script text (allocation, locking, growth).
#include "script/textblock.h"

namespace zel::script {

bool TextBlock::Alloc(size_t size, bool* lockFailed) {
  Free();
  if (lockFailed) *lockFailed = false;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (!h) return false;
  char* p = static_cast<char*>(GlobalLock(h));
  if (!p) {
    GlobalFree(h);
    if (lockFailed) *lockFailed = true;
    return false;
  }
  h_ = h;
  p_ = p;
  size_ = GlobalSize(h);
  owned_ = true;
  return true;
}

bool TextBlock::Adopt(HGLOBAL h) {
  Free();
  if (!h) return false;
  char* p = static_cast<char*>(GlobalLock(h));
  if (!p) return false;
  h_ = h;
  p_ = p;
  size_ = GlobalSize(h);
  owned_ = false;
  return true;
}

bool TextBlock::Reserve(size_t size) {
  if (!h_) return false;
  if (size <= size_) return true;
  // A fixed block's handle is its address: letting it move would leave its
  // owner with a freed handle, so it may only grow where it is.
  bool movable = p_ != reinterpret_cast<char*>(h_);
  GlobalUnlock(h_);
  HGLOBAL grown = GlobalReAlloc(h_, size, movable ? GMEM_MOVEABLE : 0);
  if (grown) h_ = grown;  // the same handle for a movable block
  p_ = static_cast<char*>(GlobalLock(h_));
  size_ = p_ ? GlobalSize(h_) : 0;
  return grown && p_;
}

HGLOBAL TextBlock::Release() {
  HGLOBAL h = h_;
  if (h_ && p_) GlobalUnlock(h_);
  h_ = nullptr;
  p_ = nullptr;
  size_ = 0;
  owned_ = false;
  return h;
}

void TextBlock::Free() {
  bool owned = owned_;
  HGLOBAL h = Release();
  if (h && owned) GlobalFree(h);
}

void TextBlock::Take(TextBlock* other) {
  Free();
  h_ = other->h_;
  p_ = other->p_;
  size_ = other->size_;
  owned_ = other->owned_;
  other->h_ = nullptr;
  other->p_ = nullptr;
  other->size_ = 0;
  other->owned_ = false;
}

}  // namespace zel::script
