// Single-file facts and operations: FileExist, FileSize, FileSizeEx,
// FileDelete, and the attribute functions of files and directories in the
// letter form ("RASH") and the numeric form (the Ex functions).
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "errors/errinfo.h"
#include "expr/eval.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kDeleteNotFound = 1016;
constexpr uint16_t kAttrGetNotFound = 1083;
constexpr uint16_t kAttrSetFailed = 1086;
constexpr uint16_t kDirAttrGetNotFound = 1421;
constexpr uint16_t kDirAttrSetFailed = 1422;
constexpr uint16_t kSizeNotFound = 2112;
constexpr uint16_t kDeleteOverrun = 3115;
constexpr uint16_t kSizeOverrun = 3114;

// The files (or directories) a mask matches, hidden ones too; false with
// the list's error when it cannot grow.
bool ListFiles(ScriptContext* ctx, const Path& mask, files::FindKind kind, files::WideList* out) {
  if (files::ListMatches(mask.p, kind, true, out)) return true;
  err::Raise(ctx, files::kListMemory);
  return false;
}

// The files a mask argument matches; `none` raised when there are none.
bool MatchingFiles(ScriptContext* ctx, Value* arg, uint16_t overrun, uint16_t none,
                   files::WideList* out) {
  Path mask;
  if (!files::PathArg(ctx, arg, &mask, overrun) || !ListFiles(ctx, mask, files::kFindFiles, out))
    return false;
  if (out->size() > 0) return true;
  err::Raise(ctx, none);
  return false;
}

// FileExist(name): 1 an existing file (a mask: any match), 2 a file another
// program holds open without sharing, 0 none.
void FileExist(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  if (files::HasWildcards(name.p)) {
    files::Finder find(name.p, files::kFindFiles, true);
    r->ival = find.Next() ? 1 : 0;
    return;
  }
  if (!files::IsFile(files::Attributes(name.p))) return;
  files::QuietErrors quiet;
  HANDLE h = CreateFileW(name.p, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  r->ival = 1;
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    h = CreateFileW(name.p, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE)
      CloseHandle(h);
    else if (GetLastError() == ERROR_SHARING_VIOLATION)
      r->ival = 2;
  }
}

// FileSize(files, float), FileSizeEx(files, float): the bytes of the files a
// mask matches together; an integer while it fits, or always a float when
// the flag is 1.
void FileSize(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  files::WideList names;
  if (!MatchingFiles(ctx, &args[1], kSizeOverrun, kSizeNotFound, &names)) return;
  int64_t total = 0;
  bool missing = false;
  files::ForEachName(names, [&](const wchar_t* p) {
    int64_t n = files::SizeOf(p);
    if (n < 0) missing = true;
    total += n < 0 ? 0 : n;
  });
  if (missing) return err::Raise(ctx, kSizeNotFound);
  files::SetSizeResult(r, total);
  if (argc >= 2 && args[2].ival == 1) {
    r->fval = static_cast<double>(total);
    r->flags = kFlagFloat;
  }
}

// FileDelete(files): deletes the files a mask matches; 1016 when there are
// none or one cannot be deleted.
void FileDelete(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  files::WideList names;
  if (!MatchingFiles(ctx, &args[1], kDeleteOverrun, kDeleteNotFound, &names)) return;
  bool ok = true;
  files::ForEachName(names, [&](const wchar_t* p) {
    if (ok && !DeleteFileW(p)) {
      files::RaiseSystem(ctx, kDeleteNotFound, "DeleteFile");
      ok = false;
    }
  });
  r->ival = ok ? 1 : 0;
}

// ---- attributes

struct AttrErrors {
  uint16_t getFailed, setFailed;
  files::FindKind kind;
};
constexpr AttrErrors kFileAttr{kAttrGetNotFound, kAttrSetFailed, files::kFindFiles};
constexpr AttrErrors kDirAttr{kDirAttrGetNotFound, kDirAttrSetFailed, files::kFindDirectories};

// The attributes of an existing entry of the kind, or INVALID_FILE_ATTRIBUTES.
DWORD KindAttributes(const wchar_t* p, files::FindKind kind) {
  DWORD a = files::Attributes(p);
  bool wanted = kind == files::kFindFiles ? files::IsFile(a) : files::IsDirectory(a);
  return wanted ? a : INVALID_FILE_ATTRIBUTES;
}

// FileAttrGet(file), DirAttrGet(dir): "RASH" with "-" for each attribute not set.
template <const AttrErrors& e>
void AttrGet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  DWORD a = KindAttributes(name.p, e.kind);
  if (a == INVALID_FILE_ATTRIBUTES) return err::Raise(ctx, e.getFailed);
  char text[5];
  files::AttributeText(a, text);
  expr::SetText(ctx, r, text);
}

// FileAttrGetEx(file), DirAttrGetEx(dir): the attribute bits as a number.
template <const AttrErrors& e>
void AttrGetEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  DWORD a = KindAttributes(name.p, e.kind);
  if (a == INVALID_FILE_ATTRIBUTES) return err::Raise(ctx, e.getFailed);
  r->ival = static_cast<int32_t>(a);
}

// Applies `apply` to each entry a mask (or a plain name) matches; false with
// `failed` raised when there is none or one fails.
template <typename Fn>
bool EachMatch(ScriptContext* ctx, Value* arg, const AttrErrors& e, Fn apply) {
  Path mask;
  files::WideList names;
  if (!files::PathArg(ctx, arg, &mask, files::kNameOverrun)) return false;
  if (files::HasWildcards(mask.p)) {
    if (!ListFiles(ctx, mask, e.kind, &names)) return false;
  } else if (KindAttributes(mask.p, e.kind) != INVALID_FILE_ATTRIBUTES) {
    names.Add(mask.p, mask.len + 1);
  }
  bool ok = names.size() > 0;
  files::ForEachName(names, [&](const wchar_t* p) { ok = ok && apply(p); });
  if (!ok) err::Raise(ctx, e.setFailed);
  return ok;
}

// FileAttrSet(files, text), DirAttrSet(dirs, text): R, A, S, H set, r, a, s,
// h clear; the result is 1.
template <const AttrErrors& e>
void AttrSet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  const char* text = ArgText(ctx, args[2]);
  bool dir = e.kind == files::kFindDirectories;
  if (EachMatch(ctx, &args[1], e, [&](const wchar_t* p) {
        return files::ApplyAttributeText(p, text, dir);
      }))
    r->ival = 1;
}

// FileAttrSetEx(files, bits, mode), DirAttrSetEx(...): mode 0 makes the
// attributes exactly the bits, 1 adds them, 2 removes them.
template <const AttrErrors& e>
void AttrSetEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  DWORD bits = static_cast<DWORD>(args[2].ival);
  int32_t mode = args[3].ival;
  if (mode < 0 || mode > 2) return err::Raise(ctx, files::kBadFlags);
  if (EachMatch(ctx, &args[1], e, [&](const wchar_t* p) {
        DWORD a = files::Attributes(p) & ~FILE_ATTRIBUTE_DIRECTORY;
        a = mode == 0 ? bits : mode == 1 ? a | bits : a & ~bits;
        a &= ~FILE_ATTRIBUTE_DIRECTORY;
        return SetFileAttributesW(p, a ? a : FILE_ATTRIBUTE_NORMAL) != 0;
      }))
    r->ival = 1;
}

}  // namespace

void RegisterFileInfo() {
  Register("fileexist", FileExist);
  Register("filesize", FileSize);
  Register("filesizeex", FileSize);
  Register("filedelete", FileDelete);
  Register("fileattrget", AttrGet<kFileAttr>);
  Register("fileattrgetex", AttrGetEx<kFileAttr>);
  Register("fileattrset", AttrSet<kFileAttr>);
  Register("fileattrsetex", AttrSetEx<kFileAttr>);
  Register("dirattrget", AttrGet<kDirAttr>);
  Register("dirattrgetex", AttrGetEx<kDirAttr>);
  Register("dirattrset", AttrSet<kDirAttr>);
  Register("dirattrsetex", AttrSetEx<kDirAttr>);
}

}  // namespace zel::calls
