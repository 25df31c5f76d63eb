// The real player window, headless, with a replay clock driven by hand, and
// a clicker for its context menu: shared by the player's window tests.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "olvane/PlayerWnd.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/capture/TimeSource.h"
#include "tests/common/TestEnvironment.h"

namespace playertest {

struct PlayerScene {
  CManualTimeSource source{1000};
  std::unique_ptr<CPlayerWnd> wnd = std::make_unique<CPlayerWnd>(&source);
  bool started = false;
  // `beforeStart` prepares the window before the command line is read.
  explicit PlayerScene(const std::string& commandLine = testenv::BinDir() + "/PlayScript.tvsf",
                       const std::function<void(CPlayerWnd&)>& beforeStart = nullptr) {
    AfxSetMainWnd(wnd.get());
    if (beforeStart) beforeStart(*wnd);
    started = wnd->StartFromCommandLine(commandLine) != 0;
    ui::ProcessPendingMessages();
  }
  ~PlayerScene() {
    if (wnd->GetSafeHwnd()) wnd->DestroyWindow();
    ui::ProcessPendingMessages();
    AfxSetMainWnd(nullptr);
    wnd.reset();
  }
  // Moves the replay clock on to `target` in small steps, giving the reader
  // real time to keep up (it holds the clock while it is behind).
  void AdvanceTo(DWORD target) {
    for (int guard = 0; guard < 100000 && wnd->GetClock().Now() < target; ++guard) {
      source.Advance(std::min<DWORD>(10, target - wnd->GetClock().Now()));
      ui::RunMessageLoopFor(1);
    }
    ui::ProcessPendingMessages();
  }
  // Moves the source on in 10 ms steps until `done` or `limitMs` of source time.
  bool AdvanceUntil(const std::function<bool()>& done, DWORD limitMs) {
    for (DWORD t = 0; t < limitMs; t += 10) {
      if (done()) return true;
      source.Advance(10);
      ui::RunMessageLoopFor(1);
    }
    return done();
  }
  bool WaitFor(const std::function<bool()>& done) { return ui::RunMessageLoopUntil(done, 5000); }
  void Command(UINT id) {
    wnd->SendMessage(WM_COMMAND, id, 0);
    ui::ProcessPendingMessages();
  }
};

// Clicks through an open context menu: hovers an item of the first level,
// then clicks an item of the sub-menu it opens.
class CMenuClicker : public CWnd {
 public:
  int topItem = 0;
  int subItem = 0;
  int step = 0;
  void OnTimer(std::uintptr_t) override {
    RECT r{};
    if (step == 0 && ui::GetOpenMenuItemRect(0, topItem, &r)) {
      ui::InjectMouseMove(ui::GetOpenMenuWindow(0), CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
      step = 1;
    } else if (step == 1 && ui::GetOpenMenuItemRect(1, subItem, &r)) {
      ui::InjectClick(ui::GetOpenMenuWindow(1), CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
      step = 2;
      KillTimer(1);
    }
  }
};

// Opens the player's context menu over its view and clicks item `subItem` of
// the sub-menu under item `topItem`; true when the click was made.
inline bool ClickContextMenuItem(CPlayerWnd& player, int topItem, int subItem) {
  CMenuClicker clicker;
  clicker.topItem = topItem;
  clicker.subItem = subItem;
  if (!clicker.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0)) return false;
  clicker.SetTimer(1, 50);
  CRect view;
  player.GetView().GetWindowRect(&view);
  player.ShowContextMenu(CPoint(view.left + 20, view.top + 20), &player.GetView());
  clicker.DestroyWindow();
  ui::ProcessPendingMessages();
  return clicker.step == 2;
}

}  // namespace playertest
