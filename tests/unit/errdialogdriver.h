// Drives the error dialog in tests: a timer on the test's own thread finds
// the dialog the code under test shows, records what it shows, opens its
// "More Error Info" box and its traceback when asked (recording them too),
// and presses the chosen button, so no dialog waits for a person.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace zel::test {

struct ErrorDialogSeen {
  std::string title, message, where, whereToo, line, product;
  std::string button1, button2;  // captions; button2 "" when the dialog has one button
  bool moreInfoEnabled = false;
  bool supportVisible = false;
  std::string moreInfo;                // the text of the "More Error Info" box
  std::string tracebackTitle;
  std::vector<std::string> traceback;  // the traceback's lines
};

class ErrorDialogDriver {
 public:
  ErrorDialogDriver(int button, bool openMoreInfo, bool openTraceback)
      : button_(button), moreInfo_(openMoreInfo), traceback_(openTraceback) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &ErrorDialogDriver::OnTimer);
  }
  explicit ErrorDialogDriver(int button = IDOK) : ErrorDialogDriver(button, false, false) {}
  ~ErrorDialogDriver() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  ErrorDialogDriver(const ErrorDialogDriver&) = delete;
  ErrorDialogDriver& operator=(const ErrorDialogDriver&) = delete;

  const std::vector<ErrorDialogSeen>& seen() const { return seen_; }
  // The last dialog's composed message and failing line, a blank line apart.
  std::string text() const {
    if (seen_.empty()) return "";
    const ErrorDialogSeen& s = seen_.back();
    return s.line.empty() ? s.message : s.message + "\n\n" + s.line;
  }

 private:
  static std::string Item(HWND w, int id) {
    char buf[4096] = "";
    GetDlgItemTextA(w, id, buf, sizeof buf);
    return buf;
  }
  static std::string Class(HWND w) {
    char cls[64] = "";
    if (w) GetClassNameA(w, cls, sizeof cls);
    return cls;
  }
  static void Press(HWND w, int id) { PostMessageA(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

  void Record(HWND w) {
    ErrorDialogSeen s;
    char title[512] = "";
    GetWindowTextA(w, title, sizeof title);
    s.title = title;
    s.message = Item(w, 102);
    s.where = Item(w, 110);
    s.whereToo = Item(w, 111);
    s.line = Item(w, 120);
    s.product = Item(w, 130);
    s.button1 = Item(w, IDOK);
    HWND two = GetDlgItem(w, IDCANCEL);
    if (two) s.button2 = Item(w, IDCANCEL);
    s.moreInfoEnabled = IsWindowEnabled(GetDlgItem(w, 131)) != 0;
    s.supportVisible = IsWindowVisible(GetDlgItem(w, 140)) != 0;
    seen_.push_back(s);
    dialog_ = w;
    moreInfoDone_ = !moreInfo_ || !s.moreInfoEnabled;
    tracebackDone_ = !traceback_;
  }

  // One step on the topmost window the dialog has open.
  void Step(HWND w) {
    HWND list = GetDlgItem(w, 100);
    if (Class(list) == "ListBox") {  // the traceback
      char title[256] = "";
      GetWindowTextA(w, title, sizeof title);
      seen_.back().tracebackTitle = title;
      int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < n; ++i) {
        char line[1024] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        seen_.back().traceback.push_back(line);
      }
      Press(w, IDOK);
      return;
    }
    if (GetDlgItem(w, 0xFFFF) && w != dialog_) {  // the "More Error Info" box
      seen_.back().moreInfo = Item(w, 0xFFFF);
      Press(w, IDOK);
      return;
    }
    if (!GetDlgItem(w, 102)) return;
    if (w != dialog_) Record(w);
    if (!moreInfoDone_) {
      moreInfoDone_ = true;
      Press(w, 131);
    } else if (!tracebackDone_) {
      tracebackDone_ = true;
      Press(w, 132);
    } else {
      dialog_ = nullptr;
      Press(w, button_);
    }
  }

  static BOOL CALLBACK OnWindow(HWND w, LPARAM found) {
    if (Class(w) == "#32770" && IsWindowVisible(w) && IsWindowEnabled(w)) {
      *reinterpret_cast<HWND*>(found) = w;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!self_ || self_->busy_) return;
    self_->busy_ = true;
    HWND w = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &ErrorDialogDriver::OnWindow, reinterpret_cast<LPARAM>(&w));
    if (w) self_->Step(w);
    self_->busy_ = false;
  }

  static inline ErrorDialogDriver* self_ = nullptr;
  UINT_PTR timer_ = 0;
  int button_;
  bool moreInfo_, traceback_;
  bool moreInfoDone_ = true, tracebackDone_ = true, busy_ = false;
  HWND dialog_ = nullptr;
  std::vector<ErrorDialogSeen> seen_;
};

}  // namespace zel::test
