// Preparing script text to run: the host's buffer in place, or a script file
// loaded into a new block; either ends Unicode-free, line-fed, merged and
// scrambled.
#include <cstring>

#include "script/failure.h"
#include "script/include.h"
#include "script/paths.h"
#include "script/scramble.h"
#include "script/script.h"
#include "script/textform.h"

namespace zel::script {
namespace {

constexpr DWORD kMaxScriptBytes = 0x7ffffffe;  // a script's size and its terminator fit an int

// Length of the text in a host's block of `size` bytes: up to its first NUL
// (the first NUL code unit of UTF-16 text), or the whole block when it has none.
uint32_t HostTextLength(const char* p, size_t size) {
  if (size > kMaxScriptBytes) size = kMaxScriptBytes;
  uint32_t n = static_cast<uint32_t>(size);
  if (MarkOf(p, n) == TextMark::kUtf16) {
    uint32_t i = 2;
    while (i + 1 < n && (p[i] || p[i + 1])) i += 2;
    return i;
  }
  const void* nul = memchr(p, 0, n);
  return nul ? static_cast<uint32_t>(static_cast<const char*>(nul) - p) : n;
}

// Reads the whole open file into a new block with a NUL after it.
bool ReadScript(ScriptContext* ctx, HANDLE file, const char* path, TextBlock* block,
                uint32_t* len) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    ReportNamed(ctx, kMsgReadFailed, path);
    return false;
  }
  bool lockFailed = false;
  if (size.QuadPart >= kMaxScriptBytes ||
      !block->Alloc(static_cast<size_t>(size.QuadPart) + 1, &lockFailed)) {
    ReportNamed(ctx, lockFailed ? kMsgNoLock : kMsgNoMemory, path);
    return false;
  }
  DWORD want = static_cast<DWORD>(size.QuadPart);
  DWORD got = 0;
  if (!ReadFile(file, block->data(), want, &got, nullptr) || got != want) {
    ReportNamed(ctx, kMsgReadFailed, path);
    return false;
  }
  block->data()[want] = 0;
  *len = want;
  return true;
}

// The first byte of an encoded script.
bool IsEncoded(const char* text, uint32_t len) {
  return len > 0 && text[0] >= 1 && text[0] <= 3;
}

// Merges the includes of the normalised text in `block` into `merged`.
bool MergeInto(ScriptContext* ctx, TextBlock* block, uint32_t len, const char* path,
               TextBlock* merged, uint32_t* mergedLen) {
  char folder[kMaxPathLen];
  size_t n = FolderLength(path);
  memcpy(folder, path, n);
  folder[n] = 0;
  return MergeIncludes(ctx, block->data(), len, path, folder, merged, mergedLen);
}

bool MergeWanted(const ScriptContext* ctx, uint32_t len) {
  return (ctx->includeMode & kIncludeMerge) && len > 0;
}

}  // namespace

void ScrambleText(uint8_t* text, uint32_t len, uint32_t base) {
  for (uint32_t i = 0; i < len; ++i) text[i] = scramble::Encode(text[i], base + i);
}

bool PrepareHostBuffer(ScriptContext* ctx, HGLOBAL script, uint32_t* length) {
  *length = 0;
  TextBlock block;
  if (!block.Adopt(script)) {
    ReportMessage(ctx, kMsgNoLock);
    return false;
  }
  uint32_t len = HostTextLength(block.data(), block.size());
  if (len >= block.size() && !block.Reserve(static_cast<size_t>(len) + 1)) {
    ReportMessage(ctx, kMsgNoWorkBuffer);  // no room for the terminator
    return false;
  }
  block.data()[len] = 0;
  if (!ConvertToAnsi(ctx, &block, &len)) {
    ReportMessage(ctx, kMsgUnicodeFailed);
    return false;
  }
  NormaliseLineEnds(block.data(), len);
  if (MergeWanted(ctx, len)) {
    TextBlock merged;
    uint32_t mergedLen;
    if (!MergeInto(ctx, &block, len, ctx->scriptPath, &merged, &mergedLen)) return false;
    // The host's block is movable: it grows under the same handle.
    if (!block.Reserve(static_cast<size_t>(mergedLen) + 1)) {
      ReportMessage(ctx, kMsgNoWorkBuffer);
      return false;
    }
    memcpy(block.data(), merged.data(), static_cast<size_t>(mergedLen) + 1);
    len = mergedLen;
  }
  ScrambleText(reinterpret_cast<uint8_t*>(block.data()), len + 1, 0);
  *length = len;
  return true;
}

HGLOBAL LoadScriptFile(ScriptContext* ctx, const char* path, uint32_t* length) {
  *length = 0;
  HANDLE file = OpenForRead(path);
  if (file == INVALID_HANDLE_VALUE) {
    ReportNamed(ctx, kMsgFileNotFound, path);
    return nullptr;
  }
  TextBlock block;
  uint32_t len = 0;
  bool read = ReadScript(ctx, file, path, &block, &len);
  CloseHandle(file);
  if (!read) return nullptr;
  if (IsEncoded(block.data(), len)) {  // the encoded format is not available
    ReportNamed(ctx, kMsgUnknownEncoded, path);
    return nullptr;
  }
  if (!ConvertToAnsi(ctx, &block, &len)) {
    ReportNamed(ctx, kMsgUnicodeFailed, path);
    return nullptr;
  }
  NormaliseLineEnds(block.data(), len);
  if (MergeWanted(ctx, len)) {
    // Marker lines carry the full path, so a report names the file wherever
    // the current directory has moved since.
    char full[kMaxPathLen];
    DWORD n = GetFullPathNameA(path, kMaxPathLen, full, nullptr);
    if (n == 0 || n >= static_cast<DWORD>(kMaxPathLen)) lstrcpynA(full, path, kMaxPathLen);
    TextBlock merged;
    if (!MergeInto(ctx, &block, len, full, &merged, &len)) return nullptr;
    block.Take(&merged);
  }
  ScrambleText(reinterpret_cast<uint8_t*>(block.data()), len + 1, 0);
  *length = len;
  return block.Release();
}

}  // namespace zel::script
