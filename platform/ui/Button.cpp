#include "platform/ui/Button.h"

#include "platform/gfx/Brush.h"
#include "platform/gfx/DC.h"
#include "platform/ui/PaintDC.h"

CButton::CButton() = default;
CButton::~CButton() = default;

BOOL CButton::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::CreateEx(0, nullptr, text, style | WS_CHILD, rect, parent, id);
}

void CButton::SetCheck(int check) {
  const int next = check ? BST_CHECKED : BST_UNCHECKED;
  if (next == m_check) return;
  m_check = next;
  Invalidate(FALSE);
}

UINT CButton::GetState() const {
  UINT state = static_cast<UINT>(m_check);
  if (m_pushed) state |= BST_PUSHED;
  if (m_hWnd && CWnd::GetFocus() == this) state |= BST_FOCUS;
  return state;
}

void CButton::SetState(BOOL pressed) { SetPushed(pressed != FALSE); }

void CButton::SetPushed(bool pushed) {
  if (pushed == m_pushed) return;
  m_pushed = pushed;
  Invalidate(FALSE);
}

void CButton::Clicked() {
  const DWORD kind = GetButtonStyle();
  if (kind == BS_AUTOCHECKBOX) SetCheck(m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  CWnd* parent = GetParent();
  if (!parent) return;
  parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()), static_cast<WORD>(BN_CLICKED)),
                      reinterpret_cast<LPARAM>(m_hWnd));
}

void CButton::OnLButtonDown(UINT, CPoint) {
  if (!IsWindowEnabled()) return;
  const HWND self = m_hWnd;
  if (CWnd::GetFocus() != this) SetFocus();
  if (CWnd::FromHandle(self) != this) return;
  m_tracking = true;
  SetCapture();
  SetPushed(true);
}

// A second quick press is a press like any other.
void CButton::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

void CButton::OnMouseMove(UINT, CPoint point) {
  if (!m_tracking) return;
  CRect client;
  GetClientRect(&client);
  SetPushed(client.PtInRect(point) != FALSE);
}

void CButton::OnLButtonUp(UINT, CPoint point) {
  if (!m_tracking) return;
  CRect client;
  GetClientRect(&client);
  const bool inside = client.PtInRect(point) != FALSE;
  m_tracking = false;
  SetPushed(false);
  const HWND self = m_hWnd;
  if (CWnd::GetCapture() == this) ReleaseCapture();
  if (inside && CWnd::FromHandle(self) == this) Clicked();
}

void CButton::OnCaptureChanged(CWnd* wnd) {
  // Losing the capture mid-press (a menu, a hidden window) cancels the press.
  if (m_tracking && wnd != this) {
    m_tracking = false;
    SetPushed(false);
  }
}

void CButton::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == static_cast<UINT>(VK_SPACE)) {
    if (!m_spaceDown && !m_tracking) {
      m_spaceDown = true;
      SetPushed(true);
    }
    return;
  }
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_KEYDOWN, key, MAKELPARAM(static_cast<WORD>(repeat), static_cast<WORD>(flags)));
}

void CButton::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  if (key == static_cast<UINT>(VK_SPACE)) {
    if (m_spaceDown) {
      m_spaceDown = false;
      SetPushed(false);
      Clicked();
    }
    return;
  }
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_KEYUP, key, MAKELPARAM(static_cast<WORD>(repeat), static_cast<WORD>(flags)));
}

void CButton::OnSetFocus(CWnd*) { Invalidate(FALSE); }

void CButton::OnKillFocus(CWnd*) {
  if (m_spaceDown) {
    m_spaceDown = false;
    SetPushed(false);
  }
  Invalidate(FALSE);
}

void CButton::OnEnable(BOOL enable) {
  if (!enable) {
    m_tracking = false;
    m_spaceDown = false;
    m_pushed = false;
  }
  Invalidate(TRUE);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_DRAWITEM, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(drawItem));
}

BOOL CButton::OnEraseBkgnd(CDC*) { return TRUE; }  // painting covers the whole button

void CButton::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  UINT state = 0;
  if (m_pushed) state |= ODS_SELECTED;
  if (!IsWindowEnabled()) state |= ODS_DISABLED | ODS_GRAYED;
  if (CWnd::GetFocus() == this) state |= ODS_FOCUS;
  if (m_check == BST_CHECKED) state |= ODS_CHECKED;
  if (GetButtonStyle() == BS_OWNERDRAW) {
    DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(GetDlgCtrlID()), 0, ODA_DRAWENTIRE, state, m_hWnd, &dc, client,
                        0};
    DrawItem(&item);
    return;
  }
  DrawPlain(dc, client, state);
}

void CButton::DrawPlain(CDC& dc, const CRect& rect, UINT state) {
  CRect face = rect;
  dc.FillSolidRect(&face, GetSysColor(COLOR_BTNFACE));
  const bool down = (state & (ODS_SELECTED | ODS_CHECKED)) != 0;
  dc.DrawEdge(&face, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  std::string text;
  GetWindowText(text);
  CFont* font = GetFont();
  CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
  if (!font) dc.SelectStockObject(DEFAULT_GUI_FONT);  // the controls' usual face
  dc.SetBkMode(TRANSPARENT);
  CRect textRect = face;
  if (down) textRect.OffsetRect(1, 1);
  if (state & ODS_DISABLED) {
    // Greyed text: an etched look, highlight under shadow.
    dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    CRect etched = textRect;
    etched.OffsetRect(1, 1);
    dc.DrawText(text, &etched, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
  } else {
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
  }
  dc.DrawText(text, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (state & ODS_FOCUS) {
    CRect focus = face;
    focus.DeflateRect(2, 2);
    CBrush brush;
    brush.CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    dc.FrameRect(&focus, &brush);
  }
  if (oldFont) dc.SelectObject(oldFont);
}
