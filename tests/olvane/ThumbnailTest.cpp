// The thumbnail preview: sizes and the bounded cache, the worker's "latest
// wins" and clip generations with a source the test holds back, and, on the
// real player, the picture of the time under the pointer above the bar, its
// hiding, and the clock timer never held up by requests.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "olvane/MarkedProgress.h"
#include "olvane/PlayerWnd.h"
#include "olvane/ProgressMarks.h"
#include "olvane/ThumbnailCache.h"
#include "olvane/ThumbnailPreview.h"
#include "olvane/ThumbnailWorker.h"
#include "platform/base/ThreadPriority.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/capture/CaptureFileReader.h"
#include "tests/olvane/PlayerScene.h"

using namespace player;
using playertest::PlayerScene;

namespace {

std::shared_ptr<Thumbnail> Picture(int second) {
  auto t = std::make_shared<Thumbnail>();
  t->second = second;
  t->width = t->height = 1;
  t->stride = 4;
  t->pixels.assign(4, static_cast<unsigned char>(second));
  return t;
}

// A source that records what it is asked for and, while closed, holds the
// worker inside Make until the test opens it.
struct GatedSource : IThumbnailSource {
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = true;
    std::vector<int> made;
    std::vector<std::string> opened;
    int inside = -1;  // the second being made, -1 none
    int nice = -1;    // the worker thread's nice value
  };
  std::shared_ptr<State> state = std::make_shared<State>();
  bool Open(const std::string& path) override {
    std::lock_guard lock(state->mutex);
    state->opened.push_back(path);
    return true;
  }
  std::shared_ptr<Thumbnail> Make(int second) override {
    std::unique_lock lock(state->mutex);
    state->inside = second;
    state->nice = CurrentThreadNice();
    state->changed.notify_all();
    state->changed.wait(lock, [&] { return state->open; });
    state->inside = -1;
    state->made.push_back(second);
    return Picture(second);
  }
};

void SetGate(GatedSource::State& s, bool open) {
  std::lock_guard lock(s.mutex);
  s.open = open;
  s.changed.notify_all();
}

bool WaitInside(GatedSource::State& s, int second) {
  std::unique_lock lock(s.mutex);
  return s.changed.wait_for(lock, std::chrono::seconds(5), [&] { return s.inside == second; });
}

// Waits (yielding, at most five seconds) until the worker has nothing queued
// or in hand; no window is involved.
bool WaitIdle(CThumbnailWorker& worker) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (worker.Busy() && std::chrono::steady_clock::now() < end) std::this_thread::yield();
  return !worker.Busy();
}

CPoint BarPoint(CMarkedProgress& bar, int x) {
  CRect client;
  bar.GetClientRect(&client);
  return CPoint(x, client.Height() / 2);
}

// An x on the bar away from every tick, about `share` of the way along.
int FreeX(CMarkedProgress& bar, double share) {
  const CRect track = bar.TrackRect();
  int x = track.left + static_cast<int>(track.Width() * share);
  while (x < track.right && bar.Marks().TickAt(x, track) >= 0) ++x;
  return x;
}

}  // namespace

TEST(Thumbnail, SizesKeepTheAspectWithinTheBox) {
  EXPECT_EQ(FitThumbnail(640, 400), CSize(160, 100));
  EXPECT_EQ(FitThumbnail(800, 600), CSize(160, 120));
  EXPECT_EQ(FitThumbnail(1920, 1080), CSize(160, 90));
  EXPECT_EQ(FitThumbnail(600, 1200), CSize(60, 120));
  EXPECT_EQ(FitThumbnail(32768, 1), CSize(160, 1));
  EXPECT_EQ(FitThumbnail(1, 32768), CSize(1, 120));
  EXPECT_EQ(FitThumbnail(0, 600), CSize(0, 0));
  EXPECT_EQ(FitThumbnail(-5, 600), CSize(0, 0));
}

TEST(Thumbnail, TheCacheKeepsTheMostRecentlyUsed) {
  CThumbnailCache cache;
  ASSERT_EQ(cache.Capacity(), 64u);
  for (int s = 0; s < 64; ++s) cache.Put(Picture(s));
  ASSERT_NE(cache.Find(0), nullptr);  // second 0 is now the most recent
  for (int s = 64; s < 70; ++s) cache.Put(Picture(s));
  EXPECT_EQ(cache.Size(), 64u);
  EXPECT_NE(cache.Find(0), nullptr);
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(cache.Find(s), nullptr) << s;
  EXPECT_NE(cache.Find(7), nullptr);
  // The same second again replaces the picture.
  auto again = Picture(7);
  again->pixels[0] = 99;
  cache.Put(again);
  EXPECT_EQ(cache.Size(), 64u);
  EXPECT_EQ(cache.Find(7)->pixels[0], 99);
  cache.Put(nullptr);
  EXPECT_EQ(cache.Size(), 64u);
}

TEST(Thumbnail, TheWorkerTakesTheLatestRequestAndDropsAnOldClipsPictures) {
  auto source = std::make_unique<GatedSource>();
  auto state = source->state;
  CThumbnailWorker worker(std::move(source));
  worker.Request(1);  // no clip yet: nothing to do
  EXPECT_FALSE(worker.Busy());
  worker.SetClip("a.zeph");
  SetGate(*state, false);
  worker.Request(1);
  ASSERT_TRUE(WaitInside(*state, 1));
  // While the first is being made (the gate holds it), newer requests return
  // at once and replace each other.
  for (int s = 2; s <= 9; ++s) worker.Request(s);
  SetGate(*state, true);
  ASSERT_TRUE(WaitIdle(worker));
  {
    std::lock_guard lock(state->mutex);
    EXPECT_EQ(state->made, (std::vector<int>{1, 9}));
    EXPECT_EQ(state->opened, std::vector<std::string>{"a.zeph"});
    // The worker yields to the window and replay.
    EXPECT_EQ(state->nice, std::min(CurrentThreadNice() + CThumbnailWorker::kNiceIncrement, 19));
  }
  EXPECT_NE(worker.Find(1), nullptr);
  EXPECT_NE(worker.Find(9), nullptr);
  // A cached second is not made again.
  worker.Request(9);
  ASSERT_TRUE(WaitIdle(worker));
  EXPECT_EQ(worker.MadeCount(), 2);

  // A clip change while a picture is being made: it is not kept, the old
  // pictures are gone, and the next request opens the new clip.
  SetGate(*state, false);
  worker.Request(4);
  ASSERT_TRUE(WaitInside(*state, 4));
  const unsigned generation = worker.SetClip("b.zeph");
  EXPECT_EQ(worker.Generation(), generation);
  EXPECT_EQ(worker.CachedCount(), 0u);
  SetGate(*state, true);
  ASSERT_TRUE(WaitIdle(worker));
  EXPECT_EQ(worker.Find(4), nullptr);
  worker.Request(4);
  ASSERT_TRUE(WaitIdle(worker));
  EXPECT_NE(worker.Find(4), nullptr);
  std::lock_guard lock(state->mutex);
  EXPECT_EQ(state->opened, (std::vector<std::string>{"a.zeph", "b.zeph"}));
}

TEST(Thumbnail, HoveringShowsThePictureOfThatSecondAboveThePointer) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CMarkedProgress& bar = *s.wnd->GetMarkedProgress();
  CThumbnailPreview& preview = *bar.GetThumbnailPreview();
  const int x = FreeX(bar, 0.6);
  const DWORD time = bar.Marks().TimeAtX(x, bar.TrackRect());
  ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, x));
  ui::ProcessPendingMessages();
  ASSERT_TRUE(preview.IsShown());
  EXPECT_EQ(preview.WantedSecond(), static_cast<int>(time / 1000));
  EXPECT_EQ(preview.TimeText(), CProgressMarks::FormatTime(time));
  ASSERT_TRUE(s.WaitFor([&] { return preview.ShownSecond() == static_cast<int>(time / 1000); }));
  // 640 x 400 shown 160 x 100, the time under it, above the bar at the pointer.
  EXPECT_EQ(preview.PictureRect(), CRect(1, 1, 161, 101));
  CRect popup, barRect;
  preview.GetWindowRect(&popup);
  bar.GetWindowRect(&barRect);
  EXPECT_EQ(popup.Size(), CSize(162, 102 + CThumbnailPreview::kTextHeight));
  EXPECT_EQ(popup.bottom, barRect.top - CThumbnailPreview::kGap);
  EXPECT_LE(std::abs(popup.CenterPoint().x - (barRect.left + x)), 1);
  // The picture is the capture's: the frame of another second differs.
  const auto shown = preview.Worker().Find(static_cast<int>(time / 1000));
  ASSERT_NE(shown, nullptr);
  ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, FreeX(bar, 0.02)));
  ui::ProcessPendingMessages();
  ASSERT_TRUE(s.WaitFor([&] { return preview.ShownSecond() == 0; }));
  EXPECT_NE(preview.Worker().Find(0)->pixels, shown->pixels);
  std::set<unsigned char> values(shown->pixels.begin(), shown->pixels.end());
  EXPECT_GT(values.size(), 8u);
  // Back to the first point: straight from the cache, nothing made.
  const int made = preview.Worker().MadeCount();
  ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, x));
  ui::ProcessPendingMessages();
  EXPECT_EQ(preview.ShownSecond(), static_cast<int>(time / 1000));
  EXPECT_EQ(preview.Worker().MadeCount(), made);
}

TEST(Thumbnail, LeavingTheBarAClickAndAClipChangeHideIt) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CMarkedProgress& bar = *s.wnd->GetMarkedProgress();
  CThumbnailPreview& preview = *bar.GetThumbnailPreview();
  const auto hover = [&] {
    ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, FreeX(bar, 0.4)));
    ui::ProcessPendingMessages();
    return preview.IsShown();
  };
  ASSERT_TRUE(hover());
  ui::InjectMouseMove(s.wnd->GetView().GetSafeHwnd(), CPoint(30, 30));
  ui::ProcessPendingMessages();
  EXPECT_FALSE(preview.IsShown());

  ASSERT_TRUE(hover());
  ui::InjectMouseButton(bar.GetSafeHwnd(), BarPoint(bar, FreeX(bar, 0.4)), VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  EXPECT_FALSE(preview.IsShown());
  // Dragging shows no preview either.
  ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, FreeX(bar, 0.5)));
  ui::ProcessPendingMessages();
  EXPECT_FALSE(preview.IsShown());
  ui::InjectMouseButton(bar.GetSafeHwnd(), BarPoint(bar, FreeX(bar, 0.5)), VK_LBUTTON, false);
  ui::ProcessPendingMessages();

  ASSERT_TRUE(hover());
  const unsigned generation = preview.Worker().Generation();
  s.Command(ID_CLIP_FIRST + 1);
  EXPECT_FALSE(preview.IsShown());
  EXPECT_EQ(preview.ShownSecond(), -1);
  EXPECT_GT(preview.Worker().Generation(), generation);
  // Closing the clip leaves no marks and no pictures behind it.
  ASSERT_TRUE(hover());
  s.wnd->CloseClip();
  EXPECT_FALSE(preview.IsShown());
  EXPECT_TRUE(bar.Marks().Marks().empty());
  EXPECT_EQ(bar.Marks().Duration(), 0u);
  EXPECT_EQ(preview.Worker().CachedCount(), 0u);
}

// Context switches of the calling thread so far: voluntary ones (it waited
// for something) and involuntary ones (the system gave its processor away).
struct Switches {
  long waited = 0, preempted = 0;
  static Switches Now() {
    rusage use{};
    getrusage(RUSAGE_THREAD, &use);
    return {use.ru_nvcsw, use.ru_nivcsw};
  }
};

TEST(Thumbnail, RequestsNeverDelayTheClockTimer) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  CMarkedProgress& bar = *w.GetMarkedProgress();
  const CRect track = bar.TrackRect();
  using Clock = std::chrono::steady_clock;
  const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  double longestTick = 0, longestHover = 0, longestPreempted = 0;
  int preempted = 0;
  for (int i = 0; i < 300; ++i) {
    // Along the bar, wrapping: nearly every step asks for another second.
    const int x = track.left + (i * 7) % track.Width();
    const Clock::time_point hover = Clock::now();
    ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, x));
    ui::ProcessPendingMessages();
    longestHover = std::max(longestHover, ms(Clock::now() - hover));
    s.source.Advance(kClockTimerPeriod);
    const Switches before = Switches::Now();
    const Clock::time_point tick = Clock::now();
    w.SendMessage(WM_TIMER, kClockTimer, 0);
    const double took = ms(Clock::now() - tick);
    const Switches after = Switches::Now();
    // A tick during which the system gave the processor to another program
    // says nothing about waiting; waiting on the worker would be a
    // voluntary switch and is never excused.
    if (after.preempted != before.preempted && after.waited == before.waited) {
      ++preempted;
      longestPreempted = std::max(longestPreempted, took);
      continue;
    }
    longestTick = std::max(longestTick, took);
  }
  EXPECT_LT(longestTick, 10.0) << "longest hover round " << longestHover << " ms";
  EXPECT_LT(preempted, 30) << "the machine is too busy to tell";
  // The worker really took the requests: pictures arrive.
  EXPECT_TRUE(ui::RunMessageLoopUntil([&] { return bar.GetThumbnailPreview()->Worker().MadeCount() > 0; }, 10000));
  RecordProperty("longest_tick_ms", std::to_string(longestTick));
  RecordProperty("longest_hover_ms", std::to_string(longestHover));
  RecordProperty("preempted_ticks", std::to_string(preempted));
  RecordProperty("longest_preempted_tick_ms", std::to_string(longestPreempted));
}
