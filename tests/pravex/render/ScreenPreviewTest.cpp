#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/render/RenderRoot.h"
#include "pravex/render/ScreenPreview.h"
#include "sintra/skin/SkinData.h"

namespace {

// A view that records the button releases it is sent.
class CRecordingView : public CWnd {
 public:
  std::vector<LPARAM> releases;
  void OnLButtonUp(UINT, CPoint point) override { releases.push_back(MAKELPARAM(point.x, point.y)); }
};

class CTestPreview : public CScreenPreview {
 public:
  CRecordingView view;
  int fit = 1;
  int closes = 0;
  int capW = 4;
  int capH = 3;

  int savedBand = g_skinData.m_captionHeight;

  CTestPreview() {
    g_skinData.m_captionHeight = 16;
    EXPECT_TRUE(Create("Preview", WS_POPUP | WS_THICKFRAME | WS_VISIBLE, CRect(40, 40, 240, 240)));
    EXPECT_TRUE(view.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), this, 1));
  }
  ~CTestPreview() override {
    view.DestroyWindow();
    DestroyWindow();
    g_skinData.m_captionHeight = savedBand;
  }
  CWnd* GetHostedView() override { return view.m_hWnd ? &view : nullptr; }
  void ClosePreview() override { ++closes; }
  void PreviewReserved() override {}
  void GetCaptureSize(int& w, int& h) override {
    w = capW;
    h = capH;
  }
  int GetWidthForHeight(int h) override { return static_cast<int>(std::int64_t{h} * capW / capH); }
  int GetHeightForWidth(int w) override { return static_cast<int>(std::int64_t{w} * capH / capW); }
  int GetFitToWindow() override { return fit; }

  CRect ViewRect() {
    CRect r;
    view.GetWindowRect(&r);
    ScreenToClient(&r);
    return r;
  }
  CRect Window() {
    CRect r;
    GetWindowRect(&r);
    return r;
  }
  // Sizes the window so that the area below the band is w x h.
  void SetViewArea(int w, int h) {
    const CRect win = Window();
    SetWindowPos(nullptr, win.left, win.top, w, h + GetCaptionHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    ui::ProcessPendingMessages();
  }
  bool Shows(CWnd& w) { return w.IsWindowVisible() != FALSE; }
};

}  // namespace

TEST(ScreenPreview, FitModeFollowsResizeMessagesWithinTheMinimumAndTheScreen) {
  CTestPreview p;
  p.SendMessage(WM_RENDERWND_RESIZE, 0, MAKELPARAM(4, 3));
  EXPECT_EQ(p.GetViewArea().Width(), 10);
  EXPECT_EQ(p.GetViewArea().Height(), 7);
  EXPECT_EQ(p.ViewRect(), p.GetViewArea());
  EXPECT_EQ(p.GetViewArea().top, p.GetCaptionHeight());
  EXPECT_FALSE(p.Shows(p.GetHorzBar()));

  // Wider than the screen: screen-wide, the height following the width.
  const int sw = GetSystemMetrics(SM_CXSCREEN);
  const int sh = GetSystemMetrics(SM_CYSCREEN);
  p.capW = sw * 3;
  p.capH = sh;
  p.SizeWindow(p.capW, p.capH, 0);
  EXPECT_EQ(p.Window().Width(), sw);
  EXPECT_EQ(p.GetViewArea().Height(), p.GetHeightForWidth(p.GetViewArea().Width()));
  // Taller than the screen: screen-high, the width following the height.
  p.capW = sw;
  p.capH = sh * 4;
  p.SizeWindow(p.capW, p.capH, 0);
  EXPECT_EQ(p.Window().Height(), sh);
  EXPECT_EQ(p.GetViewArea().Width(), p.GetWidthForHeight(p.GetViewArea().Height()));
  // Whatever the picture size, the window stays where the screen shows it.
  CRect meet;
  EXPECT_TRUE(meet.IntersectRect(p.Window(), CRect(0, 0, sw, sh)));
}

TEST(ScreenPreview, FitModeSizingKeepsTheAspectAndTheTrackLimits) {
  CTestPreview p;
  p.capW = 800;
  p.capH = 600;
  p.SizeWindow(800, 600, 0);
  const int band = p.GetCaptionHeight();

  // Top edge: the height decides, the right edge moves, the left stays.
  CRect r(100, 100, 500, 100 + 150 + band);
  p.SendMessage(WM_SIZING, WMSZ_TOP, reinterpret_cast<LPARAM>(static_cast<RECT*>(&r)));
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.Width(), 200);
  EXPECT_EQ(r.Height(), 150 + band);
  // Top-left corner: the width decides and the top edge moves.
  r = CRect(100, 100, 500, 600);
  p.SendMessage(WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(static_cast<RECT*>(&r)));
  EXPECT_EQ(r.bottom, 600);
  EXPECT_EQ(r.Height(), 300 + band);
  // Right edge: the bottom moves.
  r = CRect(100, 100, 180, 900);
  p.SendMessage(WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(static_cast<RECT*>(&r)));
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.Height(), 60 + band);

  MINMAXINFO info{};
  p.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 100);  // an eighth of the capture
  EXPECT_EQ(info.ptMinTrackSize.y, 75 + band);
  EXPECT_LE(info.ptMaxTrackSize.x, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(info.ptMaxTrackSize.y, GetSystemMetrics(SM_CYSCREEN));
  // A tiny capture: an eighth is below the minimum width, which wins.
  p.capW = 40;
  p.capH = 30;
  p.SizeWindow(40, 30, 0);
  p.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 10);
  EXPECT_EQ(info.ptMinTrackSize.y, 7 + band);
}

TEST(ScreenPreview, ScrollModeShowsBarsAsNeededAndTheCornerOnlyWithBoth) {
  CTestPreview p;
  p.fit = 0;
  p.capW = 200;
  p.capH = 150;
  p.SizeWindow(200, 150, 1);
  const int t = p.GetCaptionHeight();
  ASSERT_GT(t, 0);
  EXPECT_EQ(p.GetViewArea().Size(), CSize(200, 150));
  EXPECT_FALSE(p.Shows(p.GetHorzBar()));
  EXPECT_FALSE(p.Shows(p.GetVertBar()));
  EXPECT_EQ(p.ViewRect(), CRect(0, t, 200, t + 150));

  struct Case {
    int w, h;
    bool horz, vert;
  } cases[] = {
      {199, 150, true, true},          // the horizontal bar takes the room the height needed
      {199, 150 + t, true, false},     // room left for the horizontal bar
      {200 + t, 149, false, true},     // room left for the vertical bar
      {200 + t - 1, 149, true, true},  // not quite
      {200, 150, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    p.SetViewArea(c.w, c.h);
    EXPECT_EQ(p.Shows(p.GetHorzBar()), c.horz);
    EXPECT_EQ(p.Shows(p.GetVertBar()), c.vert);
    EXPECT_EQ(p.Shows(p.GetCornerBox()), c.horz && c.vert);
    const CRect area = p.GetViewArea();
    if (c.horz && c.vert) {
      CRect box;
      p.GetCornerBox().GetWindowRect(&box);
      p.ScreenToClient(&box);
      EXPECT_EQ(box, CRect(area.right - t, area.bottom - t, area.right, area.bottom));
    }
    if (!c.horz) {
      EXPECT_EQ(p.ViewRect().left, (area.Width() - (c.vert ? t : 0) - 200) / 2);
    }
  }

  // Scrolling moves the view by lines, pages and the thumb, within the range.
  p.SetViewArea(120, 100);
  const LPARAM horz = reinterpret_cast<LPARAM>(p.GetHorzBar().m_hWnd);
  const LPARAM vert = reinterpret_cast<LPARAM>(p.GetVertBar().m_hWnd);
  p.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), horz);
  EXPECT_EQ(p.ViewRect().left, -1);
  p.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), horz);
  EXPECT_EQ(p.ViewRect().left, -30);
  p.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), horz);
  const int limit = p.GetHorzBar().GetScrollLimit();
  EXPECT_EQ(p.ViewRect().left, -limit);
  EXPECT_EQ(limit, 200 - 1 + t - 120 + 1);  // the range grows by the vertical bar
  p.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), vert);
  EXPECT_EQ(p.ViewRect().top, t - p.GetVertBar().GetScrollLimit());
  p.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEUP, 0), vert);
  EXPECT_EQ(p.ViewRect().top, t);
  EXPECT_EQ(p.ViewRect().Size(), CSize(200, 150));
  // Scroll mode: at most the capture size, at least 10 wide.
  MINMAXINFO info{};
  p.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxTrackSize.x, 200);
  EXPECT_EQ(info.ptMaxTrackSize.y, 150 + t);
  EXPECT_EQ(info.ptMinTrackSize.x, 10);
}

TEST(ScreenPreview, LosingFocusEndsADragAtTheCursorInViewCoordinatesAndCloseAsksTheOwner) {
  CTestPreview p;
  p.capW = 400;
  p.capH = 300;
  p.SizeWindow(400, 300, 0);
  CPoint inView(25, 17);
  CPoint screen = inView;
  p.view.ClientToScreen(&screen);
  ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
  p.SendMessage(WM_KILLFOCUS, 0, 0);
  ui::ProcessPendingMessages();
  ASSERT_EQ(p.view.releases.size(), 1u);
  EXPECT_EQ(p.view.releases[0], MAKELPARAM(inView.x, inView.y));

  ASSERT_TRUE(ui::InjectClose(p.m_hWnd));
  ui::ProcessPendingMessages();
  EXPECT_EQ(p.closes, 1);
  EXPECT_TRUE(::IsWindow(p.m_hWnd));
}
