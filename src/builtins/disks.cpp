// Disks: DiskExist, DiskFree, DiskSize, DiskInfo, DiskVolInfo, DiskScan and
// LogDisk. A drive is named by its letter, with or without ":" and "\", or
// by a root such as "\\server\share\".
#include <cstdio>
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "errors/errinfo.h"
#include "expr/eval.h"
#include "values/convert.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kDriveNotReady = 1226;
constexpr uint16_t kIllegalDrive = 3026;
constexpr uint16_t kDriveSpec = 3320;

// The root of a drive named in `p`: "X:\" for a letter; a longer name is a
// root as it stands, with a "\" added.
bool DriveRoot(const wchar_t* p, size_t n, Path* root) {
  bool letter = n >= 1 && iswalpha(p[0]) &&
                (n == 1 || (p[1] == ':' && (n == 2 || (n == 3 && (p[2] == '\\' || p[2] == '/')))));
  if (letter) {
    wchar_t r[4] = {static_cast<wchar_t>(towupper(p[0])), ':', '\\', 0};
    return files::SetPath(root, r, 3);
  }
  if (n < 3 || !files::SetPath(root, p, n)) return false;
  return root->p[n - 1] == '\\' || files::AppendPath(root, L"\\");
}

bool IsListSeparator(wchar_t c) { return c == ' ' || c == ',' || c == '\t' || c == '|'; }

// Calls `fn` with the root of each drive of a list ("C D:", "C:\,D"); false
// with 3320 for a name that is no drive.
template <typename Fn>
bool EachDrive(ScriptContext* ctx, const Path& list, Fn fn) {
  bool any = false;
  for (size_t i = 0; i < list.len;) {
    while (i < list.len && IsListSeparator(list.p[i])) ++i;
    size_t start = i;
    while (i < list.len && !IsListSeparator(list.p[i])) ++i;
    if (i == start) continue;
    Path root;
    if (!DriveRoot(list.p + start, i - start, &root)) {
      err::Raise(ctx, kDriveSpec);
      return false;
    }
    any = true;
    if (!fn(root.p)) return false;
  }
  if (!any) err::Raise(ctx, kDriveSpec);
  return any;
}

// DiskExist(drive): 1 when the drive is there and ready.
void DiskExist(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path drive, root;
  if (!files::PathArg(ctx, &args[1], &drive, files::kNameOverrun)) return;
  files::QuietErrors quiet;
  r->ival = DriveRoot(drive.p, drive.len, &root) &&
                    files::Attributes(root.p) != INVALID_FILE_ATTRIBUTES
                ? 1
                : 0;
}

// DiskFree(drives, float), DiskSize(drives, float): the free or the whole
// bytes of the listed drives together; a float when the flag is 1 or the
// number does not fit an integer.
template <bool free>
void DiskSpace(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  Path list;
  if (!files::PathArg(ctx, &args[1], &list, files::kNameOverrun)) return;
  files::QuietErrors quiet;
  uint64_t sum = 0;
  bool ok = EachDrive(ctx, list, [&](const wchar_t* root) {
    ULARGE_INTEGER avail, total;
    if (!GetDiskFreeSpaceExW(root, &avail, &total, nullptr)) {
      files::RaiseSystem(ctx, kDriveNotReady, "GetDiskFreeSpaceEx");
      return false;
    }
    sum += free ? avail.QuadPart : total.QuadPart;
    return true;
  });
  if (!ok) return;
  files::SetSizeResult(r, static_cast<int64_t>(sum));
  if (argc >= 2 && args[2].ival == 1) {
    r->fval = static_cast<double>(sum);
    r->flags = kFlagFloat;
  }
}

// DiskInfo(drive, request): 1 sectors per cluster, 2 bytes per sector,
// 3 free clusters, 4 all clusters.
void DiskInfo(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path drive, root;
  if (!files::PathArg(ctx, &args[1], &drive, files::kNameOverrun)) return;
  if (args[2].ival < 1 || args[2].ival > 4) return err::Raise(ctx, files::kBadRequest);
  if (!DriveRoot(drive.p, drive.len, &root)) return err::Raise(ctx, kDriveSpec);
  DWORD v[4];
  files::QuietErrors quiet;
  if (!GetDiskFreeSpaceW(root.p, &v[0], &v[1], &v[2], &v[3]))
    return files::RaiseSystem(ctx, kDriveNotReady, "GetDiskFreeSpace");
  r->ival = static_cast<int32_t>(v[args[2].ival - 1]);
}

// DiskVolInfo(drive, request): 1 the volume label, 2 the file system's name,
// 3 the serial number as "XXXX-XXXX", 4 the longest name the file system
// takes, 5 the file system's flags.
void DiskVolInfo(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path drive, root;
  if (!files::PathArg(ctx, &args[1], &drive, files::kNameOverrun)) return;
  int32_t request = args[2].ival;
  if (request < 1 || request > 5) return err::Raise(ctx, files::kBadRequest);
  if (!DriveRoot(drive.p, drive.len, &root)) return err::Raise(ctx, kDriveSpec);
  wchar_t label[MAX_PATH + 1] = L"", system[MAX_PATH + 1] = L"";
  DWORD serial = 0, longest = 0, flags = 0;
  files::QuietErrors quiet;
  if (!GetVolumeInformationW(root.p, label, MAX_PATH + 1, &serial, &longest, &flags, system,
                             MAX_PATH + 1))
    return files::RaiseSystem(ctx, kDriveNotReady, "GetVolumeInformation");
  switch (request) {
    case 1: files::SetNameResult(ctx, r, label, wcslen(label)); break;
    case 2: files::SetNameResult(ctx, r, system, wcslen(system)); break;
    case 3: {
      char text[16];
      snprintf(text, sizeof text, "%04lX-%04lX", static_cast<unsigned long>(serial >> 16),
               static_cast<unsigned long>(serial & 0xFFFF));
      expr::SetText(ctx, r, text);
      break;
    }
    case 4: r->ival = static_cast<int32_t>(longest); break;
    default: r->ival = static_cast<int32_t>(flags); break;
  }
}

// DiskScan(kinds): the drives of the kinds asked for, as "C:" names in a
// list: 1 removable, 2 fixed, 4 remote, 8 CD, 16 RAM disk.
void DiskScan(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  struct Kind {
    int32_t bit;
    UINT type;
  };
  static constexpr Kind kKinds[] = {{1, DRIVE_REMOVABLE}, {2, DRIVE_FIXED}, {4, DRIVE_REMOTE},
                                    {8, DRIVE_CDROM},     {16, DRIVE_RAMDISK}};
  int32_t wanted = args[1].ival;
  if (wanted <= 0 || wanted > 31) return err::Raise(ctx, files::kBadRequest);
  DWORD drives = GetLogicalDrives();
  Path list{};
  for (int d = 0; d < 26; ++d) {
    if (!(drives & (1u << d))) continue;
    wchar_t root[4] = {static_cast<wchar_t>('A' + d), ':', '\\', 0};
    UINT type = GetDriveTypeW(root);
    for (const Kind& k : kKinds) {
      if (!(wanted & k.bit) || type != k.type) continue;
      wchar_t item[4] = {root[0], ':', files::ListDelimiter(ctx), 0};
      files::AppendPath(&list, item);
    }
  }
  if (list.len) list.p[--list.len] = 0;
  files::SetNameResult(ctx, r, list.p, list.len);
}

// LogDisk(drive): makes the drive current (at its own current directory).
void LogDisk(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path drive, root;
  if (!files::PathArg(ctx, &args[1], &drive, files::kNameOverrun)) return;
  if (!DriveRoot(drive.p, drive.len, &root) || root.len != 3) return err::Raise(ctx, kIllegalDrive);
  wchar_t bare[3] = {root.p[0], ':', 0}, full[files::kPathUnits];
  files::QuietErrors quiet;
  DWORD n = GetFullPathNameW(bare, files::kPathUnits, full, nullptr);
  if (n == 0 || n >= files::kPathUnits || !SetCurrentDirectoryW(full))
    return err::Raise(ctx, kIllegalDrive);
  r->ival = 1;
}

}  // namespace

void RegisterDisks() {
  Register("diskexist", DiskExist);
  Register("diskfree", DiskSpace<true>);
  Register("disksize", DiskSpace<false>);
  Register("diskinfo", DiskInfo);
  Register("diskvolinfo", DiskVolInfo);
  Register("diskscan", DiskScan);
  Register("logdisk", LogDisk);
}

}  // namespace zel::calls
