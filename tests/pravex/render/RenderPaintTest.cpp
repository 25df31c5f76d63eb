// Painting into a DC: fill when there is nothing, exact pixels at 1:1 with
// high quality on (one plain stretch), smooth bands when scaling.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "tests/pravex/render/RenderTestUtil.h"

using namespace rendertest;

namespace {

struct Canvas {
  CDC dc;
  CBitmap bitmap;
  Canvas(int w, int h) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(w, h, 1, 32, nullptr);
    dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, w, h, RGB(1, 2, 3));
  }
};

}  // namespace

TEST(RenderPaint, NothingToShowFillsOrLeavesAlone) {
  CTestRenderer r;
  r.ClearPreview();
  Canvas c(10, 10);
  EXPECT_EQ(r.Paint(c.dc, CRect(0, 0, 10, 10), CRect(0, 0, 10, 10), 0xFFFFFFFFul), 0);
  EXPECT_EQ(c.dc.GetPixel(5, 5), RGB(1, 2, 3));
  EXPECT_EQ(r.Paint(c.dc, CRect(0, 0, 10, 10), CRect(2, 2, 4, 4), RGB(200, 0, 0)), 0);
  EXPECT_EQ(c.dc.GetPixel(3, 3), RGB(200, 0, 0));
  EXPECT_EQ(c.dc.GetPixel(5, 5), RGB(1, 2, 3));
}

TEST(RenderPaint, PaintsTheComposedPictureAtAndAboveItsSize) {
  CTestRenderer r;
  r.vars.SetCursorDisplay(0);
  r.ClearPreview();
  auto pixels = FlatPicture(8, 6, 16, 0xF800);
  pixels[0] = 0x1F;  // pixel (0, 0) blue
  pixels[1] = 0x00;
  r.WriteCaptureData(ScreenRecord(pixels, 8, 6, 16, CRect(0, 0, 8, 6)));
  Canvas same(8, 6);
  EXPECT_EQ(r.Paint(same.dc, CRect(0, 0, 8, 6), CRect(0, 0, 8, 6), 0xFFFFFFFFul), 1);
  EXPECT_EQ(same.dc.GetPixel(0, 0) & 0xFF0000, 0xFF0000u & RGB(0, 0, 255));
  EXPECT_EQ(same.dc.GetPixel(7, 5) & 0xFF, 0xFFu);
  Canvas twice(16, 12);
  EXPECT_EQ(r.Paint(twice.dc, CRect(0, 0, 16, 12), CRect(0, 0, 16, 12), 0xFFFFFFFFul), 1);
  EXPECT_GT(twice.dc.GetPixel(12, 8) & 0xFF, 0xF0u);  // red everywhere but the corner
  EXPECT_GT((twice.dc.GetPixel(0, 0) >> 16) & 0xFF, 0x80u);
}

TEST(RenderPaint, SmoothPaintInSeveralBandsMatchesOneStretch) {
  // A client 1100 pixels wide paints in bands of 100000 / 1100 = 90 rows:
  // three bands over 200 rows, which must join without a seam.
  constexpr int kW = 40, kH = 30, kCw = 1100, kCh = 200;
  CTestRenderer r;
  r.vars.SetCursorDisplay(0);
  r.vars.SetHighQualityReplay(1);
  r.ClearPreview();
  std::vector<BYTE> pixels(static_cast<size_t>(kW) * kH * 2);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      // Gentle slopes: the bands may sample a hair apart, which must not show.
      const WORD v = static_cast<WORD>(((6 * x) & 0xF8) << 8 | ((8 * y) >> 2) << 5 | ((x + y) / 3));
      pixels[static_cast<size_t>(2 * (y * kW + x))] = static_cast<BYTE>(v);
      pixels[static_cast<size_t>(2 * (y * kW + x) + 1)] = static_cast<BYTE>(v >> 8);
    }
  r.WriteCaptureData(ScreenRecord(pixels, kW, kH, 16, CRect(0, 0, kW, kH)));
  Canvas banded(kCw, kCh);
  ASSERT_EQ(r.Paint(banded.dc, CRect(0, 0, kCw, kCh), CRect(0, 0, kCw, kCh), 0xFFFFFFFFul), 1);
  Canvas whole(kCw, kCh);
  const unsigned char* picture = r.ComposeAll();
  ASSERT_NE(picture, nullptr);
  whole.dc.SetStretchBltMode(HALFTONE);
  whole.dc.SetBrushOrg(0, 0);
  whole.dc.StretchDIBits(0, 0, kCw, kCh, 0, 0, kW, kH, picture, &r.GetPictureInfo(), DIB_RGB_COLORS, SRCCOPY);
  // Each band converts and samples only its own source rows; Cairo's
  // fixed-point sampling may then land one level apart, never further (a
  // seam of padded or missing rows would).
  int compared = 0, equal = 0, far = 0;
  for (int y = 0; y < kCh; ++y)
    for (int x = 0; x < kCw; x += (y % 90 < 3 || y % 90 > 86) ? 1 : 37) {
      const COLORREF a = banded.dc.GetPixel(x, y), b = whole.dc.GetPixel(x, y);
      ++compared;
      equal += a == b;
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 1) ++far;
    }
  EXPECT_EQ(far, 0);
  EXPECT_GT(equal, compared * 3 / 4);
  // Smooth: neighbouring output pixels inside one source pixel differ.
  EXPECT_NE(banded.dc.GetPixel(300, 100), banded.dc.GetPixel(300 + 13, 100));
}
