#include "sintra/widgets/CaptionBar.h"

#include "platform/gfx/DC.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

namespace {
constexpr int kMargin = 5;
constexpr int kMaxTitle = 1023;
}  // namespace

CCaptionBar::CCaptionBar() = default;
CCaptionBar::~CCaptionBar() = default;

BOOL CCaptionBar::Create(CWnd* parent, const RECT& rect, int rightMargin) {
  m_rightMargin = rightMargin;
  m_font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  const char* cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  if (!CWnd::Create(cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent, 0)) return FALSE;
  CWnd::SetFont(&m_font, FALSE);
  SetWindowPos(&wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return TRUE;
}

void CCaptionBar::Activate(BOOL active) {
  m_active = active;
  Invalidate(FALSE);
}

CRect CCaptionBar::TextRect(const CRect& client) const {
  CRect text(client.left + kMargin, client.top, client.right, client.bottom - 1);
  // Keep the buttons' room free when there is room for any text at all.
  if (client.right - m_rightMargin - kMargin > text.left) text.right = client.right - m_rightMargin - kMargin;
  return text;
}

void CCaptionBar::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, g_skinData.SkinColour(m_active ? SKIN_CAPTIONBAR_FOCUS : SKIN_CAPTIONBAR));
  CRect edge = client;
  dc.DrawEdge(&edge, EDGE_RAISED, BF_BOTTOM);
  std::string title;
  GetWindowText(title);
  if (title.size() > kMaxTitle) title.resize(kMaxTitle);
  CFont* old = dc.SelectObject(&m_font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(g_skinData.SkinColour(m_active ? SKIN_CAPTIONTEXT_FOCUS : SKIN_CAPTIONTEXT));
  CRect text = TextRect(client);
  dc.DrawText(title, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  dc.SelectObject(old);
}

void CCaptionBar::OnLButtonDown(UINT, CPoint) {
  CWnd* parent = GetParent();
  if (parent) parent->SetFocus();
  if (m_dragging || !parent) return;
  // Screen coordinates, so that moving the window under the mouse does not
  // feed back into the distance.
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  CRect r;
  parent->GetWindowRect(&r);
  m_pressScreen = cursor;
  m_parentOrigin = r.TopLeft();
  m_dragging = TRUE;
  SetCapture();
}

void CCaptionBar::OnMouseMove(UINT, CPoint) {
  if (!m_dragging) return;
  CWnd* parent = GetParent();
  if (!parent) return;
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  parent->SetWindowPos(nullptr, m_parentOrigin.x + cursor.x - m_pressScreen.x,
                       m_parentOrigin.y + cursor.y - m_pressScreen.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCaptionBar::OnLButtonUp(UINT, CPoint) {
  if (!m_dragging) return;
  m_dragging = FALSE;
  ReleaseCapture();
}

void CCaptionBar::OnCaptureChanged(CWnd* wnd) {
  if (wnd != this) m_dragging = FALSE;
  CWnd::OnCaptureChanged(wnd);
}

BOOL CCaptionBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  // The caption buttons' commands belong to the window.
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_COMMAND, wParam, lParam);
  return TRUE;
}
