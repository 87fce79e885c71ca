// The library's window classes: the hidden notification window and the three
// classes of script-defined dialogs.
#pragma once
#include <windows.h>

namespace zel {

constexpr const char* kNotifyClass = "zl8wcmmn";
constexpr const char* kDialogClass = "zl9wcdlg";
constexpr const char* kDialogClass2 = "zl0wcdl2";
constexpr const char* kDialogClassW = "zl0wcdl3";
constexpr const wchar_t* kDialogClassWideName = L"zl0wcdl3";

// Registers the four classes once per process; a class that already exists
// counts as registered. False when a registration fails.
bool RegisterWindowClasses();

}  // namespace zel
