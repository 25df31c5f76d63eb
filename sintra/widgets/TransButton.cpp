#include "sintra/widgets/TransButton.h"

#include "platform/gfx/DC.h"
#include "sintra/skin/SkinData.h"

CTransButton::CTransButton() = default;
CTransButton::~CTransButton() = default;

BOOL CTransButton::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id, CFont* font) {
  m_glyphFont = font;
  if (!CButton::Create(text, style | BS_OWNERDRAW, rect, parent, id)) return FALSE;
  m_track.Init(m_hWnd, 0);
  return TRUE;
}

void CTransButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
  CDC* dc = drawItem->hDC;
  if (!dc) return;
  CRect r(drawItem->rcItem);
  const bool pressed = (drawItem->itemState & (ODS_SELECTED | ODS_CHECKED)) != 0;
  const bool disabled = (drawItem->itemState & ODS_DISABLED) != 0;
  const bool hot = m_track.MouseOver() && !disabled;
  const int face = pressed ? SKIN_BUTTON_SELECT : hot ? SKIN_BUTTON_HI : SKIN_BUTTON_FACE;
  const int ink = disabled  ? SKIN_TEXT_DISABLE
                  : pressed ? SKIN_BUTTON_TEXT_SELECT
                  : hot     ? SKIN_BUTTON_TEXT_HI
                            : SKIN_BUTTON_TEXT;
  dc->FillSolidRect(&r, g_skinData.SkinColour(face));
  if (hot || pressed) {
    CBrush border(g_skinData.SkinColour(SKIN_BUTTON_BORDER));
    dc->FrameRect(&r, &border);
  }
  std::string glyph;
  GetWindowText(glyph);
  CFont* old = m_glyphFont ? dc->SelectObject(m_glyphFont) : nullptr;
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(g_skinData.SkinColour(ink));
  if (pressed) r.OffsetRect(1, 1);
  dc->DrawText(glyph, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (old) dc->SelectObject(old);
}

void CTransButton::OnMouseMove(UINT flags, CPoint point) {
  CButton::OnMouseMove(flags, point);
  m_track.OnMouseMove(m_hWnd);
}

void CTransButton::OnMouseLeave() {
  if (m_track.OnMouseOut(m_hWnd)) Invalidate(FALSE);
}

void CTransButton::OnLButtonDown(UINT flags, CPoint point) {
  if (m_pressOnDown && IsWindowEnabled()) {
    if (CWnd* parent = GetParent()) parent->PostMessage(WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    return;
  }
  CButton::OnLButtonDown(flags, point);
}
