// CWnd creation, destruction, geometry, styles and message dispatch.
#include "platform/ui/Wnd.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Strings.h"
#include "platform/gfx/Brush.h"
#include "platform/gfx/Rgn.h"
#include "platform/ui/App.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/UiCore.h"

namespace {

struct WndClass {
  std::string name;
  UINT style;
  HCURSOR cursor;
  COLORREF background;
  HICON icon;
};

std::vector<WndClass>& Classes() {
  static std::vector<WndClass> classes;
  return classes;
}

const WndClass* FindClass(const char* name) {
  if (!name) return nullptr;
  for (const WndClass& c : Classes())
    if (c.name == name) return &c;
  return nullptr;
}

constexpr int kMaxExtent = 16384;  // largest window side the layer accepts
constexpr std::size_t kMaxClasses = 256;

int ClampExtent(int v) { return std::clamp(v, 0, kMaxExtent); }

const WndClass* AddClass(const std::string& name, UINT style, HCURSOR cursor, COLORREF background, HICON icon) {
  if (const WndClass* c = FindClass(name.c_str())) return c;
  Classes().reserve(kMaxClasses);
  if (Classes().size() >= kMaxClasses) return nullptr;  // keep returned names stable
  Classes().push_back({name, style, cursor, background, icon});
  return &Classes().back();
}

}  // namespace

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, COLORREF background, HICON icon) {
  std::string name = str::Format("OlvWnd:%x:%p:%x:%p", classStyle, static_cast<void*>(cursor), background,
                                 static_cast<void*>(icon));
  const WndClass* c = AddClass(name, classStyle, cursor, background, icon);
  return c ? c->name.c_str() : nullptr;
}

BOOL AfxRegisterClass(WNDCLASS* wndClass) {
  if (!wndClass || !wndClass->lpszClassName || !*wndClass->lpszClassName) return FALSE;
  if (std::strlen(wndClass->lpszClassName) > 255) return FALSE;
  COLORREF background = 0xFFFFFFFF;
  const auto brush = reinterpret_cast<std::uintptr_t>(wndClass->hbrBackground);
  if (brush > 0 && brush <= 64)
    background = GetSysColor(static_cast<int>(brush) - 1);  // a system colour index + 1
  else if (wndClass->hbrBackground && wndClass->hbrBackground->IsCreated())
    background = wndClass->hbrBackground->GetColor();
  return AddClass(wndClass->lpszClassName, wndClass->style, wndClass->hCursor, background, wndClass->hIcon) ? TRUE
                                                                                                             : FALSE;
}

BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* wndClass) {
  const WndClass* c = FindClass(className);
  if (!c || !wndClass) return FALSE;
  *wndClass = WNDCLASS{c->style, nullptr, 0, 0, instance, c->icon, c->cursor, nullptr, nullptr, c->name.c_str()};
  return TRUE;
}

HINSTANCE AfxGetInstanceHandle() { return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(1)); }

CWndNative::~CWndNative() {
  if (window) SDL_DestroyWindow(window);
}

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() = default;
CWnd::CWnd(HWND special) : m_hWnd(special) {}

CWnd::~CWnd() {
  if (m_hWnd && uicore::Lookup(m_hWnd) == this) DestroyWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd) { return uicore::Lookup(hwnd); }

BOOL CWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* param) {
  return CreateEx(0, className, title, style, rect, parent, id, param);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param) {
  if (m_hWnd || !uicore::EnsureStarted() || !uicore::OnUiThread()) return FALSE;
  if ((style & WS_CHILD) && (!parent || !parent->m_hWnd)) return FALSE;
  if (!(style & WS_CHILD)) {
    m_owner = parent;
    parent = nullptr;
  }
  m_parent = parent;
  m_style = style;
  m_exStyle = exStyle;
  m_id = id;
  m_title = title ? title : "";
  if (const WndClass* c = FindClass(className)) {
    m_className = c->name;
    m_classStyle = c->style;
    m_classCursor = c->cursor;
    m_classBackground = c->background;
    m_icons[0] = m_icons[1] = c->icon;
  }
  CRect r(rect);
  r.NormalizeRect();
  r.right = r.left + ClampExtent(r.Width());
  r.bottom = r.top + ClampExtent(r.Height());
  m_rect = r;
  m_hWnd = uicore::Register(this);
  uicore::Core& core = uicore::Get();
  if (m_parent) {
    m_parent->InsertChild(this, &wndTop);
  } else {
    if (!CreateNative(m_title.c_str())) {
      uicore::Unregister(m_hWnd);
      m_hWnd = nullptr;
      return FALSE;
    }
    core.topLevels.push_back(this);
    if (!core.mainWnd && !m_owner) core.mainWnd = m_hWnd;
  }
  HWND self = m_hWnd;
  // Scroll bars asked for by style are there before the window hears of its size.
  if (style & WS_HSCROLL) SetWindowBarShown(SB_HORZ, true, false);
  if (style & WS_VSCROLL) SetWindowBarShown(SB_VERT, true, false);
  if (uicore::Lookup(self) != this) return FALSE;
  CREATESTRUCT cs{param, m_parent ? m_parent->m_hWnd : nullptr, id, r.Height(), r.Width(), r.top, r.left,
                  style, m_title.c_str(), exStyle};
  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (uicore::Lookup(self) == this) DestroyWindow();
    return FALSE;
  }
  if (uicore::Lookup(self) != this) return FALSE;
  if (m_native && (m_style & WS_THICKFRAME)) {
    // Let the desktop keep a user's drag within the window's track sizes.
    MINMAXINFO info{};
    info.ptMinTrackSize = {1, 1};
    info.ptMaxTrackSize = {16384, 16384};
    SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (uicore::Lookup(self) != this) return FALSE;
    SDL_SetWindowMinimumSize(m_native->window, std::clamp<int>(info.ptMinTrackSize.x, 1, 16384),
                             std::clamp<int>(info.ptMinTrackSize.y, 1, 16384));
  }
  CRect client;
  GetClientRect(&client);
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(client.Width()), static_cast<WORD>(client.Height())));
  SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(m_rect.left), static_cast<WORD>(m_rect.top)));
  if (m_style & WS_VISIBLE) {
    if (m_native) SDL_ShowWindow(m_native->window);
    InvalidateTree();
  }
  return TRUE;
}

BOOL CWnd::CreateNative(const char* title) {
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (!(m_style & WS_CAPTION) && !(m_style & WS_THICKFRAME)) flags |= SDL_WINDOW_BORDERLESS;
  if (m_style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  if (m_exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (m_exStyle & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_SKIP_TASKBAR;
  if (m_owner && (m_style & WS_POPUP) && !(m_style & WS_CAPTION)) flags |= SDL_WINDOW_SKIP_TASKBAR;
  if (m_exStyle & WS_EX_NOACTIVATE)
    flags |= (m_exStyle & WS_EX_TOOLWINDOW) ? SDL_WINDOW_POPUP_MENU : SDL_WINDOW_TOOLTIP;
  int w = std::max(1, m_rect.Width());
  int h = std::max(1, m_rect.Height());
  SDL_Window* window = SDL_CreateWindow(title, m_rect.left, m_rect.top, w, h, flags);
  if (!window) return FALSE;
  uicore::ApplyWindowClass(window, m_className);
  m_native = std::make_unique<CWndNative>();
  m_native->window = window;
  m_native->sdlId = SDL_GetWindowID(window);
  SDL_GetWindowSize(window, &m_native->clientWidth, &m_native->clientHeight);
  int x = 0, y = 0;
  SDL_GetWindowPosition(window, &x, &y);
  m_rect = CRect(x, y, x + m_native->clientWidth, y + m_native->clientHeight);
  return TRUE;
}

void CWnd::InsertChild(CWnd* child, const CWnd* after) {
  auto& list = m_children;
  list.erase(std::remove(list.begin(), list.end(), child), list.end());
  if (!after || after == &wndTop || after->m_hWnd == HWND_TOP || after->m_hWnd == HWND_TOPMOST) {
    list.push_back(child);
  } else if (after == &wndBottom || after->m_hWnd == HWND_BOTTOM) {
    list.insert(list.begin(), child);
  } else {
    // Placed directly behind `after`.
    auto it = std::find(list.begin(), list.end(), after);
    list.insert(it == list.end() ? list.end() : it, child);
  }
  // The window's own scroll bars stay above its other children.
  std::stable_partition(list.begin(), list.end(), [this](CWnd* c) { return !c->IsWindowBarOf(this); });
}

void CWnd::RemoveChild(CWnd* child) {
  m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd || m_destroying || uicore::Lookup(m_hWnd) != this) return FALSE;
  m_destroying = true;
  HWND self = m_hWnd;
  SendMessage(WM_DESTROY);
  std::vector<CWnd*> children = m_children;
  for (CWnd* child : children)
    if (uicore::Lookup(child->m_hWnd) == child) child->DestroyWindow();
  uicore::Core& core = uicore::Get();
  std::vector<CWnd*> owned;
  for (CWnd* top : core.topLevels)
    if (top->m_owner == this) owned.push_back(top);
  for (CWnd* w : owned)
    if (uicore::Lookup(w->m_hWnd) == w) w->DestroyWindow();
  for (CWnd* top : core.topLevels)
    if (top->m_owner == this) top->m_owner = nullptr;
  uicore::WindowGone(self);
  uicore::RemoveTimers(self);
  if (m_parent) {
    if (IsReallyVisible()) m_parent->InvalidateArea(m_rect, true);
    m_parent->RemoveChild(this);
  }
  m_native.reset();
  core.topLevels.erase(std::remove(core.topLevels.begin(), core.topLevels.end(), this), core.topLevels.end());
  uicore::Unregister(self);
  m_hWnd = nullptr;
  m_destroying = false;
  if (core.mainWnd == self) core.mainWnd = nullptr;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    PostQuitMessage(0);
  }
  PostNcDestroy();
  return TRUE;
}

// ---- messages -------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Deliver(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = wnd->m_hWnd;
  MSG saved = wnd->m_current;
  wnd->m_current = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  if (uicore::Lookup(hwnd) == wnd) wnd->m_current = saved;
  return result;
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) { return Dispatch(message, wParam, lParam); }

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  switch (message) {
    case WM_CREATE: return OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SIZING: OnSizing(static_cast<UINT>(wParam), reinterpret_cast<LPRECT>(lParam)); return TRUE;
    case WM_MOVE: OnMove(x, y); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<CDC*>(wParam));
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_SETCURSOR:
      return OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
    case WM_CONTEXTMENU: OnContextMenu(FromHandle(reinterpret_cast<HWND>(wParam)), CPoint(x, y)); return 0;
    case WM_SETFOCUS: OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam))); return 0;
    case WM_KILLFOCUS: OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam))); return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
      return 0;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); return 0;
    case WM_ENABLE: OnEnable(static_cast<BOOL>(wParam)); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(lParam))); return 0;
    case WM_QUERYNEWPALETTE: return OnQueryNewPalette();
    case WM_PALETTECHANGED: OnPaletteChanged(FromHandle(reinterpret_cast<HWND>(wParam))); return 0;
    case WM_COMMAND: return OnCommand(wParam, lParam) ? 0 : Default();
    case WM_HSCROLL:
      OnHScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
      return 0;
    case WM_VSCROLL:
      OnVScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
      return 0;
    default: break;
  }
  if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL) return DispatchMouse(message, wParam, lParam);
  if (message >= WM_KEYDOWN && message <= WM_SYSKEYUP) return DispatchKey(message, wParam, lParam);
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DispatchMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT flags = static_cast<UINT>(LOWORD(wParam));
  const CPoint p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
    case WM_MOUSEMOVE: OnMouseMove(flags, p); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(flags, p); return 0;
    case WM_LBUTTONUP: OnLButtonUp(flags, p); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, p); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, p); return 0;
    case WM_RBUTTONUP: OnRButtonUp(flags, p); return 0;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(flags, p); return 0;
    case WM_MBUTTONDOWN: OnMButtonDown(flags, p); return 0;
    case WM_MBUTTONUP: OnMButtonUp(flags, p); return 0;
    case WM_MOUSEWHEEL: return OnMouseWheel(flags, static_cast<short>(HIWORD(wParam)), p);
    default: return DefWindowProc(message, wParam, lParam);
  }
}

LRESULT CWnd::DispatchKey(UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT key = static_cast<UINT>(wParam);
  const UINT repeat = LOWORD(static_cast<std::uintptr_t>(lParam));
  const UINT flags = HIWORD(static_cast<std::uintptr_t>(lParam));
  switch (message) {
    case WM_KEYDOWN: OnKeyDown(key, repeat, flags); return 0;
    case WM_KEYUP: OnKeyUp(key, repeat, flags); return 0;
    case WM_CHAR: OnChar(key, repeat, flags); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(key, repeat, flags); return 0;
    case WM_SYSKEYUP: OnSysKeyUp(key, repeat, flags); return 0;
    default: return DefWindowProc(message, wParam, lParam);
  }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_RBUTTONUP: {
      CPoint p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      ClientToScreen(&p);
      SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd),
                  MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      return m_parent ? m_parent->SendMessage(message, wParam, lParam) : 0;
    case WM_SETCURSOR:
      if (m_parent && m_parent->SendMessage(message, wParam, lParam)) return TRUE;
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == m_hWnd) {
        ::SetCursor(m_classCursor ? m_classCursor : LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
      }
      return FALSE;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // The menu key and Shift+F10 ask for the context menu at the keyboard position.
      if (wParam == static_cast<WPARAM>(VK_APPS) ||
          (wParam == static_cast<WPARAM>(VK_F10) && (GetKeyState(VK_SHIFT) & 0x8000)))
        SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), -1);
      return 0;
    case WM_SETTEXT:
      m_title = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (m_native) SDL_SetWindowTitle(m_native->window, m_title.c_str());
      return TRUE;
    case WM_GETTEXT: {
      char* out = reinterpret_cast<char*>(lParam);
      const std::size_t room = static_cast<std::size_t>(wParam);
      if (!out || room == 0) return 0;
      const std::size_t n = std::min(room - 1, m_title.size());
      std::memcpy(out, m_title.data(), n);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_SETICON: {
      const int which = wParam == ICON_BIG ? 1 : 0;
      HICON old = m_icons[which];
      m_icons[which] = reinterpret_cast<HICON>(lParam);
      if (m_native && (which == 1 || !m_icons[1])) uicore::ApplyIcon(m_native->window, m_icons[which]);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_ERASEBKGND:
      return uicore::EraseWithClassBackground(this, reinterpret_cast<CDC*>(wParam));
    case WM_SETFONT:
      m_font = reinterpret_cast<CFont*>(wParam);
      if (LOWORD(static_cast<std::uintptr_t>(lParam))) Invalidate(TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(m_font);
    case WM_NCHITTEST:
      return HTCLIENT;
    default:
      return 0;
  }
}

// ---- default handlers ------------------------------------------------------

int CWnd::OnCreate(CREATESTRUCT*) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(std::uintptr_t) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
void CWnd::OnPaletteChanged(CWnd*) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CWnd*) { Default(); }
