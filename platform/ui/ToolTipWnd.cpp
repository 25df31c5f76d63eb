#include "platform/ui/ToolTipWnd.h"

#include <algorithm>
#include <cstdio>

#include "platform/gfx/DC.h"
#include "platform/ui/PaintDC.h"

namespace {
constexpr int kCursorOffset = 16;
constexpr int kShadow = 2;
}  // namespace

CToolTipWnd::CToolTipWnd() : m_background(GetSysColor(COLOR_INFOBK)), m_textColour(GetSysColor(COLOR_INFOTEXT)) {}

CToolTipWnd::~CToolTipWnd() = default;

BOOL CToolTipWnd::Create(CWnd* owner, int pointSize) {
  LOGFONTA lf{};
  lf.lfHeight = -std::clamp(pointSize, 4, 72) * 96 / 72;
  lf.lfWeight = FW_NORMAL;
  std::snprintf(lf.lfFaceName, sizeof(lf.lfFaceName), "%s", "Arial");
  m_font.CreateFontIndirect(&lf);
  return CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), owner, 0);
}

void CToolTipWnd::SetColours(COLORREF background, COLORREF text) {
  m_background = background;
  m_textColour = text;
  Invalidate(FALSE);
}

CRect CToolTipWnd::PlaceNearCursor(POINT cursor, SIZE size, SIZE screen) {
  CRect r(cursor.x + kCursorOffset, cursor.y + kCursorOffset, cursor.x + kCursorOffset + size.cx,
          cursor.y + kCursorOffset + size.cy);
  if (r.right > screen.cx) r.OffsetRect(screen.cx - r.right, 0);
  if (r.bottom > screen.cy) r.OffsetRect(0, screen.cy - r.bottom);
  if (r.left < 0) r.OffsetRect(-r.left, 0);
  if (r.top < 0) r.OffsetRect(0, -r.top);
  return r;
}

void CToolTipWnd::DisplayToolTip(const std::string& text) {
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  DisplayToolTip(text, cursor);
}

void CToolTipWnd::DisplayToolTip(const std::string& text, POINT cursorScreen) {
  if (!m_hWnd) return;
  m_text = text;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont* old = dc.SelectObject(&m_font);
  CRect measure(0, 0, 0, 0);
  dc.DrawText(m_text.c_str(), static_cast<int>(m_text.size()), &measure, DT_CALCRECT | DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(old);
  const SIZE size{measure.Width() + 6, measure.Height() + 2};
  const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const CRect r = PlaceNearCursor(cursorScreen, size, screen);
  SetWindowPos(&wndTopMost, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate(FALSE);
}

void CToolTipWnd::HideToolTip() {
  if (m_hWnd) ShowWindow(SW_HIDE);
}

void CToolTipWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  // A shadow offset by two pixels under a face two pixels smaller.
  dc.FillSolidRect(&client, RGB(0, 0, 0));
  CRect face(client.left, client.top, client.right - kShadow, client.bottom - kShadow);
  dc.FillSolidRect(&face, m_background);
  CFont* old = dc.SelectObject(&m_font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(m_textColour);
  dc.DrawText(m_text.c_str(), static_cast<int>(m_text.size()), &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(old);
}
