// A mouse tracker that a skinned window starts for two jobs: dragging a
// rubber-band rectangle over the screen (mode 0), or picking one of the
// program's windows by pointing at it (mode 1). The owner captures the mouse
// and hands its mouse moves and its button release to the tracker. The frame
// is drawn with four thin always-on-top windows, so it shows over every
// window of the program without drawing into any of them.
#pragma once

#include <array>
#include <memory>

#include "platform/base/Rect.h"
#include "platform/ui/UiTypes.h"

class CWnd;

// Sent (posted) to the target on every change of the frame with (0, 0), and
// when tracking ends with (-1, -1).
constexpr UINT WM_TRACKER_CHANGED = 0x8000 + 0x140;

class CMyTracker {
 public:
  enum Mode { kRubberBand = 0, kPickWindow = 1 };

  CMyTracker();
  ~CMyTracker();
  CMyTracker(const CMyTracker&) = delete;
  CMyTracker& operator=(const CMyTracker&) = delete;

  // Starts tracking from the current mouse position: captures the mouse for
  // `owner`, shows `cursor` (none: the arrow) and follows the mouse. `target`
  // receives the change notices. Returns FALSE without an owner or when
  // already tracking.
  BOOL StartTracking(int mode, CWnd* owner, CWnd* target, HCURSOR cursor);
  BOOL Tracking() const { return m_tracking ? TRUE : FALSE; }
  HCURSOR GetCursor() const { return m_cursor; }

  // The owner's mouse input while tracking, at screen points. Each returns
  // TRUE when the tracker used the message (it was tracking).
  BOOL OnMouseMove(POINT screen);
  BOOL OnLButtonUp(POINT screen);
  // The owner lost the mouse capture: tracking ends as with a release.
  void CaptureLost();

  // The rubber band (screen coordinates, normalised) of the last tracking.
  const CRect& GetTrackRect() const { return m_rect; }
  // The window picked by the last tracking in mode 1, or null.
  HWND GetPickedWindow() const { return m_picked; }
  int GetMode() const { return m_mode; }

 private:
  void Finish();
  void UpdateBand(POINT screen);
  void UpdatePick(POINT screen);
  bool IsExcluded(const CWnd* wnd) const;
  bool IsFrameWindow(const CWnd* wnd) const;
  // Shows the four frame windows round `rect` (screen), or hides them when empty.
  void ShowFrame(const CRect& rect);
  void NotifyTarget(int value);

  bool m_tracking = false;
  int m_mode = kRubberBand;
  HWND m_owner = nullptr;
  HWND m_target = nullptr;
  HCURSOR m_cursor = nullptr;
  HCURSOR m_oldCursor = nullptr;
  CPoint m_start;
  CRect m_rect;
  HWND m_picked = nullptr;
  std::array<std::unique_ptr<CWnd>, 4> m_frame;  // top, bottom, left, right; owned
};
