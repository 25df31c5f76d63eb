#include <gtest/gtest.h>

#include "platform/os/SysColors.h"
#include "platform/ui/Headless.h"
#include "platform/ui/ScrollBar.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

SCROLLINFO Info(int minPos, int maxPos, UINT page, int pos) {
  return SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, minPos, maxPos, page, pos, 0};
}

// An owner that scrolls its bar the way a list does: a line is 1, a page is
// the bar's page, the thumb sets the position.
struct Owner : CRecordingWnd {
  std::vector<std::pair<UINT, int>> codes;  // code, HIWORD position
  LPARAM lastBar = -1;
  void Attach() {
    hook = [this](UINT m, WPARAM w, LPARAM l) {
      if (m != WM_VSCROLL && m != WM_HSCROLL) return;
      codes.emplace_back(LOWORD(w), static_cast<int>(HIWORD(w)));
      lastBar = l;
      CScrollBar* bar = l ? static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(l)))
                          : GetWindowScrollBar(m == WM_VSCROLL ? SB_VERT : SB_HORZ);
      SCROLLINFO si{};
      bar->GetScrollInfo(&si, SIF_ALL);
      int pos = si.nPos;
      switch (LOWORD(w)) {
        case SB_LINEDOWN:
          pos += 1;
          break;
        case SB_LINEUP:
          pos -= 1;
          break;
        case SB_PAGEDOWN:
          pos += static_cast<int>(si.nPage);
          break;
        case SB_PAGEUP:
          pos -= static_cast<int>(si.nPage);
          break;
        case SB_THUMBTRACK:
          pos = si.nTrackPos;
          break;
        default:
          break;
      }
      bar->SetScrollPos(pos);
    };
  }
  int Codes(UINT code) const {
    int n = 0;
    for (const auto& c : codes) n += c.first == code ? 1 : 0;
    return n;
  }
};

struct BarScene {
  Owner owner;
  CScrollBar bar;
  BarScene() {
    EXPECT_TRUE(owner.CreateTop(0, 0, 300, 240));
    EXPECT_TRUE(bar.Create(WS_VISIBLE | SBS_VERT, CRect(100, 20, 116, 220), &owner, 100));  // 16 x 200
    SCROLLINFO si = Info(0, 999, 100, 0);
    bar.SetScrollInfo(&si);
    owner.Attach();
    ui::ProcessPendingMessages();
  }
  // A client point of the owner for a point of the bar.
  POINT At(int x, int y) const { return POINT{100 + x, 20 + y}; }
  void Click(int x, int y) {
    ui::InjectClick(owner.m_hWnd, At(x, y));
    ui::ProcessPendingMessages();
  }
};

TEST(ScrollBar, PositionIsClampedToTheLastFullPage) {
  CScrollBar bar;
  SCROLLINFO si = Info(0, 999, 100, 950);
  bar.SetScrollInfo(&si);
  SCROLLINFO out{};
  bar.GetScrollInfo(&out, SIF_ALL);
  EXPECT_EQ(out.nPos, 900);
  EXPECT_EQ(out.nTrackPos, 900);
  EXPECT_EQ(bar.GetScrollLimit(), 900);
  EXPECT_EQ(bar.SetScrollPos(-5), 900);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  // A page larger than the range is cut to it, which leaves nothing to scroll.
  si = Info(10, 19, 50, 15);
  bar.SetScrollInfo(&si);
  bar.GetScrollInfo(&out, SIF_ALL);
  EXPECT_EQ(out.nPage, 10u);
  EXPECT_EQ(out.nPos, 10);
  // Without a page the position may reach the maximum; only the fields in
  // the mask change.
  si = SCROLLINFO{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 50, 0, 0, 0};
  bar.SetScrollInfo(&si);
  si = SCROLLINFO{sizeof(SCROLLINFO), SIF_POS, 999, 999, 999, 70, 0};
  bar.SetScrollInfo(&si);
  bar.GetScrollInfo(&out, SIF_ALL);
  EXPECT_EQ(out.nMin, 0);
  EXPECT_EQ(out.nMax, 50);
  EXPECT_EQ(out.nPos, 50);
}

TEST(ScrollBar, ArrowAndPageClicksSendLineAndPageThenEndScroll) {
  BarScene s;
  s.Click(8, 195);  // the down arrow
  ASSERT_EQ(s.owner.codes.size(), 2u);
  EXPECT_EQ(s.owner.codes[0].first, SB_LINEDOWN);
  EXPECT_EQ(s.owner.codes[1].first, SB_ENDSCROLL);
  EXPECT_EQ(s.owner.lastBar, reinterpret_cast<LPARAM>(s.bar.m_hWnd));
  EXPECT_EQ(s.bar.GetScrollPos(), 1);
  s.Click(8, 150);  // below the thumb
  EXPECT_EQ(s.owner.Codes(SB_PAGEDOWN), 1);
  EXPECT_EQ(s.bar.GetScrollPos(), 101);
  s.Click(8, 5);  // the up arrow
  EXPECT_EQ(s.owner.Codes(SB_LINEUP), 1);
  EXPECT_EQ(s.bar.GetScrollPos(), 100);
  const CRect thumb = s.bar.PartRect(CScrollBar::kThumb);
  ASSERT_FALSE(thumb.IsRectEmpty());
  s.Click(8, thumb.top - 2);  // above the thumb
  EXPECT_EQ(s.owner.Codes(SB_PAGEUP), 1);
  EXPECT_EQ(s.bar.GetScrollPos(), 0);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST(ScrollBar, ThumbDragTracksUnderCaptureAndEndsWithThumbPosition) {
  BarScene s;
  const CRect thumb = s.bar.PartRect(CScrollBar::kThumb);
  ASSERT_EQ(thumb.top, 16);  // just below the up arrow at position 0
  const int grab = thumb.top + 3;
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(8, grab));
  ui::InjectMouseButton(s.owner.m_hWnd, s.At(8, grab), VK_LBUTTON, true);
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(8, grab + 60));
  ui::ProcessPendingMessages();
  ASSERT_EQ(s.owner.Codes(SB_THUMBTRACK), 1);
  const int middle = s.owner.codes.back().second;
  EXPECT_GT(middle, 250);
  EXPECT_LT(middle, 500);
  SCROLLINFO si{};
  s.bar.GetScrollInfo(&si, SIF_TRACKPOS);
  EXPECT_EQ(si.nTrackPos, middle);
  // Far past the end (and off the bar sideways: the capture keeps the drag).
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(-80, 400));
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.owner.codes.back(), std::make_pair(SB_THUMBTRACK, 900));
  EXPECT_EQ(s.bar.PartRect(CScrollBar::kThumb).bottom, 200 - 16);
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(8, -300));
  ui::InjectMouseButton(s.owner.m_hWnd, s.At(8, -300), VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  const auto& c = s.owner.codes;
  ASSERT_GE(c.size(), 3u);
  EXPECT_EQ(c[c.size() - 3], std::make_pair(SB_THUMBTRACK, 0));
  EXPECT_EQ(c[c.size() - 2], std::make_pair(SB_THUMBPOSITION, 0));
  EXPECT_EQ(c.back().first, SB_ENDSCROLL);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

// The repeat timer is driven by hand: each tick is one WM_TIMER.
TEST(ScrollBar, HeldArrowRepeatsOnTheTimerOnlyWhileTheMouseStaysOnIt) {
  BarScene s;
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(8, 195));
  ui::InjectMouseButton(s.owner.m_hWnd, s.At(8, 195), VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  for (int i = 0; i < 3; ++i) s.bar.SendMessage(WM_TIMER, CScrollBar::kRepeatTimer);
  EXPECT_EQ(s.owner.Codes(SB_LINEDOWN), 4);
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(40, 195));  // off the arrow, still held
  ui::ProcessPendingMessages();
  s.bar.SendMessage(WM_TIMER, CScrollBar::kRepeatTimer);
  EXPECT_EQ(s.owner.Codes(SB_LINEDOWN), 4);
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(8, 195));
  ui::ProcessPendingMessages();
  s.bar.SendMessage(WM_TIMER, CScrollBar::kRepeatTimer);
  EXPECT_EQ(s.owner.Codes(SB_LINEDOWN), 5);
  ui::InjectMouseButton(s.owner.m_hWnd, s.At(8, 195), VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.bar.GetScrollPos(), 5);
  EXPECT_FALSE(s.bar.KillTimer(CScrollBar::kRepeatTimer));  // the release stopped it
  // A held page area repeats until the thumb reaches the mouse.
  ui::InjectMouseMove(s.owner.m_hWnd, s.At(8, 120));
  ui::InjectMouseButton(s.owner.m_hWnd, s.At(8, 120), VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  for (int i = 0; i < 20; ++i) s.bar.SendMessage(WM_TIMER, CScrollBar::kRepeatTimer);
  ui::InjectMouseButton(s.owner.m_hWnd, s.At(8, 120), VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  const int pages = s.owner.Codes(SB_PAGEDOWN);
  EXPECT_GE(pages, 4);
  EXPECT_LE(pages, 7);
  EXPECT_TRUE(s.bar.PartRect(CScrollBar::kThumb).PtInRect(POINT{8, 120}));
}

TEST(ScrollBar, WindowBarsTakeRoomFromTheClientAndNotifyTheWindow) {
  Owner wnd;
  ASSERT_TRUE(wnd.CreateTop(0, 0, 200, 150, WS_POPUP | WS_VISIBLE | WS_VSCROLL));
  wnd.Attach();
  CRecordingWnd child;
  ASSERT_TRUE(child.CreateChild(&wnd, CRect(0, 0, 200, 150)));  // reaches under the bar
  CRect client;
  wnd.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 184, 150));
  SCROLLINFO si = Info(0, 99, 50, 0);
  ASSERT_TRUE(wnd.SetScrollInfo(SB_VERT, &si));
  ui::ProcessPendingMessages();
  // The bar's down arrow takes the click, though the child lies under it.
  ui::InjectClick(wnd.m_hWnd, POINT{192, 145});
  ui::ProcessPendingMessages();
  EXPECT_EQ(wnd.Codes(SB_LINEDOWN), 1);
  EXPECT_EQ(wnd.lastBar, 0);
  EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 1);
  EXPECT_EQ(child.Count(WM_LBUTTONDOWN), 0);
  // Nothing left to scroll hides the bar and gives the room back.
  wnd.messages.clear();
  si = Info(0, 99, 100, 0);
  wnd.SetScrollInfo(SB_VERT, &si);
  wnd.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 200, 150));
  ASSERT_GE(wnd.Count(WM_SIZE), 1);
  EXPECT_EQ(wnd.Only(WM_SIZE).back().lParam, MAKELPARAM(200, 150));
  // Both bars leave a corner; the horizontal bar runs along the bottom.
  wnd.ShowScrollBar(SB_BOTH, TRUE);
  wnd.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 184, 134));
  CRect h;
  wnd.GetWindowScrollBar(SB_HORZ)->GetWindowRect(&h);
  wnd.ScreenToClient(&h);
  EXPECT_EQ(h, CRect(0, 134, 184, 150));
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 192, 142), GetSysColor(COLOR_BTNFACE));  // the corner
}

}  // namespace
