#include "platform/ui/ScrollBar.h"

#include <algorithm>

#include "platform/gfx/Brush.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Pen.h"
#include "platform/ui/PaintDC.h"

namespace {

constexpr int kMinThumb = 8;

// Round-half-up quotient of a non-negative product, in 64 bits.
long long ScaleRound(long long value, long long num, long long den) {
  return den <= 0 ? 0 : (value * num + den / 2) / den;
}

void DrawArrowGlyph(CDC& dc, const CRect& r, bool vertical, bool forward, COLORREF colour) {
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  const int s = std::max(2, std::min(r.Width(), r.Height()) / 4);
  POINT pts[3];
  if (vertical) {
    const int tip = forward ? cy + s / 2 + 1 : cy - s / 2 - 1;
    const int base = forward ? tip - s : tip + s;
    pts[0] = POINT{cx - s, base};
    pts[1] = POINT{cx + s, base};
    pts[2] = POINT{cx, tip};
  } else {
    const int tip = forward ? cx + s / 2 + 1 : cx - s / 2 - 1;
    const int base = forward ? tip - s : tip + s;
    pts[0] = POINT{base, cy - s};
    pts[1] = POINT{base, cy + s};
    pts[2] = POINT{tip, cy};
  }
  CPen pen(PS_SOLID, 1, colour);
  CBrush brush(colour);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  dc.Polygon(pts, 3);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

}  // namespace

CScrollBar::CScrollBar() = default;
CScrollBar::~CScrollBar() = default;

BOOL CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::CreateEx(0, nullptr, "", style | WS_CHILD, rect, parent, id);
}

int CScrollBar::GetScrollLimit() const {
  const long long limit = m_page ? static_cast<long long>(m_max) - m_page + 1 : m_max;
  return static_cast<int>(std::clamp<long long>(limit, m_min, m_max));
}

bool CScrollBar::CanScroll() const { return GetScrollLimit() > m_min; }

BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO info, BOOL redraw) {
  if (!info) return FALSE;
  if (info->fMask & SIF_RANGE) {
    m_min = info->nMin;
    m_max = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE) m_page = info->nPage;
  const long long span = static_cast<long long>(m_max) - m_min + 1;
  if (static_cast<long long>(m_page) > span) m_page = static_cast<UINT>(span);
  if (info->fMask & SIF_POS) m_pos = info->nPos;
  m_pos = std::clamp(m_pos, m_min, GetScrollLimit());
  if (m_pressed != kThumb) m_trackPos = m_pos;
  if (redraw && m_hWnd) Invalidate(FALSE);
  return TRUE;
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO info, UINT mask) const {
  if (!info) return FALSE;
  info->fMask = mask;
  if (mask & SIF_RANGE) {
    info->nMin = m_min;
    info->nMax = m_max;
  }
  if (mask & SIF_PAGE) info->nPage = m_page;
  if (mask & SIF_POS) info->nPos = m_pos;
  if (mask & SIF_TRACKPOS) info->nTrackPos = m_pressed == kThumb ? m_trackPos : m_pos;
  return TRUE;
}

int CScrollBar::SetScrollPos(int pos, BOOL redraw) {
  const int old = m_pos;
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(&info, redraw);
  return old;
}

void CScrollBar::SetScrollRange(int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
  SetScrollInfo(&info, redraw);
}

void CScrollBar::GetScrollRange(int* minPos, int* maxPos) const {
  if (minPos) *minPos = m_min;
  if (maxPos) *maxPos = m_max;
}

// ---- geometry ----------------------------------------------------------------

CScrollBar::Track CScrollBar::Measure() const {
  CRect client;
  GetClientRect(&client);
  Track t;
  const int thickness = IsVertical() ? client.Width() : client.Height();
  t.length = std::max(0, (IsVertical() ? client.Height() : client.Width()) - m_extra);
  t.arrow = std::min(thickness, t.length / 2);
  const int track = t.length - 2 * t.arrow;
  if (!CanScroll() || !IsWindowEnabled() || track <= 0) return t;
  const long long span = static_cast<long long>(m_max) - m_min + 1;
  int thumb = m_page ? static_cast<int>(ScaleRound(track, m_page, span)) : thickness;
  thumb = std::max(thumb, std::min(kMinThumb, thickness));
  if (thumb >= track) return t;
  const int pos = m_pressed == kThumb ? m_trackPos : m_pos;
  const long long steps = static_cast<long long>(GetScrollLimit()) - m_min;
  t.thumbLength = thumb;
  t.thumbStart = t.arrow + static_cast<int>(ScaleRound(track - thumb, static_cast<long long>(pos) - m_min, steps));
  return t;
}

int CScrollBar::PosForThumb(int thumbStart) const {
  const Track t = Measure();
  const int room = t.length - 2 * t.arrow - t.thumbLength;
  if (room <= 0) return m_min;
  const long long steps = static_cast<long long>(GetScrollLimit()) - m_min;
  const int offset = std::clamp(thumbStart - t.arrow, 0, room);
  return static_cast<int>(std::clamp<long long>(m_min + ScaleRound(offset, steps, room), m_min, GetScrollLimit()));
}

CRect CScrollBar::PartRect(Part part) const {
  const Track t = Measure();
  CRect client;
  GetClientRect(&client);
  int from = 0, to = 0;
  switch (part) {
    case kArrowUp:
      from = 0;
      to = t.arrow;
      break;
    case kArrowDown:
      from = t.length - t.arrow;
      to = t.length;
      break;
    case kThumb:
      if (!t.thumbLength) return CRect();
      from = t.thumbStart;
      to = t.thumbStart + t.thumbLength;
      break;
    case kPageUp:
      if (!t.thumbLength) return CRect();
      from = t.arrow;
      to = t.thumbStart;
      break;
    case kPageDown:
      if (!t.thumbLength) return CRect();
      from = t.thumbStart + t.thumbLength;
      to = t.length - t.arrow;
      break;
    default:
      return CRect();
  }
  if (to <= from) return CRect();
  return IsVertical() ? CRect(0, from, client.Width(), to) : CRect(from, 0, to, client.Height());
}

CScrollBar::Part CScrollBar::PartAt(POINT point) const {
  for (Part part : {kArrowUp, kThumb, kPageUp, kPageDown, kArrowDown})
    if (PartRect(part).PtInRect(point)) return part;
  return kNone;
}

// ---- mouse -------------------------------------------------------------------

void CScrollBar::Notify(UINT code, int pos) {
  CWnd* owner = GetParent();
  if (!owner) return;
  const UINT message = IsVertical() ? WM_VSCROLL : WM_HSCROLL;
  const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(pos));
  owner->SendMessage(message, wParam, m_windowBar ? 0 : reinterpret_cast<LPARAM>(m_hWnd));
}

void CScrollBar::RepeatPress() {
  switch (m_pressed) {
    case kArrowUp:
      Notify(SB_LINEUP, 0);
      break;
    case kArrowDown:
      Notify(SB_LINEDOWN, 0);
      break;
    case kPageUp:
      Notify(SB_PAGEUP, 0);
      break;
    case kPageDown:
      Notify(SB_PAGEDOWN, 0);
      break;
    default:
      break;
  }
}

void CScrollBar::OnLButtonDown(UINT, CPoint point) {
  if (!IsWindowEnabled() || !CanScroll() || m_pressed != kNone) return;
  const Part part = PartAt(point);
  if (part == kNone) return;
  const HWND self = m_hWnd;
  m_pressed = part;
  m_pressedOver = true;
  SetCapture();
  if (part == kThumb) {
    m_dragOffset = Along(point) - Measure().thumbStart;
    m_trackPos = m_pos;
  } else {
    SetTimer(kRepeatTimer, kRepeatDelay);
    RepeatPress();
  }
  if (CWnd::FromHandle(self) == this) Invalidate(FALSE);
}

void CScrollBar::OnMouseMove(UINT, CPoint point) {
  if (m_pressed == kNone) return;
  if (m_pressed == kThumb) {
    const int pos = PosForThumb(Along(point) - m_dragOffset);
    if (pos == m_trackPos) return;
    m_trackPos = pos;
    Invalidate(FALSE);
    Notify(SB_THUMBTRACK, pos);
    return;
  }
  const bool over = PartAt(point) == m_pressed;
  if (over != m_pressedOver) {
    m_pressedOver = over;
    Invalidate(FALSE);
  }
}

void CScrollBar::OnTimer(std::uintptr_t id) {
  if (id != kRepeatTimer) {
    CWnd::OnTimer(id);
    return;
  }
  if (m_pressed == kNone || m_pressed == kThumb) {
    KillTimer(kRepeatTimer);
    return;
  }
  SetTimer(kRepeatTimer, kRepeatPeriod);
  // A page area repeats only while the mouse is still in it: it stops once
  // the thumb has moved up to the mouse.
  CPoint mouse;
  ::GetCursorPos(&mouse);
  ScreenToClient(&mouse);
  m_pressedOver = PartAt(mouse) == m_pressed;
  if (m_pressedOver) RepeatPress();
}

void CScrollBar::OnLButtonUp(UINT, CPoint) {
  if (m_pressed == kNone) return;
  const HWND self = m_hWnd;
  const bool thumb = m_pressed == kThumb;
  const int trackPos = m_trackPos;
  EndPress();
  if (thumb) Notify(SB_THUMBPOSITION, trackPos);
  if (CWnd::FromHandle(self) == this) Notify(SB_ENDSCROLL, 0);
}

void CScrollBar::EndPress() {
  m_pressed = kNone;
  m_pressedOver = false;
  m_trackPos = m_pos;
  KillTimer(kRepeatTimer);
  if (CWnd::GetCapture() == this) ReleaseCapture();
  Invalidate(FALSE);
}

void CScrollBar::OnCaptureChanged(CWnd* wnd) {
  if (m_pressed != kNone && wnd != this) EndPress();
}

void CScrollBar::OnEnable(BOOL enable) {
  if (!enable && m_pressed != kNone) EndPress();
  Invalidate(FALSE);
}

// ---- painting ----------------------------------------------------------------

void CScrollBar::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  dc.FillSolidRect(&client, GetSysColor(COLOR_SCROLLBAR));
  const bool live = IsWindowEnabled() && CanScroll();
  const COLORREF glyph = GetSysColor(live ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  for (Part page : {kPageUp, kPageDown}) {
    if (m_pressed == page && m_pressedOver) {
      CRect r = PartRect(page);
      dc.FillSolidRect(&r, GetSysColor(COLOR_BTNSHADOW));
    }
  }
  for (Part arrow : {kArrowUp, kArrowDown}) {
    CRect r = PartRect(arrow);
    if (r.IsRectEmpty()) continue;
    const bool down = m_pressed == arrow && m_pressedOver;
    dc.FillSolidRect(&r, face);
    CRect edge = r;
    dc.DrawEdge(&edge, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (down) r.OffsetRect(1, 1);
    DrawArrowGlyph(dc, r, IsVertical(), arrow == kArrowDown, glyph);
  }
  CRect thumb = PartRect(kThumb);
  if (!thumb.IsRectEmpty()) {
    dc.FillSolidRect(&thumb, face);
    dc.DrawEdge(&thumb, EDGE_RAISED, BF_RECT);
  }
  if (m_extra > 0) {
    CRect corner = client;
    if (IsVertical())
      corner.top = corner.bottom - m_extra;
    else
      corner.left = corner.right - m_extra;
    dc.FillSolidRect(&corner, face);
  }
}
