#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/Headless.h"
#include "platform/ui/PaintDC.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Fills its whole client area with one colour on every paint (or paints
// nothing when the colour is 0xFFFFFFFF) and records each paint's rcPaint.
class CFillWnd : public CWnd {
 public:
  COLORREF colour = 0xFFFFFFFF;
  std::vector<CRect> paints;
  void OnPaint() override {
    CPaintDC dc(this);
    paints.push_back(dc.m_ps.rcPaint);
    if (colour == 0xFFFFFFFF) return;
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, colour);
  }
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  BOOL Top(int w, int h, COLORREF c) {
    colour = c;
    return CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, w, h), nullptr, 0);
  }
  BOOL Child(CWnd* parent, const CRect& r, COLORREF c, DWORD extra = 0) {
    colour = c;
    return Create(nullptr, "", WS_CHILD | WS_VISIBLE | extra, r, parent, 1);
  }
};

void Settle() {
  ui::ProcessPendingMessages();
  ui::ProcessPendingMessages();
}

TEST(Paint, TwoInvalidatedAreasPaintOnceWithTheirUnionAndNothingElse) {
  CFillWnd wnd;
  ASSERT_TRUE(wnd.Top(100, 60, kBlue));
  Settle();
  ASSERT_EQ(wnd.paints.size(), 1u);  // the first paint of the new window
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 50, 30), kBlue);
  wnd.paints.clear();
  wnd.colour = kRed;
  CRect a(10, 10, 20, 20), b(60, 30, 70, 50);
  wnd.InvalidateRect(&a);
  wnd.InvalidateRect(&b);
  Settle();
  ASSERT_EQ(wnd.paints.size(), 1u);
  EXPECT_EQ(wnd.paints[0], CRect(10, 10, 70, 50));
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 10, 10), kRed);
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 19, 19), kRed);
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 69, 49), kRed);
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 40, 25), kBlue);  // inside the union, outside both areas
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 20, 20), kBlue);
}

TEST(Paint, ParentWithClipChildrenLeavesChildAreaAlone) {
  for (bool clip : {true, false}) {
    CFillWnd top, child;
    ASSERT_TRUE(top.Top(100, 100, kBlack));
    ASSERT_TRUE(child.Child(&top, CRect(20, 20, 60, 60), kGreen));
    Settle();
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 30, 30), kGreen);
    child.colour = 0xFFFFFFFF;  // the child now paints nothing
    top.colour = kRed;
    if (clip) top.ModifyStyle(0, WS_CLIPCHILDREN);
    top.Invalidate();
    Settle();
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 5, 5), kRed);
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 30, 30), clip ? kGreen : kRed) << "clip children " << clip;
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 60, 60), kRed);
  }
}

TEST(Paint, SiblingsClipOnlyWithClipSiblingsAndChildrenClipToParent) {
  for (bool clip : {true, false}) {
    CFillWnd top, lower, upper;
    ASSERT_TRUE(top.Top(100, 100, kBlack));
    ASSERT_TRUE(lower.Child(&top, CRect(10, 10, 50, 50), kGreen, clip ? WS_CLIPSIBLINGS : 0));
    ASSERT_TRUE(upper.Child(&top, CRect(40, 40, 120, 120), kBlue));  // partly outside its parent
    Settle();
    upper.colour = 0xFFFFFFFF;
    lower.colour = kRed;
    lower.Invalidate();
    Settle();
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 20, 20), kRed);
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 45, 45), clip ? kBlue : kRed) << "clip siblings " << clip;
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 99, 99), kBlue);
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(ui::ReadWindowPixels(top.m_hWnd, pixels, w, h));
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 100);
  }
}

// A child's painter that selects its own clip region (client coordinates, as
// a banded painter does) reaches its whole client, the bottom rows included,
// and still nothing outside the area being painted.
TEST(Paint, ClipRegionOfAChildIsInItsClientCoordinatesAndStaysInsideThePaintedArea) {
  class CBandWnd : public CWnd {
   public:
    COLORREF colour = kRed;
    void OnPaint() override {
      CPaintDC dc(this);
      CRect client;
      GetClientRect(&client);
      for (int top = 0; top < client.bottom; top += 10) {
        CRgn band;
        band.CreateRectRgn(0, top, client.right, top + 10);
        dc.SelectClipRgn(&band, RGN_COPY);
        dc.FillSolidRect(-50, -50, 500, 500, colour);
      }
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  } child;
  CFillWnd top;
  ASSERT_TRUE(top.Top(100, 100, kBlack));
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD, CRect(20, 30, 60, 80), &top, 1));
  Settle();
  child.ShowWindow(SW_SHOW);
  Settle();
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 20, 30), kRed);
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 59, 79), kRed);  // the child's last row
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 40, 29), kBlack);
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 40, 80), kBlack);
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 19, 50), kBlack);
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 60, 50), kBlack);

  // Only the invalidated part is painted, though the painter clips to bands
  // of the whole client.
  child.colour = kBlue;
  CRect part(0, 0, 40, 10);
  child.InvalidateRect(&part);
  Settle();
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 25, 35), kBlue);
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 25, 45), kRed);
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 25, 29), kBlack);
}

TEST(Paint, PixelsAfterPaintingMatchWhatWasDrawn) {
  class CPattern : public CWnd {
    void OnPaint() override {
      CPaintDC dc(this);
      dc.FillSolidRect(0, 0, 8, 8, RGB(10, 20, 30));
      dc.FillSolidRect(2, 2, 3, 2, RGB(200, 100, 50));
      dc.SetPixel(7, 7, RGB(1, 2, 3));
    }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 8, 8), nullptr, 0));
  Settle();
  std::vector<std::uint32_t> pixels;
  int w = 0, h = 0;
  ASSERT_TRUE(ui::ReadWindowPixels(wnd.m_hWnd, pixels, w, h));
  ASSERT_EQ(pixels.size(), 64u);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      std::uint32_t expected = 0x0A141E;
      if (x >= 2 && x < 5 && y >= 2 && y < 4) expected = 0xC86432;
      if (x == 7 && y == 7) expected = 0x010203;
      EXPECT_EQ(pixels[y * 8 + x], expected) << x << "," << y;
    }
  }
}

TEST(Paint, InvalidationFromAWorkerThreadIsPaintedOnTheWindowThread) {
  CFillWnd wnd;
  ASSERT_TRUE(wnd.Top(50, 50, kBlue));
  Settle();
  wnd.paints.clear();
  wnd.colour = kGreen;
  const HWND hwnd = wnd.m_hWnd;
  std::thread worker([hwnd] {
    RECT r{5, 5, 15, 15};
    InvalidateRect(hwnd, &r, FALSE);
  });
  worker.join();
  ui::RunMessageLoopUntil([&] { return !wnd.paints.empty(); }, 2000);
  ASSERT_EQ(wnd.paints.size(), 1u);
  EXPECT_EQ(wnd.paints[0], CRect(5, 5, 15, 15));
  EXPECT_EQ(ui::GetWindowPixel(hwnd, 5, 5), kGreen);
  EXPECT_EQ(ui::GetWindowPixel(hwnd, 20, 20), kBlue);
}

TEST(Paint, ClassBackgroundErasesAndResizeRepaintsTheNewSurface) {
  const char* cls = AfxRegisterWndClass(0, nullptr, kGreen);
  class CNoPaint : public CWnd {
    void OnPaint() override { CPaintDC dc(this); }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(0, 0, 20, 20), nullptr, 0));
  Settle();
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 10, 10), kGreen);
  ui::InjectResize(wnd.m_hWnd, 40, 30);
  Settle();
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 39, 29), kGreen);
}

}  // namespace

namespace {

TEST(Paint, ClientDCDrawsAtOnceClippedToTheVisibleAreaAndValidateCancelsPaint) {
  CFillWnd top, child;
  ASSERT_TRUE(top.Top(60, 60, kBlack));
  top.ModifyStyle(0, WS_CLIPCHILDREN);
  ASSERT_TRUE(child.Child(&top, CRect(10, 10, 30, 30), kGreen));
  Settle();
  {
    CClientDC dc(&top);
    dc.FillSolidRect(0, 0, 60, 60, kRed);
  }
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 5, 5), kRed);     // no paint round needed
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 15, 15), kGreen);  // the child is not drawn over
  top.paints.clear();
  top.Invalidate();
  CRect pending;
  EXPECT_TRUE(top.GetUpdateRect(&pending));
  EXPECT_EQ(pending, CRect(0, 0, 60, 60));
  top.ValidateRect(nullptr);
  EXPECT_FALSE(top.GetUpdateRect(&pending));
  Settle();
  EXPECT_TRUE(top.paints.empty());
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 5, 5), kRed);
  // UpdateWindow paints what waits at once.
  top.colour = kBlue;
  top.Invalidate();
  top.UpdateWindow();
  EXPECT_EQ(top.paints.size(), 1u);
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 5, 5), kBlue);
}

}  // namespace
