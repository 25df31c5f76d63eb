// CStatic: a static control, a child window that shows text or, with
// SS_OWNERDRAW, whatever its DrawItem draws. Without SS_NOTIFY it lets the
// mouse through to its parent; with it, it takes the mouse and reports a
// click to the parent as WM_COMMAND (STN_CLICKED, STN_DBLCLK).
#pragma once

#include "platform/gfx/DC.h"
#include "platform/ui/Wnd.h"

class CStatic : public CWnd {
 public:
  CStatic();
  ~CStatic() override;

  using CWnd::Create;
  BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);

  // Draws an owner-drawn static. The base asks the parent with WM_DRAWITEM.
  virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Hands the whole client area to DrawItem, drawn into `dc`.
  void DrawEntireItem(CDC& dc);
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnEnable(BOOL enable) override;
};
