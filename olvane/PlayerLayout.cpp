#include "olvane/PlayerLayout.h"

#include "platform/base/MulDiv.h"
#include "platform/ui/UiTypes.h"

namespace player {

namespace {

CSize Scaled(CSize replay, int width, int height) {
  long long h = static_cast<long long>(width) * replay.cy / replay.cx;
  CSize p(width, h > height ? height : static_cast<int>(h));
  if (h > height) p.cx = static_cast<int>(static_cast<long long>(height) * replay.cx / replay.cy);
  return p;
}

}  // namespace

CSize PictureSize(int mode, CSize replay, int width, int height) {
  if (replay.cx <= 0 || replay.cy <= 0) return CSize(width, width);
  switch (mode) {
    case kScaleNone:
      if (replay.cx <= width && replay.cy <= height) return replay;
      return Scaled(replay, width, height);
    case kScaleFit:
      return Scaled(replay, width, height);
    case kScaleSmart: {
      CSize p = replay;
      if (replay.cx < width || replay.cy < height) {
        // Grow by doubling while the doubled picture still fits both ways.
        while (p.cx <= 0x3FFFFFFF && p.cy <= 0x3FFFFFFF && p.cx * 2 <= width && p.cy * 2 <= height) {
          p.cx *= 2;
          p.cy *= 2;
        }
      } else if (replay.cx > width || replay.cy > height) {
        // Halve at least once; go on while both halves still exceed the area.
        do {
          p.cx /= 2;
          p.cy /= 2;
        } while (p.cx > 1 && p.cy > 1 && p.cx / 2 > width && p.cy / 2 > height);
      }
      return p;
    }
    default:
      return CSize(width, width);
  }
}

ControlBarLayout LayoutControlBar(int width, int height) {
  ControlBarLayout bar;
  const int top = height - kControlBarHeight;
  bar.buttons = CRect(0, top, kButtonBarWidth, top + kControlBarHeight);
  int w = width - kButtonBarWidth;
  int x = kButtonBarWidth;
  if (w >= 20) {
    if (w > kMinProgressWidth + kTimeDisplayWidth) w -= kTimeDisplayWidth;
    bar.progress = CRect(kButtonBarWidth, top, kButtonBarWidth + w, top + kControlBarHeight);
    bar.progressShown = true;
    x = kButtonBarWidth + w;
  }
  if (width - x >= kTimeDisplayWidth) {
    // The counter keeps its own height, centred in the bar; the bar's face
    // shows above and below it.
    const int y = top + (kControlBarHeight - kTimeDisplayHeight) / 2;
    bar.time = CRect(x, y, x + kTimeDisplayWidth, y + kTimeDisplayHeight);
    bar.timeShown = true;
  }
  return bar;
}

void AspectSizing(unsigned edge, CRect& rect, CSize replay, const SizingFrame& f) {
  if (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return;
  if (replay.cx <= 0 || replay.cy <= 0) return;
  const int horizontalFrame = f.frameLeft + f.frameRight;
  const int verticalFrame = f.frameTop + f.frameBottom + f.extraTop + f.extraBottom;
  if (edge == WMSZ_TOP || edge == WMSZ_BOTTOM) {
    int viewHeight = rect.Height() - verticalFrame;
    if (viewHeight < kMinViewHeight) viewHeight = kMinViewHeight;
    const int viewWidth = MulDiv(viewHeight, replay.cx, replay.cy);
    const int windowHeight = viewHeight + verticalFrame;
    if (edge == WMSZ_TOP)
      rect.top = rect.bottom - windowHeight;
    else
      rect.bottom = rect.top + windowHeight;
    rect.right = rect.left + viewWidth + horizontalFrame;
    return;
  }
  int viewWidth = rect.Width() - horizontalFrame;
  if (viewWidth < kMinViewWidth) viewWidth = kMinViewWidth;
  const int viewHeight = MulDiv(viewWidth, replay.cy, replay.cx);
  int windowHeight = viewHeight + verticalFrame;
  const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  if (left) {
    rect.left = rect.right - viewWidth - horizontalFrame;
    if (windowHeight < kMinViewHeight) windowHeight = kMinViewHeight;
  } else {
    rect.right = rect.left + viewWidth + horizontalFrame;
  }
  if (edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
    rect.top = rect.bottom - windowHeight;
  else
    rect.bottom = rect.top + windowHeight;
}

bool SpeedRatio(int index, int& numerator, int& denominator) {
  static const int kRatios[7][2] = {{1, 8}, {1, 4}, {1, 2}, {1, 1}, {2, 1}, {4, 1}, {8, 1}};
  if (index < 0 || index > 6) return false;
  numerator = kRatios[index][0];
  denominator = kRatios[index][1];
  return true;
}

}  // namespace player
