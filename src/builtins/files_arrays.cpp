// File facts as arrays: FileInfoToArray and DirInfoToArray list the files
// (or directories) a mask matches, one row each, with their size, times and
// attributes. Row 0 is a header: [0,0] the number of entries, [0,1] the total
// size of the files in bytes.
#include <cstring>
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "errors/errinfo.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"

namespace zel::calls {
namespace {

using files::Path;

// The columns of an entry row.
enum Column { kName, kSize, kWritten, kAccessed, kCreated, kAttributes, kColumns };

// How the name column is written.
enum NameForm { kFullNames = 0, kNamesOnly = 1 };

// Stores an ANSI text into an element; false (3096) on a full heap.
bool StoreAnsi(ScriptContext* ctx, ElementCell* e, const char* text) {
  uint32_t off = heap::StoreText(ctx, text, strlen(text));
  if (!off) {
    if (!ctx->error) err::Raise(ctx, 3096);
    return false;
  }
  e->v.str = off;
  e->v.flags = kFlagString;
  return true;
}

// Fills one entry row from the entry's facts; an entry gone since it was
// listed keeps its name, size 0 and empty texts.
bool FillRow(ScriptContext* ctx, ElementCell* row, const wchar_t* name, const wchar_t* shown,
             int64_t* total) {
  for (int c = 0; c < kColumns; ++c) val::InitCell(&row[c].v, 0);
  if (!files::SetNameResult(ctx, &row[kName].v, shown, wcslen(shown))) return false;
  WIN32_FILE_ATTRIBUTE_DATA d;
  bool found = GetFileAttributesExW(name, GetFileExInfoStandard, &d) != 0;
  char written[32] = "", accessed[32] = "", created[32] = "", attrs[5] = "";
  if (found) {
    if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      int64_t size = (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
      files::SetSizeResult(&row[kSize].v, size);
      *total += size;
    }
    files::FormatFileTime(ctx, d.ftLastWriteTime, written);
    files::FormatFileTime(ctx, d.ftLastAccessTime, accessed);
    files::FormatFileTime(ctx, d.ftCreationTime, created);
    files::AttributeText(d.dwFileAttributes, attrs);
  }
  return StoreAnsi(ctx, &row[kWritten], written) && StoreAnsi(ctx, &row[kAccessed], accessed) &&
         StoreAnsi(ctx, &row[kCreated], created) && StoreAnsi(ctx, &row[kAttributes], attrs);
}

// FileInfoToArray(mask, flags), DirInfoToArray(mask, flags): flags 0 gives
// full path names, 1 the names alone. Hidden and system entries are listed
// only when IntControl 5 asks for them.
template <files::FindKind kind>
void InfoToArray(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  int32_t form = argc >= 2 ? args[2].ival : kFullNames;
  if (form != kFullNames && form != kNamesOnly) return err::Raise(ctx, files::kBadFlags);
  Path mask, folder;  // folder: the matches' full folder, each name added in turn
  if (!files::PathArg(ctx, &args[1], &mask, files::kNameOverrun)) return;
  if (!files::MaskFolder(mask, true, &folder)) return err::Raise(ctx, files::kNameOverrun);
  files::WideList names;
  if (mask.len && !files::ListMatches(mask.p, kind, ctx->listHidden != 0, &names))
    return err::Raise(ctx, files::kListMemory);
  int64_t count = 0;
  files::ForEachName(names, [&](const wchar_t*) { ++count; });
  int32_t sizes[2] = {count >= INT32_MAX ? -1 : static_cast<int32_t>(count + 1), kColumns};
  if (arr::Create(ctx, r, sizes, 2, 0) <= 0) return;
  ElementCell* e = arr::Elements(arr::BlockOf(r));
  for (int c = 0; c < kColumns; ++c) val::InitCell(&e[c].v, 0);
  int64_t total = 0;
  bool ok = true;
  ElementCell* row = e + kColumns;
  const size_t folderLen = folder.len;
  files::ForEachName(names, [&](const wchar_t* name) {
    const wchar_t* own = name + files::NameStart(name, wcslen(name));
    if (!ok) return;
    folder.p[folderLen] = 0;
    folder.len = folderLen;
    if (form == kFullNames && !files::AppendPath(&folder, own)) {
      err::Raise(ctx, files::kNameOverrun);
      ok = false;
      return;
    }
    ok = FillRow(ctx, row, name, form == kFullNames ? folder.p : own, &total);
    row += kColumns;
  });
  if (!ok) return;
  e[kName].v.ival = static_cast<int32_t>(count);
  files::SetSizeResult(&e[kSize].v, total);
}

}  // namespace

void RegisterFileArrays() {
  Register("fileinfotoarray", InfoToArray<files::kFindFiles>);
  Register("dirinfotoarray", InfoToArray<files::kFindDirectories>);
}

}  // namespace zel::calls
