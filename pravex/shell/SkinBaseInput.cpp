// The skinned window's mouse: a press goes to the icon area, the move area
// (drag, or MoreLess on a double click) or a hot spot; the release over the
// spot that was pressed gives the command. One press is handled at a time,
// and the press ends with its release or with the loss of the mouse capture.
#include "platform/ui/Cursor.h"
#include "pravex/shell/SkinBase.h"
#include "sintra/skin/SkinData.h"

void CSkinBase::OnLButtonDown(UINT, CPoint point) {
  if (m_tracker.Tracking() || m_buttonDown) return;
  m_buttonDown = 1;
  const DWORD now = Now();
  // Button time 0 means no earlier press to pair with.
  const bool doubleClick = m_buttonTime != 0 && now - m_buttonTime < GetDoubleClickTime();
  m_buttonTime = now;

  if (g_skinData.m_rectIcon.PtInRect(point)) {
    m_pressedSpot = kIconSpot;
    m_buttonTime = now;
    return;
  }
  const CRect& move = m_largeLayout ? g_skinData.m_rectMoveBig : g_skinData.m_rectMoveSmall;
  if (move.PtInRect(point)) {
    if (doubleClick) {
      // The pair is used up: a third click starts a new one.
      m_buttonTime = 0;
      EndPress();
      MoreLess();
    } else {
      SetCapture();
      m_pressPoint = point;
      m_dragging = 1;
    }
    return;
  }
  if (m_skinBitmap) {
    const int spot = TestSkinSpot(point, WM_LBUTTONDOWN);
    if (spot >= 0) {
      m_pressedSpot = spot + kSpotBase;
      m_buttonTime = now;
      return;
    }
  }
  // Nothing of the skin was pressed: no press is being handled.
  EndPress();
  Default();
}

void CSkinBase::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

void CSkinBase::OnLButtonUp(UINT, CPoint point) {
  POINT screen = point;
  ClientToScreen(&screen);
  if (m_tracker.OnLButtonUp(screen)) return;
  if (m_dragging) {
    m_dragging = 0;
    ReleaseCapture();
  } else if (m_pressedSpot != -1) {
    ButtonDownWait();
    if (m_hoverSpot == m_pressedSpot) OnSkinButtonUp(point.x, point.y);
  }
  EndPress();
  Default();
}

void CSkinBase::OnMouseMove(UINT, CPoint point) {
  m_hoverSpot = -1;
  POINT screen = point;
  ClientToScreen(&screen);
  if (m_tracker.OnMouseMove(screen)) return;
  OnSkinMouseMove(point.x, point.y);
  if (m_trackingWnd) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_trackingWnd, 0};
    TrackMouseEvent(&track);
  }
  Default();
}

BOOL CSkinBase::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_tracker.Tracking()) {
    SetCursor(m_tracker.GetCursor());
    return TRUE;
  }
  if (m_hoverSpot != -1 && m_hotCursor) {
    SetCursor(m_hotCursor);
    return TRUE;
  }
  return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CSkinBase::OnMouseLeave() {
  SkinMouseOut();
  CWnd::OnMouseLeave();
}

void CSkinBase::OnCaptureChanged(CWnd* wnd) {
  if (wnd != this) {
    m_tracker.CaptureLost();
    if (m_dragging || m_buttonDown) {
      m_dragging = 0;
      EndPress();
    }
  }
  CWnd::OnCaptureChanged(wnd);
}

void CSkinBase::EndPress() {
  m_buttonDown = 0;
  m_pressedSpot = -1;
}

void CSkinBase::MoveByDrag(int x, int y) {
  if (!m_dragging) return;
  CRect rect;
  GetWindowRect(&rect);
  const int dx = x - m_pressPoint.x;
  const int dy = y - m_pressPoint.y;
  if (dx == 0 && dy == 0) return;
  SetWindowPos(nullptr, rect.left + dx, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
