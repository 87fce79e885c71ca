// The error dialog and its traceback, both from the library's dialog
// resources, run modally on the script's thread.
#include "errors/errdialog.h"

#include <mmsystem.h>
#include <shlwapi.h>
#include <cstdio>
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "errors/place.h"
#include "exec/exec.h"
#include "host/process.h"
#include "values/strutil.h"

namespace zel::err {
namespace {

// Controls of the error dialog.
enum : int {
  kCtlCaption = 100, kCtlPath = 101, kCtlMessage = 102, kCtlIcon = 103,
  kCtlWhere = 110, kCtlWhereToo = 111, kCtlLine = 120, kCtlProduct = 130,
  kCtlMoreInfo = 131, kCtlTraceback = 132,
};
constexpr int kCtlFrames = 100;  // the traceback's list box

// Messages.
enum : uint32_t {
  kMsgVersion = 99, kMsgOk = 120, kMsgNearLine = 226, kMsgOf = 227, kMsgRoutine = 228,
  kMsgIn = 229, kMsgError = 230, kMsgOnLine = 231, kMsgSupport = 232, kMsgContinue = 233,
  kMsgExit = 234, kMsgMoreInfo = 245, kMsgMoreInfoTitle = 246, kMsgTraceback = 247,
  kMsgTracebackTitle = 248, kMsgZelVersion = 849,
};

constexpr size_t kTitleSize = 256;
constexpr size_t kKindChars = 14;     // a keyword's name in the kind column
constexpr size_t kStatementChars = 32;  // longer statements are cut to 29 and "..."
constexpr uint8_t kRewrittenGosub = 158;
constexpr uint8_t kRewrittenGoto = 159;

// What both dialogs show, handed to them when they open.
struct DialogData {
  ScriptContext* ctx;
  bool okOnly;
  bool support;
  Place place;
  char lineNumber[16];  // the failing line's number as text; "" unknown
};

DialogData* DataOf(HWND dialog) {
  return reinterpret_cast<DialogData*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// A message as text, in a buffer of its own.
struct Text {
  char s[kWorkBuf];
  Text(ScriptContext* ctx, uint32_t id) { msg::Load(ctx, id, s, sizeof s); }
};

void CentreOnScreen(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
  SetWindowPos(w, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// "prefix path" in a control, the path shortened to what the control's
// width leaves after the prefix.
void SetPathLine(HWND dialog, int id, const char* prefix, const char* path) {
  char shown[kMaxPathLen + 1];
  lstrcpynA(shown, path, sizeof shown);
  HWND control = GetDlgItem(dialog, id);
  HDC dc = control ? GetDC(control) : nullptr;
  if (dc) {
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r;
    GetClientRect(control, &r);
    SIZE used{};
    GetTextExtentPoint32A(dc, prefix, lstrlenA(prefix), &used);
    int room = r.right - r.left - used.cx;
    if (room > 0) PathCompactPathA(dc, shown, static_cast<UINT>(room));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
  }
  char line[kWorkBuf];
  snprintf(line, sizeof line, "%s%s", prefix, shown);
  SetDlgItemTextA(dialog, id, line);
}

// The two location lines: the line number, the file and the function the
// statement ran in, as the include marker in force describes the file.
void SetLocationLines(HWND dialog, DialogData* d) {
  ScriptContext* ctx = d->ctx;
  const Place& p = d->place;
  const char* udf = RunningUdfName(ctx);
  Text of(ctx, kMsgOf), routine(ctx, kMsgRoutine), in(ctx, kMsgIn);
  char inRoutine[kWorkBuf] = "";
  if (udf[0]) snprintf(inRoutine, sizeof inRoutine, "%s %s \"%s\"", in.s, routine.s, udf);
  char prefix[kWorkBuf];
  if (p.known && p.tag < 0) {
    Text onLine(ctx, kMsgOnLine);
    if (udf[0])
      snprintf(prefix, sizeof prefix, "%s %s %s %s \"%s\"", onLine.s, d->lineNumber, of.s, routine.s, udf);
    else
      snprintf(prefix, sizeof prefix, "%s %s", onLine.s, d->lineNumber);
    SetDlgItemTextA(dialog, kCtlWhere, prefix);
    snprintf(prefix, sizeof prefix, "%s ", in.s);
    SetPathLine(dialog, kCtlWhereToo, prefix, p.loc.path);
    return;
  }
  if (p.known) {
    Text which(ctx, p.tag == 0 ? kMsgNearLine : kMsgOnLine);
    snprintf(prefix, sizeof prefix, "%s %s %s ", which.s, d->lineNumber, of.s);
  } else {
    snprintf(prefix, sizeof prefix, "%s ", in.s);
  }
  if (p.known || p.loc.path[0]) SetPathLine(dialog, kCtlWhere, prefix, p.loc.path);
  SetDlgItemTextA(dialog, kCtlWhereToo, inRoutine);
}

// Button 1 of the OK-only dialog: a caption ButtonNames left waiting, used once.
void SetOkCaption(HWND dialog, ScriptContext* ctx) {
  bool pending = ctx->buttonNamesPending && ctx->buttonOk[0];
  ctx->buttonNamesPending = 0;
  if (pending) {
    SetDlgItemTextA(dialog, IDOK, ctx->buttonOk);
  } else {
    SetDlgItemTextA(dialog, IDOK, Text(ctx, kMsgOk).s);
  }
}

void FillErrorDialog(HWND dialog, DialogData* d) {
  ScriptContext* ctx = d->ctx;
  char title[kTitleSize] = "", caption[kTitleSize + kWorkBuf];
  if (ctx->ownerWindow) GetWindowTextA(ctx->ownerWindow, title, sizeof title);
  Text error(ctx, kMsgError);
  if (title[0])
    snprintf(caption, sizeof caption, "%s  %s", error.s, title);
  else
    snprintf(caption, sizeof caption, "%s", error.s);
  SetWindowTextA(dialog, caption);
  SetDlgItemTextA(dialog, kCtlCaption, error.s);
  SetDlgItemTextA(dialog, kCtlPath, ctx->scriptPath);
  SetDlgItemTextA(dialog, kCtlMessage, ctx->composedMessage);
  SetLocationLines(dialog, d);
  SetDlgItemTextA(dialog, kCtlLine, ctx->failLine);
  char product[sizeof ctx->productLine + kWorkBuf];
  Text zelVersion(ctx, kMsgZelVersion), version(ctx, kMsgVersion);
  snprintf(product, sizeof product, "%s%s%s %s", ctx->productLine, ctx->productLine[0] ? "\n" : "",
           zelVersion.s, version.s);
  SetDlgItemTextA(dialog, kCtlProduct, product);
  SetDlgItemTextA(dialog, kCtlMoreInfo, Text(ctx, kMsgMoreInfo).s);
  EnableWindow(GetDlgItem(dialog, kCtlMoreInfo), ctx->errorInfo != nullptr);
  SetDlgItemTextA(dialog, kCtlTraceback, Text(ctx, kMsgTraceback).s);
  SetDlgItemTextA(dialog, kButtonSupport, Text(ctx, kMsgSupport).s);
  ShowWindow(GetDlgItem(dialog, kButtonSupport), d->support ? SW_SHOW : SW_HIDE);
  SendDlgItemMessageA(dialog, kCtlIcon, STM_SETICON,
                      reinterpret_cast<WPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND))), 0);
  if (d->okOnly) {
    SetOkCaption(dialog, ctx);
  } else {
    SetDlgItemTextA(dialog, kButtonContinue, Text(ctx, kMsgContinue).s);
    SetDlgItemTextA(dialog, kButtonExit, Text(ctx, kMsgExit).s);
  }
}

void ShowMoreInfo(HWND dialog, ScriptContext* ctx) {
  char info[kErrorInfoSize];
  CopyErrorInfo(ctx, info, sizeof info);
  MessageBoxA(dialog, info, Text(ctx, kMsgMoreInfoTitle).s, MB_OK | MB_ICONEXCLAMATION);
}

// ---- the traceback

// A statement as the traceback shows it: a rewritten jump written out, and
// cut to 29 characters and "..." when longer than 32.
void StatementColumn(const char* text, char* out, size_t size) {
  char whole[kWorkBuf];
  uint8_t first = static_cast<uint8_t>(text[0]);
  if ((first == kRewrittenGosub || first == kRewrittenGoto) && strlen(text) >= 5)
    snprintf(whole, sizeof whole, "%s%s", first == kRewrittenGoto ? "goto " : "gosub", text + 5);
  else
    lstrcpynA(whole, text, sizeof whole);
  if (strlen(whole) > kStatementChars) memcpy(whole + kStatementChars - 3, "...", 4);
  lstrcpynA(out, whole, static_cast<int>(size));
}

// The kind column: a keyword's name, or what kind of call a function frame is.
void KindColumn(ScriptContext* ctx, const StructFrame& f, char* out, size_t size) {
  static const char* const kCalls[] = {"<udf>", "<dlg_callback>", "<err_handler>", "<com_event>",
                                       "<callback>"};
  const char* name = nullptr;
  switch (f.kind) {
    case exec::kFrameIf: name = "if"; break;
    case exec::kFrameElse: name = "else"; break;
    case exec::kFrameGosubFalse:
    case exec::kFrameGosubTrue:
    case exec::kFrameGosubNone: name = "gosub"; break;
    case exec::kFrameUdf: name = f.resume < 5 ? kCalls[f.resume] : "<unknown>"; break;
    default: {
      uint16_t len = 0;
      name = fn::NameOf(ctx, f.kind, &len);
      if (!name) name = "<unknown>";
      break;
    }
  }
  size_t n = strlen(name);
  if (n > kKindChars) n = kKindChars;
  if (n >= size) n = size - 1;
  memcpy(out, name, n);
  out[n] = 0;
}

void AddLine(HWND list, const char* text) {
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void FillTraceback(HWND dialog, DialogData* d) {
  ScriptContext* ctx = d->ctx;
  SetWindowTextA(dialog, Text(ctx, kMsgTracebackTitle).s);
  HWND list = GetDlgItem(dialog, kCtlFrames);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
  char line[kWorkBuf];
  snprintf(line, sizeof line, "%3s %-14s %6s %-32s %s", "#", "Type", "Line#", "Error Line",
           "Source File");
  AddLine(list, line);
  AddLine(list, "");
  for (int i = 0; i < ctx->structDepth && i < kStructFrames; ++i) {
    FormatFrame(ctx, i, "%3d %-14s %6ld %-32s %s", line, sizeof line);
    AddLine(list, line);
  }
  char statement[kStatementChars + 1];
  StatementColumn(ctx->failLine, statement, sizeof statement);
  snprintf(line, sizeof line, "%3d %-14s %6s %-32s %s", ctx->structDepth + 1, "<error>",
           d->lineNumber, statement, d->place.known ? PathFindFileNameA(d->place.loc.path) : "");
  AddLine(list, line);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, 1200, 0);
  if (ctx->soundOn) PlaySoundA("SystemAsterisk", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

}  // namespace

void FormatFrame(ScriptContext* ctx, int index, const char* format, char* out, size_t size) {
  const StructFrame& f = ctx->structs[index];
  char kind[kKindChars + 1], statement[kStatementChars + 1] = "";
  KindColumn(ctx, f, kind, sizeof kind);
  auto* loc = static_cast<script::Location*>(HeapAlloc(GetProcessHeap(), 0, sizeof(script::Location)));
  long line = 0;
  const char* file = "";
  if (loc && LocateFrame(ctx, f, loc)) {
    line = static_cast<long>(loc->line);
    StatementColumn(loc->text, statement, sizeof statement);
    file = PathFindFileNameA(loc->path);
  }
  snprintf(out, size, format, index + 1, kind, line, statement, file);
  if (loc) HeapFree(GetProcessHeap(), 0, loc);
}

int RunErrorDialog(ScriptContext* ctx, bool okOnly, const char* browser) {
  auto* d = static_cast<DialogData*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(DialogData)));
  if (!d) return -1;
  d->ctx = ctx;
  d->okOnly = okOnly;
  d->support = ctx->supportButton && browser && browser[0];
  LocateFailure(ctx, &d->place);
  if (d->place.known) snprintf(d->lineNumber, sizeof d->lineNumber, "%lu",
                               static_cast<unsigned long>(d->place.loc.line));
  INT_PTR r = DialogBoxParamA(ModuleInstance(), okOnly ? "ERRORMSG" : "ERRORMSGB", ctx->hostWindow,
                              ErrorMsgProc, reinterpret_cast<LPARAM>(d));
  HeapFree(GetProcessHeap(), 0, d);
  return static_cast<int>(r);
}

}  // namespace zel::err

using zel::err::DialogData;

ZEL_API INT_PTR CALLBACK ErrorMsgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  using namespace zel::err;
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      auto* d = reinterpret_cast<DialogData*>(lparam);
      if (d) FillErrorDialog(dialog, d);
      CentreOnScreen(dialog);
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
      int id = LOWORD(wparam);
      DialogData* d = DataOf(dialog);
      if (id == kCtlMoreInfo && d) {
        ShowMoreInfo(dialog, d->ctx);
      } else if (id == kCtlTraceback && d) {
        DialogBoxParamA(zel::ModuleInstance(), "STACKINFO", dialog, StackInfoProc,
                        reinterpret_cast<LPARAM>(d));
      } else if (HIWORD(wparam) == BN_CLICKED || id == IDCANCEL) {
        EndDialog(dialog, id);
      }
      return TRUE;
    }
    default: return FALSE;
  }
}

ZEL_API INT_PTR CALLBACK StackInfoProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  using namespace zel::err;
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      auto* d = reinterpret_cast<DialogData*>(lparam);
      if (d) FillTraceback(dialog, d);
      CentreOnScreen(dialog);
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(dialog, LOWORD(wparam));
      return TRUE;
    default: return FALSE;
  }
}
