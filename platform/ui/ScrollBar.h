// Scroll bars: CScrollBar as a child control, and the same bar serving as a
// window's own horizontal or vertical scroll bar (WS_HSCROLL, WS_VSCROLL,
// CWnd::SetScrollInfo). A bar has a range, a page and a position; the
// position is kept within min .. max - page + 1 (max with no page). Pressing
// an arrow or a page area sends SB_LINE... or SB_PAGE... to the owner at once
// and again on a timer while the mouse stays held over it; dragging the
// thumb under mouse capture sends SB_THUMBTRACK with the position the thumb
// stands for, SB_THUMBPOSITION on the release, and every press ends with
// SB_ENDSCROLL. A control bar notifies its parent with its own handle in
// lParam; a window's bar notifies the window with lParam 0. The owner moves
// the bar (SetScrollPos / SetScrollInfo); the bar never scrolls itself.
#pragma once

#include "platform/ui/Wnd.h"

class CScrollBar : public CWnd {
 public:
  // Thickness of window scroll bars, and of the arrows.
  static constexpr int kThickness = 16;
  // The auto-repeat timer: first repeat after kRepeatDelay, then every kRepeatPeriod ms.
  static constexpr std::uintptr_t kRepeatTimer = 0x5C01;
  static constexpr UINT kRepeatDelay = 400;
  static constexpr UINT kRepeatPeriod = 50;

  CScrollBar();
  ~CScrollBar() override;

  using CWnd::Create;
  // SBS_HORZ or SBS_VERT with the window styles.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  BOOL SetScrollInfo(LPSCROLLINFO info, BOOL redraw = TRUE);
  BOOL GetScrollInfo(LPSCROLLINFO info, UINT mask = SIF_ALL) const;
  // Returns the previous position.
  int SetScrollPos(int pos, BOOL redraw = TRUE);
  int GetScrollPos() const { return m_pos; }
  void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE);
  void GetScrollRange(int* minPos, int* maxPos) const;
  // The largest position the bar accepts.
  int GetScrollLimit() const;
  void ShowScrollBar(BOOL show = TRUE) { ShowWindow(show ? SW_SHOWNA : SW_HIDE); }
  BOOL IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }

  // Parts of the bar, for hit testing and drawing.
  enum Part { kNone, kArrowUp, kPageUp, kThumb, kPageDown, kArrowDown };
  // The part at a client point, and the rectangle of a part (empty when it
  // is not shown: no thumb while nothing can scroll).
  Part PartAt(POINT point) const;
  CRect PartRect(Part part) const;

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override { OnLButtonDown(flags, point); }
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnTimer(std::uintptr_t id) override;
  void OnCaptureChanged(CWnd* wnd) override;
  void OnEnable(BOOL enable) override;

 private:
  friend class CWnd;
  // Along-the-bar geometry: the length of the client along the axis, the
  // arrow length, and the thumb's start and length (0 when there is none).
  struct Track {
    int length = 0;
    int arrow = 0;
    int thumbStart = 0;
    int thumbLength = 0;
  };
  Track Measure() const;
  int Along(POINT p) const { return IsVertical() ? p.y : p.x; }
  // The position for a thumb whose leading edge is at `thumbStart`.
  int PosForThumb(int thumbStart) const;
  bool CanScroll() const;
  void Notify(UINT code, int pos);
  void EndPress();
  void RepeatPress();

  int m_min = 0;
  int m_max = 100;
  UINT m_page = 0;
  int m_pos = 0;
  int m_trackPos = 0;
  Part m_pressed = kNone;      // the part held down, kNone when idle
  bool m_pressedOver = false;  // the mouse is over the held part
  int m_dragOffset = 0;        // mouse minus thumb start when the drag began
  bool m_windowBar = false;    // serves its parent as a window scroll bar
  int m_extra = 0;             // a window bar's blank corner beyond its track
};
