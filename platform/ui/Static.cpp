#include "platform/ui/Static.h"

#include "platform/gfx/DC.h"
#include "platform/ui/PaintDC.h"

CStatic::CStatic() = default;
CStatic::~CStatic() = default;

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::CreateEx(0, nullptr, text, style | WS_CHILD, rect, parent, id);
}

LRESULT CStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      if (!(GetStyle() & SS_NOTIFY)) return HTTRANSPARENT;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetStyle() & SS_NOTIFY) {
        const HWND self = m_hWnd;
        if (CWnd* parent = GetParent())
          parent->SendMessage(WM_COMMAND,
                              MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()),
                                         static_cast<WORD>(message == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK)),
                              reinterpret_cast<LPARAM>(self));
        if (CWnd::FromHandle(self) != this) return 0;
      }
      break;
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT drawItem) {
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_DRAWITEM, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(drawItem));
}

BOOL CStatic::OnEraseBkgnd(CDC* dc) {
  // An owner-drawn static paints all of itself; a text static fills its face
  // when it paints.
  (void)dc;
  return TRUE;
}

void CStatic::OnEnable(BOOL) { Invalidate(TRUE); }

void CStatic::DrawEntireItem(CDC& dc) {
  CRect client;
  GetClientRect(&client);
  DRAWITEMSTRUCT item{ODT_STATIC,
                      static_cast<UINT>(GetDlgCtrlID()),
                      0,
                      ODA_DRAWENTIRE,
                      IsWindowEnabled() ? 0u : ODS_DISABLED,
                      m_hWnd,
                      &dc,
                      client,
                      0};
  DrawItem(&item);
}

void CStatic::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  const DWORD style = GetStyle();
  if ((style & SS_TYPEMASK) == SS_OWNERDRAW) {
    DrawEntireItem(dc);
    return;
  }
  dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
  std::string text;
  GetWindowText(text);
  if (text.empty()) return;
  CFont* font = GetFont();
  CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
  if (!font) dc.SelectStockObject(DEFAULT_GUI_FONT);  // the controls' usual face
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(GetSysColor(IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  UINT format = DT_NOPREFIX | DT_WORDBREAK;
  if ((style & SS_TYPEMASK) == SS_CENTER) format |= DT_CENTER;
  if ((style & SS_TYPEMASK) == SS_RIGHT) format |= DT_RIGHT;
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  dc.DrawText(text, &client, format);
  if (oldFont) dc.SelectObject(oldFont);
}
