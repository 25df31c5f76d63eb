// CWnd geometry, visibility, styles, relations, invalidation and timers.
#include <algorithm>
#include <cstring>

#include "platform/gfx/Rgn.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/UiCore.h"
#include "platform/ui/Wnd.h"

namespace {

CRect BordersOf(const CWndNative* native) {
  int top = 0, left = 0, bottom = 0, right = 0;
  if (native && SDL_GetWindowBordersSize(native->window, &top, &left, &bottom, &right) != 0)
    top = left = bottom = right = 0;
  return CRect(left, top, right, bottom);
}

}  // namespace

// ---- geometry --------------------------------------------------------------

void CWnd::GetClientRectWithBars(LPRECT rect) const {
  if (!rect) return;
  if (m_native)
    *rect = CRect(0, 0, m_native->clientWidth, m_native->clientHeight);
  else
    *rect = CRect(0, 0, m_rect.Width(), m_rect.Height());
}

void CWnd::GetClientRect(LPRECT rect) const {
  if (!rect) return;
  GetClientRectWithBars(rect);
  const CScrollBar* h = GetWindowScrollBar(SB_HORZ);
  const CScrollBar* v = GetWindowScrollBar(SB_VERT);
  const int t = CScrollBar::kThickness;
  if (v && (v->GetStyle() & WS_VISIBLE)) rect->right = std::max<int>(rect->left, rect->right - t);
  if (h && (h->GetStyle() & WS_VISIBLE)) rect->bottom = std::max<int>(rect->top, rect->bottom - t);
}

CRect CWnd::FullRectInTopLevel() const {
  CRect full;
  GetClientRectWithBars(&full);
  if (!m_parent) return full;
  full.OffsetRect(OriginInTopLevel());
  CRect r;
  r.IntersectRect(full, m_parent->VisibleRectInTopLevel());
  return r;
}

void CWnd::GetWindowRect(LPRECT rect) const {
  if (!rect) return;
  CRect r = m_rect;
  if (m_parent) {
    CPoint origin(0, 0);
    m_parent->ClientToScreen(&origin);
    r.OffsetRect(origin);
  }
  *rect = r;
}

void CWnd::ClientToScreen(LPPOINT point) const {
  if (!point) return;
  if (m_native) {
    CRect b = BordersOf(m_native.get());
    point->x += m_rect.left + b.left;
    point->y += m_rect.top + b.top;
  } else if (m_parent) {
    point->x += m_rect.left;
    point->y += m_rect.top;
    m_parent->ClientToScreen(point);
  }
}

void CWnd::ClientToScreen(LPRECT rect) const {
  if (!rect) return;
  CPoint origin(0, 0);
  ClientToScreen(&origin);
  static_cast<CRect*>(static_cast<void*>(rect))->OffsetRect(origin);
}

void CWnd::ScreenToClient(LPPOINT point) const {
  if (!point) return;
  CPoint origin(0, 0);
  ClientToScreen(&origin);
  point->x -= origin.x;
  point->y -= origin.y;
}

void CWnd::ScreenToClient(LPRECT rect) const {
  if (!rect) return;
  CPoint origin(0, 0);
  ClientToScreen(&origin);
  rect->left -= origin.x;
  rect->right -= origin.x;
  rect->top -= origin.y;
  rect->bottom -= origin.y;
}

void CWnd::MapWindowPoints(CWnd* to, LPRECT rect) const {
  ClientToScreen(rect);
  if (to) to->ScreenToClient(rect);
}

void CWnd::CalcWindowRect(LPRECT clientRect, UINT) {
  if (!clientRect || !m_native) return;
  // The frame is whatever the desktop draws round the window; none when the
  // window is borderless or the desktop draws no frames (headless).
  CRect b = BordersOf(m_native.get());
  clientRect->left -= b.left;
  clientRect->top -= b.top;
  clientRect->right += b.right;
  clientRect->bottom += b.bottom;
}

CPoint CWnd::OriginInTopLevel() const {
  if (!m_parent) return CPoint(0, 0);
  CPoint p = m_parent->OriginInTopLevel();
  p.Offset(m_rect.left, m_rect.top);
  return p;
}

CRect CWnd::VisibleRectInTopLevel() const {
  CRect client;
  GetClientRect(&client);
  if (!m_parent) return client;
  client.OffsetRect(OriginInTopLevel());
  CRect r;
  // A window's own scroll bar lies outside its parent's client area.
  r.IntersectRect(client, IsWindowBarOf(m_parent) ? m_parent->FullRectInTopLevel() : m_parent->VisibleRectInTopLevel());
  return r;
}

BOOL CWnd::IsReallyVisible() const {
  for (const CWnd* w = this; w; w = w->m_parent)
    if (!(w->m_style & WS_VISIBLE)) return FALSE;
  return TRUE;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

void CWnd::ApplyNativeSize(int width, int height) {
  if (!m_native || (m_native->clientWidth == width && m_native->clientHeight == height)) return;
  m_native->clientWidth = width;
  m_native->clientHeight = height;
  m_rect.right = m_rect.left + width;
  m_rect.bottom = m_rect.top + height;
  m_update.Intersect(CRect(0, 0, width, height));
  LayoutWindowBarsQuietly();
  CRect client;
  GetClientRect(&client);
  SendMessage(WM_SIZE, SIZE_RESTORED,
              MAKELPARAM(static_cast<WORD>(client.Width()), static_cast<WORD>(client.Height())));
  if (m_hWnd) InvalidateTree();  // the surface was replaced: everything is drawn again
}

void CWnd::ApplyNativePosition(int x, int y) {
  if (!m_native) return;
  CRect b = BordersOf(m_native.get());
  CRect r(x - b.left, y - b.top, x - b.left + m_rect.Width(), y - b.top + m_rect.Height());
  if (r.EqualRect(&m_rect)) return;
  m_rect = r;
  SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!m_hWnd) return FALSE;
  CRect old = m_rect;
  CRect next = old;
  if (!(flags & SWP_NOMOVE)) next.MoveToXY(x, y);
  if (!(flags & SWP_NOSIZE)) {
    next.right = next.left + std::clamp(cx, 0, 16384);
    next.bottom = next.top + std::clamp(cy, 0, 16384);
  }
  if (m_native) {
    CRect b = BordersOf(m_native.get());
    if (!(flags & SWP_NOSIZE) && (next.Width() != old.Width() || next.Height() != old.Height())) {
      const int w = std::max(1, next.Width() - b.left - b.right);
      const int h = std::max(1, next.Height() - b.top - b.bottom);
      SDL_SetWindowSize(m_native->window, w, h);
      ApplyNativeSize(w, h);
    }
    if (!(flags & SWP_NOMOVE) && (next.left != old.left || next.top != old.top)) {
      SDL_SetWindowPosition(m_native->window, next.left + b.left, next.top + b.top);
      ApplyNativePosition(next.left + b.left, next.top + b.top);
    }
    if (!(flags & SWP_NOZORDER) && insertAfter) {
      if (insertAfter->m_hWnd == HWND_TOPMOST) m_exStyle |= WS_EX_TOPMOST;
      if (insertAfter->m_hWnd == HWND_NOTOPMOST) m_exStyle &= ~WS_EX_TOPMOST;
      SDL_SetWindowAlwaysOnTop(m_native->window, (m_exStyle & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
      if (insertAfter->m_hWnd != HWND_BOTTOM && !(flags & SWP_NOACTIVATE)) SDL_RaiseWindow(m_native->window);
    }
  } else if (m_parent) {
    const bool visible = IsReallyVisible();
    if (!next.EqualRect(&old)) {
      if (visible && !(flags & SWP_NOREDRAW)) m_parent->InvalidateArea(old, true);
      m_rect = next;
      if (visible && !(flags & SWP_NOREDRAW)) m_parent->InvalidateArea(next, true);
      if ((next.Width() != old.Width() || next.Height() != old.Height())) {
        LayoutWindowBarsQuietly();
        CRect client;
        GetClientRect(&client);
        SendMessage(WM_SIZE, SIZE_RESTORED,
                    MAKELPARAM(static_cast<WORD>(client.Width()), static_cast<WORD>(client.Height())));
      }
      if (m_hWnd && (next.left != old.left || next.top != old.top))
        SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(next.left), static_cast<WORD>(next.top)));
    }
    if (m_hWnd && !(flags & SWP_NOZORDER) && m_parent) {
      m_parent->InsertChild(this, insertAfter ? insertAfter : &wndTop);
      if (visible) m_parent->InvalidateArea(m_rect, false);
    }
  }
  if (!m_hWnd) return FALSE;
  if (flags & SWP_FRAMECHANGED) Invalidate(FALSE);
  if (flags & SWP_SHOWWINDOW) ShowWindow(SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  return TRUE;
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
  if (!placement || !m_hWnd) return FALSE;
  std::memset(placement, 0, sizeof(*placement));
  placement->length = sizeof(WINDOWPLACEMENT);
  placement->showCmd = IsIconic() ? SW_SHOWMINIMIZED : (IsZoomed() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  placement->rcNormalPosition = m_fullScreen ? m_normalRect : m_rect;
  return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement) {
  if (!placement || !m_hWnd) return FALSE;
  MoveWindow(&placement->rcNormalPosition, TRUE);
  ShowWindow(static_cast<int>(placement->showCmd));
  return TRUE;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  CRect area;
  CWnd* ref = alternateOwner ? alternateOwner : (m_parent ? m_parent : m_owner);
  if (m_parent) {
    m_parent->GetClientRect(&area);
  } else if (ref) {
    ref->GetWindowRect(&area);
  } else {
    SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  }
  CRect r;
  GetWindowRect(&r);
  if (m_parent) m_parent->ScreenToClient(&r);
  SetWindowPos(nullptr, area.left + (area.Width() - r.Width()) / 2, area.top + (area.Height() - r.Height()) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- state and styles ------------------------------------------------------

BOOL CWnd::ShowWindow(int command) {
  if (!m_hWnd) return FALSE;
  const BOOL wasVisible = (m_style & WS_VISIBLE) ? TRUE : FALSE;
  const bool show = command != SW_HIDE;
  if (m_native) {
    if (command == SW_SHOWMAXIMIZED) SDL_MaximizeWindow(m_native->window);
    if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED) SDL_MinimizeWindow(m_native->window);
    if (command == SW_RESTORE) SDL_RestoreWindow(m_native->window);
  }
  if (show == static_cast<bool>(wasVisible)) return wasVisible;
  if (!show && m_parent && IsReallyVisible()) m_parent->InvalidateArea(m_rect, true);
  if (show)
    m_style |= WS_VISIBLE;
  else
    m_style &= ~WS_VISIBLE;
  if (m_native) {
    if (show)
      SDL_ShowWindow(m_native->window);
    else
      SDL_HideWindow(m_native->window);
  }
  if (!show) uicore::WindowHidden(m_hWnd);
  SendMessage(WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (show && m_hWnd) InvalidateTree();
  return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return m_hWnd && IsReallyVisible(); }

BOOL CWnd::EnableWindow(BOOL enable) {
  const BOOL wasDisabled = (m_style & WS_DISABLED) ? TRUE : FALSE;
  if (!m_hWnd || (enable ? !wasDisabled : wasDisabled)) return wasDisabled;
  if (enable)
    m_style &= ~WS_DISABLED;
  else
    m_style |= WS_DISABLED;
  if (!enable) uicore::WindowDisabled(m_hWnd);
  SendMessage(WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_hWnd && !(m_style & WS_DISABLED); }

BOOL CWnd::IsIconic() const {
  return m_native && (SDL_GetWindowFlags(m_native->window) & SDL_WINDOW_MINIMIZED) ? TRUE : FALSE;
}

BOOL CWnd::IsZoomed() const {
  return m_native && (SDL_GetWindowFlags(m_native->window) & SDL_WINDOW_MAXIMIZED) ? TRUE : FALSE;
}

DWORD CWnd::GetStyle() const { return m_style; }
DWORD CWnd::GetExStyle() const { return m_exStyle; }

BOOL CWnd::IsSelfFramed() const {
  return m_native && (m_style & WS_THICKFRAME) && (m_style & WS_CAPTION) != WS_CAPTION && !m_fullScreen ? TRUE
                                                                                                     : FALSE;
}

void CWnd::ApplyStyleToNative() {
  if (!m_native) return;
  // Only a window with a caption gets the desktop's frame; a sizable window
  // without one stays borderless and is sized through the layer's band.
  const bool framed = (m_style & WS_CAPTION) == WS_CAPTION;
  SDL_SetWindowBordered(m_native->window, framed ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowResizable(m_native->window, framed && (m_style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowAlwaysOnTop(m_native->window, (m_exStyle & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
  if (!m_hWnd) return FALSE;
  const DWORD next = (m_style & ~remove) | add;
  if (next == m_style) return FALSE;
  const bool visibilityChanged = ((next ^ m_style) & WS_VISIBLE) != 0;
  m_style = (next & ~WS_VISIBLE) | (m_style & WS_VISIBLE);
  ApplyStyleToNative();
  if (visibilityChanged) ShowWindow((next & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
  if (flags && m_hWnd) SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | flags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
  if (!m_hWnd) return FALSE;
  const DWORD next = (m_exStyle & ~remove) | add;
  if (next == m_exStyle) return FALSE;
  m_exStyle = next;
  ApplyStyleToNative();
  if (flags) SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | flags);
  return TRUE;
}

BOOL CWnd::SetFullScreen(BOOL on) {
  if (!m_native) return FALSE;
  if (static_cast<bool>(on) == m_fullScreen) return TRUE;
  if (on) m_normalRect = m_rect;
  if (SDL_SetWindowFullscreen(m_native->window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return FALSE;
  m_fullScreen = on != 0;
  int w = 0, h = 0, x = 0, y = 0;
  SDL_GetWindowSize(m_native->window, &w, &h);
  SDL_GetWindowPosition(m_native->window, &x, &y);
  ApplyNativeSize(w, h);
  ApplyNativePosition(x, y);
  return TRUE;
}

void CWnd::SetWindowText(const char* text) { SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")); }

int CWnd::GetWindowText(char* buffer, int maxCount) const {
  if (!buffer || maxCount <= 0) return 0;
  const std::size_t n = std::min(static_cast<std::size_t>(maxCount - 1), m_title.size());
  std::memcpy(buffer, m_title.data(), n);
  buffer[n] = 0;
  return static_cast<int>(n);
}

void CWnd::GetWindowText(std::string& text) const { text = m_title; }
int CWnd::GetWindowTextLength() const { return static_cast<int>(m_title.size()); }

void CWnd::SetIcon(HICON icon, BOOL bigIcon) {
  SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? 1 : 0);
}

CFont* CWnd::GetFont() const {
  return m_hWnd ? reinterpret_cast<CFont*>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0)) : nullptr;
}

HICON CWnd::GetIcon(BOOL bigIcon) const { return m_icons[bigIcon ? 1 : 0]; }

int CWnd::SetWindowRgn(const CRgn* region, BOOL redraw) {
  if (!m_hWnd || m_parent) return 0;
  if (region && region->IsCreated()) {
    if (!m_region) m_region = std::make_unique<CRgn>();
    m_region->CopyRgn(region);
  } else {
    m_region.reset();
  }
  if (redraw) InvalidateTree();
  return 1;
}

BOOL CWnd::SetWindowShape(const std::vector<POINT>& polygon, BOOL redraw) {
  if (polygon.size() < 3) return SetWindowRgn(nullptr, redraw);
  CRgn region;
  if (polygon.size() > 0x7FFFFFFF || !region.CreatePolygonRgn(polygon.data(), static_cast<int>(polygon.size()), WINDING))
    return FALSE;
  return SetWindowRgn(&region, redraw);
}

// ---- relations ---------------------------------------------------------------

CWnd* CWnd::GetParent() const { return m_parent ? m_parent : m_owner; }
CWnd* CWnd::GetOwner() const { return m_owner ? m_owner : m_parent; }
void CWnd::SetOwner(CWnd* owner) { m_owner = owner; }

CWnd* CWnd::GetTopLevelParent() const {
  const CWnd* w = this;
  while (w->m_parent) w = w->m_parent;
  return const_cast<CWnd*>(w);
}

CWnd* CWnd::GetDlgItem(int id) const {
  for (CWnd* c : m_children)
    if (static_cast<int>(c->m_id) == id) return c;
  return nullptr;
}

int CWnd::GetDlgCtrlID() const { return static_cast<int>(m_id); }

int CWnd::SetDlgCtrlID(int id) {
  const int old = static_cast<int>(m_id);
  m_id = static_cast<UINT>(id);
  return old;
}

std::vector<CWnd*> CWnd::GetChildren() const { return m_children; }

BOOL CWnd::IsChild(const CWnd* wnd) const {
  for (const CWnd* w = wnd ? wnd->m_parent : nullptr; w; w = w->m_parent)
    if (w == this) return TRUE;
  return FALSE;
}

CWnd* CWnd::ChildWindowFromPoint(POINT clientPoint) const {
  for (auto it = m_children.rbegin(); it != m_children.rend(); ++it)
    if (((*it)->m_style & WS_VISIBLE) && (*it)->m_rect.PtInRect(clientPoint)) return *it;
  CRect client;
  GetClientRect(&client);
  return client.PtInRect(clientPoint) ? const_cast<CWnd*>(this) : nullptr;
}

// ---- invalidation ----------------------------------------------------------

void CWnd::InvalidateArea(const CRect& area, bool erase) {
  // `area` is in this window's client coordinates. As on the desktop this
  // layer stands in for, the children under it are invalidated too unless
  // the window clips its children; the parent is not.
  if (!m_hWnd || !IsReallyVisible()) return;
  CWnd* top = GetTopLevelParent();
  if (!top->m_native) return;
  CRect client;
  GetClientRect(&client);
  CRect r;
  if (!r.IntersectRect(area, client)) return;
  m_update.Add(r);
  m_updateErase = m_updateErase || erase;
  top->m_native->dirty = true;
  if (m_style & WS_CLIPCHILDREN) return;
  for (CWnd* child : m_children) {
    CRect overlap;
    if (!(child->m_style & WS_VISIBLE) || !overlap.IntersectRect(r, child->m_rect)) continue;
    overlap.OffsetRect(-child->m_rect.left, -child->m_rect.top);
    child->InvalidateArea(overlap, erase);
  }
}

void CWnd::InvalidateTree() {
  CRect client;
  GetClientRect(&client);
  InvalidateArea(client, true);
  for (CWnd* child : m_children) child->InvalidateTree();
}

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
  if (!m_hWnd) return;
  if (!uicore::OnUiThread()) {
    ::InvalidateRect(m_hWnd, rect, erase);
    return;
  }
  CRect area;
  if (rect)
    area = *rect;
  else
    GetClientRect(&area);
  InvalidateArea(area, erase != 0);
}

void CWnd::ValidateRect(LPCRECT rect) {
  if (!m_hWnd) return;
  if (rect)
    m_update.Subtract(*rect);
  else
    m_update.Clear();
}

void CWnd::UpdateWindow() {
  CWnd* top = GetTopLevelParent();
  if (m_hWnd && top->m_native && uicore::OnUiThread()) uicore::PaintTopLevel(top);
}

BOOL CWnd::RedrawWindow(LPCRECT rect, void*, UINT flags) {
  if (!m_hWnd) return FALSE;
  if (flags & RDW_INVALIDATE) InvalidateRect(rect, (flags & RDW_ERASE) ? TRUE : FALSE);
  if (flags & RDW_UPDATENOW) UpdateWindow();
  return TRUE;
}

BOOL CWnd::GetUpdateRect(LPRECT rect, BOOL) const {
  const CRect bounds = m_hWnd ? m_update.Bounds() : CRect();
  if (rect) *rect = bounds;
  return bounds.IsRectEmpty() ? FALSE : TRUE;
}

// ---- timers ----------------------------------------------------------------

std::uintptr_t CWnd::SetTimer(std::uintptr_t id, UINT elapse, void*) {
  if (!m_hWnd || !uicore::OnUiThread()) return 0;
  uicore::Core& core = uicore::Get();
  const UINT period = std::max<UINT>(1, elapse);
  const std::uint64_t due = uicore::NowMs() + period;
  for (uicore::Timer& t : core.timers) {
    if (t.hwnd == m_hWnd && t.id == id) {
      t.period = period;
      t.due = due;
      return id ? id : 1;
    }
  }
  core.timers.push_back({m_hWnd, id, period, due});
  return id ? id : 1;
}

BOOL CWnd::KillTimer(std::uintptr_t id) {
  uicore::Core& core = uicore::Get();
  auto it = std::find_if(core.timers.begin(), core.timers.end(),
                         [&](const uicore::Timer& t) { return t.hwnd == m_hWnd && t.id == id; });
  if (it == core.timers.end()) return FALSE;
  core.timers.erase(it);
  return TRUE;
}
