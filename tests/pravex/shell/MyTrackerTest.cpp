#include <gtest/gtest.h>

#include <memory>

#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/shell/MyTracker.h"
#include "tests/platform/ui/UiTestWindows.h"
#include "tests/pravex/shell/ShellTestWindow.h"

namespace {

// An owner window on the skin base (it hands its mouse to the tracker), a
// target that records the notices, and another window of the program.
struct TrackerScene {
  std::unique_ptr<CShellTestWindow> owner = std::make_unique<CShellTestWindow>();
  CRecordingWnd target, other, otherChild, ownerChild;
  TrackerScene() {
    owner->createRect = CRect(0, 0, 400, 300);
    EXPECT_TRUE(owner->Setup("NONE"));
    owner->SetupWindows(4);
    EXPECT_TRUE(target.CreateTop(500, 0, 100, 100));
    EXPECT_TRUE(other.CreateTop(500, 200, 200, 200));
    EXPECT_TRUE(otherChild.CreateChild(&other, CRect(100, 100, 150, 150)));
    EXPECT_TRUE(ownerChild.CreateChild(owner.get(), CRect(10, 30, 60, 80)));
    ui::ProcessPendingMessages();
    target.messages.clear();
  }
  ~TrackerScene() {
    ownerChild.DestroyWindow();
    otherChild.DestroyWindow();
    other.DestroyWindow();
    target.DestroyWindow();
    owner->DestroyWindow();
    ui::ProcessPendingMessages();
  }
  // Moves the mouse to a screen point (the owner has the capture, so its
  // client coordinates are the screen's).
  void MoveTo(int x, int y) {
    ui::InjectMouseMove(owner->GetSafeHwnd(), POINT{x, y});
    ui::ProcessPendingMessages();
    ui::ProcessPendingMessages();
  }
  void ReleaseAt(int x, int y) {
    ui::InjectMouseButton(owner->GetSafeHwnd(), POINT{x, y}, VK_LBUTTON, false);
    ui::ProcessPendingMessages();
    ui::ProcessPendingMessages();
  }
  int Notices(int value) const {
    int n = 0;
    for (const auto& m : target.Only(WM_TRACKER_CHANGED))
      n += static_cast<int>(m.wParam) == value && static_cast<int>(m.lParam) == value ? 1 : 0;
    return n;
  }
};

}  // namespace

TEST(MyTracker, RubberBandFollowsTheMouseAndEndsOnRelease) {
  TrackerScene s;
  CMyTracker& tracker = s.owner->GetTracker();
  s.MoveTo(100, 50);
  ASSERT_TRUE(tracker.StartTracking(CMyTracker::kRubberBand, s.owner.get(), &s.target, nullptr));
  EXPECT_FALSE(tracker.StartTracking(CMyTracker::kRubberBand, s.owner.get(), &s.target, nullptr));
  EXPECT_EQ(CWnd::GetCapture(), s.owner.get());
  s.MoveTo(180, 140);
  EXPECT_EQ(tracker.GetTrackRect(), CRect(100, 50, 180, 140));
  s.MoveTo(60, 20);  // back over the start: normalised
  EXPECT_EQ(tracker.GetTrackRect(), CRect(60, 20, 100, 50));
  EXPECT_EQ(s.Notices(0), 2);
  // The frame is drawn over everything by always-on-top windows.
  CWnd* top = CWnd::WindowFromPoint(POINT{61, 21});
  ASSERT_NE(top, nullptr);
  EXPECT_NE(top, s.owner.get());
  EXPECT_TRUE(top->GetExStyle() & WS_EX_TOPMOST);

  s.ReleaseAt(60, 20);
  EXPECT_FALSE(tracker.Tracking());
  EXPECT_EQ(s.Notices(-1), 1);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  EXPECT_EQ(CWnd::WindowFromPoint(POINT{61, 21}), s.owner.get());  // frame gone
  // The owner's own presses work again.
  EXPECT_FALSE(s.owner->IsButtonDown());
}

TEST(MyTracker, PickingSkipsTheOwnerTheTargetAndTheirChildren) {
  TrackerScene s;
  CMyTracker& tracker = s.owner->GetTracker();
  s.MoveTo(20, 40);  // over the owner's child
  ASSERT_TRUE(tracker.StartTracking(CMyTracker::kPickWindow, s.owner.get(), &s.target, nullptr));
  EXPECT_EQ(tracker.GetPickedWindow(), nullptr);
  s.MoveTo(550, 50);  // the target
  EXPECT_EQ(tracker.GetPickedWindow(), nullptr);
  s.MoveTo(520, 220);  // another window of the program
  EXPECT_EQ(tracker.GetPickedWindow(), s.other.GetSafeHwnd());
  EXPECT_EQ(tracker.GetTrackRect(), CRect(500, 200, 700, 400));
  s.MoveTo(610, 310);  // its child
  EXPECT_EQ(tracker.GetPickedWindow(), s.otherChild.GetSafeHwnd());
  s.ReleaseAt(610, 310);
  EXPECT_FALSE(tracker.Tracking());
  EXPECT_EQ(tracker.GetPickedWindow(), s.otherChild.GetSafeHwnd());
  EXPECT_EQ(s.Notices(-1), 1);
}

TEST(MyTracker, LosingTheCaptureEndsTracking) {
  TrackerScene s;
  CMyTracker& tracker = s.owner->GetTracker();
  ASSERT_TRUE(tracker.StartTracking(CMyTracker::kRubberBand, s.owner.get(), &s.target, nullptr));
  s.other.SetCapture();
  ui::ProcessPendingMessages();
  EXPECT_FALSE(tracker.Tracking());
  EXPECT_EQ(s.Notices(-1), 1);
  ReleaseCapture();
}
