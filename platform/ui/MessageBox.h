// Message boxes: shown through the desktop's message box when there is a
// display, printed to stderr when there is none (headless), and replaceable
// by a hook so that tests can read them and answer.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/UiTypes.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows the box and returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO).
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
int AfxMessageBox(const char* text, UINT type = MB_OK);

namespace ui {
// Receives every message box instead of the desktop (null restores it); its
// result is the button chosen.
using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption, UINT type)>;
void SetMessageBoxHook(MessageBoxHook hook);
}  // namespace ui
