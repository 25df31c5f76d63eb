// The real player window, headless, on the demo script, with a replay clock
// driven by hand: replay state, icons, keys, speeds, seeking, chapters, clip
// changes, full screen and the exact layout of the children.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "glimra/AnnotateData.h"
#include "glimra/AnnotateList.h"
#include "olvane/PlayerLayout.h"
#include "olvane/PlayerWnd.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Menu.h"
#include "pravex/capture/TimeSource.h"
#include "pravex/render/RenderRoot.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/CaptionBar.h"
#include "sintra/widgets/TimeDisplay.h"
#include "sintra/widgets/TransLedProgress.h"
#include "sintra/widgets/WidgetMessages.h"
#include "tests/common/TestEnvironment.h"
#include "tests/olvane/PlayerScene.h"

using namespace player;
using playertest::PlayerScene;

namespace {

CRect ChildRect(CWnd* parent, CWnd* child) {
  CRect r;
  child->GetWindowRect(&r);
  parent->ScreenToClient(&r);
  return r;
}

}  // namespace

TEST(PlayerWnd, DemoScriptPlaysItsFirstClipAndCountsTime) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  EXPECT_EQ(w.GetScript().GetSize(), 3);
  EXPECT_EQ(w.GetCurrentClipIndex(), 0);
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(w.GetIconId(), kIconPlaying);
  EXPECT_EQ(w.GetReplaySize(), CSize(640, 400));
  EXPECT_EQ(w.GetScalingMode(), kScaleSmart);
  EXPECT_TRUE(w.AudioRegistered());
  // The second clip has no sound to steer the clock, so the manual clock alone sets the time.
  s.Command(ID_CLIP_FIRST + 1);
  ASSERT_EQ(w.GetCurrentClipIndex(), 1);
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  s.AdvanceTo(2000);
  ASSERT_EQ(w.GetClock().Now(), 2000u);
  w.ClockTick();
  EXPECT_EQ(w.GetTimeDisplay()->TimeCode().substr(0, 8), "00:00:02") << w.GetTimeDisplay()->TimeCode();
  // The buttons follow the state.
  CMenu menu;
  ASSERT_TRUE(w.BuildContextMenu(menu));
  CMenu* popup = menu.GetSubMenu(0);
  EXPECT_TRUE(popup->GetMenuState(ID_PLAY, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(popup->GetMenuState(ID_STOP, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(popup->GetMenuState(ID_NEXTCLIP, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(popup->GetMenuState(ID_PREVCLIP, MF_BYCOMMAND) & MF_GRAYED);
  CMenu* clips = popup->GetSubMenu(4);
  ASSERT_NE(clips, nullptr);
  EXPECT_EQ(clips->GetMenuItemCount(), 3u);
  EXPECT_TRUE(clips->GetMenuState(ID_CLIP_FIRST + 1, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(clips->GetMenuState(ID_CLIP_FIRST, MF_BYCOMMAND) & MF_CHECKED);
}

TEST(PlayerWnd, PauseSpeedAndStopFollowTheCommands) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  // Space acts on release and toggles pause.
  ui::InjectKeyPress(w.GetSafeHwnd(), VK_SPACE);
  ASSERT_TRUE(s.WaitFor([&] { return w.IsPaused() != 0; }));
  EXPECT_EQ(w.GetIconId(), kIconPaused);
  EXPECT_TRUE(w.GetCaptureFileReader()->IsPaused());
  ui::InjectKeyPress(w.GetSafeHwnd(), VK_SPACE);
  ASSERT_TRUE(s.WaitFor([&] { return w.IsPaused() == 0; }));
  EXPECT_EQ(w.GetIconId(), kIconPlaying);

  // Speed 2 drops the sound handler; 1 brings it back.
  s.Command(kSpeedIds[4]);
  int n = 0, d = 0;
  w.GetSpeed(n, d);
  EXPECT_EQ(n * 10 + d, 21);
  EXPECT_FALSE(w.AudioRegistered());
  EXPECT_TRUE(w.GetButtonBar()->GetCheck(4 + 4));
  s.Command(kSpeedIds[3]);
  EXPECT_TRUE(w.AudioRegistered());
  EXPECT_FALSE(w.GetButtonBar()->GetCheck(4 + 4));

  // S without Ctrl does nothing; Ctrl+S stops.
  ui::InjectKeyPress(w.GetSafeHwnd(), 'S');
  ui::RunMessageLoopFor(20);
  EXPECT_TRUE(w.IsPlaying());
  ui::InjectKey(w.GetSafeHwnd(), VK_CONTROL, true);
  ui::InjectKeyPress(w.GetSafeHwnd(), 'S');
  ui::InjectKey(w.GetSafeHwnd(), VK_CONTROL, false);
  ASSERT_TRUE(s.WaitFor([&] { return !w.IsPlaying(); }));
  EXPECT_EQ(w.GetIconId(), kIconStopped);
}

TEST(PlayerWnd, ProgressSeeksAndTheDragRestoresThePauseState) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  // A drag while playing: paused during it, playing afterwards, reader included.
  w.SendMessage(WM_PROGRESS_DRAG_BEGIN, 0, 0);
  EXPECT_TRUE(w.IsPaused());
  w.SendMessage(WM_PROGRESS_POSITION, 50, 0);
  w.SendMessage(WM_PROGRESS_DRAG_END, 0, 0);
  ui::ProcessPendingMessages();
  EXPECT_FALSE(w.IsPaused());
  EXPECT_FALSE(w.GetCaptureFileReader()->IsPaused());
  EXPECT_FALSE(w.IsTracking());
  ASSERT_TRUE(s.WaitFor([&] {
    w.ClockTick();
    return !w.GetCaptureFileReader()->IsInPreroll();
  }));
  const DWORD half = w.GetClipDuration() / 2 / 10 * 10;
  EXPECT_GE(w.GetClock().Now() + 100, half);
  EXPECT_LE(w.GetClock().Now(), half + 100);
  // The focus came back to the player, so the keys still reach it.
  EXPECT_EQ(CWnd::GetFocus(), &w);

  // A click on the bar while stopped and paused beforehand stays paused.
  s.Command(ID_PAUSE);
  ASSERT_TRUE(w.IsPaused());
  CRect bar;
  w.GetProgress()->GetClientRect(&bar);
  ui::InjectClick(w.GetProgress()->GetSafeHwnd(), CPoint(bar.Width() / 4, bar.Height() / 2));
  ui::RunMessageLoopFor(50);
  EXPECT_TRUE(w.IsPaused());
}

TEST(PlayerWnd, ChapterIdsOutOfRangeAreIgnored) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  const int lists = static_cast<int>(w.GetRenderVars().GetAnnotateData().GetListCount());
  ASSERT_LT(lists, 999);
  s.Command(ID_CHAPTER_FIRST + 999);
  EXPECT_TRUE(w.IsPlaying());
  w.JumpToChapter(lists + 5);
  w.JumpToChapter(0x8001);
  EXPECT_TRUE(w.IsPlaying());
  // Chapters, when the clip has any, jump to their start.
  const std::vector<int> chapters = w.Chapters();
  if (!chapters.empty()) {
    s.Command(ID_CHAPTER_FIRST + static_cast<UINT>(chapters.back()));
    EXPECT_TRUE(w.IsPlaying());
    EXPECT_EQ(w.GetIconId(), kIconPlaying);
  }
}

TEST(PlayerWnd, EndOfTheScreenStreamMovesToTheNextClip) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  w.SendMessage(WM_RENDERWND_ENDOFFILE, 101, 0);  // the cursor stream: nothing
  EXPECT_EQ(w.GetCurrentClipIndex(), 0);
  w.SendMessage(WM_RENDERWND_ENDOFFILE, 100, 0);
  EXPECT_EQ(w.GetCurrentClipIndex(), 1);
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(w.GetIconId(), kIconPlaying);
  // The second clip plays without sound, as its parameters say.
  EXPECT_FALSE(w.AudioRegistered());
  w.SendMessage(WM_RENDERWND_ENDOFFILE, 100, 0);
  EXPECT_EQ(w.GetCurrentClipIndex(), 2);
  EXPECT_EQ(w.GetReplaySize(), CSize(800, 600));
  w.SendMessage(WM_RENDERWND_ENDOFFILE, 100, 0);
  EXPECT_EQ(w.GetCurrentClipIndex(), 2);
  EXPECT_FALSE(w.IsPlaying());
  EXPECT_EQ(w.GetIconId(), kIconStopped);
}

TEST(PlayerWnd, LayoutFullScreenAndReplaySize) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  CRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);

  // Control bar children at a client width of 300.
  w.Layout(300, 400);
  EXPECT_EQ(ChildRect(&w, w.GetButtonBar()), CRect(0, 372, 132, 400));
  EXPECT_EQ(ChildRect(&w, w.GetProgress()), CRect(132, 372, 230, 400));
  EXPECT_EQ(ChildRect(&w, w.GetTimeDisplay()), CRect(230, 376, 300, 395));
  // The close button sits at the caption bar's right end, one pixel down, and is drawn.
  CWnd* close = w.GetCaptionBar()->GetDlgItem(ID_EXIT);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(ChildRect(w.GetCaptionBar(), close), CRect(300 - 13, 1, 300, 14));
  EXPECT_TRUE(close->IsWindowVisible());
  w.Layout(151, 400);
  EXPECT_FALSE(w.GetProgress()->IsWindowVisible());
  EXPECT_FALSE(w.GetTimeDisplay()->IsWindowVisible());

  // No scaling of a 300 x 200 replay in a 400 x 400 view area: centred.
  w.SetScalingMode(kScaleNone);
  w.SetReplaySize(300, 200);
  const int caption = ChildRect(&w, w.GetCaptionBar()).Height();
  w.Layout(400, 400 + caption + kControlBarHeight);
  EXPECT_EQ(ChildRect(&w, &w.GetView()), CRect(50, caption + 100, 350, caption + 300));
  w.SetReplaySize(640, 400);

  s.Command(ID_FULLSCREEN);
  ASSERT_TRUE(w.IsFullScreen());
  CRect r;
  w.GetWindowRect(&r);
  EXPECT_EQ(r, work);
  EXPECT_FALSE(w.GetButtonBar()->IsWindowVisible());
  // 200 % leaves full screen and centres the window on the work area.
  s.Command(ID_SIZE200);
  EXPECT_FALSE(w.IsFullScreen());
  w.GetWindowRect(&r);
  EXPECT_EQ(r.left - work.left, (work.Width() - r.Width()) / 2);
  EXPECT_EQ(r.top - work.top, (work.Height() - r.Height()) / 2);
}

TEST(PlayerWnd, SpeedButtonsInsideTheOpenAreaAnswerWhileStopped) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  s.Command(ID_STOP);
  ASSERT_FALSE(w.IsPlaying());
  CBitButton* bar = w.GetButtonBar();
  // The "open" area is enabled while stopped, yet the smaller "1/4" area inside it wins.
  EXPECT_EQ(bar->TestButton(CPoint(90, 20)), 4 + 1);
  EXPECT_EQ(bar->TestButton(CPoint(78, 10)), 3);
  ui::InjectClick(bar->GetSafeHwnd(), CPoint(90, 20));
  ASSERT_TRUE(s.WaitFor([&] { return w.GetSpeedIndex() == 1; }));
  int n = 0, d = 0;
  w.GetSpeed(n, d);
  EXPECT_EQ(n * 10 + d, 14);
}

TEST(PlayerWnd, PauseMarksPauseAndSpaceResumes) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  // The second clip pauses for good 10 ms before its end.
  s.Command(ID_CLIP_FIRST + 1);
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  const DWORD duration = w.GetClipDuration();
  ASSERT_TRUE(s.AdvanceUntil([&] { return w.IsPaused() && w.GetClock().Now() + 100 >= duration; }, duration + 20000));
  EXPECT_EQ(w.GetIconId(), kIconPaused);
  EXPECT_EQ(w.GetCurrentClipIndex(), 1);
  ui::InjectKeyPress(w.GetSafeHwnd(), VK_SPACE);
  ASSERT_TRUE(s.WaitFor([&] { return !w.IsPaused(); }));
  EXPECT_EQ(w.GetIconId(), kIconPlaying);
  // Replay runs on to the end of the screen stream and the third clip follows.
  ASSERT_TRUE(s.AdvanceUntil([&] { return w.GetCurrentClipIndex() == 2; }, 5000));
  EXPECT_TRUE(w.IsPlaying());
}

TEST(PlayerWnd, AChapterClickedInTheContextMenuStartsThere) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  const std::vector<int> chapters = w.Chapters();
  ASSERT_GE(chapters.size(), 3u);
  ASSERT_TRUE(playertest::ClickContextMenuItem(w, 8, 2));
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  const DWORD start = w.GetRenderVars().GetAnnotateData().GetListAt(chapters[2])->GetTime() / 100 * 100;
  EXPECT_GE(w.GetClock().Now(), start);
  EXPECT_LT(w.GetClock().Now(), start + 100);
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(w.GetIconId(), kIconPlaying);
}

TEST(PlayerWnd, ControlBarFaceShowsRoundTheCounter) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  CRect client;
  w.GetClientRect(&client);
  w.Layout(client.Width(), client.Height());
  w.Invalidate();
  ui::ProcessPendingMessages();
  // Below the 19-pixel counter, the bar's face (the window background).
  const CRect counter = ChildRect(&w, w.GetTimeDisplay());
  ASSERT_LT(counter.bottom, client.bottom);
  const COLORREF face = g_skinData.SkinColour(SKIN_WINDOW_BACK) & 0xFFFFFF;
  EXPECT_EQ(ui::GetWindowPixel(w.GetSafeHwnd(), counter.left + 5, client.bottom - 1), face);
  EXPECT_EQ(ui::GetWindowPixel(w.GetSafeHwnd(), counter.left + 5, counter.top - 1), face);
}

TEST(PlayerWnd, TimedPauseMarkHoldsThenResumesByItself) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  // The second clip's second chapter holds replay for its delay, then goes on
  // (the clip has no sound, so the manual clock alone sets the time).
  s.Command(ID_CLIP_FIRST + 1);
  ASSERT_TRUE(s.WaitFor([&] { return !w.GetCaptureFileReader()->IsInPreroll(); }));
  const std::vector<int> chapters = w.Chapters();
  ASSERT_GE(chapters.size(), 2u);
  const CAnnotateList* held = w.GetRenderVars().GetAnnotateData().GetListAt(chapters[1]);
  const DWORD markTime = held->GetTime();
  const DWORD hold = held->GetHoldWord() & 0x0FFFFFFF;
  ASSERT_EQ(held->GetHoldWord() >> 28, 2u);
  ASSERT_GT(hold, 0u);
  CCaptureFileReader& reader = *w.GetCaptureFileReader();
  ASSERT_TRUE(s.AdvanceUntil([&] { return reader.IsHolding(); }, markTime + 2000));
  const DWORD heldAt = w.GetClock().Now();
  EXPECT_GE(heldAt, markTime);
  EXPECT_LT(heldAt, markTime + 100);
  // The clock stands still for the hold; replay is not paused for the user.
  ASSERT_TRUE(s.AdvanceUntil([&] { return !reader.IsHolding(); }, hold + 2000));
  EXPECT_LT(w.GetClock().Now(), heldAt + 100);
  EXPECT_FALSE(w.IsPaused());
  EXPECT_EQ(w.GetIconId(), kIconPlaying);
  s.AdvanceTo(heldAt + 500);
  EXPECT_GE(w.GetClock().Now(), heldAt + 500);
}

TEST(PlayerWnd, ControlsToggleAndATopEdgeDragKeepTheView) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  CRect view, client;
  w.GetView().GetWindowRect(&view);
  w.GetClientRect(&client);
  // Hiding the controls takes the 28-pixel bar off the window, not off the view.
  s.Command(ID_CONTROLS);
  ASSERT_FALSE(w.GetControlsShown());
  CRect viewAfter, clientAfter;
  w.GetView().GetWindowRect(&viewAfter);
  w.GetClientRect(&clientAfter);
  EXPECT_EQ(viewAfter.Size(), view.Size());
  EXPECT_EQ(clientAfter.Height(), client.Height() - kControlBarHeight);
  EXPECT_FALSE(w.GetButtonBar()->IsWindowVisible());
  s.Command(ID_CONTROLS);
  w.GetClientRect(&clientAfter);
  EXPECT_EQ(clientAfter.Height(), client.Height());
  // A drag of the top sizing band up by 60 pixels: the height follows the
  // mouse and the width follows the replay's shape in the view area.
  const int caption = ChildRect(&w, w.GetCaptionBar()).Height();
  ui::InjectMouseMove(w.GetSafeHwnd(), CPoint(client.Width() / 2, 1));
  ui::InjectMouseButton(w.GetSafeHwnd(), CPoint(client.Width() / 2, 1), VK_LBUTTON, true);
  ui::InjectMouseMove(w.GetSafeHwnd(), CPoint(client.Width() / 2, 1 - 60));
  ui::InjectMouseButton(w.GetSafeHwnd(), CPoint(client.Width() / 2, 1 - 60), VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  w.GetClientRect(&clientAfter);
  EXPECT_EQ(clientAfter.Height(), client.Height() + 60);
  EXPECT_NEAR(clientAfter.Width(), (clientAfter.Height() - caption - kControlBarHeight) * 640 / 400, 1);
}
