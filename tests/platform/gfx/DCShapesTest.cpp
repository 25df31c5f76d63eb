// Polygons, ellipses, lines, raster operations, regions and clipping, edges.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/gfx/GfxTestUtil.h"

using gfxtest::InkCount;
using gfxtest::MaskRows;
using gfxtest::MemoryCanvas;

namespace {

// Pixel centres strictly inside an axis-aligned ellipse.
int EllipseCentres(double cx, double cy, double rx, double ry, int w, int h) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      n += dx * dx + dy * dy < 1.0;
    }
  return n;
}

void Paper(MemoryCanvas& c) { c.dc.PatBlt(0, 0, c.width, c.height, WHITENESS); }

}  // namespace

TEST(DCShapes, PolygonMaskInkCounts) {
  MemoryCanvas c(16, 16, 1);
  Paper(c);
  c.dc.SelectStockObject(BLACK_BRUSH);
  const POINT square[4] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
  c.dc.Polygon(square, 4);
  EXPECT_EQ(InkCount(c), 11 * 11);  // the outline covers the far edges too
  Paper(c);
  c.dc.SelectStockObject(NULL_PEN);
  c.dc.Polygon(square, 4);
  EXPECT_EQ(InkCount(c), 10 * 10);
  // A self-crossing star: winding fills its centre, alternate leaves it out.
  const POINT star[5] = {{8, 0}, {13, 15}, {0, 5}, {16, 5}, {3, 15}};
  Paper(c);
  c.dc.SetPolyFillMode(WINDING);
  c.dc.Polygon(star, 5);
  const int winding = InkCount(c);
  Paper(c);
  c.dc.SetPolyFillMode(ALTERNATE);
  c.dc.Polygon(star, 5);
  EXPECT_GT(winding, InkCount(c) + 10);
}

TEST(DCShapes, EllipseMaskInkCountMatchesPixelCentres) {
  MemoryCanvas c(24, 16, 1);
  Paper(c);
  c.dc.SelectStockObject(BLACK_BRUSH);
  c.dc.SelectStockObject(NULL_PEN);
  c.dc.Ellipse(2, 2, 23, 15);  // filled over (2,2)-(22,14) without a pen
  EXPECT_EQ(InkCount(c), EllipseCentres(12, 8, 10, 6, 24, 16));
  EXPECT_EQ(MaskRows(c)[8].substr(0, 4), "..##");
}

TEST(DCShapes, LinesLeaveOutTheirEndPoint) {
  MemoryCanvas c(6, 4, 1);
  Paper(c);
  c.dc.MoveTo(0, 0);
  c.dc.LineTo(4, 0);
  c.dc.LineTo(4, 3);
  const std::vector<std::string> expected = {"#####.", "....#.", "....#.", "......"};
  EXPECT_EQ(MaskRows(c), expected);
  EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(4, 3));
}

TEST(DCShapes, WidePenIsCentredOnTheLine) {
  MemoryCanvas c(9, 9, 1);
  Paper(c);
  CPen pen(PS_SOLID, 3, 0);
  c.dc.SelectObject(&pen);
  c.dc.MoveTo(1, 4);
  c.dc.LineTo(7, 4);
  const auto rows = MaskRows(c);
  EXPECT_EQ(rows[2], ".........");
  EXPECT_EQ(rows[3].substr(2, 5), "#####");
  EXPECT_EQ(rows[4].substr(2, 5), "#####");
  EXPECT_EQ(rows[5].substr(2, 5), "#####");
  EXPECT_EQ(rows[6], ".........");
}

TEST(DCShapes, NotRasterOperationInvertsUnderThePen) {
  MemoryCanvas c(4, 1, 32);
  c.dc.FillSolidRect(0, 0, 4, 1, RGB(0, 255, 16));
  c.dc.SetROP2(R2_NOT);
  c.dc.MoveTo(0, 0);
  c.dc.LineTo(2, 0);
  EXPECT_EQ(c.dc.GetPixel(0, 0), RGB(255, 0, 239));
  EXPECT_EQ(c.dc.GetPixel(1, 0), RGB(255, 0, 239));
  EXPECT_EQ(c.dc.GetPixel(2, 0), RGB(0, 255, 16));
  // Twice gives the original back (rubber bands rely on it).
  c.dc.SelectStockObject(NULL_BRUSH);
  CPen thick(PS_SOLID, 3, 0);
  c.dc.SelectObject(&thick);
  c.dc.Rectangle(0, 0, 4, 1);
  c.dc.Rectangle(0, 0, 4, 1);
  EXPECT_EQ(c.dc.GetPixel(3, 0), RGB(0, 255, 16));
  // An xor brush fill inside a clip: only the clipped part changes.
  MemoryCanvas d(6, 6, 32);
  d.dc.FillSolidRect(0, 0, 6, 6, RGB(0x0F, 0xF0, 0x55));
  d.dc.SetROP2(R2_XORPEN);
  d.dc.SelectStockObject(NULL_PEN);
  CBrush brush(RGB(0xFF, 0x0F, 0x05));
  d.dc.SelectObject(&brush);
  d.dc.IntersectClipRect(0, 0, 3, 6);
  const POINT square[4] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
  d.dc.Polygon(square, 4);
  EXPECT_EQ(d.dc.GetPixel(2, 2), RGB(0xF0, 0xFF, 0x50));
  EXPECT_EQ(d.dc.GetPixel(4, 2), RGB(0x0F, 0xF0, 0x55));  // clipped away
  EXPECT_EQ(d.dc.GetPixel(0, 0), RGB(0x0F, 0xF0, 0x55));
}

TEST(DCShapes, ClipRegionsLimitDrawingAndGetClipBox) {
  MemoryCanvas c(10, 10, 1);
  Paper(c);
  CRgn rect;
  rect.CreateRectRgn(2, 2, 6, 5);
  EXPECT_EQ(c.dc.SelectClipRgn(&rect), SIMPLEREGION);
  RECT box;
  EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(CRect(box), CRect(2, 2, 6, 5));
  c.dc.PatBlt(0, 0, 10, 10, BLACKNESS);
  EXPECT_EQ(InkCount(c), 4 * 3);
  // A triangle region (no pixel centre on its slanted edge): only pixel centres inside it.
  Paper(c);
  const POINT tri[3] = {{0, 0}, {8, 0}, {0, 7}};
  CRgn poly;
  ASSERT_TRUE(poly.CreatePolygonRgn(tri, 3, WINDING));
  EXPECT_TRUE(poly.PtInRegion(1, 1));
  EXPECT_FALSE(poly.PtInRegion(7, 7));
  EXPECT_EQ(c.dc.SelectClipRgn(&poly), COMPLEXREGION);
  c.dc.PatBlt(0, 0, 10, 10, BLACKNESS);
  EXPECT_EQ(MaskRows(c)[0], "#######...");
  EXPECT_EQ(MaskRows(c)[5], "##........");
  EXPECT_EQ(MaskRows(c)[6], "#.........");
  c.dc.SelectClipRgn(nullptr);
  EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(CRect(box), CRect(0, 0, 10, 10));
}

TEST(DCShapes, RegionCombinations) {
  CRgn a, b, r;
  a.CreateRectRgn(0, 0, 4, 4);
  b.CreateRectRgn(2, 2, 6, 6);
  r.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(r.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  RECT box;
  r.GetRgnBox(&box);
  EXPECT_EQ(CRect(box), CRect(2, 2, 4, 4));
  EXPECT_EQ(r.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(r.PtInRegion(5, 5));
  EXPECT_FALSE(r.PtInRegion(5, 0));
  EXPECT_EQ(r.CombineRgn(&a, &a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(r.CombineRgn(&a, nullptr, RGN_AND), RGN_ERROR);
}

TEST(DCShapes, SaveAndRestoreKeepObjectsAndClip) {
  MemoryCanvas c(4, 4, 32);
  CBrush red(RGB(255, 0, 0));
  CBrush* original = c.dc.SelectObject(&red);
  const int level = c.dc.SaveDC();
  c.dc.SelectStockObject(BLACK_BRUSH);
  c.dc.IntersectClipRect(0, 0, 1, 1);
  c.dc.SetTextColor(RGB(1, 2, 3));
  EXPECT_TRUE(c.dc.RestoreDC(level));
  EXPECT_EQ(c.dc.GetCurrentBrush(), &red);
  EXPECT_EQ(c.dc.GetTextColor(), 0u);
  RECT box;
  c.dc.GetClipBox(&box);
  EXPECT_EQ(CRect(box), CRect(0, 0, 4, 4));
  EXPECT_FALSE(c.dc.RestoreDC(level));  // already gone
  EXPECT_EQ(original, GetStockObject(WHITE_BRUSH));
}

TEST(DCShapes, DrawEdgeRaisedAndSunken) {
  MemoryCanvas c(4, 4, 32);
  CRect r(0, 0, 4, 4);
  c.dc.DrawEdge(&r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  EXPECT_EQ(c.dc.GetPixel(0, 0), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(c.dc.GetPixel(3, 3), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.dc.GetPixel(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.dc.GetPixel(2, 2), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(r, CRect(2, 2, 2, 2));
  CRect s(0, 0, 4, 4);
  c.dc.DrawEdge(&s, EDGE_SUNKEN, BF_BOTTOM);
  EXPECT_EQ(c.dc.GetPixel(1, 3), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.dc.GetPixel(1, 2), GetSysColor(COLOR_3DLIGHT));
}

TEST(DCShapes, ViewportOriginMovesDrawingAndClipBox) {
  MemoryCanvas c(6, 6, 1);
  Paper(c);
  c.dc.SetViewportOrg(2, 3);
  c.dc.PatBlt(0, 0, 1, 1, BLACKNESS);
  EXPECT_EQ(MaskRows(c)[3], "..#...");
  RECT box;
  c.dc.GetClipBox(&box);
  EXPECT_EQ(CRect(box), CRect(-2, -3, 4, 3));
}

TEST(DCShapes, BlendSolidRectMixesWithinTheClip) {
  MemoryCanvas c(8, 4, 32);
  c.dc.FillSolidRect(0, 0, 8, 4, RGB(200, 100, 0));
  CRgn clip;
  clip.CreateRectRgn(0, 0, 6, 4);
  c.dc.SelectClipRgn(&clip);
  const CRect panel(2, 0, 8, 4);
  c.dc.BlendSolidRect(&panel, RGB(0, 0, 100), 128);
  // Half of each: about (100, 50, 50), only inside both the panel and the clip.
  const COLORREF mixed = c.dc.GetPixel(3, 1);
  EXPECT_NEAR(GetRValue(mixed), 100, 1);
  EXPECT_NEAR(GetGValue(mixed), 50, 1);
  EXPECT_NEAR(GetBValue(mixed), 50, 1);
  EXPECT_EQ(c.dc.GetPixel(1, 1), RGB(200, 100, 0));
  EXPECT_EQ(c.dc.GetPixel(6, 1), RGB(200, 100, 0));
  // Nothing at zero opacity, the colour itself at full.
  c.dc.BlendSolidRect(&panel, RGB(0, 255, 0), 0);
  EXPECT_EQ(c.dc.GetPixel(3, 1), mixed);
  c.dc.BlendSolidRect(&panel, RGB(0, 255, 0), 255);
  EXPECT_EQ(c.dc.GetPixel(3, 1), RGB(0, 255, 0));
}
