#include "platform/ui/MessageBox.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/ui/App.h"
#include "platform/ui/UiCore.h"

namespace {

ui::MessageBoxHook& Hook() {
  static ui::MessageBoxHook hook;
  return hook;
}

struct Button {
  int id;
  const char* text;
};

std::vector<Button> ButtonsFor(UINT type) {
  switch (type & 0x0F) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    default: return {{IDOK, "OK"}};
  }
}

bool HeadlessVideo() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return !driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0;
}

}  // namespace

namespace ui {
void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }
}  // namespace ui

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  const std::string body = text ? text : "";
  const std::string title = caption ? caption : "";
  if (Hook()) return Hook()(body, title, type);
  const std::vector<Button> buttons = ButtonsFor(type);
  if (!uicore::EnsureStarted() || HeadlessVideo()) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
    return buttons.front().id;
  }
  std::vector<SDL_MessageBoxButtonData> data;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    Uint32 flags = 0;
    if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (buttons[i].id == IDCANCEL || (buttons.size() == 1)) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back({flags, buttons[i].id, buttons[i].text});
  }
  Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
  if ((type & 0xF0) == MB_ICONERROR) kind = SDL_MESSAGEBOX_ERROR;
  if ((type & 0xF0) == MB_ICONWARNING) kind = SDL_MESSAGEBOX_WARNING;
  CWnd* wnd = CWnd::FromHandle(owner);
  CWnd* top = wnd ? wnd->GetTopLevelParent() : nullptr;
  SDL_MessageBoxData box{kind, top && top->Native() ? top->Native()->window : nullptr, title.c_str(), body.c_str(),
                         static_cast<int>(data.size()), data.data(), nullptr};
  int chosen = 0;
  if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen <= 0) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
    return buttons.back().id == IDCANCEL ? IDCANCEL : buttons.front().id;
  }
  return chosen;
}

int AfxMessageBox(const char* text, UINT type) {
  CWnd* main = AfxGetMainWnd();
  return MessageBox(main ? main->m_hWnd : nullptr, text, "Olvane", type);
}
