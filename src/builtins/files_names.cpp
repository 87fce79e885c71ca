// File names: the parts of a name split without touching the disk
// (FileBaseName, FileExtension, FilePath, FileRoot), the full, long and
// short forms the file system gives (FileFullName, FileNameLong,
// FileNameShort, FileNameEval1) and names mapped through a pattern
// (FileMapName, FileNameEval2).
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "errors/errinfo.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kCannotExpand = 1323;
constexpr uint16_t kNameNotFound = 1013;
constexpr size_t kPartUnits = 255;  // characters of one part, at most

// A name's parts as ranges of its text.
struct Parts {
  size_t driveEnd;  // the drive is [0, driveEnd)
  size_t dirEnd;    // the directory is [driveEnd, dirEnd)
  size_t rootEnd;   // the root is [dirEnd, rootEnd)
  size_t extStart;  // the extension is [extStart, len)
  size_t len;
};

Parts Split(const wchar_t* p, size_t len) {
  Parts s{};
  s.len = len;
  s.driveEnd = len >= 2 && p[1] == ':' ? 2 : 0;
  size_t afterSep = s.driveEnd, dot = len;
  for (size_t i = s.driveEnd; i < len; ++i) {
    if (p[i] == '\\' || p[i] == '/') afterSep = i + 1;
    if (p[i] == '.') dot = i;
  }
  s.dirEnd = afterSep;
  bool hasExt = dot < len && dot >= afterSep;
  s.rootEnd = hasExt ? dot : len;
  s.extStart = hasExt ? dot + 1 : len;
  return s;
}

size_t Clip(size_t n) { return n > kPartUnits ? kPartUnits : n; }

enum PartId { kExtension, kRoot, kFolder, kBaseName };

// FileExtension(name), FileRoot(name), FilePath(name), FileBaseName(name, flag).
template <PartId part>
void NamePart(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  Path name, out;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  Parts s = Split(name.p, name.len);
  const wchar_t* p = name.p;
  size_t rootLen = Clip(s.rootEnd - s.dirEnd), extLen = Clip(s.len - s.extStart);
  switch (part) {
    case kExtension: files::SetPath(&out, p + s.extStart, extLen); break;
    case kRoot: files::SetPath(&out, p + s.dirEnd, rootLen); break;
    case kFolder:
      files::SetPath(&out, p, s.driveEnd + Clip(s.dirEnd - s.driveEnd));
      break;
    case kBaseName:
      files::SetPath(&out, p + s.dirEnd, rootLen);
      if (extLen > 0 || (argc >= 2 && args[2].ival != 0)) files::AppendPath(&out, L".");
      out.len += extLen;
      wmemcpy(out.p + out.len - extLen, p + s.extStart, extLen);
      out.p[out.len] = 0;
      break;
  }
  files::SetNameResult(ctx, r, out.p, out.len);
}

// ---- names the file system expands

enum Expansion { kFull, kLong, kShort };

bool Expand(const wchar_t* name, Expansion how, Path* out) {
  DWORD n = 0;
  switch (how) {
    case kFull:
      if (name[0] == '\\' && name[1] == '\\') return files::SetPath(out, name, wcslen(name));
      n = *name ? GetFullPathNameW(name, files::kPathUnits, out->p, nullptr) : 0;
      break;
    case kLong: n = GetLongPathNameW(name, out->p, files::kPathUnits); break;
    case kShort: n = GetShortPathNameW(name, out->p, files::kPathUnits); break;
  }
  if (n == 0 || n >= files::kPathUnits) return false;
  out->len = n;
  return true;
}

void ExpandBody(ScriptContext* ctx, Value* r, Value* args, Expansion how) {
  Path name, out;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  files::QuietErrors quiet;
  if (!Expand(name.p, how, &out))
    return err::Raise(ctx, how == kFull ? kCannotExpand : kNameNotFound);
  files::SetNameResult(ctx, r, out.p, out.len);
}

// FileFullName(name), FileNameLong(name), FileNameShort(name).
template <Expansion how>
void ExpandName(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  ExpandBody(ctx, r, args, how);
}

// FileNameEval1(name, request): 0 the full name, 1 the long name, 2 the short name.
void FileNameEval1(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t how = args[2].ival;
  if (how < kFull || how > kShort) return err::Raise(ctx, files::kBadRequest);
  ExpandBody(ctx, r, args, static_cast<Expansion>(how));
}

// FileMapName(name, pattern), FileNameEval2(name, pattern): the name the
// pattern's wildcards make of the name's own; a folder in the pattern takes
// the place of the name's folder.
void MapName(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name, pattern, out;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun) ||
      !files::PathArg(ctx, &args[2], &pattern, files::kNameOverrun))
    return;
  size_t nameStart = files::NameStart(name.p, name.len);
  size_t patStart = files::NameStart(pattern.p, pattern.len);
  if (patStart > 0)
    files::SetPath(&out, pattern.p, patStart);
  else
    files::SetPath(&out, name.p, nameStart);
  const wchar_t* pat = pattern.p[patStart] ? pattern.p + patStart : L"*.*";
  files::ApplyPattern(pat, name.p + nameStart, &out);
  files::SetNameResult(ctx, r, out.p, out.len);
}

}  // namespace

void RegisterFileNames() {
  Register("fileextension", NamePart<kExtension>);
  Register("fileroot", NamePart<kRoot>);
  Register("filepath", NamePart<kFolder>);
  Register("filebasename", NamePart<kBaseName>);
  Register("filefullname", ExpandName<kFull>);
  Register("filenamelong", ExpandName<kLong>);
  Register("filenameshort", ExpandName<kShort>);
  Register("filenameeval1", FileNameEval1);
  Register("filemapname", MapName);
  Register("filenameeval2", MapName);
}

}  // namespace zel::calls
