#include <gtest/gtest.h>

#include "platform/gfx/Rgn.h"
#include "platform/ui/Headless.h"
#include "platform/ui/PaintDC.h"
#include "tests/common/TestEnvironment.h"
#include "platform/ui/ToolTipWnd.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

TEST(ToolTip, PlacedBesideTheCursorAndKeptOnTheScreen) {
  struct Case {
    POINT cursor;
    CRect expected;
  };
  const SIZE size{60, 20};
  const SIZE screen{800, 600};
  const Case cases[] = {
      {{100, 100}, CRect(116, 116, 176, 136)},
      {{790, 590}, CRect(740, 580, 800, 600)},  // bottom-right corner: moved back
      {{790, 100}, CRect(740, 116, 800, 136)},
      {{-50, -50}, CRect(0, 0, 60, 20)},         // never at a negative position
  };
  for (const Case& c : cases) EXPECT_EQ(CToolTipWnd::PlaceNearCursor(c.cursor, size, screen), c.expected);
  // A tip larger than the screen still starts at zero.
  EXPECT_EQ(CToolTipWnd::PlaceNearCursor(POINT{10, 10}, SIZE{900, 20}, screen).left, 0);
}

TEST(ToolTip, ShowsTheTextOnTopAndHides) {
  CRecordingWnd owner;
  ASSERT_TRUE(owner.CreateTop(0, 0, 100, 100));
  CToolTipWnd tip;
  ASSERT_TRUE(tip.Create(&owner));
  EXPECT_FALSE(tip.ToolTipVisible());
  tip.SetColours(RGB(255, 227, 214), RGB(0, 0, 0));
  tip.DisplayToolTip("This is the current playback position", POINT{20, 30});
  EXPECT_TRUE(tip.ToolTipVisible());
  EXPECT_NE(tip.GetExStyle() & WS_EX_TOPMOST, 0u);
  CRect r;
  tip.GetWindowRect(&r);
  EXPECT_EQ(r.TopLeft(), CPoint(36, 46));
  EXPECT_GT(r.Width(), 100);
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(tip.m_hWnd, 1, 1), RGB(255, 227, 214));
  EXPECT_EQ(ui::GetWindowPixel(tip.m_hWnd, r.Width() - 1, r.Height() - 1), RGB(0, 0, 0));  // the shadow
  tip.HideToolTip();
  EXPECT_FALSE(tip.ToolTipVisible());
  owner.DestroyWindow();  // an owned window goes with its owner
  EXPECT_EQ(tip.m_hWnd, nullptr);
}

TEST(WindowShape, OnlyTheShapeTakesTheMouse) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop(0, 0, 100, 100));
  // A triangle over the left-bottom half.
  ASSERT_TRUE(wnd.SetWindowShape({POINT{0, 0}, POINT{100, 100}, POINT{0, 100}}));
  ASSERT_NE(wnd.GetWindowRgn(), nullptr);
  ui::InjectClick(wnd.m_hWnd, POINT{10, 80});
  ui::InjectClick(wnd.m_hWnd, POINT{80, 10});
  ui::ProcessPendingMessages();
  ASSERT_EQ(wnd.Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(wnd.Only(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(10, 80));
  ASSERT_TRUE(wnd.SetWindowShape({}));
  EXPECT_EQ(wnd.GetWindowRgn(), nullptr);
  ui::InjectClick(wnd.m_hWnd, POINT{80, 10});
  ui::ProcessPendingMessages();
  EXPECT_EQ(wnd.Count(WM_LBUTTONDOWN), 2);
}

}  // namespace

namespace {

TEST(Screenshot, ComposesVisibleWindowsIntoAPng) {
  class CSolid : public CWnd {
    void OnPaint() override {
      CPaintDC dc(this);
      dc.FillSolidRect(0, 0, 1000, 1000, RGB(10, 200, 30));
    }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(40, 30, 90, 70), nullptr, 0));
  ui::ProcessPendingMessages();
  const std::string path = testenv::MakeTempDir("shot") + "/shot.png";
  ASSERT_TRUE(ui::SaveScreenshotPng(path, 5));
  const std::string bytes = testenv::ReadFile(path);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  auto be32 = [&](std::size_t at) {
    return (static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) << 24) |
           (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
           (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 3]));
  };
  EXPECT_EQ(be32(16), 60u);  // 50 wide plus 5 on each side
  EXPECT_EQ(be32(20), 50u);
  EXPECT_FALSE(ui::WritePng(path, {1, 2, 3}, 2, 2));  // pixel count does not match the size
}

}  // namespace
