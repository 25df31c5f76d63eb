// Opening files in the running player: files dropped on the window, the Open
// Recent sub-menu, resuming a clip where it was left, and --start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "olvane/PlayerWnd.h"
#include "platform/os/Shell.h"
#include "platform/ui/Menu.h"
#include "pravex/support/RecentFileStore.h"
#include "tests/olvane/OpeningFixtures.h"
#include "tests/olvane/PlayerScene.h"

using namespace playertest;

namespace {

std::string Canonical(const std::string& path) { return os::CanonicalPath(path); }

// The newest targets of the player's recent list.
std::vector<std::string> RecentTargets() {
  CRecentFileStore recent(player::kRecentKey);
  std::vector<std::string> targets;
  for (int i = 0; i < recent.GetCount(); ++i) targets.push_back(recent.GetRecentItem(i).GetTarget());
  return targets;
}

// Waits for the preroll of what was just started and paints the view.
void ShowCurrentPicture(PlayerScene& s) {
  ASSERT_TRUE(s.WaitFor([&] { return !s.wnd->GetCaptureFileReader()->IsInPreroll(); }));
  s.wnd->ClockTick();
  ui::RunMessageLoopFor(20);
  s.wnd->GetView().Invalidate(FALSE);
  ui::ProcessPendingMessages();
}

// The position and texts of the Open Recent sub-menu as built now.
struct RecentMenu {
  int position = -1;
  std::vector<std::string> texts;
  bool grayed = false;
};
RecentMenu ReadRecentMenu(CPlayerWnd& w) {
  CMenu menu;
  RecentMenu out;
  if (!w.BuildContextMenu(menu)) return out;
  CMenu* popup = menu.GetSubMenu(0);
  for (UINT i = 0; i < popup->GetMenuItemCount(); ++i) {
    std::string text;
    popup->GetMenuString(i, text, MF_BYPOSITION);
    if (text != player::kRecentMenuText) continue;
    out.position = static_cast<int>(i);
    out.grayed = (popup->GetMenuState(i, MF_BYPOSITION) & MF_GRAYED) != 0;
    CMenu* sub = popup->GetSubMenu(static_cast<int>(i));
    for (UINT j = 0; j < sub->GetMenuItemCount(); ++j) {
      sub->GetMenuString(j, text, MF_BYPOSITION);
      out.texts.push_back(text);
    }
  }
  return out;
}

}  // namespace

TEST(Drop, ADroppedCapturePlaysAtOnceInPlaceOfTheScript) {
  ForgetOpenedFiles();
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  const std::string dir = testenv::MakeTempDir("drop");
  const std::string clip = WriteTimedClip(dir + "/dropped clip.zeph", 4000);
  testenv::WriteFile(dir + "/notes.txt", "not a clip");
  MessageRecorder boxes;
  // Of several files dropped together, the first the player can play opens.
  ASSERT_TRUE(ui::InjectDropFiles(w.GetSafeHwnd(), {dir + "/notes.txt", clip}));
  ui::ProcessPendingMessages();
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(w.GetClipPath(), clip);
  EXPECT_EQ(w.GetScript().GetSize(), 0);
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(w.GetClipDuration(), 4000u);
  // The reader delivers on its own thread: the picture of 1000 ms follows the clock there.
  s.AdvanceTo(1000);
  ShowCurrentPicture(s);
  EXPECT_TRUE(s.WaitFor([&] {
    w.GetView().Invalidate(FALSE);
    ui::ProcessPendingMessages();
    return ShownClipTime(w.GetView()) == 1000u;
  })) << ShownClipTime(w.GetView());
  // The dropped file heads the player's recent list and is on the desktop's.
  ASSERT_FALSE(RecentTargets().empty());
  EXPECT_EQ(RecentTargets().front(), Canonical(clip));
  EXPECT_NE(testenv::ReadFile(os::RecentFilesList()).find("dropped%20clip.zeph"), std::string::npos);
}

TEST(Drop, WhatCannotPlayIsRefusedAndWhatPlaysGoesOn) {
  ForgetOpenedFiles();
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  const std::string dir = testenv::MakeTempDir("refused");
  testenv::WriteFile(dir + "/notes.txt", "text");
  testenv::WriteFile(dir + "/damaged.zeph", std::string(300, 'x'));
  testenv::WriteFile(dir + "/empty.tvsf", "");
  const std::string tooNew = WriteTimedClip(dir + "/new.zeph", 1000, "4");
  const std::string before = w.GetClipPath();
  const std::vector<std::string> listed = RecentTargets();
  MessageRecorder boxes;
  for (const std::string& name : {dir + "/notes.txt", dir + "/damaged.zeph", dir + "/empty.tvsf", tooNew}) {
    ASSERT_TRUE(ui::InjectDropFiles(w.GetSafeHwnd(), {name}));
    ui::ProcessPendingMessages();
  }
  ASSERT_EQ(boxes.texts.size(), 4u);
  EXPECT_NE(boxes.texts[0].find(dir + "/notes.txt cannot be played: only captures"), std::string::npos);
  EXPECT_NE(boxes.texts[1].find("could not be read as a capture"), std::string::npos);
  EXPECT_NE(boxes.texts[2].find("could not be read as a play script"), std::string::npos);
  EXPECT_NE(boxes.texts[3].find("latest version"), std::string::npos);
  EXPECT_EQ(w.GetClipPath(), before);
  EXPECT_EQ(w.GetScript().GetSize(), 3);
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_TRUE(w.GetCaptureFileReader()->IsOpen());
  EXPECT_EQ(RecentTargets(), listed);
}

TEST(OpenRecent, ListsTheLastFilesNewestFirstAndOpensTheOneClicked) {
  ForgetOpenedFiles();
  const std::string dir = testenv::MakeTempDir("recent");
  {
    // Nothing opened yet: the sub-menu is there, greyed.
    PlayerScene empty("");
    ASSERT_TRUE(empty.started);
    const RecentMenu menu = ReadRecentMenu(*empty.wnd);
    ASSERT_GE(menu.position, 0);
    EXPECT_TRUE(menu.grayed);
    EXPECT_EQ(menu.texts, std::vector<std::string>{player::kRecentEmptyText});
  }
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  for (const char* name : {"a.zeph", "b & c.zeph", "d.zeph"}) {
    ASSERT_TRUE(w.OpenFile(WriteTimedClip(dir + "/" + name, 2000)));
  }
  RecentMenu menu = ReadRecentMenu(w);
  // Existing items keep their places; Open Recent sits above Exit's separator.
  CMenu built;
  ASSERT_TRUE(w.BuildContextMenu(built));
  EXPECT_EQ(built.GetSubMenu(0)->GetMenuItemID(4), 0xFFFFFFFFu);  // Clips
  EXPECT_EQ(built.GetSubMenu(0)->GetMenuItemID(menu.position + 2), player::ID_EXIT);
  EXPECT_FALSE(menu.grayed);
  // Newest first, numbered; long folders are shortened in the middle, the
  // names stay whole, and "&" is doubled so that it shows.
  const std::vector<std::string> expected = {"&1 ", "/d.zeph", "&2 ", "/b && c.zeph",
                                             "&3 ", "/a.zeph", "&4 ", "/PlayScript.tvsf"};
  ASSERT_EQ(menu.texts.size() * 2, expected.size());
  for (std::size_t i = 0; i < menu.texts.size(); ++i) {
    const std::string& text = menu.texts[i];
    const std::string& number = expected[2 * i];
    const std::string& tail = expected[2 * i + 1];
    EXPECT_EQ(text.substr(0, number.size()), number) << text;
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  }

  ASSERT_TRUE(playertest::ClickContextMenuItem(w, menu.position, 2));
  EXPECT_EQ(w.GetClipPath(), Canonical(dir + "/a.zeph"));
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(RecentTargets().front(), Canonical(dir + "/a.zeph"));
}

TEST(OpenRecent, AFileThatIsGoneIsReportedAndTakenOffTheList) {
  ForgetOpenedFiles();
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  const std::string dir = testenv::MakeTempDir("gone");
  const std::string gone = WriteTimedClip(dir + "/gone.zeph", 2000);
  const std::string kept = WriteTimedClip(dir + "/kept.zeph", 2000);
  ASSERT_TRUE(w.OpenFile(gone));
  ASSERT_TRUE(w.OpenFile(kept));
  const std::string goneTarget = Canonical(gone);
  ASSERT_EQ(std::remove(gone.c_str()), 0);
  ASSERT_EQ(ReadRecentMenu(w).texts.size(), 3u);
  MessageRecorder boxes;
  EXPECT_TRUE(w.OnViewCommand(player::ID_RECENT_FIRST + 1));
  // An id past what the menu showed does nothing.
  EXPECT_TRUE(w.OnViewCommand(player::ID_RECENT_FIRST + player::kMaxRecentShown - 1));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], goneTarget + " no longer exists; it has been taken off the recent files");
  const std::vector<std::string> targets = RecentTargets();
  EXPECT_EQ(targets.size(), 2u);
  EXPECT_EQ(std::count(targets.begin(), targets.end(), goneTarget), 0);
  EXPECT_EQ(w.GetClipPath(), kept);
  EXPECT_TRUE(w.IsPlaying());
}

TEST(Resume, AReopenedClipReturnsWhereItWasLeftWithinOnePicture) {
  ForgetOpenedFiles();
  const std::string clip = WriteTimedClip(testenv::MakeTempDir("resume") + "/long.zeph", 30000);
  MessageRecorder boxes(IDYES);
  {
    PlayerScene first(clip);
    ASSERT_TRUE(first.started);
    EXPECT_TRUE(boxes.texts.empty());  // nothing stored yet: no question
    first.wnd->PlayFrom(12340, 0);
    ASSERT_TRUE(first.WaitFor([&] { return !first.wnd->GetCaptureFileReader()->IsInPreroll(); }));
    // Closing the player keeps the place.
    ASSERT_TRUE(ui::InjectClose(first.wnd->GetSafeHwnd()));
    EXPECT_TRUE(first.WaitFor([&] { return !first.wnd->GetSafeHwnd(); }));
  }
  DWORD stored = 0;
  ASSERT_TRUE(CResumeStore().Lookup(Canonical(clip), stored));
  EXPECT_EQ(stored, 12340u);

  PlayerScene again(clip);
  ASSERT_TRUE(again.started);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Resume long.zeph at 0:12, where it was left?");
  EXPECT_EQ(again.wnd->GetClock().Now(), 12340u);
  ShowCurrentPicture(again);
  const DWORD shown = ShownClipTime(again.wnd->GetView());
  EXPECT_LE(shown, 12340u);
  EXPECT_GT(shown + kClipStepMs, 12340u);
}

TEST(Resume, NoStartsAtTheBeginningAndAClipSeenToItsEndIsForgotten) {
  ForgetOpenedFiles();
  const std::string clip = WriteTimedClip(testenv::MakeTempDir("resume-no") + "/clip.zeph", 30000);
  const std::string key = Canonical(clip);
  CResumeStore store;
  ASSERT_TRUE(store.Save(key, 8000));
  MessageRecorder boxes(IDNO);
  PlayerScene s(clip);
  ASSERT_TRUE(s.started);
  EXPECT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(s.wnd->GetClock().Now(), 0u);
  // Left within 10 s of the end: the stored place goes.
  s.wnd->PlayFrom(20500, 0);
  ASSERT_TRUE(s.WaitFor([&] { return !s.wnd->GetCaptureFileReader()->IsInPreroll(); }));
  s.wnd->CloseClip();
  DWORD stored = 0;
  EXPECT_FALSE(store.Lookup(key, stored));
  // A stored place too near the end (the file changed since) is not offered.
  ASSERT_TRUE(store.Save(key, 25000));
  PlayerScene late(clip);
  ASSERT_TRUE(late.started);
  EXPECT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(late.wnd->GetClock().Now(), 0u);
  EXPECT_FALSE(store.Lookup(key, stored));
}

TEST(StartOption, TheFirstClipStartsThereWithoutAsking) {
  ForgetOpenedFiles();
  const std::string clip = WriteTimedClip(testenv::MakeTempDir("start") + "/clip.zeph", 30000);
  ASSERT_TRUE(CResumeStore().Save(Canonical(clip), 8000));
  MessageRecorder boxes(IDYES);
  PlayerScene s(clip, [](CPlayerWnd& w) { w.SetStartTime(21000); });
  ASSERT_TRUE(s.started);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(s.wnd->GetClock().Now(), 21000u);
  ShowCurrentPicture(s);
  EXPECT_EQ(ShownClipTime(s.wnd->GetView()), 21000u);
  // Later openings ask again.
  s.wnd->CloseClip();
  ASSERT_TRUE(CResumeStore().Save(Canonical(clip), 8000));
  ASSERT_TRUE(s.wnd->OpenFile(clip));
  EXPECT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(s.wnd->GetClock().Now(), 8000u);
}

TEST(StartOption, AStartPastTheEndStopsAtTheEnd) {
  ForgetOpenedFiles();
  const std::string clip = WriteTimedClip(testenv::MakeTempDir("start-end") + "/clip.zeph", 3000);
  PlayerScene s(clip, [](CPlayerWnd& w) { w.SetStartTime(3600000); });
  ASSERT_TRUE(s.started);
  EXPECT_LE(s.wnd->GetClock().Now(), 3000u);
  ASSERT_TRUE(s.AdvanceUntil([&] { return !s.wnd->IsPlaying(); }, 2000));
}
