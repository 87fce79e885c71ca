// File and directory lists: FileItemize, DirItemize and FileItemPath build
// a list of the names the masks match, separated by the list delimiter
// (IntControl 29), hidden and system entries only when IntControl 5 asks for
// them; FileLocate finds a file along the search path.
#include <cstring>
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "extender/hostcall.h"
#include "values/heap.h"

namespace zel::calls {
namespace {

using files::Path;


// A host function by name; its token ID, or 0 when the host has none.
int HostFunction(const ScriptContext* ctx, const char* name) {
  size_t n = strlen(name);
  for (int i = 0; i < kHostFunctions; ++i) {
    const FunctionTableEntry* e = fn::HostRecord(ctx, i);
    if (!e) return 0;
    if (e->kind == KIND_FUNCTION && e->nameLen == n && memcmp(e->name, name, n) == 0)
      return kHostIdBase + i;
  }
  return 0;
}

bool IsMaskSeparator(const ScriptContext* ctx, wchar_t c) {
  return c == '\t' || c == '|' || c == files::ListDelimiter(ctx);
}

// Lists the matches of every mask of `masks`; with `fullNames` each name
// keeps its folder.
bool Itemize(ScriptContext* ctx, const wchar_t* masks, files::FindKind kind, bool fullNames,
             files::WideList* out) {
  wchar_t delimiter = files::ListDelimiter(ctx);
  for (const wchar_t* p = masks; *p;) {
    const wchar_t* end = p;
    while (*end && !IsMaskSeparator(ctx, *end)) ++end;
    Path mask, folder;
    if (!files::SetPath(&mask, p, static_cast<size_t>(end - p))) {
      err::Raise(ctx, files::kNameOverrun);
      return false;
    }
    p = *end ? end + 1 : end;
    if (mask.len == 0) continue;
    if (!files::MaskFolder(mask, fullNames, &folder)) {
      err::Raise(ctx, files::kNameOverrun);
      return false;
    }
    files::Finder find(mask.p, kind, ctx->listHidden != 0);
    while (const WIN32_FIND_DATAW* d = find.Next()) {
      if ((fullNames && !out->Add(folder.p, folder.len)) ||
          !out->Add(d->cFileName, wcslen(d->cFileName)) || !out->AddChar(delimiter)) {
        err::Raise(ctx, files::kListMemory);
        return false;
      }
    }
  }
  out->DropLast();
  return true;
}

struct ListKind {
  files::FindKind kind;
  bool fullNames;
  const char* hostFunction;  // supplies the list for an empty argument
};
constexpr ListKind kFileItemize{files::kFindFiles, false, "itemizenull"};
constexpr ListKind kDirItemize{files::kFindDirectories, false, "itemizenull2"};
constexpr ListKind kFileItemPath{files::kFindFiles, true, "itemizenull"};

// FileItemize(masks), DirItemize(masks), FileItemPath(masks).
template <const ListKind& k>
void ItemizeBody(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path masks;
  if (!files::PathArg(ctx, &args[1], &masks, files::kNameOverrun)) return;
  if (masks.len == 0) {
    int host = HostFunction(ctx, k.hostFunction);
    if (host) {
      ext::CallHost(ctx, host, r, nullptr, 0);
      return;
    }
  }
  files::WideList list;
  if (!Itemize(ctx, masks.p, k.kind, k.fullNames, &list)) return;
  files::SetNameResult(ctx, r, list.data(), list.size());
}

// FileLocate(name): the full name of the file found in the current
// directory or along the search path; "" when there is none.
void FileLocate(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name, found;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  files::QuietErrors quiet;
  DWORD n = name.len ? SearchPathW(nullptr, name.p, nullptr, files::kPathUnits, found.p, nullptr)
                     : 0;
  if (n == 0 || n >= files::kPathUnits || !files::IsFile(files::Attributes(found.p))) n = 0;
  files::SetNameResult(ctx, r, found.p, n);
}

}  // namespace

void RegisterFileList() {
  Register("fileitemize", ItemizeBody<kFileItemize>);
  Register("diritemize", ItemizeBody<kDirItemize>);
  Register("fileitempath", ItemizeBody<kFileItemPath>);
  Register("filelocate", FileLocate);
}

}  // namespace zel::calls
