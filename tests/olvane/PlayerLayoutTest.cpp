// The window geometry rules, case by case.
#include <gtest/gtest.h>

#include "olvane/PlayerLayout.h"
#include "platform/ui/UiTypes.h"

using namespace player;

TEST(PlayerLayout, ControlBarByWidth) {
  ControlBarLayout narrow = LayoutControlBar(151, 300);
  EXPECT_EQ(narrow.buttons, CRect(0, 272, 132, 300));
  EXPECT_FALSE(narrow.progressShown);
  EXPECT_FALSE(narrow.timeShown);

  ControlBarLayout middle = LayoutControlBar(220, 300);
  EXPECT_TRUE(middle.progressShown);
  EXPECT_EQ(middle.progress, CRect(132, 272, 220, 300));
  EXPECT_FALSE(middle.timeShown);

  ControlBarLayout wide = LayoutControlBar(300, 300);
  // The counter gets its whole width (its last digit must not be cut off)
  // at its own height, centred in the bar.
  EXPECT_EQ(wide.progress, CRect(132, 272, 230, 300));
  EXPECT_TRUE(wide.timeShown);
  EXPECT_EQ(wide.time, CRect(230, 276, 300, 295));
  EXPECT_EQ(wide.time.right, 300);
}

TEST(PlayerLayout, PictureSizeForEachMode) {
  EXPECT_EQ(PictureSize(kScaleSmart, CSize(800, 600), 1700, 1300), CSize(1600, 1200));
  EXPECT_EQ(PictureSize(kScaleSmart, CSize(800, 600), 500, 500), CSize(400, 300));
  EXPECT_EQ(PictureSize(kScaleSmart, CSize(400, 300), 400, 300), CSize(400, 300));
  EXPECT_EQ(PictureSize(kScaleFit, CSize(1000, 500), 400, 400), CSize(400, 200));
  EXPECT_EQ(PictureSize(kScaleFit, CSize(500, 1000), 400, 400), CSize(200, 400));
  EXPECT_EQ(PictureSize(kScaleNone, CSize(300, 200), 400, 400), CSize(300, 200));
  EXPECT_EQ(PictureSize(kScaleNone, CSize(1000, 500), 400, 400), CSize(400, 200));
  // No clip yet, or an unknown mode: a square of the area's width.
  EXPECT_EQ(PictureSize(kScaleFit, CSize(0, 0), 400, 300), CSize(400, 400));
  EXPECT_EQ(PictureSize(7, CSize(300, 200), 400, 300), CSize(400, 400));
}

TEST(PlayerLayout, AspectSizingKeepsTheReplayShape) {
  SizingFrame frame;
  frame.extraTop = 18;
  frame.extraBottom = 28;
  // The top edge dragged down to a 150-pixel view: the view stays 200 high.
  CRect top(100, 100 + 50, 500, 100 + 46 + 200);
  AspectSizing(WMSZ_TOP, top, CSize(400, 200), frame);
  EXPECT_EQ(top.Height(), 200 + 46);
  EXPECT_EQ(top.Width(), 400);
  EXPECT_EQ(top.bottom, 346);

  CRect right(0, 0, 600, 100);
  AspectSizing(WMSZ_RIGHT, right, CSize(400, 200), frame);
  EXPECT_EQ(right, CRect(0, 0, 600, 300 + 46));

  // Before a clip is open the replay size is 0: nothing changes (no division by it).
  CRect none(10, 20, 330, 440);
  AspectSizing(WMSZ_LEFT, none, CSize(0, 0), frame);
  EXPECT_EQ(none, CRect(10, 20, 330, 440));
  AspectSizing(WMSZ_BOTTOM, none, CSize(0, 0), frame);
  EXPECT_EQ(none, CRect(10, 20, 330, 440));
  AspectSizing(99, none, CSize(400, 200), frame);
  EXPECT_EQ(none, CRect(10, 20, 330, 440));
}

TEST(PlayerLayout, SpeedRatios) {
  int n = 0, d = 0;
  ASSERT_TRUE(SpeedRatio(0, n, d));
  EXPECT_EQ(n * 100 + d, 108);
  ASSERT_TRUE(SpeedRatio(6, n, d));
  EXPECT_EQ(n * 100 + d, 801);
  EXPECT_FALSE(SpeedRatio(7, n, d));
  EXPECT_FALSE(SpeedRatio(-1, n, d));
}
