// A replay window for the shell tests: a borderless top-level window on the
// shell base that records what the base calls and drags itself the way the
// player does.
#pragma once

#include <functional>
#include <vector>

#include "platform/base/Point.h"
#include "pravex/shell/BaseInterface.h"

class CShellTestWindow : public CBaseInterface {
 public:
  CRect createRect{100, 100, 100 + 349, 100 + 306};
  int moreLess = 0;
  int childWindowsCreated = 0;
  std::vector<CPoint> buttonUps;
  // The hot spot (base value included) under a client point; none by default.
  std::function<int(int, int)> spotAt;

  int CreateInterface() override {
    return CreateEx(0, nullptr, "shell test", WS_POPUP | WS_VISIBLE, createRect, nullptr, 0);
  }
  int SetupInterface() override { return 1; }
  void PrepareInterface() override {}
  void OnSkinMouseMove(int x, int y) override {
    if (IsDragging()) MoveByDrag(x, y);
    if (spotAt) SetHoverSpot(spotAt(x, y));
  }
  void OnSkinButtonUp(int x, int y) override { buttonUps.emplace_back(x, y); }
  void MoreLess() override { ++moreLess; }
  void CreateChildWindows() override { ++childWindowsCreated; }
  void UpdateOverlay(const CRect*) override {}
  void PlayFrom(DWORD, int) override {}

  using CSkinBase::Now;
};
