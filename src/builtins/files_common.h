// Shared helpers of the file, directory and disk functions: path arguments
// read as UTF-16, name results in the width the process uses, system
// failures recorded with their error, wildcard tests and the enumeration of
// a mask's matches.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "host/context.h"

namespace zel::files {

// Error numbers several of the functions raise.
constexpr uint16_t kNameOverrun = 3117;  // a name longer than kPathUnits
constexpr uint16_t kListMemory = 3397;   // a list of names cannot grow
constexpr uint16_t kBadFlags = 1822;     // a mode or flag out of range
constexpr uint16_t kBadRequest = 1824;   // a request number out of range

// UTF-16 units of a path the functions work with, terminator included.
constexpr size_t kPathUnits = kWorkBuf;

// A path in UTF-16.
struct Path {
  wchar_t p[kPathUnits];
  size_t len;
};

// Reads argument `v` (either width) as UTF-16 into `out`; a text that does
// not fit raises `tooLong`, one that cannot be converted 3820.
bool PathArg(ScriptContext* ctx, Value* v, Path* out, uint16_t tooLong);

// Copies `len` units of `p` into `out` (false when they do not fit).
bool SetPath(Path* out, const wchar_t* p, size_t len);
bool AppendPath(Path* out, const wchar_t* p);

// Makes the result the name `p`: UTF-16 under the process's Unicode switch,
// else ANSI in the run's code page.
// Works on an array element as well as on a result.
bool SetNameResult(ScriptContext* ctx, ValueCell* r, const wchar_t* p, size_t len);

// Raises `number` with the last system error recorded against `call`.
void RaiseSystem(ScriptContext* ctx, uint16_t number, const char* call);

bool HasWildcards(const wchar_t* p);

// The list delimiter of IntControl 29 as a UTF-16 character.
wchar_t ListDelimiter(const ScriptContext* ctx);

// Position after the last "\", "/" or the drive's ":" (0 when none).
size_t NameStart(const wchar_t* p, size_t len);

// Attributes of an existing entry; INVALID_FILE_ATTRIBUTES when there is none.
DWORD Attributes(const wchar_t* p);
inline bool IsFile(DWORD a) {
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
inline bool IsDirectory(DWORD a) {
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Applies an attribute text to `p`: R, A, S, H set read-only, archive,
// system and hidden; r, a, s, h clear them; other characters are ignored.
bool ApplyAttributeText(const wchar_t* p, const char* text, bool directory);

// The four-letter text "RASH", "-" for each attribute not set.
void AttributeText(DWORD a, char out[5]);

// What an enumeration returns.
enum FindKind { kFindFiles, kFindDirectories };

// The matches of one mask, in the order the system gives them: files only or
// directories only (never "." and ".."), hidden and system entries only when
// `hidden` is set.
class Finder {
 public:
  Finder(const wchar_t* mask, FindKind kind, bool hidden);
  ~Finder();
  Finder(const Finder&) = delete;
  Finder& operator=(const Finder&) = delete;

  // The next match's data; nullptr when there are no more.
  const WIN32_FIND_DATAW* Next();

 private:
  bool Wanted() const;
  HANDLE h_;
  WIN32_FIND_DATAW data_;
  FindKind kind_;
  bool hidden_;
  bool pending_;
};

// The folder part of a mask, up to and including its last separator; the
// names a Finder returns go after it.
void FolderOf(const wchar_t* mask, Path* out);

// Reports no system error boxes (missing media) while it lives.
class QuietErrors {
 public:
  QuietErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~QuietErrors() { SetErrorMode(old_); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  UINT old_;
};

// The name (without folder) that `pattern` makes of the name `name`: "*"
// stands for the rest of the source's root or extension, "?" for its next
// character, any other character for itself; appended to `out`.
void ApplyPattern(const wchar_t* pattern, const wchar_t* name, Path* out);

// A list of UTF-16 texts that grows in movable memory: from 32 KB, doubling
// up to 1 MB, then by 1 MB at a time.
class WideList {
 public:
  WideList() = default;
  ~WideList();
  WideList(const WideList&) = delete;
  WideList& operator=(const WideList&) = delete;

  // Appends `n` units; false when the list cannot grow.
  bool Add(const wchar_t* p, size_t n);
  bool AddChar(wchar_t c) { return Add(&c, 1); }
  // Removes the last unit (a trailing delimiter).
  void DropLast() {
    if (len_) --len_;
  }
  const wchar_t* data() const { return p_ ? p_ : L""; }
  size_t size() const { return len_; }

 private:
  HGLOBAL h_ = nullptr;
  wchar_t* p_ = nullptr;
  size_t len_ = 0;
  size_t cap_ = 0;  // units
};

// Reads or writes exactly `n` bytes; false on failure or a short count.
bool ReadAll(HANDLE h, void* p, size_t n);
bool WriteAll(HANDLE h, const void* p, size_t n);

// Lists the full names of a mask's matches, each ended by a NUL, in the
// order `Finder` finds them; false when the list cannot grow.
bool ListMatches(const wchar_t* mask, FindKind kind, bool hidden, WideList* out);

// Calls fn(name) for each NUL-ended name of a list made by ListMatches.
template <typename Fn>
void ForEachName(const WideList& list, Fn fn) {
  for (const wchar_t* p = list.data(); p < list.data() + list.size(); p += wcslen(p) + 1) fn(p);
}

// A file's size, or -1 when it cannot be opened or read.
int64_t SizeOf(const wchar_t* p);

// Integer result of a 64-bit size: the integer while it fits, else the float.
void SetSizeResult(ValueCell* r, int64_t n);

// The folder the names of a mask's matches go after: the mask's own, or its
// full path (ending in "\\") when `full`; false when it does not fit.
bool MaskFolder(const Path& mask, bool full, Path* out);

// A file time as YmdHms text in local time (four-digit years as IntControl
// asks); false when the time cannot be converted.
bool FormatFileTime(const ScriptContext* ctx, const FILETIME& t, char out[32]);

}  // namespace zel::files
