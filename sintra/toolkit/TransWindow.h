// CTransWindow: a top-level window in the skin's colours: its face in the
// window background colour, and a caption band along the top, as high as
// the skin's caption height, showing the title in the caption colours (the
// focused pair while the window is active). Dragging the band moves the
// window.
#pragma once

#include "platform/ui/Wnd.h"

class CTransWindow : public CWnd {
 public:
  CTransWindow();
  ~CTransWindow() override;

  // A popup (unless the style says otherwise) owned by `owner`; sizable
  // with WS_THICKFRAME (the window layer gives it a sizing band).
  using CWnd::Create;
  BOOL Create(const char* title, DWORD style, const RECT& rect, CWnd* owner = nullptr);

  // The caption band's height: the skin's caption height, at least 0.
  int GetCaptionHeight() const;
  // The caption band in client coordinates (empty when its height is 0).
  CRect GetCaptionRect() const;

 protected:
  // Draws the band; derived windows may add buttons or icons.
  virtual void DrawCaption(CDC& dc, const CRect& band);

  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnPaint() override;
  void OnActivate(UINT state, CWnd* other, BOOL minimized) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnCaptureChanged(CWnd* wnd) override;

 private:
  bool m_active = false;
  bool m_dragging = false;
  POINT m_dragStart{0, 0};  // screen point of the press
  CRect m_dragRect;         // window rectangle at the press
};
