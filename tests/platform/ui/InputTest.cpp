#include <gtest/gtest.h>

#include "platform/ui/Cursor.h"
#include "platform/ui/Headless.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

struct Scene {
  CRecordingWnd top, left, right;
  Scene(DWORD topStyle = WS_POPUP | WS_VISIBLE) {
    EXPECT_TRUE(top.CreateTop(100, 50, 200, 100, topStyle));
    EXPECT_TRUE(left.CreateChild(&top, CRect(0, 0, 100, 100), 1));
    EXPECT_TRUE(right.CreateChild(&top, CRect(100, 0, 200, 100), 2));
    Clear();
  }
  void Clear() {
    top.messages.clear();
    left.messages.clear();
    right.messages.clear();
  }
};

CPoint PointOf(const RecordedMessage& m) { return CPoint(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)); }

TEST(Input, MouseGoesToWindowUnderItAndToCaptureWhileCaptured) {
  Scene s;
  s.left.hook = [&](UINT m, WPARAM, LPARAM) {
    if (m == WM_LBUTTONDOWN) s.left.SetCapture();
    if (m == WM_LBUTTONUP) ReleaseCapture();
  };
  ui::InjectMouseMove(s.top.m_hWnd, POINT{150, 10});
  ui::ProcessPendingMessages();
  ASSERT_EQ(s.right.Count(WM_MOUSEMOVE), 1);
  EXPECT_EQ(PointOf(s.right.Only(WM_MOUSEMOVE)[0]), CPoint(50, 10));  // child client coordinates
  s.Clear();
  ui::InjectMouseButton(s.top.m_hWnd, POINT{20, 20}, VK_LBUTTON, true);
  ui::InjectMouseMove(s.top.m_hWnd, POINT{150, 30});   // over the right child, but captured
  ui::InjectMouseMove(s.top.m_hWnd, POINT{-30, 200});  // outside the window altogether
  ui::InjectMouseButton(s.top.m_hWnd, POINT{-30, 200}, VK_LBUTTON, false);
  ui::InjectMouseMove(s.top.m_hWnd, POINT{160, 30});   // released: back to the window under the mouse
  ui::ProcessPendingMessages();
  auto moves = s.left.Only(WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(PointOf(moves[0]), CPoint(150, 30));
  EXPECT_EQ(PointOf(moves[1]), CPoint(-30, 200));
  EXPECT_EQ(s.left.Count(WM_LBUTTONUP), 1);
  EXPECT_EQ(s.left.Only(WM_LBUTTONDOWN)[0].wParam & MK_LBUTTON, MK_LBUTTON);
  EXPECT_EQ(s.left.Count(WM_CAPTURECHANGED), 1);
  EXPECT_EQ(s.right.Count(WM_MOUSEMOVE), 1);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST(Input, MouseLeaveIsPostedOnceWhenTheMouseLeavesTheTrackedWindow) {
  Scene s;
  ui::InjectMouseMove(s.top.m_hWnd, POINT{10, 10});
  ui::ProcessPendingMessages();
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, s.left.m_hWnd, 0};
  ASSERT_TRUE(TrackMouseEvent(&track));
  ui::InjectMouseMove(s.top.m_hWnd, POINT{20, 10});  // still inside: nothing
  ui::ProcessPendingMessages();
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.left.Count(WM_MOUSELEAVE), 0);
  ui::InjectMouseMove(s.top.m_hWnd, POINT{120, 10});
  ui::InjectMouseMove(s.top.m_hWnd, POINT{130, 10});
  ui::RunMessageLoopUntil([&] { return s.left.Count(WM_MOUSELEAVE) > 0; }, 2000);
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.left.Count(WM_MOUSELEAVE), 1);
  // Tracking the right child and then leaving the native window.
  track.hwndTrack = s.right.m_hWnd;
  ASSERT_TRUE(TrackMouseEvent(&track));
  ui::InjectMouseLeaveWindow(s.top.m_hWnd);
  ui::RunMessageLoopUntil([&] { return s.right.Count(WM_MOUSELEAVE) > 0; }, 2000);
  EXPECT_EQ(s.right.Count(WM_MOUSELEAVE), 1);
  // Asking while the mouse is elsewhere gives the leave at once; a cancel
  // before it arrives has nothing left to cancel.
  track.hwndTrack = s.left.m_hWnd;
  ASSERT_TRUE(TrackMouseEvent(&track));
  ui::RunMessageLoopUntil([&] { return s.left.Count(WM_MOUSELEAVE) > 1; }, 2000);
  EXPECT_EQ(s.left.Count(WM_MOUSELEAVE), 2);
}

TEST(Input, KeysGoToTheFocusWindowAndAsyncStateFollowsThem) {
  Scene s;
  s.right.SetFocus();
  EXPECT_EQ(CWnd::GetFocus(), &s.right);
  SHORT ctrlDuringKeyUp = 0;
  s.right.hook = [&](UINT m, WPARAM w, LPARAM) {
    if (m == WM_KEYUP && w == 'P') ctrlDuringKeyUp = GetAsyncKeyState(VK_CONTROL);
  };
  ui::InjectKey(s.top.m_hWnd, VK_CONTROL, true);
  ui::InjectKeyPress(s.top.m_hWnd, 'P');
  ui::InjectKey(s.top.m_hWnd, VK_CONTROL, false);
  ui::ProcessPendingMessages();
  EXPECT_NE(ctrlDuringKeyUp & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
  auto ups = s.right.Only(WM_KEYUP);
  ASSERT_EQ(ups.size(), 2u);
  EXPECT_EQ(ups[0].wParam, static_cast<WPARAM>('P'));
  EXPECT_EQ(ups[1].wParam, static_cast<WPARAM>(VK_CONTROL));
  EXPECT_EQ(s.left.Count(WM_KEYUP), 0);
}

TEST(Input, FocusChangeSendsKillThenSetWithTheOtherWindow) {
  Scene s;
  s.left.SetFocus();
  s.Clear();
  s.right.SetFocus();
  ASSERT_EQ(s.left.Count(WM_KILLFOCUS), 1);
  EXPECT_EQ(s.left.Only(WM_KILLFOCUS)[0].wParam, reinterpret_cast<WPARAM>(s.right.m_hWnd));
  ASSERT_EQ(s.right.Count(WM_SETFOCUS), 1);
  EXPECT_EQ(s.right.Only(WM_SETFOCUS)[0].wParam, reinterpret_cast<WPARAM>(s.left.m_hWnd));
  s.right.ShowWindow(SW_HIDE);  // a hidden window loses the focus
  EXPECT_EQ(CWnd::GetFocus(), nullptr);
}

TEST(Input, RightButtonUpAsksForTheContextMenuUpThroughTheParents) {
  Scene s;
  ui::InjectClick(s.top.m_hWnd, POINT{120, 30}, VK_RBUTTON);
  ui::ProcessPendingMessages();
  ASSERT_EQ(s.right.Count(WM_CONTEXTMENU), 1);
  ASSERT_EQ(s.top.Count(WM_CONTEXTMENU), 1);  // the child's default passes it on
  const auto m = s.top.Only(WM_CONTEXTMENU)[0];
  EXPECT_EQ(m.wParam, reinterpret_cast<WPARAM>(s.right.m_hWnd));
  CPoint screen(120, 30);
  s.top.ClientToScreen(&screen);
  EXPECT_EQ(PointOf(m), screen);
}

TEST(Input, DoubleClicksOnlyForClassesThatAskForThem) {
  CRecordingWnd top, plain, dbl;
  ASSERT_TRUE(top.CreateTop(0, 0, 200, 100));
  ASSERT_TRUE(plain.CreateChild(&top, CRect(0, 0, 100, 100), 1));
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_HAND));
  ASSERT_TRUE(dbl.CreateChild(&top, CRect(100, 0, 200, 100), 2, 0, cls));
  for (POINT p : {POINT{10, 10}, POINT{110, 10}}) {
    ui::InjectMouseButton(top.m_hWnd, p, VK_LBUTTON, true, 1);
    ui::InjectMouseButton(top.m_hWnd, p, VK_LBUTTON, false, 1);
    ui::InjectMouseButton(top.m_hWnd, p, VK_LBUTTON, true, 2);
    ui::InjectMouseButton(top.m_hWnd, p, VK_LBUTTON, false, 2);
  }
  ui::ProcessPendingMessages();
  EXPECT_EQ(plain.Count(WM_LBUTTONDOWN), 2);
  EXPECT_EQ(plain.Count(WM_LBUTTONDBLCLK), 0);
  EXPECT_EQ(dbl.Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(dbl.Count(WM_LBUTTONDBLCLK), 1);
  // The class cursor was set over the child (WM_SETCURSOR default).
  EXPECT_EQ(GetCursorId(GetCursor()), IDC_HAND);
}

TEST(Input, HiddenAndDisabledChildrenDoNotTakeTheMouse) {
  Scene s;
  s.right.ShowWindow(SW_HIDE);
  s.left.EnableWindow(FALSE);
  ui::InjectClick(s.top.m_hWnd, POINT{150, 10});
  ui::InjectClick(s.top.m_hWnd, POINT{50, 10});
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.right.Count(WM_LBUTTONDOWN), 0);
  EXPECT_EQ(s.left.Count(WM_LBUTTONDOWN), 0);
  EXPECT_EQ(s.top.Count(WM_LBUTTONDOWN), 2);
}

TEST(Input, UserResizeOffersSizingThenSizesToTheAdjustedRectangle) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 200, 100, WS_POPUP | WS_THICKFRAME | WS_VISIBLE));
  top.hook = [&](UINT m, WPARAM, LPARAM l) {
    if (m == WM_SIZING) {
      auto* r = reinterpret_cast<RECT*>(l);
      r->bottom = r->top + (r->right - r->left) / 2;  // keep 2:1
    }
    if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = POINT{120, 60};
  };
  top.messages.clear();
  ui::InjectResize(top.m_hWnd, 300, 300);
  ui::ProcessPendingMessages();
  CRect client;
  top.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 300, 150));
  ASSERT_EQ(top.Count(WM_SIZING), 1);
  EXPECT_EQ(top.Only(WM_SIZING)[0].wParam, WMSZ_BOTTOMRIGHT);
  ASSERT_GE(top.Count(WM_SIZE), 1);
  EXPECT_EQ(top.Only(WM_SIZE).back().lParam, MAKELPARAM(300, 150));
  ui::InjectResize(top.m_hWnd, 50, 50);  // below the minimum track size
  ui::ProcessPendingMessages();
  top.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 120, 60));
}

TEST(Input, GeometryAndZOrderOfChildren) {
  Scene s;
  CPoint p(1, 1);
  s.right.ClientToScreen(&p);
  CRect topRect;
  s.top.GetWindowRect(&topRect);
  EXPECT_EQ(p, CPoint(topRect.left + 101, topRect.top + 1));
  s.right.ScreenToClient(&p);
  EXPECT_EQ(p, CPoint(1, 1));
  CRect r;
  s.right.GetWindowRect(&r);
  EXPECT_EQ(r.Width(), 100);
  s.top.ScreenToClient(&r);
  EXPECT_EQ(r, CRect(100, 0, 200, 100));
  CPoint screen(150, 10);
  s.top.ClientToScreen(&screen);
  EXPECT_EQ(CWnd::WindowFromPoint(screen), &s.right);
  // Overlap the children, then move the right one below the left one.
  s.right.MoveWindow(50, 0, 100, 100);
  screen = CPoint(60, 10);
  s.top.ClientToScreen(&screen);
  EXPECT_EQ(CWnd::WindowFromPoint(screen), &s.right);
  s.right.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(CWnd::WindowFromPoint(screen), &s.left);
  EXPECT_EQ(s.top.GetDlgItem(2), &s.right);
  EXPECT_TRUE(s.top.IsChild(&s.right));
  EXPECT_EQ(s.right.Count(WM_SIZE), 0);  // a move alone does not resize
  EXPECT_EQ(s.right.Count(WM_MOVE), 1);
}

TEST(Input, StylesModifyAndShowStateFollow) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 100, 100, WS_POPUP));
  EXPECT_FALSE(top.IsWindowVisible());
  EXPECT_TRUE(top.ModifyStyle(0, WS_THICKFRAME | WS_VISIBLE));
  EXPECT_TRUE(top.IsWindowVisible());
  EXPECT_EQ(top.GetStyle() & WS_THICKFRAME, WS_THICKFRAME);
  EXPECT_FALSE(top.ModifyStyle(0, WS_THICKFRAME));  // nothing changed
  EXPECT_TRUE(top.ModifyStyleEx(0, WS_EX_TOPMOST));
  top.SetWindowText("Title");
  std::string title;
  top.GetWindowText(title);
  EXPECT_EQ(title, "Title");
  CRect rc(0, 0, 100, 50);
  top.CalcWindowRect(&rc);  // headless: no frame round the client area
  EXPECT_EQ(rc.Width(), 100);
}

}  // namespace
