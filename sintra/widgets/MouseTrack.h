// Notices the mouse entering and leaving a widget: on entry the widget is
// redrawn, a leave notice is requested and the main window is told to hide
// its tooltip and show the widget's own; on leaving the widget is redrawn
// and the tooltip hidden.
#pragma once

#include "platform/ui/UiTypes.h"

class CMouseTrack {
 public:
  // frameMode: redraw the frame (SWP_FRAMECHANGED) instead of the client area.
  void Init(HWND wnd, int frameMode);
  void SetToolTip(unsigned id) { m_toolTip = id; }
  unsigned GetToolTip() const { return m_toolTip; }
  BOOL MouseOver() const { return m_over; }
  // 1 when the mouse has just entered. A null window means the served one.
  int OnMouseMove(HWND wnd = nullptr);
  // Asks for a leave notice for the tracked window.
  void TrackMouseOut();
  // 1 when the leave was for the tracked window.
  int OnMouseOut(HWND wnd = nullptr);

  HWND m_hWnd = nullptr;    // the window served
  HWND m_hTrack = nullptr;  // the window being tracked
  BOOL m_over = FALSE;
  int m_frameMode = 0;
  unsigned m_toolTip = 0;  // tooltip string id, 0 none

 private:
  void RedrawServed() const;
};

static_assert(sizeof(CMouseTrack) <= 40);
