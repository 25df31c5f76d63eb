// The player window's geometry rules, free of any window so that they can be
// checked case by case: the size of the replay picture in the view area for
// a scaling mode, the control bar's parts for a client width, and the
// window rectangle that keeps the picture's aspect while an edge is dragged.
#pragma once

#include "platform/base/Rect.h"

namespace player {

constexpr int kControlBarHeight = 28;
constexpr int kButtonBarWidth = 132;
// The time counter: three pairs of 10-pixel cells, two 4-pixel separators
// and a one-pixel frame on either side; 19 pixels high.
constexpr int kTimeDisplayWidth = 70;
constexpr int kTimeDisplayHeight = 19;
// The progress bar is narrowed for the counter only while it keeps this much.
constexpr int kMinProgressWidth = 34;
// Smallest view sizes while sizing by an edge.
constexpr int kMinViewHeight = 200;
constexpr int kMinViewWidth = 300;

// Scaling modes.
constexpr int kScaleNone = 0;
constexpr int kScaleFit = 1;
constexpr int kScaleSmart = 2;

// The picture size for a replay size in a view area of width x height.
CSize PictureSize(int mode, CSize replay, int width, int height);

struct ControlBarLayout {
  CRect buttons;
  CRect progress;  // empty when hidden
  CRect time;      // empty when hidden
  bool progressShown = false;
  bool timeShown = false;
};
// The control bar at the bottom of a client area of width x height.
ControlBarLayout LayoutControlBar(int width, int height);

// Sizes that surround the view inside the window rectangle.
struct SizingFrame {
  int extraTop = 0;     // caption bar
  int extraBottom = 0;  // control bar
  // Window rectangle minus client rectangle on each side (a frame).
  int frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
};
// Corrects a proposed window rectangle for a drag of `edge` (WMSZ_*) so that
// the view keeps the replay's aspect. A replay size with a zero side leaves
// the rectangle alone (no clip is open yet).
void AspectSizing(unsigned edge, CRect& rect, CSize replay, const SizingFrame& frame);

// The replay speed ratio of a speed button index (0 "1/8" ... 6 "8").
bool SpeedRatio(int index, int& numerator, int& denominator);

}  // namespace player
