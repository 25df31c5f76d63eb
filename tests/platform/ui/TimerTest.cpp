#include <gtest/gtest.h>

#include <chrono>

#include "tests/platform/ui/UiTestWindows.h"

namespace {

std::uint64_t MonotonicMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Two timers over five seconds of the monotonic clock: every tick comes no
// earlier than its slot on the timer's own schedule, and at the end each
// timer is at most one period behind the count the elapsed time calls for.
TEST(Timers, FireInOrderWithoutDriftOverFiveSeconds) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop(0, 0, 10, 10, WS_POPUP));
  constexpr UINT kFast = 40;
  constexpr UINT kSlow = 100;
  std::vector<std::uint64_t> fast, slow;
  std::uint64_t start = 0;
  wnd.hook = [&](UINT m, WPARAM id, LPARAM) {
    if (m != WM_TIMER) return;
    (id == 1 ? fast : slow).push_back(MonotonicMs() - start);
  };
  start = MonotonicMs();
  ASSERT_NE(wnd.SetTimer(1, kFast), 0u);
  ASSERT_NE(wnd.SetTimer(2, kSlow), 0u);
  ui::RunMessageLoopFor(5000);
  const std::uint64_t elapsed = MonotonicMs() - start;
  wnd.KillTimer(1);
  wnd.KillTimer(2);
  for (std::size_t i = 0; i < fast.size(); ++i) EXPECT_GE(fast[i], (i + 1) * kFast) << "tick " << i;
  for (std::size_t i = 0; i < slow.size(); ++i) EXPECT_GE(slow[i], (i + 1) * kSlow) << "tick " << i;
  EXPECT_GE(fast.size() + 1, elapsed / kFast);
  EXPECT_GE(slow.size() + 1, elapsed / kSlow);
  EXPECT_LE(fast.size(), elapsed / kFast);
  EXPECT_LE(slow.size(), elapsed / kSlow);
}

TEST(Timers, KillStopsAndResetRestartsAndDestroyRemoves) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop(0, 0, 10, 10, WS_POPUP));
  EXPECT_EQ(wnd.SetTimer(0, 5), 1u);  // id 0 still gives a non-zero result
  EXPECT_TRUE(wnd.KillTimer(0));
  EXPECT_FALSE(wnd.KillTimer(0));
  wnd.SetTimer(3, 5);
  ui::RunMessageLoopUntil([&] { return wnd.Count(WM_TIMER) >= 2; }, 5000);
  EXPECT_GE(wnd.Count(WM_TIMER), 2);
  for (const auto& m : wnd.Only(WM_TIMER)) EXPECT_EQ(m.wParam, 3u);
  wnd.DestroyWindow();
  ui::RunMessageLoopFor(30);  // a removed timer does not touch the destroyed window
  EXPECT_FALSE(wnd.KillTimer(3));
}

}  // namespace
