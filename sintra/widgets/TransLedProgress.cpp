#include "sintra/widgets/TransLedProgress.h"

#include "platform/ui/App.h"
#include "sintra/widgets/WidgetMessages.h"

int g_progressColourScheme = 0;

CTransLedProgress::CTransLedProgress() { m_usePeak = false; }
CTransLedProgress::~CTransLedProgress() = default;

BOOL CTransLedProgress::Create(const RECT& rect, UINT toolTipId, CWnd* parent, COLORREF background, COLORREF lit,
                               COLORREF unlit) {
  SetToolTip(toolTipId);
  if (lit == unlit) {
    InitColor();
  } else {
    m_background = background;
    m_lit = lit;
    m_unlit = unlit;
  }
  if (!CStatic::Create("", WS_CHILD | SS_NOTIFY, rect, parent, kControlId)) return FALSE;
  m_track.Init(m_hWnd, 0);
  const CRect r(rect);
  LayoutCells(r.Width(), r.Height());
  return TRUE;
}

void CTransLedProgress::InitColor() {
  m_background = 0x02000000;
  switch (g_progressColourScheme) {
    case 0:
      m_lit = 0x020000FF, m_unlit = 0x02000040;
      break;
    case 1:
      m_lit = 0x02FFFF00, m_unlit = 0x02404000;
      break;
    case 2:
      m_lit = 0x0200FF00, m_unlit = 0x02004000;
      break;
    case 4:
      m_lit = 0x02656565, m_unlit = 0x02CACACA, m_background = 0x02FFFFFF;
      break;
    default:
      m_lit = 0x02FFFFFF, m_unlit = 0x02404040;
      break;
  }
  if (m_hWnd) Invalidate(FALSE);
}

void CTransLedProgress::GetHiLoRgb(int, COLORREF& lit, COLORREF& unlit) {
  lit = m_lit;
  unlit = m_unlit;
}

void CTransLedProgress::SetPos(int position) {
  if (position == m_pos) return;
  m_pos = position;
  if (m_hWnd) Invalidate(FALSE);
}

void CTransLedProgress::SetOverlay(int key, Overlay painter) {
  if (painter)
    m_overlays[key] = std::move(painter);
  else
    m_overlays.erase(key);
  if (m_hWnd) Invalidate(FALSE);
}

void CTransLedProgress::DrawOver(CDC* dc, const CRect& client) {
  if (!dc) return;
  for (auto& [key, painter] : m_overlays) painter(*this, *dc, client);
}

void CTransLedProgress::LayoutCells(int cx, int cy) {
  // Cells of two pixels and a one-pixel gap; a low bar has one row of them.
  m_layout.cells = (cx - 2 * m_layout.borderX + 1) / 3;
  m_layout.rows = cy < 8 ? 1 : 2;
}

void CTransLedProgress::OnSize(UINT type, int cx, int cy) {
  CStaticLedBar::OnSize(type, cx, cy);
  LayoutCells(cx, cy);
  Invalidate(FALSE);
}

CRect CTransLedProgress::TrackRect() const {
  CRect track;
  GetClientRect(&track);
  track.DeflateRect(m_layout.borderX, m_layout.borderX);
  return track;
}

int CTransLedProgress::PercentFromPoint(CPoint point) const {
  const CRect track = TrackRect();
  return CLedLayout::PercentAt(point.x, track.left, track.right);
}

void CTransLedProgress::PositionFromPoint(CPoint point) {
  const int percent = PercentFromPoint(point);
  if (percent == m_pos) return;
  SetPos(percent);
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_PROGRESS_POSITION, static_cast<WPARAM>(percent), 0);
}

void CTransLedProgress::OnLButtonDown(UINT, CPoint point) {
  if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_HIDE_TOOLTIP, 0, 0);
  if (m_dragging) return;
  m_dragging = TRUE;
  SetCapture();
  SetFocus();
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_PROGRESS_DRAG_BEGIN, 0, 0);
  PositionFromPoint(point);
  UpdateWindow();
}

void CTransLedProgress::OnMouseMove(UINT flags, CPoint point) {
  if (m_dragging) PositionFromPoint(point);
  CStaticLedBar::OnMouseMove(flags, point);
}

void CTransLedProgress::OnLButtonUp(UINT, CPoint) {
  if (!m_dragging) return;
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_PROGRESS_DRAG_END, 0, 0);
  m_dragging = FALSE;
  ReleaseCapture();
  UpdateWindow();
}

void CTransLedProgress::OnCaptureChanged(CWnd* wnd) {
  // Losing the capture (a menu opened) ends the drag as a release would.
  if (m_dragging && wnd != this) {
    m_dragging = FALSE;
    if (CWnd* parent = GetParent()) parent->PostMessage(WM_PROGRESS_DRAG_END, 0, 0);
  }
  CStaticLedBar::OnCaptureChanged(wnd);
}
