#include <gtest/gtest.h>

#include "platform/ui/Cursor.h"
#include "platform/ui/Headless.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

// A borderless sizable popup, as the player's window in its framed mode.
struct SizableScene {
  CRecordingWnd top;
  CRecordingWnd child;  // covers the whole face: the band is tested first
  std::vector<UINT> edges;
  std::vector<CRect> proposals;
  POINT minTrack{150, 80};
  POINT maxTrack{400, 300};
  int sizingCalls = 0;
  bool widenByHandler = false;
  SizableScene() {
    EXPECT_TRUE(top.CreateTop(100, 100, 300, 200, WS_POPUP | WS_THICKFRAME | WS_VISIBLE));
    EXPECT_TRUE(child.CreateChild(&top, CRect(0, 0, 300, 200)));
    top.hook = [this](UINT m, WPARAM w, LPARAM l) {
      if (m == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(l);
        info->ptMinTrackSize = minTrack;
        info->ptMaxTrackSize = maxTrack;
      }
      if (m == WM_SIZING) {
        auto* r = reinterpret_cast<RECT*>(l);
        edges.push_back(static_cast<UINT>(w));
        proposals.push_back(CRect(*r));
        if (widenByHandler) r->right += 7;
      }
    };
    ui::ProcessPendingMessages();
  }
  // Moves the held mouse to a client point of the window as it stands now.
  void MoveTo(POINT p) {
    ui::InjectMouseMove(top.m_hWnd, p);
    ui::ProcessPendingMessages();
  }
  CRect Rect() const {
    CRect r;
    top.GetWindowRect(&r);
    return r;
  }
};

TEST(Sizing, LeftBandDragSendsLeftEdgeAndAppliesTheHandlersRectangle) {
  SizableScene s;
  EXPECT_TRUE(s.top.IsSelfFramed());
  s.MoveTo(POINT{1, 100});
  EXPECT_EQ(GetCursorId(GetCursor()), IDC_SIZEWE);
  EXPECT_EQ(s.child.Count(WM_MOUSEMOVE), 0);  // the band comes before the child
  ui::InjectMouseButton(s.top.m_hWnd, POINT{1, 100}, VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.child.Count(WM_LBUTTONDOWN), 0);
  // The window's left side moves with the mouse: each step is given in the
  // window's coordinates as it stands then.
  s.MoveTo(POINT{1 - 20, 100});
  s.MoveTo(POINT{1 - 20, 100});  // (the window moved 20 left: the mouse is 40 left of the start)
  ASSERT_EQ(s.edges.size(), 2u);
  EXPECT_EQ(s.edges[0], WMSZ_LEFT);
  EXPECT_EQ(s.edges[1], WMSZ_LEFT);
  EXPECT_EQ(s.proposals[1], CRect(60, 100, 400, 300));
  EXPECT_EQ(s.Rect(), CRect(60, 100, 400, 300));
  // A rectangle the handler changes is the one applied.
  s.widenByHandler = true;
  s.MoveTo(POINT{-9, 100});  // 50 left of the start
  EXPECT_EQ(s.Rect(), CRect(50, 100, 407, 300));
  ui::InjectMouseButton(s.top.m_hWnd, POINT{-10, 100}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  const std::size_t steps = s.edges.size();
  s.MoveTo(POINT{-30, 100});  // released: no more sizing
  EXPECT_EQ(s.edges.size(), steps);
  CRect client;
  s.top.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 357);
  ASSERT_GE(s.top.Count(WM_SIZE), 1);
}

TEST(Sizing, TrackSizesHoldOnEveryStepAndAreAskedEachTime) {
  SizableScene s;
  s.MoveTo(POINT{298, 198});  // bottom-right corner
  EXPECT_EQ(GetCursorId(GetCursor()), IDC_SIZENWSE);
  ui::InjectMouseButton(s.top.m_hWnd, POINT{298, 198}, VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  const int asked = s.top.Count(WM_GETMINMAXINFO);
  s.MoveTo(POINT{600, 500});  // far beyond the maximum
  EXPECT_EQ(s.edges.back(), WMSZ_BOTTOMRIGHT);
  EXPECT_EQ(s.proposals.back(), CRect(100, 100, 500, 400));  // offered already within the limits
  EXPECT_EQ(s.Rect(), CRect(100, 100, 500, 400));
  s.minTrack = POINT{250, 150};  // the window changes its mind while being sized
  s.MoveTo(POINT{20, 20});       // far below the minimum
  EXPECT_EQ(s.Rect(), CRect(100, 100, 350, 250));
  EXPECT_EQ(s.top.Count(WM_GETMINMAXINFO), asked + 2);
  ui::InjectMouseButton(s.top.m_hWnd, POINT{20, 20}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  // A window with a caption is framed by the desktop and has no band.
  CRecordingWnd framed;
  ASSERT_TRUE(framed.CreateTop(0, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
  EXPECT_FALSE(framed.IsSelfFramed());
}

TEST(Sizing, WindowDraggedByItsFaceEndsExactlyWhereTheMouseTookIt) {
  // The usual move-by-face handler: capture on the press, move the window by
  // the mouse's distance from the press point on every move.
  class CDragWnd : public CWnd {
   public:
    CPoint press;
    bool dragging = false;
    void OnLButtonDown(UINT, CPoint p) override {
      press = p;
      dragging = true;
      SetCapture();
    }
    void OnMouseMove(UINT, CPoint p) override {
      if (!dragging) return;
      CRect r;
      GetWindowRect(&r);
      SetWindowPos(nullptr, r.left + p.x - press.x, r.top + p.y - press.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void OnLButtonUp(UINT, CPoint) override {
      dragging = false;
      ReleaseCapture();
    }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(200, 150, 320, 230), nullptr, 0));
  ui::InjectMouseMove(wnd.m_hWnd, POINT{40, 20});
  ui::InjectMouseButton(wnd.m_hWnd, POINT{40, 20}, VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  // The mouse travels (+100, +50) on screen in uneven steps; each step is
  // reported relative to the window where it stands at that moment.
  const POINT path[] = {{13, 4}, {47, 21}, {81, 30}, {100, 50}};
  POINT done{0, 0};
  for (const POINT& at : path) {
    ui::InjectMouseMove(wnd.m_hWnd, POINT{40 + at.x - done.x, 20 + at.y - done.y});
    ui::ProcessPendingMessages();
    done = at;
  }
  ui::InjectMouseButton(wnd.m_hWnd, POINT{40, 20}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  CRect r;
  wnd.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(300, 200, 420, 280));
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(CPoint(cursor), CPoint(340, 220));
}

}  // namespace
