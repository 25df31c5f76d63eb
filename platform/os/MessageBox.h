// Modal message boxes with the button and icon flags the libraries pass.
// On a desktop the box is SDL's native message box; without a display (tests,
// a server, SDL's dummy or offscreen drivers) the text goes to standard error
// and the default button's answer is returned at once, so nothing ever blocks
// a headless run. Tests install a hook to read the texts and pick answers.
#pragma once

#include <functional>
#include <string>
#include <utility>

// Button sets (the low nibble of the flags).
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_TYPEMASK = 0xF;

// Icons.
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned MB_ICONASTERISK = 0x40;
constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr unsigned MB_ICONMASK = 0xF0;

// Which button answers Return (and the headless default).
constexpr unsigned MB_DEFBUTTON1 = 0x000;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_DEFMASK = 0xF00;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Replaces what MessageBox does: receives the text, caption and flags and
// returns the answer. An empty function restores the normal behaviour.
using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;

// Shows a message and returns the button pressed (IDOK, IDYES...). An empty
// caption shows the running program's name. Safe to call from any thread; the
// native box blocks the caller until it is answered.
int MessageBox(const std::string& text, const std::string& caption, unsigned flags = MB_OK);

// The answer MessageBox gives without asking: the default button of the set.
int DefaultMessageBoxAnswer(unsigned flags);

// Installs a hook for every following MessageBox call; returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Installs a hook for the lifetime of the object and puts the previous one back.
class CScopedMessageBoxHook {
 public:
  explicit CScopedMessageBoxHook(MessageBoxHook hook) : m_previous(SetMessageBoxHook(std::move(hook))) {}
  ~CScopedMessageBoxHook() { SetMessageBoxHook(std::move(m_previous)); }
  CScopedMessageBoxHook(const CScopedMessageBoxHook&) = delete;
  CScopedMessageBoxHook& operator=(const CScopedMessageBoxHook&) = delete;

 private:
  MessageBoxHook m_previous;
};
