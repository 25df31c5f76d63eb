#include "sintra/widgets/MyToolTip.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

namespace {
constexpr int kCursorOffset = 16;
constexpr int kShadow = 2;
constexpr int kExtraWidth = 6;
constexpr int kExtraHeight = 2;
}  // namespace

CMyToolTip::CMyToolTip(int pointSize, COLORREF background)
    : m_pointSize(std::clamp(pointSize, 1, 200)),
      m_background(background),
      m_textColour(g_skinData.SkinColour(SKIN_TOOLTIP_TEXT)) {}

CMyToolTip::~CMyToolTip() = default;

BOOL CMyToolTip::Create(CWnd* owner, DWORD style) {
  int dpi = 96;
  {
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    if (const int caps = screen.GetDeviceCaps(LOGPIXELSY); caps > 0) dpi = caps;
  }
  m_font.CreateFont(-(m_pointSize * dpi / 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  const char* cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  // A popup rather than a child: a tooltip near the window's edge must not
  // be cut off by it.
  return CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, cls, "", (style & ~WS_CHILD) | WS_POPUP, CRect(0, 0, 10, 10), owner,
                  0);
}

CRect CMyToolTip::Place(POINT cursor, SIZE size, const RECT& workArea) {
  CRect r(CPoint(cursor.x + kCursorOffset, cursor.y + kCursorOffset), size);
  if (r.right > workArea.right) r.OffsetRect(workArea.right - r.right, 0);
  if (r.bottom > workArea.bottom) r.OffsetRect(0, workArea.bottom - r.bottom);
  if (r.left < workArea.left) r.OffsetRect(workArea.left - r.left, 0);
  if (r.top < workArea.top) r.OffsetRect(0, workArea.top - r.top);
  if (r.left < 0) r.OffsetRect(-r.left, 0);
  if (r.top < 0) r.OffsetRect(0, -r.top);
  return r;
}

void CMyToolTip::DisplayToolTip(const char* text) {
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  DisplayToolTip(text, cursor);
}

void CMyToolTip::DisplayToolTip(const char* text, POINT cursor) {
  if (!m_hWnd) return;
  m_text = text ? text : "";
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont* old = dc.SelectObject(&m_font);
  CRect measure(0, 0, 0, 0);
  dc.DrawText(m_text, &measure, DT_CALCRECT | DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(old);
  m_size = CSize(measure.Width() + kExtraWidth, measure.Height() + kExtraHeight);
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const CRect r = Place(cursor, m_size, work);
  SetWindowPos(&wndTopMost, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate(FALSE);
}

void CMyToolTip::HideToolTip() {
  if (m_hWnd) ShowWindow(SW_HIDE);
}

void CMyToolTip::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  // The shadow shows two pixels right of and below the face.
  const CRect face(client.left, client.top, client.right - kShadow, client.bottom - kShadow);
  dc.FillSolidRect(&client, RGB(0, 0, 0));
  dc.FillSolidRect(&face, m_background);
  CFont* old = dc.SelectObject(&m_font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(m_textColour);
  CRect text = face;
  dc.DrawText(m_text, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(old);
}
