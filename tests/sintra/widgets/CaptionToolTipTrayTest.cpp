// The caption bar (colours by focus, raised edge, ellipsis, dragging the
// window), the shared tooltip (an owned popup kept on the work area) and the
// notification icon (tips, add/modify/delete, the window icon, the menu).
#include <gtest/gtest.h>

#include "platform/ui/Cursor.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Menu.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/CaptionBar.h"
#include "sintra/widgets/MyToolTip.h"
#include "sintra/widgets/Tray.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

// Forced skin colours for the duration of a test.
struct SkinColours {
  CSkinData saved = g_skinData;
  SkinColours() {
    g_skinData.ForceColour();
    g_skinData.m_colour[SKIN_CAPTIONBAR] = RGB(231, 230, 231);
    g_skinData.m_colour[SKIN_CAPTIONBAR_FOCUS] = RGB(214, 227, 255);
    g_skinData.m_colour[SKIN_CAPTIONTEXT] = RGB(50, 50, 50);
    g_skinData.m_colour[SKIN_CAPTIONTEXT_FOCUS] = RGB(0, 0, 0);
  }
  ~SkinColours() { g_skinData = saved; }
};

}  // namespace

TEST(CaptionBar, FocusColoursEdgeAndEllipsis) {
  SkinColours colours;
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 160, 60));
  CCaptionBar bar;
  ASSERT_TRUE(bar.Create(&top, CRect(0, 0, 160, 18), 20));
  EXPECT_EQ(bar.GetStyle() & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  bar.SetWindowText("A capture title far too long for the bar it is shown in");
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 2, 2), RGB(231, 230, 231));
  EXPECT_NE(ui::GetWindowPixel(top.m_hWnd, 80, 17), RGB(231, 230, 231));  // the raised bottom edge
  bar.Activate(TRUE);
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 2, 2), RGB(214, 227, 255));

  // Text from 5 pixels in, the buttons' 20 + 5 pixels kept free, and the
  // last thing drawn before that is a dot on the baseline, not a letter.
  const CRect text = bar.TextRect(CRect(0, 0, 160, 18));
  EXPECT_EQ(text, CRect(5, 0, 135, 17));
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(ui::ReadWindowPixels(top.m_hWnd, pixels, width, height));
  auto ink = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)] == 0; };
  int lastInk = -1, inkTop = 99, inkBottom = -1;
  for (int x = 0; x < 160; ++x)
    for (int y = 0; y < 16; ++y)
      if (ink(x, y)) lastInk = x;
  ASSERT_GT(lastInk, 100);
  EXPECT_LT(lastInk, 135);
  for (int y = 0; y < 16; ++y)
    if (ink(lastInk, y)) {
      inkTop = std::min(inkTop, y);
      inkBottom = y;
    }
  EXPECT_LE(inkBottom - inkTop, 2);  // a dot is at most three pixels high
  EXPECT_GE(inkTop, 9);              // and sits low
  top.DestroyWindow();
}

TEST(CaptionBar, DraggingMovesTheWindowByTheMouseDistance) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(200, 150, 160, 60));
  CCaptionBar bar;
  ASSERT_TRUE(bar.Create(&top, CRect(0, 0, 160, 18), 20));
  ui::ProcessPendingMessages();
  ui::InjectMouseMove(bar.m_hWnd, POINT{40, 8});
  ui::InjectMouseButton(bar.m_hWnd, POINT{40, 8}, VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  EXPECT_TRUE(bar.IsDragging());
  // Screen positions: the mouse moves with the window's corner as it goes.
  SetCursorPos(240 + 100, 158 + 50);
  bar.SendMessage(WM_MOUSEMOVE, 0, 0);
  CRect r;
  top.GetWindowRect(&r);
  EXPECT_EQ(r.TopLeft(), CPoint(300, 200));
  bar.SendMessage(WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(bar.IsDragging());
  top.DestroyWindow();
}

TEST(MyToolTip, AnOwnedPopupKeptOnTheWorkArea) {
  const RECT work{0, 0, 800, 560};
  EXPECT_EQ(CMyToolTip::Place(POINT{100, 100}, SIZE{60, 20}, work), CRect(116, 116, 176, 136));
  EXPECT_EQ(CMyToolTip::Place(POINT{795, 555}, SIZE{60, 20}, work), CRect(740, 540, 800, 560));
  EXPECT_EQ(CMyToolTip::Place(POINT{10, 10}, SIZE{900, 20}, work).left, 0);

  CRecordingWnd owner;
  ASSERT_TRUE(owner.CreateTop(0, 0, 100, 100));
  CMyToolTip tip(8, RGB(255, 227, 214));
  ASSERT_TRUE(tip.Create(&owner, 0));
  EXPECT_EQ(tip.GetStyle() & (WS_POPUP | WS_CHILD), WS_POPUP);
  EXPECT_EQ(tip.GetOwner(), &owner);
  EXPECT_FALSE(tip.ToolTipVisible());
  RECT area{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  tip.DisplayToolTip("This is the current playback position", POINT{area.right - 2, area.bottom - 2});
  EXPECT_TRUE(tip.ToolTipVisible());
  CRect r;
  tip.GetWindowRect(&r);
  EXPECT_EQ(r.right, area.right);
  EXPECT_EQ(r.bottom, area.bottom);
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(tip.m_hWnd, 1, 1), RGB(255, 227, 214));
  EXPECT_EQ(ui::GetWindowPixel(tip.m_hWnd, r.Width() - 1, r.Height() - 1), RGB(0, 0, 0));
  EXPECT_EQ(ui::GetWindowPixel(tip.m_hWnd, r.Width() - 3, r.Height() - 3), RGB(255, 227, 214));
  tip.HideToolTip();
  EXPECT_FALSE(tip.ToolTipVisible());
  owner.DestroyWindow();
}

TEST(Tray, TipsIconsAndTheMenuOfTheRememberedId) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop(0, 0, 100, 100));
  UINT adjusted = 0;
  wnd.hook = [&](UINT message, WPARAM, LPARAM) {
    if (message == WM_APP + 11) ++adjusted;
  };
  {
    CTray tray;
    tray.SetNotificationWnd(&wnd, WM_APP + 10);
    ASSERT_TRUE(tray.SetIcon(128u));
    EXPECT_EQ(tray.GetTip(), "kalvo Torvik");
    EXPECT_EQ(tray.GetLastAction(), static_cast<int>(NIM_ADD));
    EXPECT_EQ(tray.GetData().uFlags, NIF_ICON | NIF_TIP | NIF_MESSAGE);
    EXPECT_EQ(tray.GetData().cbSize, 488u);
    EXPECT_EQ(GetIconId(wnd.GetIcon(TRUE)), 128u);  // mirrored into the window
    tray.SetIcon(129u, FALSE);
    EXPECT_EQ(tray.GetTip(), "Playing Torvik capture");
    EXPECT_EQ(tray.GetLastAction(), static_cast<int>(NIM_MODIFY));
    EXPECT_EQ(tray.GetRememberedId(), 128u);
    tray.SetDisabled(TRUE);
    EXPECT_FALSE(tray.SetIcon(130u));
    EXPECT_EQ(tray.GetTip(), "Playing Torvik capture");
    tray.SetDisabled(FALSE);
    tray.SetIcon(130u);
    EXPECT_EQ(tray.GetTip(), "Paused Torvik replay");

    // Menu 129 exists: a double click on the remembered id sends its first command.
    tray.SetIcon(129u, TRUE);
    EXPECT_EQ(tray.OnTrayNotification(128, WM_LBUTTONDBLCLK), 0);  // not the remembered id
    EXPECT_EQ(tray.OnTrayNotification(129, WM_MOUSEMOVE), 0);
    wnd.messages.clear();
    EXPECT_EQ(tray.OnTrayNotification(129, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(adjusted, 1u);
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(129));
    const auto commands = wnd.Only(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, menu.GetSubMenu(0)->GetMenuItemID(0));

    tray.SetIcon(static_cast<HICON>(nullptr), nullptr);
    EXPECT_EQ(tray.GetLastAction(), static_cast<int>(NIM_DELETE));
    EXPECT_EQ(tray.GetIcon(), nullptr);
  }
  wnd.DestroyWindow();
}
