// A host for tests: allocates a context, a variable table and a string heap the
// way a real host does (movable zero-filled blocks, a reserved-then-committed
// address range), and drives the library's calling order.
#pragma once
#include <windows.h>
#include <cstdint>
#include <cstring>

#include "host/api.h"
#include "values/varrecord.h"

namespace zel::test {

struct HostBlocks {
  HGLOBAL context = nullptr;
  HGLOBAL table = nullptr;
  uint16_t slots = 0;
  char* heap = nullptr;  // base of the reserved range
  uint32_t committed = 0;
  uint32_t reserved = 0;
  alignas(8) uint8_t descriptor[kZelDescriptorBytes] = {};
};

inline bool MakeBlocks(HostBlocks* h, uint16_t slots, uint32_t commit, uint32_t reserve) {
  h->context = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kZelContextBytes);
  h->table = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(VarRecord) * slots);
  h->slots = slots;
  h->heap = static_cast<char*>(VirtualAlloc(nullptr, reserve, MEM_RESERVE, PAGE_NOACCESS));
  h->reserved = reserve;
  bool ok = h->context && h->table && h->heap &&
            VirtualAlloc(h->heap, commit, MEM_COMMIT, PAGE_READWRITE) != nullptr;
  h->committed = commit;
  return ok;
}

inline void FreeBlocks(HostBlocks* h) {
  if (h->context) GlobalFree(h->context);
  if (h->table) GlobalFree(h->table);
  if (h->heap) VirtualFree(h->heap, 0, MEM_RELEASE);
  *h = HostBlocks{};
}

// Operations 1, 2 and 3 in the host's order; true when each returned success.
inline bool StartContext(ZelDoDaDllInit init, HostBlocks* h, HWND window = nullptr) {
  if (init(nullptr, h->context, 0, kZelOpInitContext,
           reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)), nullptr, nullptr) !=
      static_cast<LONG>(kZelInitDone))
    return false;
  if (init(window, h->context, reinterpret_cast<LONG_PTR>(h->table), kZelOpBindVariables,
           h->slots, nullptr, nullptr) != 1)
    return false;
  return init(nullptr, h->context, reinterpret_cast<LONG_PTR>(h->heap), kZelOpAttachHeap,
              h->committed, nullptr, reinterpret_cast<const char*>(h->descriptor)) == 1;
}

}  // namespace zel::test
