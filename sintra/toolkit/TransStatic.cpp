#include "sintra/toolkit/TransStatic.h"

#include "platform/gfx/DC.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

CTransStatic::CTransStatic() = default;
CTransStatic::~CTransStatic() = default;

void CTransStatic::SetTextColour(COLORREF colour) {
  m_textColour = colour;
  if (m_hWnd) Invalidate(FALSE);
}

void CTransStatic::PaintBackground(CDC& dc) {
  CWnd* parent = GetParent();
  const int saved = dc.SaveDC();
  const LRESULT painted =
      parent ? parent->SendMessage(WM_APP_REDRAWSKIN, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(this))
             : 0;
  dc.RestoreDC(saved);
  if (!painted) {
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, g_skinData.SkinColour(SKIN_BACK));
  }
}

BOOL CTransStatic::OnEraseBkgnd(CDC*) { return TRUE; }  // the background comes with the paint

void CTransStatic::OnPaint() {
  CPaintDC dc(this);
  if ((GetStyle() & SS_TYPEMASK) == SS_OWNERDRAW) {
    PaintBackground(dc);
    DrawEntireItem(dc);
    return;
  }
  PaintBackground(dc);
  std::string text;
  GetWindowText(text);
  if (text.empty()) return;
  CRect client;
  GetClientRect(&client);
  CFont* font = GetFont();
  CFont* old = font ? dc.SelectObject(font) : nullptr;
  if (!font) dc.SelectStockObject(DEFAULT_GUI_FONT);  // the controls' usual face
  dc.SetBkMode(TRANSPARENT);
  COLORREF colour = m_textColour;
  if (colour == 0xFFFFFFFF) colour = g_skinData.SkinColour(IsWindowEnabled() ? SKIN_TEXT : SKIN_TEXT_DISABLE);
  dc.SetTextColor(colour);
  UINT format = DT_NOPREFIX | DT_WORDBREAK;
  if ((GetStyle() & SS_TYPEMASK) == SS_CENTER) format |= DT_CENTER;
  if ((GetStyle() & SS_TYPEMASK) == SS_RIGHT) format |= DT_RIGHT;
  if (GetStyle() & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  dc.DrawText(text, &client, format);
  if (old) dc.SelectObject(old);
}
