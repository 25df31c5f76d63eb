// Colour conversion, the 5-6-5 blend and mask planes blended into frames.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "sintra/overlay/OverlayBuffer.h"
#include "sintra/overlay/OverlayText.h"

namespace {

// A 16-bit top-down frame of w x h pixels filled with one value.
struct Frame {
  BITMAPINFO info{};
  std::vector<WORD> pixels;
  int stride;  // in pixels, even

  Frame(int w, int h, WORD fill) : stride((w + 1) / 2 * 2) {
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    pixels.assign(static_cast<size_t>(stride) * h, fill);
  }
  BYTE* Bits() { return reinterpret_cast<BYTE*>(pixels.data()); }
  WORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * stride + x]; }
};

// An overlay whose plane 2 is drawn by a callback; counts its renders.
class TestOverlay : public COverlayBuffer {
 public:
  explicit TestOverlay(std::function<void(CDC&, const CRect&, int)> draw) : COverlayBuffer(0x4), m_draw(std::move(draw)) {
    CreateHeader();
    SetRenderColor(Color16(RGB(255, 255, 255)));
  }
  void Render(const CRect& rect, const CRect&, int scale, int) override {
    ++renders;
    m_draw(*GetRenderDC(), rect, scale);
  }
  int renders = 0;

 private:
  std::function<void(CDC&, const CRect&, int)> m_draw;
};

int CountInk(COverlayBuffer& o, int plane) {
  const BYTE* bits = o.GetMask(plane);
  int n = 0;
  const int lineBytes = o.MaskLineWidth() / 8;
  for (int y = 0; y < o.GetMaskHeight(); ++y)
    for (int x = 0; x < o.GetMaskWidth(); ++x) n += !((bits[y * lineBytes + x / 8] >> (7 - x % 8)) & 1);
  return n;
}

}  // namespace

TEST(Color16, ConversionsAndComponents) {
  EXPECT_EQ(static_cast<WORD>(Color16(0x0000FF)), 0xF800);
  EXPECT_EQ(static_cast<WORD>(Color16(0x00FF00)), 0x07E0);
  EXPECT_EQ(static_cast<WORD>(Color16(0xFF0000)), 0x001F);
  EXPECT_EQ(static_cast<WORD>(Color16(0xFFFFFF)), 0xFFFF);
  const Color16 c(RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(c.GetRed(), 0x12);
  EXPECT_EQ(c.GetGreen(), 0x34);
  EXPECT_EQ(c.GetBlue(), 0x56);
  Color16 d;
  EXPECT_EQ(static_cast<WORD>(d), 0);
  d = DWORD{0x0000FF};
  EXPECT_EQ(d.GetColorRef(), 0x0000FFu);
}

TEST(Color16, BlendOfColoursByPercent) {
  Color16 mix;
  mix.Blend(Color16(RGB(200, 100, 0)), Color16(RGB(0, 0, 255)), 25);
  EXPECT_EQ(mix.GetColorRef(), RGB(50, 25, 191));
  EXPECT_EQ(mix.GetWColor(), static_cast<WORD>(((50 >> 3) << 11) | ((25 >> 2) << 5) | (191 >> 3)));
  mix.Blend(Color16(RGB(200, 100, 0)), Color16(RGB(0, 0, 255)), 250);  // held to 100
  EXPECT_EQ(mix.GetColorRef(), RGB(200, 100, 0));
}

TEST(Blend565, EdgeCases) {
  struct Case {
    WORD pixel;
    BYTE alpha;
    COLORREF colour;
    WORD expected;
  };
  const Case cases[] = {
      {0xFFFF, 255, RGB(0, 0, 0), 0xFFDF},      // the lowest green bit is lost
      {0xFFFF, 0, RGB(0, 0, 0), 0x0000},        // weight 0 writes the colour
      {0x1234, 0, RGB(255, 0, 0), 0xF800},
      {0x0000, 128, RGB(255, 255, 255), 0x7BEF},  // about half way
      {0xF800, 255, RGB(0, 0, 255), 0xF800},
  };
  for (const Case& c : cases) EXPECT_EQ(BlendPixel565(c.pixel, c.alpha, Color16(c.colour)), c.expected) << c.pixel;
}

TEST(OverlayBuffer, PolygonAndEllipseMasksHaveKnownInk) {
  TestOverlay poly([](CDC& dc, const CRect&, int) {
    dc.SelectStockObject(BLACK_BRUSH);
    const POINT pts[4] = {{1, 1}, {9, 1}, {9, 5}, {1, 5}};
    dc.Polygon(pts, 4);
  });
  Frame frame(12, 8, 0);
  poly.BlitBuffer(frame.Bits(), &frame.info, CRect(0, 0, 12, 8), CRect(0, 0, 12, 8), 0, 1);
  EXPECT_EQ(CountInk(poly, 2), 9 * 5);
  int written = 0;
  for (WORD p : frame.pixels) written += p == 0xFFFF;
  EXPECT_EQ(written, 9 * 5);

  TestOverlay ellipse([](CDC& dc, const CRect&, int) {
    dc.SelectStockObject(BLACK_BRUSH);
    dc.SelectStockObject(NULL_PEN);
    dc.Ellipse(0, 0, 9, 9);  // filled over (0,0)-(8,8): a disc of radius 4
  });
  ellipse.BlitBuffer(frame.Bits(), &frame.info, CRect(0, 0, 12, 8), CRect(0, 0, 12, 8), 0, 1);
  int centres = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) centres += (x + 0.5 - 4) * (x + 0.5 - 4) + (y + 0.5 - 4) * (y + 0.5 - 4) < 16;
  EXPECT_EQ(CountInk(ellipse, 2), centres);
}

TEST(OverlayBuffer, TwoByTwoAntiAliasingWeights) {
  // A vertical line one mask pixel wide at scale 2: half of each 2 x 2 block is ink.
  TestOverlay line([](CDC& dc, const CRect& rect, int scale) {
    dc.FillSolidRect(2, 0, 1, rect.Height() * scale, 0);
  });
  line.SetRenderColor(Color16(0));
  Frame frame(4, 2, 0xFFFF);
  const BYTE alpha = 100;
  line.BlitBuffer(frame.Bits(), &frame.info, CRect(0, 0, 4, 2), CRect(0, 0, 4, 2), alpha, 2);
  const BYTE half = static_cast<BYTE>(255 - (255 - alpha) * 2 / 4);
  EXPECT_EQ(frame.At(1, 0), BlendPixel565(0xFFFF, half, Color16(0)));
  EXPECT_EQ(frame.At(1, 1), BlendPixel565(0xFFFF, half, Color16(0)));
  EXPECT_EQ(frame.At(0, 0), 0xFFFF);
  EXPECT_EQ(frame.At(2, 0), 0xFFFF);
  // Full coverage at scale 2 gives exactly the weight alpha.
  TestOverlay block([](CDC& dc, const CRect&, int) { dc.PatBlt(0, 0, 2, 2, BLACKNESS); });
  block.SetRenderColor(Color16(0));
  Frame f2(2, 2, 0xFFFF);
  block.BlitBuffer(f2.Bits(), &f2.info, CRect(0, 0, 2, 2), CRect(0, 0, 2, 2), alpha, 2);
  EXPECT_EQ(f2.At(0, 0), BlendPixel565(0xFFFF, alpha, Color16(0)));
  EXPECT_EQ(f2.At(1, 0), 0xFFFF);
  // A quarter coverage lets three quarters of the pixel through even at alpha 0.
  TestOverlay dot([](CDC& dc, const CRect&, int) { dc.SetPixel(0, 0, 0); });
  dot.SetRenderColor(Color16(0));
  Frame f3(1, 1, 0xFFFF);
  dot.BlitBuffer(f3.Bits(), &f3.info, CRect(0, 0, 1, 1), CRect(0, 0, 1, 1), 0, 2);
  EXPECT_EQ(f3.At(0, 0), BlendPixel565(0xFFFF, 255 - 255 / 4, Color16(0)));
  EXPECT_EQ(f3.At(0, 0), 0xBDD7);
}

TEST(OverlayBuffer, MasksCachedOnMoveAndRenderedAgainOnResize) {
  TestOverlay o([](CDC& dc, const CRect& rect, int scale) {
    dc.PatBlt(0, 0, rect.Width() * scale, rect.Height() * scale, BLACKNESS);
  });
  Frame frame(40, 40, 0);
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(0, 0, 10, 10), CRect(0, 0, 40, 40), 0, 2);
  EXPECT_EQ(o.renders, 1);
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(5, 7, 15, 17), CRect(0, 0, 40, 40), 0, 2);  // moved
  EXPECT_EQ(o.renders, 1);
  EXPECT_EQ(frame.At(14, 16), 0xFFFF);
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(5, 7, 16, 17), CRect(0, 0, 40, 40), 0, 2);  // resized
  EXPECT_EQ(o.renders, 2);
  o.ClearBuffers();  // dropped on leaving the screen
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(5, 7, 16, 17), CRect(0, 0, 40, 40), 0, 2);
  EXPECT_EQ(o.renders, 3);
}

TEST(OverlayBuffer, ClipAndFrameEdgesLimitTheBlit) {
  TestOverlay o([](CDC& dc, const CRect& rect, int) { dc.PatBlt(0, 0, rect.Width(), rect.Height(), BLACKNESS); });
  Frame frame(6, 4, 0);
  // The object reaches outside the frame on every side; only the clip is written.
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(-3, -3, 9, 7), CRect(1, 1, 3, 2), 0, 1);
  int written = 0;
  for (WORD p : frame.pixels) written += p == 0xFFFF;
  EXPECT_EQ(written, 2);
  EXPECT_EQ(frame.At(1, 1), 0xFFFF);
  EXPECT_EQ(frame.At(2, 1), 0xFFFF);
}

TEST(OverlayBuffer, HugeObjectsAllocateNothingAndDrawNothing) {
  TestOverlay o([](CDC& dc, const CRect&, int) { dc.PatBlt(0, 0, 4, 4, BLACKNESS); });
  Frame frame(8, 8, 0);
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(0, 0, 20000, 20000), CRect(0, 0, 8, 8), 0, 2);
  EXPECT_EQ(o.renders, 0);
  EXPECT_EQ(o.GetMask(2), nullptr);
  for (WORD p : frame.pixels) EXPECT_EQ(p, 0);
  EXPECT_FALSE(o.Size(0, 5));
  EXPECT_FALSE(o.Size(-4, 5));
}

TEST(OverlayBuffer, PickLooksAroundThePoint) {
  TestOverlay o([](CDC& dc, const CRect&, int) { dc.SetPixel(10, 10, 0); });
  Frame frame(20, 20, 0);
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(0, 0, 20, 20), CRect(0, 0, 20, 20), 0, 1);
  EXPECT_TRUE(o.Pick(CPoint(10, 10)));
  EXPECT_TRUE(o.Pick(CPoint(13, 12)));   // x - 3, y - 2 reach the ink
  EXPECT_FALSE(o.Pick(CPoint(14, 10)));
  EXPECT_FALSE(o.Pick(CPoint(10, 8)));
  EXPECT_FALSE(o.Pick(CPoint(-50, 400)));  // clamped into the mask, far from ink
}

namespace {

// Rows of a plane holding ink.
std::vector<int> InkRows(COverlayBuffer& o, int plane) {
  std::vector<int> rows;
  const BYTE* bits = o.GetMask(plane);
  const int lineBytes = o.MaskLineWidth() / 8;
  for (int y = 0; y < o.GetMaskHeight(); ++y) {
    bool ink = false;
    for (int x = 0; x < o.GetMaskWidth() && !ink; ++x) ink = !((bits[y * lineBytes + x / 8] >> (7 - x % 8)) & 1);
    if (ink) rows.push_back(y);
  }
  return rows;
}

// Number of separate bands of ink rows.
int Bands(const std::vector<int>& rows) {
  int bands = 0;
  for (size_t i = 0; i < rows.size(); ++i) bands += i == 0 || rows[i] != rows[i - 1] + 1;
  return bands;
}

LOGFONTA TextFont(int height) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  std::strcpy(lf.lfFaceName, "Verdana");
  return lf;
}

}  // namespace

TEST(OverlayText, BreakMarkerGivesTwoLines) {
  CFont font;
  LOGFONTA lf = TextFont(-14);
  font.CreateFontIndirect(&lf);
  COverlayText one(&font, DT_CENTER | DT_WORDBREAK, 0, 0, 0, 0x4), two(&font, DT_CENTER | DT_WORDBREAK, 0, 0, 0, 0x4);
  for (COverlayText* t : {&one, &two}) {
    t->CreateHeader();
    ASSERT_TRUE(t->Size(200, -80));
  }
  one.Render("Hello World", 0, 0);
  two.Render("Hello[BREAK]World", 0, 0);
  EXPECT_EQ(Bands(InkRows(one, 2)), 1);
  EXPECT_EQ(Bands(InkRows(two, 2)), 2);
  EXPECT_GT(two.CalculateTextRect("A[BREAK]B").Height(), 0);
}

TEST(OverlayText, VerticalCentringAndBottomAlignmentOfSeveralLines) {
  CFont font;
  LOGFONTA lf = TextFont(-12);
  font.CreateFontIndirect(&lf);
  const DWORD formats[3] = {DT_CENTER, DT_CENTER | DT_VCENTER, DT_CENTER | DT_BOTTOM};
  std::vector<int> rows[3];
  for (int i = 0; i < 3; ++i) {
    COverlayText t(&font, formats[i], 0, 0, 0, 0x4);
    t.CreateHeader();
    ASSERT_TRUE(t.Size(120, -100));
    t.Render("Top[BREAK]Bottom", 0, 0);
    rows[i] = InkRows(t, 2);
    ASSERT_EQ(Bands(rows[i]), 2) << i;
  }
  EXPECT_LT(rows[0].front(), 10);
  const double middle = (rows[1].front() + rows[1].back()) / 2.0;
  EXPECT_NEAR(middle, 50, 5);
  EXPECT_GT(rows[2].back(), 90);
  // The same text keeps its shape wherever it is placed.
  EXPECT_EQ(rows[1].back() - rows[1].front(), rows[2].back() - rows[2].front());
}

TEST(OverlayText, SingleCentredLineForFormatMinusOne) {
  CFont font;
  LOGFONTA lf = TextFont(-16);
  font.CreateFontIndirect(&lf);
  COverlayText t(&font, static_cast<DWORD>(-1), 0, 0, 0, 0x4);
  t.CreateHeader();
  ASSERT_TRUE(t.Size(100, -40));
  t.Render("Mid", 0, 0);
  const auto rows = InkRows(t, 2);
  ASSERT_FALSE(rows.empty());
  EXPECT_NEAR((rows.front() + rows.back()) / 2.0, 20, 4);
}

TEST(OverlayBuffer, CopiesRenderTheirOwnMasks) {
  TestOverlay o([](CDC& dc, const CRect&, int) { dc.PatBlt(0, 0, 2, 2, BLACKNESS); });
  Frame frame(4, 4, 0);
  o.BlitBuffer(frame.Bits(), &frame.info, CRect(0, 0, 4, 4), CRect(0, 0, 4, 4), 0, 1);
  COverlayBuffer copy(o);
  EXPECT_EQ(copy.GetPlaneMask(), 0x4u);
  EXPECT_EQ(copy.GetMask(2), nullptr);
  EXPECT_TRUE(copy.Size(4, -4));
  EXPECT_TRUE(copy.StartRender());
  EXPECT_TRUE(copy.EndRender(2));
  o.CreateHeader();  // again after sizing: the header keeps the mask layout
  o.ClearBuffers();
  Frame fresh(4, 4, 0);
  o.BlitBuffer(fresh.Bits(), &fresh.info, CRect(0, 0, 4, 4), CRect(0, 0, 4, 4), 0, 1);
  EXPECT_EQ(CountInk(o, 2), 4);
  EXPECT_EQ(fresh.At(0, 0), 0xFFFF);  // still top-down
  EXPECT_EQ(fresh.At(0, 3), 0);
}
