#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "tests/platform/gfx/GfxTestUtil.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBackground = RGB(1, 2, 3);

// Cell colour of image i of the test strip.
COLORREF CellColour(int i) { return RGB(40 * i + 20, 200 - 30 * i, 7 * i); }

// A strip of `count` cells of 5 x 3 at `bits` per pixel; each cell is filled
// with its own colour except its middle column, which is magenta.
void MakeStrip(CBitmap& strip, int count, int bits) {
  ASSERT_TRUE(strip.CreateBitmap(5 * count, 3, 1, static_cast<UINT>(bits), nullptr));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap* old = dc.SelectObject(&strip);
  for (int i = 0; i < count; ++i) {
    dc.FillSolidRect(5 * i, 0, 5, 3, CellColour(i));
    dc.FillSolidRect(5 * i + 2, 0, 1, 3, kMagenta);
  }
  dc.SelectObject(old);
}

TEST(ImageList, DrawsExactlyTheCellAskedForAndMaskedPixelsKeepTheBackground) {
  for (int bits : {24, 16}) {
    SCOPED_TRACE(bits);
    CBitmap strip;
    MakeStrip(strip, 4, bits);
    CImageList list;
    ASSERT_TRUE(list.Create(5, 3, ILC_COLOR24 | ILC_MASK, 4, 4));
    EXPECT_EQ(list.Add(&strip, kMagenta), 0);
    EXPECT_EQ(list.GetImageCount(), 4);
    gfxtest::MemoryCanvas canvas(9, 5, 32);
    canvas.dc.FillSolidRect(0, 0, 9, 5, kBackground);
    EXPECT_TRUE(list.Draw(&canvas.dc, 3, CPoint(2, 1), ILD_TRANSPARENT));
    const COLORREF cell = canvas.dc.GetPixel(2, 1);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 9; ++x) {
        const bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
        const COLORREF want = (!inside || x == 4) ? kBackground : cell;
        EXPECT_EQ(canvas.dc.GetPixel(x, y), want) << x << "," << y;
      }
    }
    // The colour is cell 3's own (as the bitmap's depth keeps it), not a neighbour's.
    if (bits == 24) {
      EXPECT_EQ(cell, CellColour(3));
    }
    EXPECT_NE(cell, canvas.dc.GetPixel(0, 0));
  }
}

// The player's digit strip: image 3 is exactly the strip's fourth cell, and
// the cell's mask-coloured pixels keep what was under them.
TEST(ImageList, ImageThreeOfTheDigitStripDrawsThatCellOverTheBackground) {
  CBitmap strip;
  ASSERT_TRUE(strip.LoadBitmap(7027));
  ASSERT_EQ(strip.GetWidth(), 160);
  ASSERT_EQ(strip.GetHeight(), 17);
  CImageList list;
  ASSERT_TRUE(list.Create(10, 17, ILC_COLOR24 | ILC_MASK, 16, 4));
  ASSERT_EQ(list.Add(&strip, kMagenta), 0);
  EXPECT_EQ(list.GetImageCount(), 16);
  CDC source;
  ASSERT_TRUE(source.CreateCompatibleDC(nullptr));
  CBitmap* old = source.SelectObject(&strip);
  gfxtest::MemoryCanvas canvas(14, 21, 32);
  canvas.dc.FillSolidRect(0, 0, 14, 21, kBackground);
  ASSERT_TRUE(list.Draw(&canvas.dc, 3, CPoint(2, 2), ILD_TRANSPARENT));
  int masked = 0, drawn = 0;
  for (int y = 0; y < 21; ++y) {
    for (int x = 0; x < 14; ++x) {
      COLORREF want = kBackground;
      if (x >= 2 && x < 12 && y >= 2 && y < 19) {
        const COLORREF cell = source.GetPixel(30 + x - 2, y - 2);
        if (cell == kMagenta) {
          ++masked;
        } else {
          ++drawn;
          want = cell;
        }
      }
      EXPECT_EQ(canvas.dc.GetPixel(x, y), want) << x << "," << y;
    }
  }
  EXPECT_GT(masked, 0);
  EXPECT_GT(drawn, 0);
  source.SelectObject(old);
}

TEST(ImageList, OutOfRangeIndexesDrawNothingAndUnmaskedListsDrawEveryPixel) {
  CBitmap strip;
  MakeStrip(strip, 2, 24);
  CImageList masked, plain;
  ASSERT_TRUE(masked.Create(5, 3, ILC_COLOR24 | ILC_MASK, 0, 1));
  ASSERT_TRUE(plain.Create(5, 3, ILC_COLOR24, 0, 1));
  ASSERT_EQ(masked.Add(&strip, kMagenta), 0);
  ASSERT_EQ(plain.Add(&strip, kMagenta), 0);
  ASSERT_EQ(masked.Add(&strip, kMagenta), 2);  // appended after the first two
  gfxtest::MemoryCanvas canvas(5, 3, 32);
  canvas.dc.FillSolidRect(0, 0, 5, 3, kBackground);
  EXPECT_FALSE(masked.Draw(&canvas.dc, 4, CPoint(0, 0), ILD_NORMAL));
  EXPECT_FALSE(masked.Draw(&canvas.dc, -1, CPoint(0, 0), ILD_NORMAL));
  for (int x = 0; x < 5; ++x) EXPECT_EQ(canvas.dc.GetPixel(x, 1), kBackground);
  EXPECT_TRUE(plain.Draw(&canvas.dc, 1, CPoint(0, 0), ILD_NORMAL));
  EXPECT_EQ(canvas.dc.GetPixel(2, 1), kMagenta);
  EXPECT_EQ(canvas.dc.GetPixel(0, 1), CellColour(1));
  // A background colour fills the masked pixels of a normal draw.
  masked.SetBkColor(RGB(9, 9, 9));
  EXPECT_TRUE(masked.Draw(&canvas.dc, 0, CPoint(0, 0), ILD_NORMAL));
  EXPECT_EQ(canvas.dc.GetPixel(2, 1), RGB(9, 9, 9));
}

TEST(ImageList, RejectsBadSizesAndStripsNarrowerThanACell) {
  CImageList list;
  EXPECT_FALSE(list.Create(0, 3, ILC_COLOR24, 0, 1));
  EXPECT_FALSE(list.Create(5, 100000, ILC_COLOR24, 0, 1));
  ASSERT_TRUE(list.Create(8, 3, ILC_COLOR24 | ILC_MASK, 0, 1));
  CBitmap narrow;
  MakeStrip(narrow, 1, 24);  // 5 pixels wide
  EXPECT_EQ(list.Add(&narrow, kMagenta), -1);
  EXPECT_EQ(list.Add(nullptr, kMagenta), -1);
  EXPECT_EQ(list.GetImageCount(), 0);
}

}  // namespace
