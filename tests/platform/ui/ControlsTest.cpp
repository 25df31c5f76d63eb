#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Static.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

// An owner-drawn button that remembers the state of every DrawItem.
class CStateButton : public CButton {
 public:
  std::vector<UINT> states;
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    EXPECT_EQ(item->CtlType, ODT_BUTTON);
    states.push_back(item->itemState);
    item->hDC->FillSolidRect(&item->rcItem, (item->itemState & ODS_SELECTED) ? RGB(0, 0, 255) : RGB(0, 255, 0));
  }
  UINT Last() const { return states.empty() ? 0xFFFFFFFF : states.back(); }
};

struct ButtonScene {
  CRecordingWnd parent;
  CStateButton button;
  ButtonScene(DWORD kind = BS_OWNERDRAW) {
    EXPECT_TRUE(parent.CreateTop(40, 40, 200, 100));
    EXPECT_TRUE(button.Create("Go", WS_VISIBLE | kind, CRect(20, 20, 80, 50), &parent, 77));
    ui::ProcessPendingMessages();
    parent.messages.clear();
  }
  std::vector<RecordedMessage> Commands() const { return parent.Only(WM_COMMAND); }
};

TEST(Button, PressAndReleaseInsideClicksOnceAndShowsSelectedWhileDown) {
  ButtonScene s;
  EXPECT_FALSE(s.button.Last() & ODS_SELECTED);
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{30, 30});
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{30, 30}, VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.button.Last() & ODS_SELECTED);
  EXPECT_TRUE(s.button.Last() & ODS_FOCUS);
  EXPECT_EQ(s.button.GetState() & BST_PUSHED, BST_PUSHED);
  EXPECT_TRUE(s.Commands().empty());  // nothing until the release
  // Leaving the button while held shows it up; coming back shows it down.
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{150, 80});
  ui::ProcessPendingMessages();
  EXPECT_FALSE(s.button.Last() & ODS_SELECTED);
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{40, 40});
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.button.Last() & ODS_SELECTED);
  EXPECT_EQ(ui::GetWindowPixel(s.parent.m_hWnd, 50, 35), RGB(0, 0, 255));
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{40, 40}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  ASSERT_EQ(s.Commands().size(), 1u);
  EXPECT_EQ(s.Commands()[0].wParam, MAKEWPARAM(77, BN_CLICKED));
  EXPECT_EQ(s.Commands()[0].lParam, reinterpret_cast<LPARAM>(s.button.m_hWnd));
  EXPECT_FALSE(s.button.Last() & ODS_SELECTED);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  EXPECT_EQ(ui::GetWindowPixel(s.parent.m_hWnd, 50, 35), RGB(0, 255, 0));
}

TEST(Button, ReleaseOutsideOrAfterLosingTheCaptureSendsNothing) {
  ButtonScene s;
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{30, 30}, VK_LBUTTON, true);
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{-20, 200});
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{-20, 200}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.Commands().empty());
  EXPECT_FALSE(s.button.Last() & ODS_SELECTED);
  // A press whose capture is taken away is cancelled: the release is not a click.
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{30, 30}, VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  s.parent.SetCapture();
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{30, 30}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  ReleaseCapture();
  EXPECT_TRUE(s.Commands().empty());
  EXPECT_FALSE(s.button.GetState() & BST_PUSHED);
}

TEST(Button, DisabledButtonIsDrawnGreyedAndIgnoresPressesUntilEnabled) {
  ButtonScene s;
  s.button.EnableWindow(FALSE);
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.button.Last() & ODS_DISABLED);
  ui::InjectClick(s.parent.m_hWnd, POINT{30, 30});
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.Commands().empty());
  s.button.EnableWindow(TRUE);
  ui::ProcessPendingMessages();
  EXPECT_FALSE(s.button.Last() & ODS_DISABLED);
  ui::InjectClick(s.parent.m_hWnd, POINT{30, 30});
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.Commands().size(), 1u);
}

TEST(Button, SpaceClicksTheFocusedButtonAndOtherKeysReachTheParent) {
  ButtonScene s(BS_AUTOCHECKBOX);
  s.button.SetFocus();
  ui::InjectKey(s.parent.m_hWnd, VK_SPACE, true);
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.Commands().empty());
  EXPECT_TRUE(s.button.GetState() & BST_PUSHED);
  ui::InjectKey(s.parent.m_hWnd, VK_SPACE, false);
  ui::InjectKeyPress(s.parent.m_hWnd, 'P');
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.Commands().size(), 1u);
  EXPECT_EQ(s.button.GetCheck(), BST_CHECKED);  // a check box toggles on its click
  ASSERT_EQ(s.parent.Count(WM_KEYDOWN), 1);
  EXPECT_EQ(s.parent.Only(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('P'));
}

// A static without SS_NOTIFY lets the mouse through to its parent; with it,
// it takes the click and reports STN_CLICKED. Owner-drawn statics draw
// through DrawItem.
TEST(Static, NotifyStyleDecidesWhoGetsTheMouse) {
  class COwnerStatic : public CStatic {
   public:
    int draws = 0;
    UINT lastState = 0;
    void DrawItem(LPDRAWITEMSTRUCT item) override {
      EXPECT_EQ(item->CtlType, ODT_STATIC);
      ++draws;
      lastState = item->itemState;
    }
  };
  CRecordingWnd parent;
  ASSERT_TRUE(parent.CreateTop(0, 0, 200, 100));
  CStatic plain;
  COwnerStatic notify;
  ASSERT_TRUE(plain.Create("text", WS_VISIBLE, CRect(0, 0, 50, 50), &parent));
  ASSERT_TRUE(notify.Create("", WS_VISIBLE | SS_NOTIFY | SS_OWNERDRAW, CRect(100, 0, 150, 50), &parent, 12));
  ui::ProcessPendingMessages();
  EXPECT_GE(notify.draws, 1);
  parent.messages.clear();
  ui::InjectClick(parent.m_hWnd, POINT{10, 10});
  ui::ProcessPendingMessages();
  EXPECT_EQ(parent.Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(parent.Count(WM_COMMAND), 0);
  parent.messages.clear();
  ui::InjectClick(parent.m_hWnd, POINT{110, 10});
  ui::ProcessPendingMessages();
  EXPECT_EQ(parent.Count(WM_LBUTTONDOWN), 0);
  ASSERT_EQ(parent.Count(WM_COMMAND), 1);
  EXPECT_EQ(parent.Only(WM_COMMAND)[0].wParam, MAKEWPARAM(12, STN_CLICKED));
  notify.EnableWindow(FALSE);
  ui::ProcessPendingMessages();
  EXPECT_EQ(notify.lastState & ODS_DISABLED, ODS_DISABLED);
}

}  // namespace
