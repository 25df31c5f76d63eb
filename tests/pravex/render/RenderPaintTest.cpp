// Painting into a DC: fill when there is nothing, exact pixels at 1:1 with
// high quality on (one plain stretch), smooth bands when scaling.
#include <gtest/gtest.h>

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
