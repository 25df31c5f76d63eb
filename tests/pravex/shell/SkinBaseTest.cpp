#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/os/Resources.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/capture/TimeSource.h"
#include "pravex/support/FolderOperations.h"
#include "pravex/support/StandardFolders.h"
#include "sintra/skin/SkinData.h"
#include "tests/pravex/shell/ShellTestWindow.h"

namespace {

std::vector<DWORD> g_sleeps;
void RecordSleep(DWORD ms) { g_sleeps.push_back(ms); }

// A skinned window on a hand-driven clock, set up with the built-in skin.
struct SkinScene {
  CManualTimeSource clock{50000};
  std::unique_ptr<CShellTestWindow> wnd = std::make_unique<CShellTestWindow>();

  explicit SkinScene(const char* skin = "NONE") {
    g_sleeps.clear();
    g_skinData.DefaultSkin();
    wnd->SetTimeSource(&clock);
    wnd->SetSleepFunction(RecordSleep);
    EXPECT_TRUE(wnd->Setup(skin));
    wnd->SetupWindows(4);
    ui::ProcessPendingMessages();
  }
  ~SkinScene() {
    if (wnd->GetSafeHwnd()) wnd->DestroyWindow();
    ui::ProcessPendingMessages();
  }
  HWND h() const { return wnd->GetSafeHwnd(); }
  void Press(int x, int y) {
    ui::InjectMouseButton(h(), POINT{x, y}, VK_LBUTTON, true);
    ui::ProcessPendingMessages();
  }
  void Release(int x, int y) {
    ui::InjectMouseButton(h(), POINT{x, y}, VK_LBUTTON, false);
    ui::ProcessPendingMessages();
  }
  void Move(int x, int y) {
    ui::InjectMouseMove(h(), POINT{x, y});
    ui::ProcessPendingMessages();
  }
  CPoint TopLeft() const {
    CRect r;
    wnd->GetWindowRect(&r);
    return r.TopLeft();
  }
};

// A complete skin file (every key the skin loader requires) with a 300 x 200 big size.
std::string WriteSkinFile(const std::string& name) {
  const std::string path = GetSkinFolder() + "skin" + name + ".txt";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return path;
  std::fputs("Use-Skin=1\r\n", f);
  const char* colours[] = {"Color-Back",
                           "Color-Text",
                           "Color-Text-Disable",
                           "Color-Shadow",
                           "Color-Line",
                           "Color-Button-Face",
                           "Color-Button-Select",
                           "Color-Button-Text",
                           "Color-Button-Text-Hi",
                           "Color-Button-Text-Select",
                           "Color-Button-Disable",
                           "Color-Button-Hi",
                           "Color-Button-Border",
                           "Color-Button-Shadow",
                           "Color-Tooltip-Back",
                           "Color-Tooltip-Text",
                           "Color-Menu",
                           "Color-CaptionBar",
                           "Color-CaptionBar-Focus",
                           "Color-CaptionText",
                           "Color-CaptionText-Focus",
                           "Color-Window-Back",
                           "Color-Dialog-Back"};
  for (const char* key : colours) std::fprintf(f, "%s=10,20,30\r\n", key);
  std::fputs(
      "Size-Small=300,60\r\nSize-Big=300,200\r\nCaptionHeight=12\r\nIconSize=10,10\r\nIconGap=4,0\r\n"
      "IconOffsetSmall=1,1\r\nIconOffsetBig=1,1\r\nRect-MoveSmall=0,0,300,12\r\nRect-MoveBig=0,0,300,12\r\n"
      "Rect-Property=0,0,10,10\r\nRect-Jog=0,0,10,10\r\nPoint-Counter=5,5\r\n",
      f);
  std::fclose(f);
  return path;
}

}  // namespace

TEST(SkinBase, NoneAndItsVariantsUseTheBuiltInSkin) {
  for (const char* name : {"NONE", "NONEsuch", ""}) {
    g_skinData.m_sizeBig = CSize(10, 10);
    g_skinData.m_skinInUse = 1;
    SkinScene s(name);
    EXPECT_EQ(g_skinData.m_skinInUse, 0) << name;
    EXPECT_EQ(g_skinData.m_sizeBig, CSize(349, 306)) << name;
    EXPECT_EQ(s.wnd->GetSkinSize(), CSize(349, 306)) << name;
    EXPECT_TRUE(s.wnd->GetSkinFilePath().empty()) << name;
    EXPECT_TRUE(s.wnd->GetVerticalFont().IsCreated());
    EXPECT_EQ(s.wnd->childWindowsCreated, 1);
  }
}

TEST(SkinBase, ASkinWhoseBitmapCannotBeUsedFallsBackToTheBuiltInSkin) {
  // The skin file itself is good, but there is no skin bitmap with four hot spots.
  const std::string name = "FallBack" + std::to_string(::getpid());
  ASSERT_TRUE(CreateFolder(GetSkinFolder()));
  const std::string path = WriteSkinFile(name);
  ASSERT_EQ(g_skinData.LoadSkin(path.c_str()), 1);
  SkinScene s(name.c_str());
  EXPECT_EQ(s.wnd->GetSkinFilePath(), path);
  EXPECT_EQ(s.wnd->GetSkinBitmapName(), "b##" + name + ".hpc");
  EXPECT_EQ(g_skinData.m_skinInUse, 0);
  EXPECT_EQ(g_skinData.m_sizeBig, CSize(349, 306));
  EXPECT_FALSE(s.wnd->HasSkinBitmap());
  CRect r;
  s.wnd->GetWindowRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 349, 306));  // moved to the corner at the default size
  std::remove(path.c_str());
}

TEST(SkinBase, DoubleClickInTheMoveAreaCallsMoreLessAndStartsNoDrag) {
  SkinScene s;
  s.wnd->SetLargeLayout(1);
  const CPoint start = s.TopLeft();
  s.Press(50, 8);
  EXPECT_TRUE(s.wnd->IsDragging());
  s.Release(50, 8);
  s.clock.Advance(200);
  s.Press(50, 8);
  EXPECT_EQ(s.wnd->moreLess, 1);
  EXPECT_FALSE(s.wnd->IsDragging());
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  s.Move(90, 40);
  EXPECT_EQ(s.TopLeft(), start);
  s.Release(90, 40);
  // The pair is used up: a third click soon after is a new first click.
  s.clock.Advance(200);
  s.Press(50, 8);
  EXPECT_EQ(s.wnd->moreLess, 1);
  EXPECT_TRUE(s.wnd->IsDragging());
  s.Release(50, 8);
}

TEST(SkinBase, EveryDragMovesTheWindowAndALostCaptureEndsThePress) {
  SkinScene s;
  const CPoint start = s.TopLeft();
  s.Press(50, 8);
  s.Move(70, 18);
  EXPECT_EQ(s.TopLeft(), CPoint(start.x + 20, start.y + 10));
  s.Release(50, 8);
  EXPECT_FALSE(s.wnd->IsButtonDown());
  s.clock.Advance(1000);
  s.Press(50, 8);
  EXPECT_TRUE(s.wnd->IsDragging());
  s.Move(40, 8);
  EXPECT_EQ(s.TopLeft(), CPoint(start.x + 10, start.y + 10));
  s.Release(50, 8);

  // Another window takes the mouse in the middle of a drag.
  s.clock.Advance(1000);
  s.Press(50, 8);
  ASSERT_TRUE(s.wnd->IsDragging());
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, nullptr, "other", WS_POPUP | WS_VISIBLE, CRect(600, 500, 650, 550), nullptr, 0));
  other.SetCapture();
  EXPECT_FALSE(s.wnd->IsDragging());
  EXPECT_FALSE(s.wnd->IsButtonDown());
  ReleaseCapture();
  s.clock.Advance(1000);
  s.Press(50, 8);
  EXPECT_TRUE(s.wnd->IsDragging());
  s.Release(50, 8);
  other.DestroyWindow();
}

TEST(SkinBase, OnlyAReleaseOverThePressedSpotGivesTheCommand) {
  SkinScene s;
  g_skinData.m_rectIcon = CRect(300, 20, 320, 40);
  const CRect other(100, 100, 150, 150);
  s.wnd->spotAt = [&](int x, int y) {
    if (g_skinData.m_rectIcon.PtInRect(CPoint(x, y))) return CSkinBase::kIconSpot;
    return other.PtInRect(CPoint(x, y)) ? 11 : -1;
  };
  s.Press(305, 25);
  EXPECT_EQ(s.wnd->GetPressedSpot(), CSkinBase::kIconSpot);
  s.Move(120, 120);
  s.Release(120, 120);
  EXPECT_TRUE(s.wnd->buttonUps.empty());
  EXPECT_EQ(s.wnd->GetPressedSpot(), -1);
  // Later presses are taken again, and a release over the pressed spot counts.
  for (int i = 0; i < 2; ++i) {
    s.clock.Advance(1000);
    s.Press(305, 25);
    s.Move(310, 30);
    s.Release(310, 30);
  }
  ASSERT_EQ(s.wnd->buttonUps.size(), 2u);
  EXPECT_EQ(s.wnd->buttonUps[1], CPoint(310, 30));
  g_skinData.DefaultSkin();
}

TEST(SkinBase, AReleaseSoonAfterThePressWaitsAsLongAgain) {
  SkinScene s;
  g_skinData.m_rectIcon = CRect(300, 20, 320, 40);
  s.wnd->spotAt = [](int x, int y) { return g_skinData.m_rectIcon.PtInRect(CPoint(x, y)) ? CSkinBase::kIconSpot : -1; };
  s.Press(305, 25);
  s.clock.Advance(30);
  s.Move(305, 25);
  s.Release(305, 25);
  ASSERT_EQ(g_sleeps.size(), 1u);
  EXPECT_EQ(g_sleeps[0], 30u);
  EXPECT_EQ(s.wnd->buttonUps.size(), 1u);
  // From 100 ms on there is no wait.
  s.clock.Advance(1000);
  s.Press(305, 25);
  s.clock.Advance(100);
  s.Move(305, 25);
  s.Release(305, 25);
  EXPECT_EQ(g_sleeps.size(), 1u);
  EXPECT_EQ(s.wnd->buttonUps.size(), 2u);
  g_skinData.DefaultSkin();
}

TEST(SkinBase, ToolTipRequestsWhileTooltipsAreOffChangeNothing) {
  SkinScene s;
  ASSERT_EQ(s.wnd->GetToolTipDisplay(), 0);
  EXPECT_EQ(s.wnd->SendMessage(WM_SKIN_STARTTOOLTIP, 129), 1);
  EXPECT_FALSE(s.wnd->IsToolTipPending());
  EXPECT_TRUE(s.wnd->GetToolTipText().empty());
  EXPECT_EQ(s.wnd->SendMessage(WM_SKIN_PROCESSTOOLTIP, reinterpret_cast<WPARAM>("text")), 1);
  EXPECT_EQ(s.wnd->SendMessage(WM_SKIN_HIDETOOLTIP, 0), 1);
  EXPECT_FALSE(s.wnd->ToolTipReady());

  // On: the request is pending with its string until its own control withdraws it.
  s.wnd->SetToolTipDisplay(1);
  std::string playing;
  ASSERT_TRUE(LoadResourceString(129, playing));
  s.wnd->SendMessage(WM_SKIN_STARTTOOLTIP, 129);
  EXPECT_TRUE(s.wnd->IsToolTipPending());
  EXPECT_EQ(s.wnd->GetToolTipText(), playing);
  EXPECT_FALSE(s.wnd->ToolTipReady());
  s.clock.Advance(1);
  EXPECT_TRUE(s.wnd->ToolTipReady());
  s.wnd->SendMessage(WM_SKIN_HIDETOOLTIP, 130);  // another control's leave
  EXPECT_TRUE(s.wnd->IsToolTipPending());
  s.wnd->SendMessage(WM_SKIN_HIDETOOLTIP, 129);
  EXPECT_FALSE(s.wnd->IsToolTipPending());
  EXPECT_TRUE(s.wnd->GetToolTipText().empty());
}

TEST(SkinBase, FlatFaceBelowTheCaptionAndSkinBehindChildren) {
  SkinScene s;
  s.wnd->SetLargeLayout(1);
  s.wnd->Invalidate();
  ui::ProcessPendingMessages();
  const COLORREF face = g_skinData.SkinColour(SKIN_BACK) & 0xFFFFFF;
  EXPECT_EQ(ui::GetWindowPixel(s.h(), 100, 100), face);
  EXPECT_NE(ui::GetWindowPixel(s.h(), 0, 100), face);  // the raised edge
  EXPECT_NE(ui::GetWindowPixel(s.h(), 100, 5), face);  // the caption is left alone

  CWnd child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 30, 40, 50), s.wnd.get(), 5));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(30, 20, 1, 32, nullptr));
  dc.SelectObject(&bitmap);
  EXPECT_EQ(s.wnd->SendMessage(WM_SKIN_REDRAWSKIN, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(&child)), 1);
  EXPECT_EQ(dc.GetPixel(0, 0) & 0xFFFFFF, g_skinData.SkinColour(SKIN_DIALOG_BACK) & 0xFFFFFF);
  EXPECT_EQ(dc.GetPixel(29, 19) & 0xFFFFFF, g_skinData.SkinColour(SKIN_DIALOG_BACK) & 0xFFFFFF);
  // A child wholly outside the window gets nothing.
  child.SetWindowPos(nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(s.wnd->RedrawSkin(&dc, &child), 0);
  child.DestroyWindow();
}

TEST(SkinBase, TheWindowShapeFollowsTheRegionOfTheLayout) {
  SkinScene s;
  g_skinData.m_regionSmallCount = 3;
  g_skinData.m_regionSmall[0] = POINT{0, 0};
  g_skinData.m_regionSmall[1] = POINT{100, 0};
  g_skinData.m_regionSmall[2] = POINT{0, 50};
  g_skinData.m_regionBigCount = 0;
  s.wnd->SetLargeLayout(0);
  s.wnd->SetClipRegion();
  ASSERT_NE(s.wnd->GetWindowRgn(), nullptr);
  EXPECT_TRUE(s.wnd->GetWindowRgn()->PtInRegion(10, 10));
  EXPECT_FALSE(s.wnd->GetWindowRgn()->PtInRegion(90, 40));
  // The face is painted inside the shape only.
  s.wnd->Invalidate();
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(s.h(), 8, 25), g_skinData.SkinColour(SKIN_BACK) & 0xFFFFFF);
  EXPECT_EQ(ui::GetWindowPixel(s.h(), 90, 40), g_skinData.SkinColour(SKIN_SHADOW) & 0xFFFFFF);
  s.wnd->SetLargeLayout(1);
  s.wnd->SetClipRegion();
  EXPECT_EQ(s.wnd->GetWindowRgn(), nullptr);
  g_skinData.DefaultSkin();
}
