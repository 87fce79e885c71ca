// ANSI <-> UTF-16 conversion into the string heap: the text is measured, then
// converted straight into its heap block.
#include "values/codepage.h"

#include "errors/errinfo.h"
#include "values/heap.h"

namespace zel::cp {
namespace {

// Most characters of one converted text: keeps the block size, terminator
// included, within 32 bits, and every count within an int.
constexpr size_t kMaxChars = 0x3fff0000u;

// `convert(out, room)` is the system conversion of the whole source: with a
// null `out` it returns the characters needed.
template <typename Out, typename Convert>
uint32_t StoreConverted(ScriptContext* ctx, size_t len, Convert convert) {
  if (len >= kMaxChars) {
    err::Raise(ctx, 3096);
    return 0;
  }
  int need = convert(static_cast<Out*>(nullptr), 0);
  if (need <= 0) return 0;  // the code page cannot convert the text
  if (static_cast<size_t>(need) >= kMaxChars) {
    err::Raise(ctx, 3096);
    return 0;
  }
  uint32_t off = heap::Alloc(ctx, static_cast<uint32_t>((need + 1) * sizeof(Out)));
  if (!off) {
    err::Raise(ctx, 3096);
    return 0;
  }
  Out* out = reinterpret_cast<Out*>(heap::At(ctx, off));
  if (convert(out, need) != need) {
    heap::Free(ctx, off);
    return 0;
  }
  out[need] = 0;
  return off;
}

}  // namespace

uint32_t StoreWidened(ScriptContext* ctx, const char* text, size_t len) {
  if (len == 0) return heap::StoreWide(ctx, L"", 0);  // the system refuses an empty source
  UINT page = ctx->codePage;
  int n = static_cast<int>(len < kMaxChars ? len : 0);
  return StoreConverted<wchar_t>(ctx, len, [=](wchar_t* out, int room) {
    return MultiByteToWideChar(page, 0, text, n, out, room);
  });
}

uint32_t StoreNarrowed(ScriptContext* ctx, const wchar_t* text, size_t len) {
  if (len == 0) return heap::StoreText(ctx, "", 0);
  UINT page = ctx->codePage;
  int n = static_cast<int>(len < kMaxChars ? len : 0);
  return StoreConverted<char>(ctx, len, [=](char* out, int room) {
    return WideCharToMultiByte(page, 0, text, n, out, room, nullptr, nullptr);
  });
}

}  // namespace zel::cp
