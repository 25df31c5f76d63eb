// The caption bar of a window that draws its own frame: a band in the skin's
// caption colours (focused or not) with the window's title ending in an
// ellipsis when it is too long, a raised bottom edge, room on the right for
// the caption buttons, and dragging of the parent window by the band.
#pragma once

#include "platform/gfx/Font.h"
#include "platform/ui/Wnd.h"

class CCaptionBar : public CWnd {
 public:
  CCaptionBar();
  ~CCaptionBar() override;

  using CWnd::Create;
  // A visible child at the bottom of the Z order; rightMargin is kept free
  // for buttons.
  BOOL Create(CWnd* parent, const RECT& rect, int rightMargin);
  void Activate(BOOL active);
  BOOL IsActive() const { return m_active; }
  CFont* GetFont() { return &m_font; }
  BOOL IsDragging() const { return m_dragging; }
  // Where the title goes in a client rectangle, with the margins.
  CRect TextRect(const CRect& client) const;

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnCaptureChanged(CWnd* wnd) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  BOOL m_active = FALSE;
  CFont m_font;
  int m_rightMargin = 0;
  BOOL m_dragging = FALSE;
  CPoint m_pressScreen;   // where the drag began, screen coordinates
  CPoint m_parentOrigin;  // the parent's top-left then
};
