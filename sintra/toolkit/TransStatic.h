// CTransStatic: a static control whose parent's face shows through it. When
// it paints, it asks its parent to paint what lies behind it into its own
// device context (WM_APP_REDRAWSKIN), then draws its text over that; a
// parent that does not answer leaves the skin's background colour.
#pragma once

#include "platform/ui/Static.h"

// The request to paint a child's background: wParam the child's CDC* (its
// client coordinates), lParam the child's CWnd*. A parent that painted
// returns non-zero.
constexpr UINT WM_APP_REDRAWSKIN = WM_APP + 0x139;

class CTransStatic : public CStatic {
 public:
  CTransStatic();
  ~CTransStatic() override;

  // Text colour; CLR_INVALID (the default) takes the skin's text colours.
  void SetTextColour(COLORREF colour);

  // Paints the background: the parent's face, or the skin background. Also
  // used by derived controls that draw their own foreground.
  void PaintBackground(CDC& dc);

 protected:
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnPaint() override;

 private:
  COLORREF m_textColour = 0xFFFFFFFF;
};
