// Writes the README's pictures of the player (run by hand under Xvfb):
//   OLVANE_SHOTS=docs/images xvfb-run -a env SDL_VIDEODRIVER=x11 build/debug/bin/test_olvane
//   --gtest_also_run_disabled_tests --gtest_filter=PlayerScreenshots.*
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "olvane/MarkedProgress.h"
#include "olvane/PlayerWnd.h"
#include "olvane/ThumbnailPreview.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "tests/common/TestEnvironment.h"

namespace {

// Takes a picture of the screen while a popup menu is being tracked, then
// closes the menu.
class CShotTimer : public CWnd {
 public:
  std::string path;
  bool taken = false;
  void OnTimer(std::uintptr_t) override {
    KillTimer(1);
    taken = ui::SaveScreenshotPng(path, 0) != 0;
    if (HWND menu = ui::GetOpenMenuWindow(0)) ui::InjectKeyPress(menu, VK_ESCAPE);
  }
};

}  // namespace

TEST(PlayerScreenshots, DISABLED_WriteScreenshots) {
  const char* dir = std::getenv("OLVANE_SHOTS");
  const std::string out = dir ? dir : testenv::MakeTempDir("shots");
  auto wnd = std::make_unique<CPlayerWnd>();
  AfxSetMainWnd(wnd.get());
  ASSERT_TRUE(wnd->StartFromCommandLine(testenv::BinDir() + "/PlayScript.tvsf"));
  ui::RunMessageLoopFor(2500);
  EXPECT_TRUE(ui::SaveScreenshotPng(out + "/player-window.png", 0));

  CShotTimer shot;
  shot.path = out + "/player-menu.png";
  ASSERT_TRUE(shot.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
  shot.SetTimer(1, 300);
  CRect view;
  wnd->GetView().GetWindowRect(&view);
  wnd->ShowContextMenu(CPoint(view.left + 60, view.top + 40), &wnd->GetView());
  EXPECT_TRUE(shot.taken);
  shot.DestroyWindow();

  // The pointer resting on the third chapter's tick: its name, and the
  // picture at its time above the bar.
  CMarkedProgress& bar = *wnd->GetMarkedProgress();
  int chapters = 0;
  for (std::size_t i = 0; i < bar.Marks().Marks().size(); ++i) {
    if (bar.Marks().Marks()[i].kind != ProgressMark::Kind::Chapter || ++chapters != 3) continue;
    CRect client;
    bar.GetClientRect(&client);
    ui::InjectMouseMove(bar.GetSafeHwnd(), CPoint(bar.MarkX(i), client.Height() / 2));
    const int second = static_cast<int>(bar.Marks().Marks()[i].start / 1000);
    EXPECT_TRUE(ui::RunMessageLoopUntil([&] { return bar.GetThumbnailPreview()->ShownSecond() == second; }, 5000));
    ui::RunMessageLoopFor(300);
    EXPECT_TRUE(ui::SaveScreenshotPng(out + "/player-markers.png", 0));
    break;
  }
  ui::InjectMouseMove(wnd->GetView().GetSafeHwnd(), CPoint(20, 20));
  ui::ProcessPendingMessages();
  // The list of keys over the picture, opened with "?".
  ui::InjectText(wnd->GetSafeHwnd(), "?");
  ui::RunMessageLoopFor(500);
  EXPECT_TRUE(ui::SaveScreenshotPng(out + "/player-shortcuts.png", 0));
  ui::InjectText(wnd->GetSafeHwnd(), "?");
  ui::RunMessageLoopFor(100);

  wnd->SendMessage(WM_COMMAND, player::ID_FULLSCREEN, 0);
  ui::RunMessageLoopFor(1500);
  EXPECT_TRUE(ui::SaveScreenshotPng(out + "/player-fullscreen.png", 0));
  wnd->DestroyWindow();
  ui::ProcessPendingMessages();
  AfxSetMainWnd(nullptr);
}
