#include <gtest/gtest.h>

#include "platform/gfx/DC.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "sintra/skin/SkinData.h"
#include "sintra/toolkit/RoundSlider.h"
#include "sintra/toolkit/TransStatic.h"
#include "sintra/toolkit/TransWindow.h"

namespace {

constexpr COLORREF kFace = RGB(30, 90, 160);

// A parent whose face is a vertical stripe pattern, painted behind children
// that ask, and which records its children's notifications.
class CFaceWnd : public CWnd {
 public:
  int redrawRequests = 0;
  CWnd* lastChild = nullptr;
  std::vector<std::pair<UINT, int>> slides;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP_REDRAWSKIN) {
      ++redrawRequests;
      lastChild = reinterpret_cast<CWnd*>(lParam);
      CDC* dc = reinterpret_cast<CDC*>(wParam);
      CRect r;
      lastChild->GetClientRect(&r);
      dc->FillSolidRect(&r, kFace);
      return 1;
    }
    if (message == WM_HSCROLL) slides.emplace_back(LOWORD(wParam), static_cast<int>(HIWORD(wParam)));
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST(TransStatic, AsksItsParentToPaintBehindItAndDrawsItsTextOver) {
  CFaceWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 60), nullptr, 0));
  CTransStatic label;
  ASSERT_TRUE(label.Create("Hi", WS_VISIBLE, CRect(10, 10, 110, 40), &parent));
  label.SetTextColour(RGB(255, 255, 0));
  ui::ProcessPendingMessages();
  EXPECT_GE(parent.redrawRequests, 1);
  EXPECT_EQ(parent.lastChild, &label);
  // Away from the text the parent's face shows; the text is drawn over it.
  EXPECT_EQ(ui::GetWindowPixel(parent.m_hWnd, 100, 35), kFace);
  bool sawText = false;
  for (int x = 10; x < 40; ++x)
    for (int y = 10; y < 30; ++y) sawText = sawText || ui::GetWindowPixel(parent.m_hWnd, x, y) != kFace;
  EXPECT_TRUE(sawText);
}

struct SliderScene {
  CFaceWnd parent;
  CRoundSlider slider;
  SliderScene() {
    EXPECT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 200), nullptr, 0));
    EXPECT_TRUE(slider.Create(WS_VISIBLE, CRect(50, 50, 151, 151), &parent, 9));  // centre (100, 100)
    slider.SetRange(0, 100);
    ui::ProcessPendingMessages();
  }
};

TEST(RoundSlider, TurnsWithTheMouseAngleAndReportsEachChange) {
  SliderScene s;
  EXPECT_EQ(s.slider.GetPos(), 0);
  s.slider.SetPos(250);
  EXPECT_EQ(s.slider.GetPos(), 100);  // kept within the range
  s.slider.SetPos(0);
  // Straight up is the middle of the sweep; right is three quarters.
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{100, 60});
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{100, 60}, VK_LBUTTON, true);
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.slider.GetPos(), 50);
  ASSERT_EQ(s.parent.slides.size(), 1u);
  EXPECT_EQ(s.parent.slides[0], std::make_pair(TB_THUMBTRACK, 50));
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{180, 100});  // outside the knob: the capture keeps the drag
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.slider.GetPos(), 83);
  // Into the gap at the bottom: just right of the bottom is the maximum,
  // just left of it the minimum.
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{104, 180});
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.slider.GetPos(), 100);
  ui::InjectMouseMove(s.parent.m_hWnd, POINT{96, 180});
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.slider.GetPos(), 0);
  ui::InjectMouseButton(s.parent.m_hWnd, POINT{96, 180}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  ASSERT_GE(s.parent.slides.size(), 3u);
  EXPECT_EQ(s.parent.slides[s.parent.slides.size() - 2], std::make_pair(TB_THUMBPOSITION, 0));
  EXPECT_EQ(s.parent.slides.back().first, TB_ENDTRACK);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  // The keys step the focused slider.
  const std::size_t before = s.parent.slides.size();
  ui::InjectKeyPress(s.parent.m_hWnd, VK_PRIOR);
  ui::InjectKeyPress(s.parent.m_hWnd, VK_RIGHT);
  ui::InjectKeyPress(s.parent.m_hWnd, VK_LEFT);
  ui::InjectKeyPress(s.parent.m_hWnd, VK_LEFT);
  ui::ProcessPendingMessages();
  EXPECT_EQ(s.slider.GetPos(), 9);
  EXPECT_EQ(s.parent.slides.size(), before + 4);
  // The mark of the middle value stands straight above the centre, and
  // the point it marks turns back into that value.
  const CPoint mark = s.slider.PointForPos(50, 40);
  EXPECT_NEAR(mark.x, 50.5, 0.6);
  EXPECT_NEAR(mark.y, 10.5, 0.6);
  EXPECT_EQ(s.slider.PosFromPoint(s.slider.PointForPos(37, 45)), 37);
}

TEST(TransWindow, FaceAndCaptionInSkinColoursAndTheBandMovesTheWindow) {
  const CSkinData saved = g_skinData;
  g_skinData.m_captionHeight = 18;
  g_skinData.m_colour[SKIN_WINDOW_BACK] = RGB(200, 10, 10);
  g_skinData.m_colour[SKIN_CAPTIONBAR] = RGB(10, 200, 10);
  g_skinData.m_colour[SKIN_CAPTIONBAR_FOCUS] = RGB(10, 200, 10);
  g_skinData.ForceColour();
  {
    CTransWindow wnd;
    ASSERT_TRUE(wnd.Create("", WS_VISIBLE, CRect(100, 100, 260, 220)));
    ui::ProcessPendingMessages();
    EXPECT_EQ(wnd.GetCaptionRect(), CRect(0, 0, 160, 18));
    EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 80, 60), g_skinData.SkinColour(SKIN_WINDOW_BACK));
    EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 80, 9), g_skinData.SkinColour(SKIN_CAPTIONBAR));
    ui::InjectMouseMove(wnd.m_hWnd, POINT{30, 9});
    ui::InjectMouseButton(wnd.m_hWnd, POINT{30, 9}, VK_LBUTTON, true);
    ui::ProcessPendingMessages();
    ui::InjectMouseMove(wnd.m_hWnd, POINT{30 + 25, 9 - 15});
    ui::ProcessPendingMessages();
    ui::InjectMouseButton(wnd.m_hWnd, POINT{30, 9}, VK_LBUTTON, false);
    ui::ProcessPendingMessages();
    CRect r;
    wnd.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(125, 85, 285, 205));
  }
  g_skinData = saved;
}

}  // namespace
