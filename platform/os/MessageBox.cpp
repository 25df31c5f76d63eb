#include "platform/os/MessageBox.h"

#include "platform/base/Strings.h"
#include "platform/os/Shell.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

struct Button {
  int id;
  const char* label;
};

std::mutex g_hookLock;
MessageBoxHook g_hook;  // guarded by g_hookLock; called outside it
std::mutex g_stderrLock;

std::vector<Button> ButtonsOf(unsigned flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL:
      return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
      return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default:
      return {{IDOK, "OK"}};
  }
}

std::size_t DefaultIndex(unsigned flags, std::size_t count) {
  const std::size_t index = (flags & MB_DEFMASK) >> 8;
  return index < count ? index : 0;
}

// The button Escape or closing the box stands for: Cancel, else No, else the only button.
int EscapeAnswer(const std::vector<Button>& buttons) {
  for (int wanted : {IDCANCEL, IDNO}) {
    for (const Button& b : buttons) {
      if (b.id == wanted) return b.id;
    }
  }
  return buttons.size() == 1 ? buttons[0].id : -1;
}

bool DriverIs(const char* want, const char* drivers) {
  for (const std::string& d : str::Split(drivers, ',')) {
    if (str::EqualsNoCase(str::Trim(d), want)) return true;
  }
  return false;
}

bool EnvSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// A native box needs a real video driver with its display; the dummy and
// offscreen drivers (and a missing display) fall back to standard error.
bool HasDisplay() {
  const bool x11 = EnvSet("DISPLAY");
  const bool wayland = EnvSet("WAYLAND_DISPLAY");
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && *driver) return (x11 && DriverIs("x11", driver)) || (wayland && DriverIs("wayland", driver));
  return x11 || wayland;
}

std::string DisplayText(const std::string& text) {
  std::string shown = text;
  str::Replace(shown, "\r\n", "\n");
  return shown;
}

std::string DisplayCaption(const std::string& caption) {
  if (!caption.empty()) return caption;
  const std::string module = os::ModuleFile();
  const std::size_t slash = module.rfind('/');
  return slash == std::string::npos ? module : module.substr(slash + 1);
}

// Returns the button pressed, or 0 when the native box cannot be shown.
int ShowNative(const std::string& text, const std::string& caption, unsigned flags) {
  const std::vector<Button> buttons = ButtonsOf(flags);
  const std::size_t def = DefaultIndex(flags, buttons.size());
  const int escape = EscapeAnswer(buttons);
  std::vector<SDL_MessageBoxButtonData> data;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    Uint32 bflags = 0;
    if (i == def) bflags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (buttons[i].id == escape) bflags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back({bflags, buttons[i].id, buttons[i].label});
  }
  Uint32 boxFlags = SDL_MESSAGEBOX_INFORMATION;
  const unsigned icon = flags & MB_ICONMASK;
  if (icon == MB_ICONERROR) boxFlags = SDL_MESSAGEBOX_ERROR;
  if (icon == MB_ICONWARNING) boxFlags = SDL_MESSAGEBOX_WARNING;
  boxFlags |= SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  const std::string shownText = DisplayText(text);
  const std::string shownCaption = DisplayCaption(caption);
  const SDL_MessageBoxData box{
      boxFlags, nullptr, shownCaption.c_str(), shownText.c_str(), static_cast<int>(data.size()), data.data(), nullptr};
  int pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0) return 0;
  if (pressed < 0) pressed = escape >= 0 ? escape : buttons[def].id;
  return pressed;
}

int PrintToStderr(const std::string& text, const std::string& caption, unsigned flags) {
  const int answer = DefaultMessageBoxAnswer(flags);
  const char* label = "OK";
  for (const Button& b : ButtonsOf(flags)) {
    if (b.id == answer) label = b.label;
  }
  std::lock_guard<std::mutex> lock(g_stderrLock);
  std::fprintf(stderr, "[%s] %s\n  (answered: %s)\n", DisplayCaption(caption).c_str(), DisplayText(text).c_str(),
               label);
  std::fflush(stderr);
  return answer;
}

}  // namespace

int DefaultMessageBoxAnswer(unsigned flags) {
  const std::vector<Button> buttons = ButtonsOf(flags);
  return buttons[DefaultIndex(flags, buttons.size())].id;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  std::lock_guard<std::mutex> lock(g_hookLock);
  MessageBoxHook previous = std::move(g_hook);
  g_hook = std::move(hook);
  return previous;
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  MessageBoxHook hook;
  {
    std::lock_guard<std::mutex> lock(g_hookLock);
    hook = g_hook;
  }
  if (hook) return hook(text, caption, flags);
  if (HasDisplay()) {
    const int pressed = ShowNative(text, caption, flags);
    if (pressed > 0) return pressed;
  }
  return PrintToStderr(text, caption, flags);
}
