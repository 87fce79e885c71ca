// Shared helpers of the file, directory and disk functions.
#include "builtins/files_common.h"

#include <cstring>
#include <cwchar>

#include "builtins/ymdhms.h"
#include "errors/errinfo.h"
#include "host/process.h"
#include "values/codepage.h"
#include "values/convert.h"
#include "values/heap.h"

namespace zel::files {

bool PathArg(ScriptContext* ctx, Value* v, Path* out, uint16_t tooLong) {
  out->p[0] = 0;
  out->len = 0;
  if (!(v->flags & kFlagUnicode) && !val::ToUnicode(ctx, v)) {
    if (!ctx->error) err::Raise(ctx, 3820);
    return false;
  }
  const wchar_t* p = heap::WideAt(ctx, v->wstr);
  if (!p) return true;
  if (!SetPath(out, p, wcslen(p))) {
    err::Raise(ctx, tooLong);
    return false;
  }
  return true;
}

bool SetPath(Path* out, const wchar_t* p, size_t len) {
  if (len >= kPathUnits) return false;
  wmemcpy(out->p, p, len);
  out->p[len] = 0;
  out->len = len;
  return true;
}

bool AppendPath(Path* out, const wchar_t* p) {
  size_t n = wcslen(p);
  if (out->len + n >= kPathUnits) return false;
  wmemcpy(out->p + out->len, p, n + 1);
  out->len += n;
  return true;
}

bool SetNameResult(ScriptContext* ctx, ValueCell* r, const wchar_t* p, size_t len) {
  uint32_t off = UnicodeSwitch() ? heap::StoreWide(ctx, p, len) : cp::StoreNarrowed(ctx, p, len);
  if (!off) {
    if (!ctx->error) err::Raise(ctx, 3096);
    return false;
  }
  if (UnicodeSwitch()) {
    r->wstr = off;
    r->flags = kFlagUnicode;
  } else {
    r->str = off;
    r->flags = kFlagString;
  }
  return true;
}

void RaiseSystem(ScriptContext* ctx, uint16_t number, const char* call) {
  DWORD code = GetLastError();
  err::Raise(ctx, number);
  err::RecordSystemError(ctx, static_cast<long>(code), call, true);
}

bool HasWildcards(const wchar_t* p) { return wcspbrk(p, L"*?") != nullptr; }

wchar_t ListDelimiter(const ScriptContext* ctx) {
  wchar_t w = '\t';
  if (MultiByteToWideChar(ctx->codePage, 0, &ctx->listDelimiter, 1, &w, 1) != 1) w = '\t';
  return w;
}

size_t NameStart(const wchar_t* p, size_t len) {
  size_t start = 0;
  for (size_t i = 0; i < len; ++i)
    if (p[i] == '\\' || p[i] == '/' || (i == 1 && p[i] == ':')) start = i + 1;
  return start;
}

DWORD Attributes(const wchar_t* p) {
  QuietErrors quiet;
  return *p ? GetFileAttributesW(p) : INVALID_FILE_ATTRIBUTES;
}

namespace {

struct AttributeLetter {
  char letter;
  DWORD bit;
};
constexpr AttributeLetter kLetters[4] = {{'R', FILE_ATTRIBUTE_READONLY},
                                         {'A', FILE_ATTRIBUTE_ARCHIVE},
                                         {'S', FILE_ATTRIBUTE_SYSTEM},
                                         {'H', FILE_ATTRIBUTE_HIDDEN}};

}  // namespace

bool ApplyAttributeText(const wchar_t* p, const char* text, bool directory) {
  DWORD a = Attributes(p);
  if (a == INVALID_FILE_ATTRIBUTES || IsDirectory(a) != directory) return false;
  for (const char* c = text; *c; ++c) {
    for (const AttributeLetter& l : kLetters) {
      if (*c == l.letter) a |= l.bit;
      if (*c == l.letter + ('a' - 'A')) a &= ~l.bit;
    }
  }
  DWORD keep = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM |
               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
               FILE_ATTRIBUTE_TEMPORARY;
  a &= keep;
  return SetFileAttributesW(p, a ? a : FILE_ATTRIBUTE_NORMAL) != 0;
}

void AttributeText(DWORD a, char out[5]) {
  for (int i = 0; i < 4; ++i) out[i] = (a & kLetters[i].bit) ? kLetters[i].letter : '-';
  out[4] = 0;
}

Finder::Finder(const wchar_t* mask, FindKind kind, bool hidden)
    : kind_(kind), hidden_(hidden), pending_(false) {
  QuietErrors quiet;
  h_ = *mask ? FindFirstFileW(mask, &data_) : INVALID_HANDLE_VALUE;
  pending_ = h_ != INVALID_HANDLE_VALUE;
}

Finder::~Finder() {
  if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
}

bool Finder::Wanted() const {
  bool dir = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (dir != (kind_ == kFindDirectories)) return false;
  if (dir && (wcscmp(data_.cFileName, L".") == 0 || wcscmp(data_.cFileName, L"..") == 0))
    return false;
  return hidden_ || !(data_.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

const WIN32_FIND_DATAW* Finder::Next() {
  if (h_ == INVALID_HANDLE_VALUE) return nullptr;
  if (pending_) {  // the first match, read when the search began
    pending_ = false;
    if (Wanted()) return &data_;
  }
  while (FindNextFileW(h_, &data_))
    if (Wanted()) return &data_;
  FindClose(h_);
  h_ = INVALID_HANDLE_VALUE;
  return nullptr;
}

bool ListMatches(const wchar_t* mask, FindKind kind, bool hidden, WideList* out) {
  Path folder;
  FolderOf(mask, &folder);
  Finder find(mask, kind, hidden);
  while (const WIN32_FIND_DATAW* d = find.Next())
    if (!out->Add(folder.p, folder.len) || !out->Add(d->cFileName, wcslen(d->cFileName) + 1))
      return false;
  return true;
}

void FolderOf(const wchar_t* mask, Path* out) {
  size_t n = NameStart(mask, wcslen(mask));
  SetPath(out, mask, n);
}

WideList::~WideList() {
  if (!h_) return;
  GlobalUnlock(h_);
  GlobalFree(h_);
}

bool WideList::Add(const wchar_t* p, size_t n) {
  constexpr size_t kFirst = 32768 / sizeof(wchar_t), kStep = (1u << 20) / sizeof(wchar_t);
  if (len_ + n + 1 > cap_) {
    size_t cap = cap_ ? cap_ : kFirst;
    while (cap < len_ + n + 1) cap = cap < kStep ? cap * 2 : cap + kStep;
    if (h_) GlobalUnlock(h_);
    HGLOBAL h = h_ ? GlobalReAlloc(h_, cap * sizeof(wchar_t), GMEM_MOVEABLE)
                   : GlobalAlloc(GMEM_MOVEABLE, cap * sizeof(wchar_t));
    if (!h) {
      p_ = h_ ? static_cast<wchar_t*>(GlobalLock(h_)) : nullptr;
      return false;
    }
    h_ = h;
    p_ = static_cast<wchar_t*>(GlobalLock(h_));
    if (!p_) return false;
    cap_ = cap;
  }
  wmemcpy(p_ + len_, p, n);
  len_ += n;
  p_[len_] = 0;
  return true;
}

namespace {

// One part of a name (root or extension) through its pattern part: "*"
// stands for the rest of the source part, "?" for its next character, any
// other character for itself.
void ApplyPart(const wchar_t* pat, size_t patLen, const wchar_t* src, size_t srcLen, Path* out) {
  size_t i = 0;
  for (size_t k = 0; k < patLen && out->len + 1 < kPathUnits; ++k) {
    if (pat[k] == '*') {
      while (i < srcLen && out->len + 1 < kPathUnits) out->p[out->len++] = src[i++];
    } else if (pat[k] == '?') {
      if (i < srcLen) out->p[out->len++] = src[i++];
    } else {
      out->p[out->len++] = pat[k];
    }
  }
  out->p[out->len] = 0;
}

size_t LastDot(const wchar_t* p, size_t len) {
  for (size_t i = len; i > 0; --i)
    if (p[i - 1] == '.') return i - 1;
  return len;
}

}  // namespace

void ApplyPattern(const wchar_t* pattern, const wchar_t* name, Path* out) {
  size_t pl = wcslen(pattern), nl = wcslen(name);
  size_t pd = LastDot(pattern, pl), nd = LastDot(name, nl);
  if (pd == pl) return ApplyPart(pattern, pl, name, nl, out);  // no dot: the whole name
  ApplyPart(pattern, pd, name, nd, out);
  size_t dot = out->len;
  if (out->len + 1 < kPathUnits) out->p[out->len++] = '.';
  ApplyPart(pattern + pd + 1, pl - pd - 1, nd < nl ? name + nd + 1 : L"", nd < nl ? nl - nd - 1 : 0,
            out);
  if (out->len == dot + 1) out->p[--out->len] = 0;  // no extension: no dot either
}

namespace {

constexpr size_t kIoChunk = 0x40000000u;  // bytes of one system read or write, at most

}  // namespace

bool ReadAll(HANDLE h, void* p, size_t n) {
  uint8_t* b = static_cast<uint8_t*>(p);
  while (n > 0) {
    DWORD chunk = static_cast<DWORD>(n > kIoChunk ? kIoChunk : n);
    DWORD got = 0;
    if (!ReadFile(h, b, chunk, &got, nullptr) || got == 0) return false;
    b += got;
    n -= got;
  }
  return true;
}

bool WriteAll(HANDLE h, const void* p, size_t n) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  while (n > 0) {
    DWORD chunk = static_cast<DWORD>(n > kIoChunk ? kIoChunk : n);
    DWORD put = 0;
    if (!WriteFile(h, b, chunk, &put, nullptr) || put != chunk) return false;
    b += put;
    n -= put;
  }
  return true;
}

int64_t SizeOf(const wchar_t* p) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!*p || !GetFileAttributesExW(p, GetFileExInfoStandard, &d)) return -1;
  return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

void SetSizeResult(ValueCell* r, int64_t n) {
  if (n >= INT32_MIN && n <= INT32_MAX) {
    r->ival = static_cast<int32_t>(n);
    r->flags = kFlagInt;
  } else {
    r->fval = static_cast<double>(n);
    r->flags = kFlagFloat;
  }
}

bool MaskFolder(const Path& mask, bool full, Path* out) {
  FolderOf(mask.p, out);
  if (!full) return true;
  Path given = *out;
  const wchar_t* base = given.len ? given.p : L".\\";
  DWORD n = GetFullPathNameW(base, kPathUnits, out->p, nullptr);
  if (n == 0 || n >= kPathUnits) return false;
  out->len = n;
  return out->p[n - 1] == '\\' || AppendPath(out, L"\\");
}

bool FormatFileTime(const ScriptContext* ctx, const FILETIME& t, char out[32]) {
  FILETIME local;
  SYSTEMTIME s;
  if (!FileTimeToLocalFileTime(&t, &local) || !FileTimeToSystemTime(&local, &s)) return false;
  ymd::Ymd y{{s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond}};
  ymd::Format(y, ctx->yearFourDigits != 0, out, 32);
  return true;
}

}  // namespace zel::files
