// The progress bar's marks: the arithmetic of ticks on the track, the names
// they show, and, on the real player with the manual clock, the demo's
// chapters and pause marks drawn, named under the pointer and sought to
// exactly by a click.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "olvane/MarkedProgress.h"
#include "olvane/PlayerWnd.h"
#include "olvane/ProgressMarks.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/capture/CaptureFileReader.h"
#include "sintra/widgets/MyToolTip.h"
#include "tests/olvane/PlayerScene.h"

using namespace player;
using playertest::PlayerScene;
using Kind = ProgressMark::Kind;

namespace {

ProgressMark Mark(DWORD start, std::string name = {}, DWORD end = 0) {
  ProgressMark m;
  m.start = start;
  m.end = end;
  m.name = std::move(name);
  return m;
}

// The index of the first mark of a kind at a time; -1 when none.
int FindMark(const CProgressMarks& marks, Kind kind, DWORD start) {
  for (std::size_t i = 0; i < marks.Marks().size(); ++i)
    if (marks.Marks()[i].kind == kind && marks.Marks()[i].start == start) return static_cast<int>(i);
  return -1;
}

// The index of the n-th mark of a kind (from 0); -1 when there are fewer.
int NthOf(const CProgressMarks& marks, Kind kind, int n) {
  for (std::size_t i = 0; i < marks.Marks().size(); ++i)
    if (marks.Marks()[i].kind == kind && n-- == 0) return static_cast<int>(i);
  return -1;
}

CPoint BarPoint(CMarkedProgress& bar, int x) {
  CRect client;
  bar.GetClientRect(&client);
  return CPoint(x, client.Height() / 2);
}

}  // namespace

TEST(ProgressMarkers, TimesMapOntoTheTrackAndBack) {
  EXPECT_EQ(CProgressMarks::XForTime(0, 10000, 2, 102), 2);
  EXPECT_EQ(CProgressMarks::XForTime(2500, 10000, 2, 102), 27);
  EXPECT_EQ(CProgressMarks::XForTime(10000, 10000, 2, 102), 102);
  EXPECT_EQ(CProgressMarks::XForTime(20000, 10000, 2, 102), 102);
  // An empty clip puts everything at the end; an empty track at its left.
  EXPECT_EQ(CProgressMarks::XForTime(5, 0, 2, 102), 102);
  EXPECT_EQ(CProgressMarks::XForTime(5, 100, 40, 40), 40);
  // The largest times do not overflow.
  EXPECT_EQ(CProgressMarks::XForTime(0xFFFFFFF0u, 0xFFFFFFFFu, 0, 30000), 29999);

  CProgressMarks marks;
  marks.SetDuration(10000);
  const CRect track(2, 2, 102, 26);
  EXPECT_EQ(marks.TimeAtX(-5, track), 0u);
  EXPECT_EQ(marks.TimeAtX(27, track), 2500u);
  EXPECT_EQ(marks.TimeAtX(500, track), 10000u);
  for (int x = track.left; x <= track.right; ++x) EXPECT_EQ(marks.XForTime(marks.TimeAtX(x, track), track), x);
}

TEST(ProgressMarkers, TheNearestTickWithinTheHitZoneIsHitAndSpansAreNot) {
  CProgressMarks marks;
  marks.SetDuration(1000);
  const CRect track(0, 0, 100, 20);
  marks.SetMarks(Kind::Chapter, {Mark(200, "A"), Mark(260, "B")});
  marks.SetMarks(Kind::Span, {Mark(500, "idle", 900)});
  ASSERT_EQ(marks.Marks().size(), 3u);
  EXPECT_EQ(marks.TickAt(20, track), 0);
  EXPECT_EQ(marks.TickAt(20 - CProgressMarks::kHitZone, track), 0);
  EXPECT_EQ(marks.TickAt(20 - CProgressMarks::kHitZone - 1, track), -1);
  EXPECT_EQ(marks.TickAt(22, track), 0);
  EXPECT_EQ(marks.TickAt(24, track), 1);  // nearer to B at 26
  EXPECT_EQ(marks.TickAt(29, track), 1);
  EXPECT_EQ(marks.TickAt(70, track), -1);  // inside the span
}

TEST(ProgressMarkers, SettingOneKindKeepsTheOthersInTimeOrder) {
  CProgressMarks marks;
  marks.SetMarks(Kind::Span, {Mark(300, "idle", 100)});
  marks.SetMarks(Kind::Chapter, {Mark(500, "late"), Mark(100, "early")});
  marks.SetMarks(Kind::Pause, {Mark(100, "ignored", 900)});
  ASSERT_EQ(marks.Marks().size(), 4u);
  EXPECT_EQ(marks.Marks()[0].name, "early");
  EXPECT_EQ(marks.Marks()[1].kind, Kind::Pause);
  EXPECT_EQ(marks.Marks()[1].end, 100u);  // a tick ends where it starts
  EXPECT_EQ(marks.Marks()[2].kind, Kind::Span);
  EXPECT_EQ(marks.Marks()[2].end, 300u);  // a span ending before its start is empty
  marks.SetMarks(Kind::Chapter, {});
  ASSERT_EQ(marks.Marks().size(), 2u);
  EXPECT_EQ(marks.Marks()[1].kind, Kind::Span);
}

TEST(ProgressMarkers, LabelsNameTheMarkAndItsTime) {
  EXPECT_EQ(CProgressMarks::FormatTime(0), "00:00");
  EXPECT_EQ(CProgressMarks::FormatTime(65999), "01:05");
  EXPECT_EQ(CProgressMarks::FormatTime(2 * 3600 * 1000), "120:00");
  EXPECT_EQ(CProgressMarks::Label(Mark(5000, "Intro")), "Intro  00:05");
  ProgressMark pause = Mark(65000, "#hidden");
  pause.kind = Kind::Pause;
  EXPECT_EQ(CProgressMarks::Label(pause), "Pause  01:05");
  EXPECT_EQ(CProgressMarks::Label(Mark(1000)), "00:01");
  // A long name is cut, never inside a character.
  std::string name;
  for (int i = 0; i < 100; ++i) name += "\xC3\xA9";  // é
  const std::string label = CProgressMarks::Label(Mark(0, name));
  EXPECT_LT(label.size(), name.size());
  EXPECT_EQ(label.find("\xC3  "), std::string::npos);
  EXPECT_EQ(label.substr(label.size() - 9), "\xC3\xA9  00:00");

  // Ticks on one pixel share the tooltip.
  CProgressMarks marks;
  marks.SetDuration(10000);
  marks.SetMarks(Kind::Chapter, {Mark(5000, "Chapter 2")});
  marks.SetMarks(Kind::Pause, {Mark(5000), Mark(5010)});
  const CRect track(0, 0, 100, 10);
  EXPECT_EQ(marks.TickText(marks.TickAt(50, track), track), "Chapter 2 / Pause  00:05");
  EXPECT_EQ(marks.TickText(-1, track), "");
}

TEST(ProgressMarkers, TheDemoClipsChaptersAndPauseMarksAreOnTheBar) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  for (int clip = 0; clip < 2; ++clip) {
    if (clip) s.Command(ID_CLIP_FIRST + 1);
    ASSERT_EQ(w.GetCurrentClipIndex(), clip);
    const CProgressMarks& marks = w.GetMarkedProgress()->Marks();
    EXPECT_EQ(marks.Duration(), w.GetClipDuration());
    const std::vector<int> chapters = w.Chapters();
    ASSERT_GE(chapters.size(), 4u);
    for (int i : chapters) {
      const DWORD start = w.GetRenderVars().GetAnnotateData().GetListAt(i)->GetTime() / 100 * 100;
      const int at = FindMark(marks, Kind::Chapter, start);
      ASSERT_GE(at, 0) << "chapter " << i;
      EXPECT_EQ(marks.Marks()[static_cast<std::size_t>(at)].name,
                w.GetRenderVars().GetAnnotateData().GetListAt(i)->GetComment());
    }
    const std::vector<DWORD> pauses = w.GetCaptureFileReader()->PauseMarkTimes();
    ASSERT_FALSE(pauses.empty());
    for (DWORD t : pauses) EXPECT_GE(FindMark(marks, Kind::Pause, t), 0) << t;
    EXPECT_EQ(marks.Marks().size(), chapters.size() + pauses.size());
  }
  // The second clip pauses 10 ms before its end, before the third follows.
  EXPECT_GE(FindMark(w.GetMarkedProgress()->Marks(), Kind::Pause, w.GetClipDuration() - 10), 0);
}

TEST(ProgressMarkers, TicksAreDrawnOverTheLeds) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CMarkedProgress& bar = *s.wnd->GetMarkedProgress();
  bar.Invalidate(FALSE);
  ui::ProcessPendingMessages();
  const HWND hwnd = bar.GetSafeHwnd();
  CRect client;
  bar.GetClientRect(&client);
  const CProgressMarks& marks = bar.Marks();
  bool sawChapter = false, sawPause = false;
  for (std::size_t i = 0; i < marks.Marks().size(); ++i) {
    const int x = bar.MarkX(i);
    if (marks.Marks()[i].kind == Kind::Chapter) {
      EXPECT_EQ(ui::GetWindowPixel(hwnd, x, 1), CMarkedProgress::kChapterColour) << i;
      sawChapter = true;
    } else {
      EXPECT_EQ(ui::GetWindowPixel(hwnd, x, client.bottom - 2), CMarkedProgress::kPauseColour) << i;
      sawPause = true;
    }
  }
  EXPECT_TRUE(sawChapter && sawPause);
  // Between the ticks the LEDs show as before.
  const int between = (bar.MarkX(0) + bar.MarkX(marks.Marks().size() - 1)) / 2 + 1;
  ASSERT_LT(marks.TickAt(between, bar.TrackRect()), 0);
  for (int y = 0; y < client.Height(); ++y) {
    const COLORREF c = ui::GetWindowPixel(hwnd, between, y);
    EXPECT_NE(c, CMarkedProgress::kChapterColour);
    EXPECT_NE(c, CMarkedProgress::kPauseColour);
  }
}

TEST(ProgressMarkers, RestingOnATickNamesItAndLeavingHidesTheName) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CMarkedProgress& bar = *s.wnd->GetMarkedProgress();
  const CProgressMarks& marks = bar.Marks();
  const int third = NthOf(marks, Kind::Chapter, 2);
  ASSERT_GE(third, 0);
  const int x = bar.MarkX(static_cast<std::size_t>(third));
  ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, x + 1));
  ui::ProcessPendingMessages();
  ASSERT_NE(bar.GetMarkToolTip(), nullptr);
  EXPECT_TRUE(bar.GetMarkToolTip()->ToolTipVisible());
  EXPECT_EQ(bar.GetMarkToolTip()->GetText(), marks.TickText(third, bar.TrackRect()));
  EXPECT_NE(bar.GetMarkToolTip()->GetText().find("Chapter 3: files  00:"), std::string::npos)
      << bar.GetMarkToolTip()->GetText();
  // Off the tick the name goes; leaving the bar for the view hides it all.
  ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, x + CProgressMarks::kHitZone + 4));
  ui::ProcessPendingMessages();
  EXPECT_FALSE(bar.GetMarkToolTip()->ToolTipVisible());
  ui::InjectMouseMove(bar.GetSafeHwnd(), BarPoint(bar, x));
  ui::ProcessPendingMessages();
  EXPECT_TRUE(bar.GetMarkToolTip()->ToolTipVisible());
  ui::InjectMouseMove(s.wnd->GetView().GetSafeHwnd(), CPoint(20, 20));
  ui::ProcessPendingMessages();
  EXPECT_FALSE(bar.GetMarkToolTip()->ToolTipVisible());
}

TEST(ProgressMarkers, AClickOnATickSeeksExactlyToItsTimeAndKeepsThePauseState) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  CMarkedProgress& bar = *w.GetMarkedProgress();
  // While playing, a chapter's tick starts replay at the chapter, still playing.
  const int chapter = NthOf(bar.Marks(), Kind::Chapter, 2);
  ASSERT_GE(chapter, 0);
  const DWORD start = bar.Marks().Marks()[static_cast<std::size_t>(chapter)].start;
  ui::InjectClick(bar.GetSafeHwnd(), BarPoint(bar, bar.MarkX(static_cast<std::size_t>(chapter)) - 1));
  ASSERT_TRUE(s.WaitFor([&] { return w.GetClock().Now() == start && !w.GetCaptureFileReader()->IsInPreroll(); }))
      << w.GetClock().Now() << " for " << start;
  EXPECT_FALSE(w.IsPaused());
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_FALSE(w.IsTracking());
  EXPECT_FALSE(bar.IsDragging());
  EXPECT_EQ(CWnd::GetFocus(), &w);

  // Paused: the second clip's closing pause lies 10 ms before its end, a
  // time no percent of the bar comes to; replay stays paused there.
  s.Command(ID_CLIP_FIRST + 1);
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  s.Command(ID_PAUSE);
  ASSERT_TRUE(w.IsPaused());
  const DWORD end = w.GetClipDuration() - 10;
  const int closing = FindMark(bar.Marks(), Kind::Pause, end);
  ASSERT_GE(closing, 0);
  ui::InjectClick(bar.GetSafeHwnd(), BarPoint(bar, bar.MarkX(static_cast<std::size_t>(closing))));
  ASSERT_TRUE(s.WaitFor([&] { return w.GetClock().Now() == end && !w.GetCaptureFileReader()->IsInPreroll(); }))
      << w.GetClock().Now() << " for " << end;
  EXPECT_TRUE(w.IsPaused());
  EXPECT_EQ(w.GetCurrentClipIndex(), 1);
}
