#include "platform/ui/Headless.h"

#include "platform/ui/UiCore.h"

namespace ui {

namespace {

// The top-level window of `hwnd` and the point in its client coordinates.
CWnd* TopAndPoint(HWND hwnd, POINT& point) {
  CWnd* wnd = CWnd::FromHandle(hwnd);
  if (!wnd) return nullptr;
  CWnd* top = wnd->GetTopLevelParent();
  const CPoint origin = wnd->OriginInTopLevel();
  point.x += origin.x;
  point.y += origin.y;
  return top->Native() ? top : nullptr;
}

Uint32 SdlIdOf(HWND hwnd) {
  POINT none{0, 0};
  CWnd* top = TopAndPoint(hwnd, none);
  return top ? top->Native()->sdlId : 0;
}

BOOL Push(SDL_Event& ev) {
  ev.common.timestamp = SDL_GetTicks();
  return SDL_PushEvent(&ev) == 1 ? TRUE : FALSE;
}

Uint32 ButtonMask() {
  const uicore::Core& core = uicore::Get();
  Uint32 mask = 0;
  if (core.keys[VK_LBUTTON] & 0x80) mask |= SDL_BUTTON_LMASK;
  if (core.keys[VK_RBUTTON] & 0x80) mask |= SDL_BUTTON_RMASK;
  if (core.keys[VK_MBUTTON] & 0x80) mask |= SDL_BUTTON_MMASK;
  return mask;
}

BOOL PushWindowEvent(HWND hwnd, Uint8 kind, int data1 = 0, int data2 = 0) {
  const Uint32 id = SdlIdOf(hwnd);
  if (!id) return FALSE;
  SDL_Event ev{};
  ev.type = SDL_WINDOWEVENT;
  ev.window.windowID = id;
  ev.window.event = kind;
  ev.window.padding1 = uicore::kInjectedWindowEvent;
  ev.window.data1 = data1;
  ev.window.data2 = data2;
  return Push(ev);
}

}  // namespace

BOOL InjectMouseMove(HWND hwnd, POINT clientPoint) {
  CWnd* top = TopAndPoint(hwnd, clientPoint);
  if (!top) return FALSE;
  SDL_Event ev{};
  ev.type = SDL_MOUSEMOTION;
  ev.motion.windowID = top->Native()->sdlId;
  ev.motion.which = uicore::kInjectedMouse;
  ev.motion.x = clientPoint.x;
  ev.motion.y = clientPoint.y;
  ev.motion.state = ButtonMask();
  return Push(ev);
}

BOOL InjectMouseButton(HWND hwnd, POINT clientPoint, int button, bool down, int clicks) {
  CWnd* top = TopAndPoint(hwnd, clientPoint);
  if (!top) return FALSE;
  SDL_Event ev{};
  ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  ev.button.windowID = top->Native()->sdlId;
  ev.button.which = uicore::kInjectedMouse;
  ev.button.button = button == VK_RBUTTON ? SDL_BUTTON_RIGHT : (button == VK_MBUTTON ? SDL_BUTTON_MIDDLE : SDL_BUTTON_LEFT);
  ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  ev.button.clicks = static_cast<Uint8>(clicks < 1 ? 1 : (clicks > 255 ? 255 : clicks));
  ev.button.x = clientPoint.x;
  ev.button.y = clientPoint.y;
  return Push(ev);
}

BOOL InjectClick(HWND hwnd, POINT clientPoint, int button) {
  return InjectMouseMove(hwnd, clientPoint) && InjectMouseButton(hwnd, clientPoint, button, true) &&
         InjectMouseButton(hwnd, clientPoint, button, false);
}

BOOL InjectMouseLeaveWindow(HWND hwnd) { return PushWindowEvent(hwnd, SDL_WINDOWEVENT_LEAVE); }

BOOL InjectMouseWheel(HWND hwnd, int notches) {
  const Uint32 id = SdlIdOf(hwnd);
  if (!id) return FALSE;
  SDL_Event ev{};
  ev.type = SDL_MOUSEWHEEL;
  ev.wheel.windowID = id;
  ev.wheel.y = notches;
  return Push(ev);
}

BOOL InjectKey(HWND hwnd, int virtualKey, bool down) {
  const Uint32 id = SdlIdOf(hwnd);
  const SDL_Keycode key = uicore::SdlFromVirtualKey(virtualKey);
  if (!id || key == SDLK_UNKNOWN) return FALSE;
  SDL_Event ev{};
  ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  ev.key.windowID = id;
  ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  ev.key.keysym.sym = key;
  ev.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  return Push(ev);
}

BOOL InjectKeyPress(HWND hwnd, int virtualKey) {
  return InjectKey(hwnd, virtualKey, true) && InjectKey(hwnd, virtualKey, false);
}

BOOL InjectText(HWND hwnd, const char* utf8) {
  const Uint32 id = SdlIdOf(hwnd);
  if (!id || !utf8) return FALSE;
  SDL_Event ev{};
  ev.type = SDL_TEXTINPUT;
  ev.text.windowID = id;
  SDL_strlcpy(ev.text.text, utf8, sizeof(ev.text.text));
  return Push(ev);
}

BOOL InjectResize(HWND hwnd, int clientWidth, int clientHeight) {
  if (clientWidth <= 0 || clientHeight <= 0) return FALSE;
  return PushWindowEvent(hwnd, SDL_WINDOWEVENT_RESIZED, clientWidth, clientHeight);
}

BOOL InjectFocus(HWND hwnd, bool gained) {
  return PushWindowEvent(hwnd, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}

BOOL InjectClose(HWND hwnd) { return PushWindowEvent(hwnd, SDL_WINDOWEVENT_CLOSE); }

BOOL InjectDropFiles(HWND hwnd, const std::vector<std::string>& paths) {
  const Uint32 id = SdlIdOf(hwnd);
  if (!id) return FALSE;
  SDL_Event ev{};
  ev.type = SDL_DROPBEGIN;
  ev.drop.windowID = id;
  if (!Push(ev)) return FALSE;
  for (const std::string& path : paths) {
    ev = SDL_Event{};
    ev.type = SDL_DROPFILE;
    ev.drop.windowID = id;
    // The handler frees the name, as it frees the names SDL allocates.
    ev.drop.file = SDL_strdup(path.c_str());
    if (!ev.drop.file) return FALSE;
    if (!Push(ev)) {
      SDL_free(ev.drop.file);
      return FALSE;
    }
  }
  ev = SDL_Event{};
  ev.type = SDL_DROPCOMPLETE;
  ev.drop.windowID = id;
  return Push(ev);
}

BOOL ReadWindowPixels(HWND hwnd, std::vector<std::uint32_t>& pixels, int& width, int& height) {
  POINT none{0, 0};
  CWnd* top = TopAndPoint(hwnd, none);
  SDL_Surface* surface = top ? SDL_GetWindowSurface(top->Native()->window) : nullptr;
  if (!surface || surface->format->BytesPerPixel != 4) return FALSE;
  width = surface->w;
  height = surface->h;
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  SDL_LockSurface(surface);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const Uint8*>(surface->pixels) +
                                                             static_cast<std::size_t>(y) * surface->pitch);
    for (int x = 0; x < width; ++x) {
      Uint8 r, g, b;
      SDL_GetRGB(row[x], surface->format, &r, &g, &b);
      pixels[static_cast<std::size_t>(y) * width + x] = (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
    }
  }
  SDL_UnlockSurface(surface);
  return TRUE;
}

COLORREF GetWindowPixel(HWND hwnd, int x, int y) {
  POINT p{x, y};
  if (!TopAndPoint(hwnd, p)) return 0xFFFFFFFF;
  std::vector<std::uint32_t> pixels;
  int w = 0, h = 0;
  if (!ReadWindowPixels(hwnd, pixels, w, h) || p.x < 0 || p.y < 0 || p.x >= w || p.y >= h) return 0xFFFFFFFF;
  const std::uint32_t v = pixels[static_cast<std::size_t>(p.y) * w + p.x];
  return RGB(static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v));
}

BOOL SaveWindowBitmap(HWND hwnd, const std::string& path) {
  POINT none{0, 0};
  CWnd* top = TopAndPoint(hwnd, none);
  SDL_Surface* surface = top ? SDL_GetWindowSurface(top->Native()->window) : nullptr;
  return surface && SDL_SaveBMP(surface, path.c_str()) == 0 ? TRUE : FALSE;
}

BOOL GetNativeWindowClass(HWND hwnd, std::string& instance, std::string& className) {
  CWnd* wnd = uicore::Lookup(hwnd);
  CWnd* top = wnd ? wnd->GetTopLevelParent() : nullptr;
  if (!top || !top->Native()) return FALSE;
  return uicore::ReadWindowClass(top->Native()->window, instance, className) ? TRUE : FALSE;
}

}  // namespace ui
