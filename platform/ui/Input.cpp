// Mouse, keyboard, capture, focus and mouse-leave tracking: native input
// events become window messages for the window under the mouse (or the
// capture window) and for the focus window.
#include <algorithm>
#include <cstring>

#include "platform/gfx/Rgn.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/UiCore.h"

namespace uicore {

namespace {

struct KeyPair {
  SDL_Keycode sdl;
  int vk;
};

constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},  {SDLK_TAB, VK_TAB},         {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN}, {SDLK_PAUSE, VK_PAUSE},     {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},     {SDLK_PAGEUP, VK_PRIOR},    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},         {SDLK_HOME, VK_HOME},       {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},           {SDLK_RIGHT, VK_RIGHT},     {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},   {SDLK_DELETE, VK_DELETE},   {SDLK_APPLICATION, VK_APPS},
    {SDLK_KP_PLUS, VK_ADD},     {SDLK_KP_MINUS, VK_SUBTRACT}, {SDLK_LSHIFT, VK_LSHIFT},
    {SDLK_RSHIFT, VK_RSHIFT},   {SDLK_LCTRL, VK_LCONTROL},  {SDLK_RCTRL, VK_RCONTROL},
    {SDLK_LALT, VK_LMENU},      {SDLK_RALT, VK_RMENU},      {SDLK_PRINTSCREEN, VK_SNAPSHOT},
};

WPARAM MouseKeyFlags() {
  const Core& core = Get();
  WPARAM flags = 0;
  if (core.keys[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
  if (core.keys[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
  if (core.keys[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
  if (core.keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
  if (core.keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
  return flags;
}

LPARAM PackPoint(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

void EndLeaveTracking(HWND nowOver) {
  Core& core = Get();
  if (core.leaveTracked && core.leaveTracked != nowOver) {
    HWND tracked = core.leaveTracked;
    core.leaveTracked = nullptr;
    PostMessage(tracked, WM_MOUSELEAVE, 0, 0);
  }
}

void UpdateModifierKeys() {
  BYTE* k = Get().keys;
  k[VK_SHIFT] = (k[VK_LSHIFT] | k[VK_RSHIFT]) & 0x80;
  k[VK_CONTROL] = (k[VK_LCONTROL] | k[VK_RCONTROL]) & 0x80;
  k[VK_MENU] = (k[VK_LMENU] | k[VK_RMENU]) & 0x80;
}

// Whether the desktop tells where its pointer is on the screen (X11 does;
// the dummy driver and Wayland do not).
bool HasGlobalPointer() {
  static const bool has = [] {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "x11") == 0;
  }();
  return has;
}

// The screen point of a mouse event. The event's window coordinates are
// relative to where the window stood when the desktop made the event, which
// lags behind a window that is being moved or sized; the desktop's pointer
// position does not, so it is used where there is one (injected input keeps
// its own coordinates).
POINT ScreenPointOf(CWnd* top, POINT clientPoint, Uint32 which) {
  if (which != kInjectedMouse && HasGlobalPointer()) {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return POINT{x, y};
  }
  POINT screen = clientPoint;
  top->ClientToScreen(&screen);
  return screen;
}

UINT CursorForEdge(UINT edge) {
  switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT: return IDC_SIZEWE;
    case WMSZ_TOP:
    case WMSZ_BOTTOM: return IDC_SIZENS;
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMRIGHT: return IDC_SIZENWSE;
    default: return IDC_SIZENESW;
  }
}

// One step of the layer's sizing loop: the mouse is at `screen`.
void SizingStep(POINT screen) {
  Core& core = Get();
  SizingDrag& drag = core.sizing;
  CWnd* top = Lookup(drag.hwnd);
  if (!top) {
    drag.hwnd = nullptr;
    return;
  }
  const HWND self = drag.hwnd;
  const UINT edge = drag.edge;
  const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  const bool upper = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  const bool lower = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  const int dx = std::clamp(static_cast<int>(screen.x - drag.start.x), -32768, 32768);
  const int dy = std::clamp(static_cast<int>(screen.y - drag.start.y), -32768, 32768);
  CRect r = drag.startRect;
  if (left) r.left += dx;
  if (right) r.right += dx;
  if (upper) r.top += dy;
  if (lower) r.bottom += dy;
  // The track sizes are asked afresh on every step (a window may change them
  // as it is sized) and hold both for the proposal and for what the window
  // makes of it.
  MINMAXINFO info{};
  info.ptMinTrackSize = {1, 1};
  info.ptMaxTrackSize = {16384, 16384};
  top->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  if (Lookup(self) != top) return;
  const int minW = std::clamp<int>(info.ptMinTrackSize.x, 1, 16384);
  const int minH = std::clamp<int>(info.ptMinTrackSize.y, 1, 16384);
  const int maxW = std::clamp<int>(info.ptMaxTrackSize.x, minW, 16384);
  const int maxH = std::clamp<int>(info.ptMaxTrackSize.y, minH, 16384);
  auto clampToTrack = [&](CRect& rect) {
    const int w = std::clamp(rect.Width(), minW, maxW);
    const int h = std::clamp(rect.Height(), minH, maxH);
    if (left)
      rect.left = rect.right - w;
    else
      rect.right = rect.left + w;
    if (upper)
      rect.top = rect.bottom - h;
    else
      rect.bottom = rect.top + h;
  };
  clampToTrack(r);
  top->SendMessage(WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
  if (Lookup(self) != top) return;
  r.NormalizeRect();
  clampToTrack(r);
  CRect now;
  top->GetWindowRect(&now);
  if (!now.EqualRect(&r))
    top->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// Mouse input while the layer sizes a window; true when it was taken.
bool HandleSizing(const SDL_Event& ev) {
  Core& core = Get();
  if (!core.sizing.hwnd) return false;
  CWnd* top = Lookup(core.sizing.hwnd);
  if (!top || !top->Native()) {
    core.sizing.hwnd = nullptr;
    SDL_CaptureMouse(SDL_FALSE);
    return false;
  }
  if (ev.type == SDL_MOUSEMOTION) {
    CWnd* over = TopLevelForSdl(ev.motion.windowID);
    if (over) core.cursorScreen = ScreenPointOf(over, POINT{ev.motion.x, ev.motion.y}, ev.motion.which);
    SizingStep(core.cursorScreen);
    return true;
  }
  if (ev.type == SDL_MOUSEBUTTONUP || ev.type == SDL_MOUSEBUTTONDOWN) {
    if (ev.button.button == SDL_BUTTON_LEFT) core.keys[VK_LBUTTON] = ev.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0;
    if (ev.type == SDL_MOUSEBUTTONUP && ev.button.button == SDL_BUTTON_LEFT) {
      core.sizing.hwnd = nullptr;
      SDL_CaptureMouse(SDL_FALSE);
    }
    return true;
  }
  return false;
}

// The sizing band of a self-framed window, tested before its children: the
// cursor shows the edge, and a left press starts the layer's sizing loop.
bool HandleSizingBand(CWnd* top, POINT clientPoint, POINT screen, UINT message) {
  Core& core = Get();
  if (core.capture || (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN && message != WM_LBUTTONDBLCLK))
    return false;
  const UINT edge = SizingEdgeAt(top, clientPoint);
  if (!edge) return false;
  EndLeaveTracking(nullptr);
  core.hover = nullptr;
  ::SetCursor(LoadCursor(nullptr, CursorForEdge(edge)));
  if (message != WM_MOUSEMOVE) {
    core.sizing.hwnd = top->m_hWnd;
    core.sizing.edge = edge;
    core.sizing.start = screen;
    top->GetWindowRect(&core.sizing.startRect);
    SDL_CaptureMouse(SDL_TRUE);
  }
  return true;
}

// Sends a mouse message to the capture window or the window under the point.
void DeliverMouse(CWnd* top, POINT clientPoint, UINT message, WPARAM extra, Uint32 which = kInjectedMouse) {
  Core& core = Get();
  POINT screen = message == WM_MOUSEWHEEL ? core.cursorScreen : ScreenPointOf(top, clientPoint, which);
  core.cursorScreen = screen;
  clientPoint = screen;
  top->ScreenToClient(&clientPoint);
  if (HandleSizingBand(top, clientPoint, screen, message)) return;
  CWnd* under = HitTest(top, clientPoint);
  HWND underHwnd = under ? under->m_hWnd : nullptr;
  if (message == WM_MOUSEMOVE) EndLeaveTracking(underHwnd);
  core.hover = underHwnd;
  CWnd* target = Lookup(core.capture);
  if (!target) {
    target = under;
    if (!target) return;
    const HWND self = target->m_hWnd;
    target->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(self), MAKELPARAM(HTCLIENT, static_cast<WORD>(message)));
    if (Lookup(self) != target) return;
  }
  POINT p = screen;
  target->ScreenToClient(&p);
  if (message == WM_MOUSEWHEEL)
    target->SendMessage(message, MouseKeyFlags() | extra, PackPoint(screen));
  else
    target->SendMessage(message, MouseKeyFlags(), PackPoint(p));
}

void HandleButton(const SDL_MouseButtonEvent& ev) {
  CWnd* top = TopLevelForSdl(ev.windowID);
  if (!top) return;
  const bool down = ev.type == SDL_MOUSEBUTTONDOWN;
  UINT message = 0;
  int vk = 0;
  switch (ev.button) {
    case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; vk = VK_LBUTTON; break;
    case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; vk = VK_RBUTTON; break;
    case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; vk = VK_MBUTTON; break;
    default: return;
  }
  Get().keys[vk] = down ? 0x80 : 0;
  if (down && ev.clicks >= 2 && message != WM_MBUTTONDOWN) {
    const POINT pt{ev.x, ev.y};
    CWnd* target = Lookup(Get().capture);
    if (!target) target = HitTest(top, pt);
    if (target && (target->ClassStyle() & CS_DBLCLKS)) message += 2;  // the double-click message
  }
  DeliverMouse(top, POINT{ev.x, ev.y}, message, 0, ev.which);
}

HWND KeyTarget(Uint32 windowID) {
  Core& core = Get();
  CWnd* focus = Lookup(core.focus);
  if (focus) return focus->m_hWnd;
  CWnd* top = TopLevelForSdl(windowID);
  if (!top) top = Lookup(core.active);
  return top ? top->m_hWnd : nullptr;
}

void HandleKey(const SDL_KeyboardEvent& ev) {
  Core& core = Get();
  const int vk = VirtualKeyFromSdl(ev.keysym.sym);
  if (vk <= 0 || vk > 255) return;
  const bool down = ev.type == SDL_KEYDOWN;
  const bool wasDown = (core.keys[vk] & 0x80) != 0;
  core.keys[vk] = down ? 0x80 : 0;
  UpdateModifierKeys();
  int messageKey = vk;
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) messageKey = VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) messageKey = VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) messageKey = VK_MENU;
  const bool sys = (core.keys[VK_MENU] & 0x80) || messageKey == VK_MENU || vk == VK_F10;
  const UINT message = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  std::uint32_t lp = 1u | ((static_cast<std::uint32_t>(ev.keysym.scancode) & 0xFF) << 16);
  if (down && wasDown) lp |= 1u << 30;
  if (!down) lp |= (1u << 30) | (1u << 31);
  CWnd* target = Lookup(KeyTarget(ev.windowID));
  if (target && target->IsWindowEnabled())
    target->SendMessage(message, static_cast<WPARAM>(messageKey), static_cast<LPARAM>(lp));
}

void HandleText(const SDL_TextInputEvent& ev) {
  CWnd* target = Lookup(KeyTarget(ev.windowID));
  for (std::size_t i = 0; target && i < sizeof(ev.text) && ev.text[i]; ++i) {
    const HWND self = target->m_hWnd;
    target->SendMessage(WM_CHAR, static_cast<unsigned char>(ev.text[i]), 1);
    target = Lookup(self);
  }
}

bool IsSelfOrChildOf(HWND candidate, HWND ancestor) {
  CWnd* c = Lookup(candidate);
  CWnd* a = Lookup(ancestor);
  return c && a && (c == a || a->IsChild(c));
}

// The topmost visible child of `w` at its client point `p` that takes the
// mouse there (a child answering HTTRANSPARENT lets the mouse through to what
// lies below it), or null.
CWnd* VisibleChildAt(CWnd* w, POINT p) {
  const std::vector<CWnd*> children = w->GetChildren();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CWnd* child = *it;
    if (!(child->GetStyle() & WS_VISIBLE)) continue;
    CRect r;
    child->GetWindowRect(&r);
    w->ScreenToClient(&r);
    if (!r.PtInRect(p)) continue;
    POINT screen = p;
    w->ClientToScreen(&screen);
    const LRESULT hit =
        child->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
    if (hit == HTTRANSPARENT) continue;
    return child;
  }
  return nullptr;
}

}  // namespace

bool InWindowShape(CWnd* top, POINT clientPoint) {
  const CRgn* shape = top->GetWindowRgn();
  if (!shape) return true;
  // The shape is in window coordinates; the point is in client coordinates.
  CRect window;
  CPoint client0(0, 0);
  top->GetWindowRect(&window);
  top->ClientToScreen(&client0);
  return shape->PtInRegion(clientPoint.x + client0.x - window.left, clientPoint.y + client0.y - window.top) != 0;
}

CWnd* HitTest(CWnd* top, POINT clientPoint) {
  if (!top || !top->IsWindowVisible()) return nullptr;
  if (!InWindowShape(top, clientPoint)) return nullptr;
  CRect client;
  top->GetClientRectWithBars(&client);
  if (!client.PtInRect(clientPoint)) return nullptr;
  CWnd* w = top;
  POINT p = clientPoint;
  for (;;) {
    CWnd* child = VisibleChildAt(w, p);
    if (!child || !child->IsWindowEnabled()) break;
    CRect r;
    child->GetWindowRect(&r);
    w->ScreenToClient(&r);
    p.x -= r.left;
    p.y -= r.top;
    w = child;
  }
  return w->IsWindowEnabled() ? w : nullptr;
}

UINT SizingEdgeAt(CWnd* top, POINT clientPoint) {
  if (!top || !top->IsSelfFramed() || top->IsZoomed() || top->IsIconic()) return 0;
  CRect r;
  top->GetClientRectWithBars(&r);
  if (!r.PtInRect(clientPoint) || !InWindowShape(top, clientPoint)) return 0;
  const bool left = clientPoint.x < r.left + kSizingBand;
  const bool right = !left && clientPoint.x >= r.right - kSizingBand;
  const bool upper = clientPoint.y < r.top + kSizingBand;
  const bool lower = !upper && clientPoint.y >= r.bottom - kSizingBand;
  if (upper) return left ? WMSZ_TOPLEFT : (right ? WMSZ_TOPRIGHT : WMSZ_TOP);
  if (lower) return left ? WMSZ_BOTTOMLEFT : (right ? WMSZ_BOTTOMRIGHT : WMSZ_BOTTOM);
  return left ? WMSZ_LEFT : (right ? WMSZ_RIGHT : 0);
}

UINT EdgeFromChange(const CRect& before, const CRect& after) {
  const bool left = after.left != before.left;
  const bool right = !left && after.right != before.right;
  const bool upper = after.top != before.top;
  const bool lower = !upper && after.bottom != before.bottom;
  if (upper) return left ? WMSZ_TOPLEFT : (right ? WMSZ_TOPRIGHT : WMSZ_TOP);
  if (lower) return left ? WMSZ_BOTTOMLEFT : (right ? WMSZ_BOTTOMRIGHT : WMSZ_BOTTOM);
  if (left) return WMSZ_LEFT;
  return right ? WMSZ_RIGHT : WMSZ_BOTTOMRIGHT;
}

void HandleInputEvent(const SDL_Event& ev) {
  Core& core = Get();
  if (HandleSizing(ev)) return;
  switch (ev.type) {
    case SDL_MOUSEMOTION: {
      CWnd* top = TopLevelForSdl(ev.motion.windowID);
      if (top) DeliverMouse(top, POINT{ev.motion.x, ev.motion.y}, WM_MOUSEMOVE, 0, ev.motion.which);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: HandleButton(ev.button); break;
    case SDL_MOUSEWHEEL: {
      CWnd* top = TopLevelForSdl(ev.wheel.windowID);
      if (!top) break;
      POINT p = core.cursorScreen;
      top->ScreenToClient(&p);
      const int delta = std::clamp(ev.wheel.y, -200, 200) * 120;
      DeliverMouse(top, p, WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(delta)) << 16);
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: HandleKey(ev.key); break;
    case SDL_TEXTINPUT: HandleText(ev.text); break;
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_LEAVE) {
        EndLeaveTracking(nullptr);
        core.hover = nullptr;
      }
      break;
    default: break;
  }
}

void WindowGone(HWND hwnd) {
  Core& core = Get();
  if (core.capture == hwnd) {
    core.capture = nullptr;
    SDL_CaptureMouse(SDL_FALSE);
  }
  if (core.focus == hwnd) core.focus = nullptr;
  if (core.hover == hwnd) core.hover = nullptr;
  if (core.leaveTracked == hwnd) core.leaveTracked = nullptr;
  if (core.active == hwnd) core.active = nullptr;
}

void WindowHidden(HWND hwnd) {
  Core& core = Get();
  if (core.capture && IsSelfOrChildOf(core.capture, hwnd)) ReleaseCapture();
  if (core.focus && IsSelfOrChildOf(core.focus, hwnd)) SetFocus(nullptr);
}

void WindowDisabled(HWND hwnd) { WindowHidden(hwnd); }

int VirtualKeyFromSdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  for (const KeyPair& k : kKeys)
    if (k.sdl == key) return k.vk;
  return 0;
}

SDL_Keycode SdlFromVirtualKey(int vk) {
  if (vk >= 'A' && vk <= 'Z') return SDLK_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return SDLK_0 + (vk - '0');
  if (vk >= VK_F1 && vk <= VK_F12) return SDLK_F1 + (vk - VK_F1);
  if (vk == VK_SHIFT) return SDLK_LSHIFT;
  if (vk == VK_CONTROL) return SDLK_LCTRL;
  if (vk == VK_MENU) return SDLK_LALT;
  for (const KeyPair& k : kKeys)
    if (k.vk == vk) return k.sdl;
  return SDLK_UNKNOWN;
}

}  // namespace uicore

// ---- capture and focus ---------------------------------------------------------

CWnd* CWnd::SetCapture() {
  uicore::Core& core = uicore::Get();
  HWND old = core.capture;
  if (!m_hWnd) return nullptr;
  core.capture = m_hWnd;
  SDL_CaptureMouse(SDL_TRUE);  // unsupported headless; capture still works inside our windows
  if (old && old != m_hWnd)
    if (CWnd* prev = uicore::Lookup(old)) prev->SendMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(m_hWnd));
  return uicore::Lookup(old);
}

CWnd* CWnd::GetCapture() { return uicore::Lookup(uicore::Get().capture); }
HWND GetCapture() { return uicore::Get().capture; }

BOOL ReleaseCapture() {
  uicore::Core& core = uicore::Get();
  HWND old = core.capture;
  if (!old) return TRUE;
  core.capture = nullptr;
  SDL_CaptureMouse(SDL_FALSE);
  if (CWnd* prev = uicore::Lookup(old)) prev->SendMessage(WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND SetFocus(HWND hwnd) {
  uicore::Core& core = uicore::Get();
  HWND old = core.focus;
  if (hwnd && !uicore::Lookup(hwnd)) return nullptr;
  if (old == hwnd) return old;
  core.focus = hwnd;
  if (CWnd* prev = uicore::Lookup(old)) prev->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (core.focus == hwnd)
    if (CWnd* next = uicore::Lookup(hwnd)) next->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return uicore::Lookup(uicore::Get().focus) ? uicore::Get().focus : nullptr; }
CWnd* CWnd::SetFocus() { return uicore::Lookup(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return uicore::Lookup(uicore::Get().focus); }
CWnd* CWnd::GetActiveWindow() { return uicore::Lookup(uicore::Get().active); }

CWnd* CWnd::SetActiveWindow() {
  CWnd* old = GetActiveWindow();
  CWnd* top = GetTopLevelParent();
  if (top->Native()) SDL_RaiseWindow(top->Native()->window);
  uicore::Get().active = top->m_hWnd;
  return old;
}

BOOL CWnd::SetForegroundWindow() {
  SetActiveWindow();
  return TRUE;
}

void CWnd::BringWindowToTop() {
  if (Native())
    SDL_RaiseWindow(Native()->window);
  else if (m_parent)
    SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

CWnd* CWnd::WindowFromPoint(POINT screenPoint) {
  const auto& tops = uicore::Get().topLevels;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    POINT p = screenPoint;
    (*it)->ScreenToClient(&p);
    if (CWnd* hit = uicore::HitTest(*it, p)) return hit;
  }
  return nullptr;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  if (!track) return FALSE;
  uicore::Core& core = uicore::Get();
  if (track->dwFlags & TME_CANCEL) {
    if ((track->dwFlags & TME_LEAVE) && core.leaveTracked == track->hwndTrack) core.leaveTracked = nullptr;
    return TRUE;
  }
  if (!(track->dwFlags & TME_LEAVE) || !uicore::Lookup(track->hwndTrack)) return FALSE;
  if (core.hover != track->hwndTrack) {
    // The mouse is not over the window: the leave is due at once.
    PostMessage(track->hwndTrack, WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  if (core.leaveTracked && core.leaveTracked != track->hwndTrack) PostMessage(core.leaveTracked, WM_MOUSELEAVE, 0, 0);
  core.leaveTracked = track->hwndTrack;
  return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  *point = uicore::Get().cursorScreen;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  uicore::Core& core = uicore::Get();
  core.cursorScreen = POINT{x, y};
  if (uicore::EnsureStarted()) SDL_WarpMouseGlobal(x, y);
  return TRUE;
}

SHORT GetAsyncKeyState(int virtualKey) {
  if (virtualKey <= 0 || virtualKey > 255) return 0;
  return (uicore::Get().keys[virtualKey] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

UINT GetDoubleClickTime() { return 500; }

int GetSystemMetrics(int index) {
  SDL_Rect bounds{0, 0, 1024, 768};
  if (uicore::EnsureStarted()) SDL_GetDisplayBounds(0, &bounds);
  switch (index) {
    case SM_CXSCREEN: return bounds.w;
    case SM_CYSCREEN: return bounds.h;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
  }
}

BOOL SystemParametersInfo(UINT action, UINT, void* value, UINT) {
  if (action != SPI_GETWORKAREA || !value) return FALSE;
  SDL_Rect bounds{0, 0, 1024, 768};
  if (uicore::EnsureStarted() && SDL_GetDisplayUsableBounds(0, &bounds) != 0) SDL_GetDisplayBounds(0, &bounds);
  *static_cast<RECT*>(value) = RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
  return TRUE;
}
