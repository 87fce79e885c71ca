// Unicode conversion and line-end normalisation of script text.
#include "script/textform.h"

#include <cstring>

namespace zel::script {
namespace {

constexpr uint32_t kUtf16MarkLen = 2;
constexpr uint32_t kUtf8MarkLen = 3;

// Writes `units` UTF-16 code units as ANSI text at the start of `block`.
// Returns the ANSI length, 0 when the result would be empty, longer than
// `limit` bytes, or cannot be made.
uint32_t Narrow(ScriptContext* ctx, TextBlock* block, const wchar_t* wide, int units,
                uint32_t limit) {
  if (units <= 0 || block->size() < 2) return 0;
  size_t room = block->size() - 1;  // the terminator's place
  int n = WideCharToMultiByte(ctx->codePage, 0, wide, units, block->data(),
                              room > 0x7fffffff ? 0x7fffffff : static_cast<int>(room), nullptr,
                              nullptr);
  if (n <= 0 || static_cast<uint32_t>(n) > limit) return 0;
  block->data()[n] = 0;
  return static_cast<uint32_t>(n);
}

uint32_t FromUtf16(ScriptContext* ctx, TextBlock* block, uint32_t len) {
  uint32_t bytes = len - kUtf16MarkLen;
  int units = static_cast<int>(bytes / 2);
  if (units == 0) return 0;
  // The ANSI text is written over the UTF-16 text, so the source is copied first.
  TextBlock wide;
  if (!wide.Alloc(static_cast<size_t>(units) * sizeof(wchar_t))) return 0;
  memcpy(wide.data(), block->data() + kUtf16MarkLen, static_cast<size_t>(units) * sizeof(wchar_t));
  return Narrow(ctx, block, reinterpret_cast<const wchar_t*>(wide.data()), units, bytes);
}

uint32_t FromUtf8(ScriptContext* ctx, TextBlock* block, uint32_t len) {
  const char* utf8 = block->data() + kUtf8MarkLen;
  int bytes = static_cast<int>(len - kUtf8MarkLen);
  if (bytes == 0) return 0;
  int units = MultiByteToWideChar(CP_UTF8, 0, utf8, bytes, nullptr, 0);
  if (units <= 0) return 0;
  TextBlock wide;
  if (!wide.Alloc(static_cast<size_t>(units) * sizeof(wchar_t))) return 0;
  wchar_t* w = reinterpret_cast<wchar_t*>(wide.data());
  if (MultiByteToWideChar(CP_UTF8, 0, utf8, bytes, w, units) != units) return 0;
  return Narrow(ctx, block, w, units, static_cast<uint32_t>(bytes));
}

}  // namespace

TextMark MarkOf(const char* text, uint32_t len) {
  const auto* b = reinterpret_cast<const unsigned char*>(text);
  if (len >= kUtf16MarkLen && b[0] == 255 && b[1] == 254) return TextMark::kUtf16;
  if (len >= kUtf8MarkLen && b[0] == 239 && b[1] == 187 && b[2] == 191) return TextMark::kUtf8;
  return TextMark::kNone;
}

bool ConvertToAnsi(ScriptContext* ctx, TextBlock* block, uint32_t* len) {
  uint32_t n;
  switch (MarkOf(block->data(), *len)) {
    case TextMark::kNone: return true;
    case TextMark::kUtf16: n = FromUtf16(ctx, block, *len); break;
    case TextMark::kUtf8: n = FromUtf8(ctx, block, *len); break;
    default: return false;
  }
  if (n == 0) return false;
  *len = n;
  return true;
}

void NormaliseLineEnds(char* text, uint32_t len) {
  for (uint32_t i = 0; i < len; ++i) {
    if (text[i] != '\r') continue;
    text[i] = i + 1 < len && text[i + 1] == '\n' ? ' ' : '\n';
  }
}

}  // namespace zel::script
