// The overwrite confirmation: the "FILEWARN" dialog with the names, sizes and
// times of both files and eight answers.
#include "builtins/files_warn.h"

#include <mmsystem.h>

#include <cstdio>
#include <cwchar>

#include "builtins/files_warn_ids.h"
#include "host/api.h"
#include "host/process.h"

namespace zel::files {
namespace {

constexpr int kMessageUnits = 256;

struct Request {
  ScriptContext* ctx;
  const wchar_t* target;
  const wchar_t* source;
};

struct Caption {
  int control;  // 0: the dialog's title
  UINT message;
};
constexpr Caption kCaptions[] = {
    {0, 134},
    {FILEWARN_REPLACE_LABEL, 122},
    {FILEWARN_WITH_LABEL, 135},
    {FILEWARN_OVERWRITE, 123},
    {FILEWARN_OVERWRITE_ALL, 124},
    {FILEWARN_NEWER, 136},
    {FILEWARN_NEWER_ALL, 137},
    {FILEWARN_OLDER, 138},
    {FILEWARN_OLDER_ALL, 139},
    {FILEWARN_SKIP, 125},
    {IDCANCEL, 121},
};

struct Answer {
  int control;
  uint32_t answer;
};
constexpr Answer kAnswers[] = {
    {FILEWARN_OVERWRITE, kOverwrite}, {FILEWARN_OVERWRITE_ALL, kOverwriteAll},
    {FILEWARN_NEWER, kUseNewer},      {FILEWARN_NEWER_ALL, kUseNewerAll},
    {FILEWARN_OLDER, kUseOlder},      {FILEWARN_OLDER_ALL, kUseOlderAll},
    {FILEWARN_SKIP, kSkip},           {IDCANCEL, kCancelAll},
};

// "name", a line end, then the size in bytes and the last-write time.
void Describe(const wchar_t* name, wchar_t* out, size_t size) {
  size_t n = wcslen(name);
  if (n >= size) n = size - 1;
  wmemcpy(out, name, n);
  out[n] = 0;
  WIN32_FILE_ATTRIBUTE_DATA d{};
  SYSTEMTIME t{};
  FILETIME local{};
  if (!GetFileAttributesExW(name, GetFileExInfoStandard, &d) ||
      !FileTimeToLocalFileTime(&d.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
    return;
  uint64_t bytes = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  char facts[80];
  snprintf(facts, sizeof facts, "\n%llu bytes, %04u:%02u:%02u:%02u:%02u:%02u",
           static_cast<unsigned long long>(bytes), t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
           t.wSecond);
  for (const char* c = facts; *c && n + 1 < size; ++c) out[n++] = static_cast<wchar_t>(*c);
  out[n] = 0;
}

void Fill(HWND dlg, const Request* q) {
  for (const Caption& c : kCaptions) {
    wchar_t text[kMessageUnits];
    if (LoadMyStringW(q->ctx, nullptr, c.message, text, kMessageUnits) <= 0) continue;
    if (c.control == 0)
      SetWindowTextW(dlg, text);
    else
      SetDlgItemTextW(dlg, c.control, text);
  }
  wchar_t info[kWorkBuf + 64];
  Describe(q->target, info, sizeof info / sizeof *info);
  SetDlgItemTextW(dlg, FILEWARN_TARGET, info);
  Describe(q->source, info, sizeof info / sizeof *info);
  SetDlgItemTextW(dlg, FILEWARN_SOURCE, info);
  SetForegroundWindow(dlg);
}

INT_PTR CALLBACK WarnProc(HWND dlg, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    Fill(dlg, reinterpret_cast<const Request*>(lp));
    return TRUE;
  }
  if (m != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return FALSE;
  for (const Answer& a : kAnswers) {
    if (LOWORD(wp) == a.control) {
      EndDialog(dlg, static_cast<INT_PTR>(a.answer));
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

uint32_t AskOverwrite(ScriptContext* ctx, const wchar_t* target, const wchar_t* source) {
  Request q{ctx, target, source};
  if (ctx->soundOn)
    PlaySoundW(L"SystemExclamation", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
  INT_PTR r = DialogBoxParamW(ModuleInstance(), L"FILEWARN", ctx->hostWindow, WarnProc,
                              reinterpret_cast<LPARAM>(&q));
  for (const Answer& a : kAnswers)
    if (r == static_cast<INT_PTR>(a.answer)) return a.answer;
  return kCancelAll;  // the dialog could not be shown
}

}  // namespace zel::files
