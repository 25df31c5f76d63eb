#include "sintra/toolkit/TransWindow.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

CTransWindow::CTransWindow() = default;
CTransWindow::~CTransWindow() = default;

BOOL CTransWindow::Create(const char* title, DWORD style, const RECT& rect, CWnd* owner) {
  if (!(style & (WS_POPUP | WS_CAPTION))) style |= WS_POPUP;
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
  return CWnd::CreateEx(0, cls, title, style & ~WS_CHILD, rect, owner, 0);
}

int CTransWindow::GetCaptionHeight() const { return std::clamp(g_skinData.m_captionHeight, 0, 256); }

CRect CTransWindow::GetCaptionRect() const {
  CRect client;
  GetClientRect(&client);
  client.bottom = std::min<int>(client.bottom, client.top + GetCaptionHeight());
  return client;
}

BOOL CTransWindow::OnEraseBkgnd(CDC* dc) {
  if (!dc) return FALSE;
  CRect box;
  dc->GetClipBox(&box);
  dc->FillSolidRect(&box, g_skinData.SkinColour(SKIN_WINDOW_BACK));
  return TRUE;
}

void CTransWindow::OnPaint() {
  CPaintDC dc(this);
  const CRect band = GetCaptionRect();
  if (!band.IsRectEmpty()) DrawCaption(dc, band);
}

void CTransWindow::DrawCaption(CDC& dc, const CRect& band) {
  dc.FillSolidRect(&band, g_skinData.SkinColour(m_active ? SKIN_CAPTIONBAR_FOCUS : SKIN_CAPTIONBAR));
  std::string title;
  GetWindowText(title);
  if (title.empty()) return;
  CFont* font = GetFont();
  CFont* old = font ? dc.SelectObject(font) : nullptr;
  if (!font) dc.SelectStockObject(DEFAULT_GUI_FONT);  // the controls' usual face
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(g_skinData.SkinColour(m_active ? SKIN_CAPTIONTEXT_FOCUS : SKIN_CAPTIONTEXT));
  CRect text = band;
  text.DeflateRect(5, 0);
  dc.DrawText(title, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (old) dc.SelectObject(old);
}

void CTransWindow::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CWnd::OnActivate(state, other, minimized);
  m_active = state != WA_INACTIVE;
  const CRect band = GetCaptionRect();
  if (!band.IsRectEmpty()) InvalidateRect(&band, FALSE);
}

// The band moves the window in screen coordinates: the window goes where
// the mouse has gone since the press, whatever the window did meanwhile.
void CTransWindow::OnLButtonDown(UINT flags, CPoint point) {
  if (!GetCaptionRect().PtInRect(point)) {
    CWnd::OnLButtonDown(flags, point);
    return;
  }
  m_dragging = true;
  ::GetCursorPos(&m_dragStart);
  GetWindowRect(&m_dragRect);
  SetCapture();
}

void CTransWindow::OnMouseMove(UINT flags, CPoint point) {
  if (!m_dragging) {
    CWnd::OnMouseMove(flags, point);
    return;
  }
  POINT now;
  ::GetCursorPos(&now);
  SetWindowPos(nullptr, m_dragRect.left + now.x - m_dragStart.x, m_dragRect.top + now.y - m_dragStart.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTransWindow::OnLButtonUp(UINT flags, CPoint point) {
  if (!m_dragging) {
    CWnd::OnLButtonUp(flags, point);
    return;
  }
  m_dragging = false;
  if (CWnd::GetCapture() == this) ReleaseCapture();
}

void CTransWindow::OnCaptureChanged(CWnd* wnd) {
  if (wnd != this) m_dragging = false;
  CWnd::OnCaptureChanged(wnd);
}
