// Skipping idle stretches: the plan (spans, stops, jump targets) on its own,
// and the real player window, headless with a manual clock, on a demo
// capture that holds still for 30 seconds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "olvane/MarkedProgress.h"
#include "olvane/PlayerWnd.h"
#include "olvane/SkipIdle.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Menu.h"
#include "sintra/widgets/TransLedProgress.h"
#include "tests/common/TestEnvironment.h"
#include "tests/common/ToolRun.h"
#include "tests/olvane/PlayerScene.h"

using namespace player;
using playertest::PlayerScene;
using Spans = std::vector<IdleStretch>;

namespace {

// A 40-second demo capture without sound or camera that holds still from
// second 5 to second 35 (written once per test process).
const std::string& StillCapture() {
  static const std::string path = [] {
    const std::string file = testenv::MakeTempDir("skipidle") + "/still.zeph";
    const ToolRun run = RunTool("olvane-mkcapture", "demo " + ShellQuote(file) +
                                                        " --size 320x240 --seconds 40 --still 5-35 --sound none"
                                                        " --no-camera --quiet");
    EXPECT_EQ(run.code, 0) << run.out;
    return file;
  }();
  return path;
}

// The player on the still capture with skipping on at `seconds`, once the
// stretches are known.
struct SkipScene : PlayerScene {
  explicit SkipScene(int seconds) : PlayerScene(StillCapture()) {
    wnd->SetSkipIdle(seconds);
    ready = WaitFor([&] {
      wnd->ClockTick();
      return wnd->IsSkipIdleReady() && !wnd->GetCaptureFileReader()->IsInPreroll();
    });
  }
  bool ready = false;
};

}  // namespace

TEST(SkipIdlePlan, SpansKeepTheThresholdAndHalfASecondBeforeTheChange) {
  const Spans stretches{{1000, 2000}, {5000, 35100}, {40000, 41600}};
  // 1 s stretch: nothing to skip; 30.1 s: 1 s in, up to 0.5 s before its end;
  // 1.6 s: only 100 ms would be skipped, still a span.
  EXPECT_EQ(skipidle::SkippedSpans(stretches, 1000, {}), (Spans{{6000, 34600}, {41000, 41100}}));
  EXPECT_EQ(skipidle::SkippedSpans(stretches, 5000, {}), (Spans{{10000, 34600}}));
  EXPECT_TRUE(skipidle::SkippedSpans({{0, 400}}, 0, {}).empty());
}

TEST(SkipIdlePlan, PauseMarksAndChapterStartsStopTheJumpAndStartANewStretch) {
  // A mark at 20 s (given twice, out of order with a chapter at 30 s) and
  // one at the stretch's start, which changes nothing.
  const Spans spans = skipidle::SkippedSpans({{5000, 35100}}, 1000, {30000, 20000, 5000, 20000});
  EXPECT_EQ(spans, (Spans{{6000, 20000}, {21000, 30000}, {31000, 34600}}));
  // A stop in the last half second is reached by playing anyway.
  EXPECT_EQ(skipidle::SkippedSpans({{5000, 35100}}, 1000, {34800}), (Spans{{6000, 34600}}));
  EXPECT_EQ(skipidle::JumpTarget(spans, 5999), 5999u);
  EXPECT_EQ(skipidle::JumpTarget(spans, 6000), 20000u);
  EXPECT_EQ(skipidle::JumpTarget(spans, 20000), 20000u);
  EXPECT_EQ(skipidle::JumpTarget(spans, 29000), 30000u);
  // Too close to the span's end to be worth a seek; past the last span.
  EXPECT_EQ(skipidle::JumpTarget(spans, 34600 - skipidle::kMinJump + 1), 34600 - skipidle::kMinJump + 1);
  EXPECT_EQ(skipidle::JumpTarget(spans, 34600), 34600u);
  EXPECT_EQ(skipidle::JumpTarget({}, 100), 100u);
}

TEST(SkipIdle, ThirtySecondStillCostsTheThresholdAndHalfASecondOfClock) {
  SkipScene s(1);
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.ready);
  CPlayerWnd& w = *s.wnd;
  ASSERT_EQ(w.GetSkippedSpans().size(), 1u);
  const IdleStretch span = w.GetSkippedSpans()[0];
  // The stretch: from the last change at most a few frames before second 5
  // to the first one after second 35.
  const DWORD start = span.start - 1000;
  const DWORD end = span.end + skipidle::kLeadIn;
  EXPECT_GE(start, 4000u);
  EXPECT_LE(start, 5000u);
  EXPECT_GE(end, 35000u);
  EXPECT_LE(end, 35500u);

  // Play from just before the stretch and count the clock time that is
  // played (not jumped) inside it.
  w.PlayFrom(start - 300, 0);
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  DWORD played = 0;
  int jumps = 0;
  DWORD previous = w.GetClock().Now();
  for (int guard = 0; guard < 20000 && previous < end + 200; ++guard) {
    s.source.Advance(10);
    ui::RunMessageLoopFor(1);
    w.ClockTick();
    const DWORD now = w.GetClock().Now();
    if (now > previous + 300) {
      ++jumps;
    } else if (now > previous) {
      played += std::min(now, end) > std::max(previous, start) ? std::min(now, end) - std::max(previous, start) : 0;
    }
    previous = now;
  }
  RecordProperty("played_ms", static_cast<int>(played));
  EXPECT_EQ(jumps, 1);
  EXPECT_GE(played, 1500u - 50);
  EXPECT_LE(played, 1500u + 150);
  EXPECT_TRUE(w.IsPlaying());
}

TEST(SkipIdle, ContextMenuItemTurnsItOnAtFiveSecondsOrTheLastThreshold) {
  PlayerScene s(StillCapture());
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  EXPECT_EQ(w.GetSkipIdle(), 0);
  CMenu plain;
  ASSERT_TRUE(plain.LoadMenu(kMenuResource));
  const auto itemState = [&]() -> UINT {
    CMenu menu;
    EXPECT_TRUE(w.BuildContextMenu(menu));
    CMenu* popup = menu.GetSubMenu(0);
    // The item comes after the menu's own items (and Open Recent), behind a separator.
    EXPECT_EQ(popup->GetMenuItemCount(), plain.GetSubMenu(0)->GetMenuItemCount() + 3);
    EXPECT_EQ(popup->GetMenuItemID(static_cast<int>(popup->GetMenuItemCount()) - 1), ID_SKIPIDLE);
    return popup->GetMenuState(ID_SKIPIDLE, MF_BYCOMMAND);
  };
  EXPECT_FALSE(itemState() & MF_CHECKED);
  s.Command(ID_SKIPIDLE);
  EXPECT_EQ(w.GetSkipIdle(), skipidle::kMenuSeconds);
  EXPECT_TRUE(itemState() & MF_CHECKED);
  s.Command(ID_SKIPIDLE);
  EXPECT_EQ(w.GetSkipIdle(), 0);
  EXPECT_FALSE(itemState() & MF_CHECKED);
  // A threshold given before (the command line's) is what the menu turns on.
  w.SetSkipIdle(3);
  s.Command(ID_SKIPIDLE);
  s.Command(ID_SKIPIDLE);
  EXPECT_EQ(w.GetSkipIdle(), 3);
  w.SetSkipIdle(-4);
  EXPECT_EQ(w.GetSkipIdle(), 0);
}

TEST(SkipIdle, ProgressBarShadesTheSkippedSpan) {
  SkipScene s(1);
  ASSERT_TRUE(s.ready);
  CPlayerWnd& w = *s.wnd;
  w.Stop();
  // Only the shading under test: no chapter ticks over the cells.
  w.GetMarkedProgress()->SetClip({}, 0, CSize(0, 0));
  w.GetProgress()->Invalidate(FALSE);
  ui::RunMessageLoopFor(20);
  ui::ProcessPendingMessages();
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(ui::ReadWindowPixels(w.GetSafeHwnd(), pixels, width, height));
  CRect bar, client;
  w.GetProgress()->GetWindowRect(&bar);
  w.ScreenToClient(&bar);
  w.GetProgress()->GetClientRect(&client);
  const std::vector<CRect> cells = w.GetProgress()->Layout().CellRects(client);
  const int count = w.GetProgress()->Layout().cells;
  ASSERT_GT(count, 10);
  const auto cellPixel = [&](int cell) {
    const CRect& r = cells[static_cast<std::size_t>(cell * w.GetProgress()->Layout().rows)];
    return pixels[static_cast<std::size_t>(bar.top + r.top) * width + bar.left + r.left];
  };
  // At the start nothing is lit: the first cell is plain, the middle one
  // (second 20 of 40, inside the span) half way to mid grey.
  const std::uint32_t plain = cellPixel(0);
  const std::uint32_t shaded = cellPixel(count / 2);
  for (int shift : {0, 8, 16}) {
    const int p = static_cast<int>((plain >> shift) & 0xFF);
    EXPECT_NEAR(static_cast<int>((shaded >> shift) & 0xFF), (p + 0x80) / 2, 1) << std::hex << plain << " " << shaded;
  }
  EXPECT_EQ(cellPixel(count - 1), plain);
  // Off: no shading.
  w.SetSkipIdle(0);
  ui::RunMessageLoopFor(20);
  ASSERT_TRUE(ui::ReadWindowPixels(w.GetSafeHwnd(), pixels, width, height));
  EXPECT_EQ(cellPixel(count / 2), plain);
}

TEST(SkipIdle, FollowsTheScriptFromClipToClip) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  w.SetSkipIdle(1);
  const auto ready = [&] {
    w.ClockTick();
    return w.IsSkipIdleReady() && !w.GetCaptureFileReader()->IsInPreroll();
  };
  ASSERT_TRUE(s.WaitFor(ready));
  // The demo clips keep moving: nothing to skip, and playing goes on.
  EXPECT_TRUE(w.GetSkippedSpans().empty());
  s.Command(ID_CLIP_FIRST + 2);
  ASSERT_EQ(w.GetCurrentClipIndex(), 2);
  EXPECT_FALSE(w.IsSkipIdleReady());
  ASSERT_TRUE(s.WaitFor(ready));
  EXPECT_TRUE(w.IsPlaying());
}
