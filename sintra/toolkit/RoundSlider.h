// CRoundSlider: a round knob that sets a value within a range. The knob's
// mark turns clockwise through three quarters of a circle, from the lower
// left (the minimum) over the top to the lower right (the maximum). A press
// on the knob and a drag turn it to the mouse's angle (the gap at the bottom
// snaps to the nearer end); the arrow keys step by 1 and Page Up / Page Down
// by the page size. Each change of value is sent to the parent as
// WM_HSCROLL (TB_THUMBTRACK while dragging, TB_LINE.../TB_PAGE... from the
// keys) with the value in the high word and the slider in lParam; a drag
// ends with TB_THUMBPOSITION and TB_ENDTRACK. The background is the
// parent's face, asked for like a transparent static's.
#pragma once

#include "platform/ui/Wnd.h"

constexpr UINT TB_LINEUP = 0;
constexpr UINT TB_LINEDOWN = 1;
constexpr UINT TB_PAGEUP = 2;
constexpr UINT TB_PAGEDOWN = 3;
constexpr UINT TB_THUMBPOSITION = 4;
constexpr UINT TB_THUMBTRACK = 5;
constexpr UINT TB_ENDTRACK = 8;

class CRoundSlider : public CWnd {
 public:
  CRoundSlider();
  ~CRoundSlider() override;

  using CWnd::Create;
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  void SetRange(int minValue, int maxValue, BOOL redraw = FALSE);
  int GetRangeMin() const { return m_min; }
  int GetRangeMax() const { return m_max; }
  // The value is kept within the range.
  void SetPos(int pos);
  int GetPos() const { return m_pos; }
  int SetPageSize(int size);
  int GetPageSize() const { return m_page; }

  // The value a client point stands for (by its angle round the centre).
  int PosFromPoint(POINT point) const;
  // The client point of the mark for a value, `radius` from the centre.
  CPoint PointForPos(int pos, double radius) const;

 protected:
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnPaint() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override { OnLButtonDown(flags, point); }
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnCaptureChanged(CWnd* wnd) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnEnable(BOOL) override { Invalidate(FALSE); }

 private:
  // Sets the value and, when it changed, tells the parent with `code`.
  void MoveTo(int pos, UINT code);
  void Notify(UINT code);

  int m_min = 0;
  int m_max = 100;
  int m_pos = 0;
  int m_page = 10;
  bool m_dragging = false;
};
