// Answers modal message boxes in tests: a timer on the test's own thread finds
// each box the code under test shows, records its caption and text (of the
// error dialog: its message and failing line), and presses a button, so no
// box is ever left waiting for a person.
#pragma once
#include <windows.h>
#include <string>

namespace zel::test {

class BoxCloser {
 public:
  explicit BoxCloser(int button = IDOK) : button_(button) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &BoxCloser::OnTimer);
  }
  ~BoxCloser() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  BoxCloser(const BoxCloser&) = delete;
  BoxCloser& operator=(const BoxCloser&) = delete;

  void Reset() { boxes_ = 0; caption_.clear(); text_.clear(); cancel_ = false; }
  int boxes() const { return boxes_; }
  bool offeredCancel() const { return cancel_; }  // the last box had a Cancel button
  const std::string& caption() const { return caption_; }  // of the last box
  const std::string& text() const { return text_; }

 private:
  static BOOL CALLBACK OnWindow(HWND w, LPARAM) {
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    char buf[1024] = "";
    GetWindowTextA(w, buf, sizeof buf);
    self_->caption_ = buf;
    buf[0] = 0;
    GetDlgItemTextA(w, 0xFFFF, buf, sizeof buf);  // a message box's text control
    self_->text_ = buf;
    if (!GetDlgItem(w, 0xFFFF) && GetDlgItem(w, 102)) {  // the error dialog: message and line
      GetDlgItemTextA(w, 102, buf, sizeof buf);
      self_->text_ = buf;
      buf[0] = 0;
      GetDlgItemTextA(w, 120, buf, sizeof buf);
      if (buf[0]) self_->text_ += std::string("\n\n") + buf;
    }
    HWND cancel = GetDlgItem(w, IDCANCEL);
    self_->cancel_ = cancel && IsWindowVisible(cancel);
    ++self_->boxes_;
    PostMessageA(w, WM_COMMAND, MAKEWPARAM(self_->button_, BN_CLICKED), 0);
    return FALSE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (self_) EnumThreadWindows(GetCurrentThreadId(), &BoxCloser::OnWindow, 0);
  }

  static inline BoxCloser* self_ = nullptr;
  UINT_PTR timer_ = 0;
  int button_;
  int boxes_ = 0;
  bool cancel_ = false;
  std::string caption_, text_;
};

}  // namespace zel::test
