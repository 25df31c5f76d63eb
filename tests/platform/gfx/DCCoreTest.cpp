// Memory contexts, fills, rectangles, block transfers and DIB painting.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/platform/gfx/GfxTestUtil.h"

using gfxtest::MaskRows;
using gfxtest::Header565;
using gfxtest::MemoryCanvas;


TEST(DCCore, FillRectAndPixelsOnColourBitmap) {
  MemoryCanvas c(6, 4, 32);
  CBrush red(RGB(255, 0, 0));
  const CRect r(1, 1, 4, 3);
  c.dc.FillRect(&r, &red);
  EXPECT_EQ(c.dc.GetPixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.dc.GetPixel(3, 2), RGB(255, 0, 0));
  EXPECT_EQ(c.dc.GetPixel(4, 2), 0u);  // right edge excluded
  EXPECT_EQ(c.dc.GetPixel(0, 0), 0u);
}

TEST(DCCore, MonochromeMaskRectangleWithPenAndWithout) {
  MemoryCanvas c(8, 6, 1);
  c.dc.PatBlt(0, 0, 8, 6, WHITENESS);
  c.dc.SelectStockObject(BLACK_BRUSH);
  c.dc.Rectangle(1, 1, 5, 4);  // black pen: pixels 1..4 x 1..3
  c.dc.SelectStockObject(NULL_PEN);
  c.dc.Rectangle(6, 1, 8, 4);  // no pen: one pixel smaller each way
  const std::vector<std::string> expected = {
      "........", ".####.#.", ".####.#.", ".####...", "........", "........"};
  EXPECT_EQ(MaskRows(c), expected);
}

// Block fills write whole bytes of a mask between partial ones: the pixels
// just outside the block keep their value whatever the byte boundaries.
TEST(DCCore, PatBltFillsExactlyItsBlockAtEveryDepth) {
  for (const int bits : {1, 16, 32}) {
    SCOPED_TRACE(bits);
    MemoryCanvas c(40, 3, bits);
    c.dc.PatBlt(0, 0, 40, 3, WHITENESS);
    c.dc.PatBlt(3, 1, 30, 1, BLACKNESS);  // from inside one byte to inside another
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 40; ++x) {
        const bool black = y == 1 && x >= 3 && x < 33;
        ASSERT_EQ(c.dc.GetPixel(x, y), black ? RGB(0, 0, 0) : RGB(255, 255, 255)) << x << "," << y;
      }
    }
    c.dc.PatBlt(8, 0, 16, 3, DSTINVERT);  // reads the destination: byte-aligned run
    EXPECT_EQ(c.dc.GetPixel(8, 1), RGB(255, 255, 255));
    EXPECT_EQ(c.dc.GetPixel(8, 0), RGB(0, 0, 0));
    EXPECT_EQ(c.dc.GetPixel(24, 0), RGB(255, 255, 255));
  }
}

TEST(DCCore, HollowRectangleDrawsOnlyTheFrame) {
  MemoryCanvas c(6, 5, 1);
  c.dc.PatBlt(0, 0, 6, 5, WHITENESS);
  c.dc.SelectStockObject(NULL_BRUSH);
  c.dc.Rectangle(0, 0, 5, 4);
  const std::vector<std::string> expected = {"#####.", "#...#.", "#...#.", "#####.", "......"};
  EXPECT_EQ(MaskRows(c), expected);
}

TEST(DCCore, GetDIBitsOfMonochromeIsTopDownMsbFirstZeroIsBlack) {
  MemoryCanvas c(40, 2, 1);
  c.dc.PatBlt(0, 0, 40, 2, WHITENESS);
  c.dc.SetPixel(0, 0, 0);   // ink at the first pixel of row 0
  c.dc.SetPixel(9, 1, 0);   // ink at bit 6 of byte 1 of row 1
  c.dc.SetPixel(39, 1, 0);  // last pixel of the second 32-bit word
  long stride = 0;
  const auto bits = gfxtest::MonoBits(c.dc, c.bitmap, 40, 2, &stride);
  ASSERT_EQ(stride, 8);
  EXPECT_EQ(bits[0], 0x7F);
  EXPECT_EQ(bits[1], 0xFF);
  EXPECT_EQ(bits[8 + 1], 0xBF);
  EXPECT_EQ(bits[8 + 4], 0xFE);
}

TEST(DCCore, BitBltRasterOperations) {
  struct Case {
    DWORD rop;
    COLORREF dest;
    COLORREF expected;
  };
  const COLORREF src = RGB(0xF0, 0x0F, 0x33);
  const Case cases[] = {
      {SRCCOPY, RGB(1, 2, 3), src},
      {SRCAND, RGB(0xFF, 0xFF, 0x0F), RGB(0xF0, 0x0F, 0x03)},
      {SRCPAINT, RGB(0x0F, 0x00, 0x0C), RGB(0xFF, 0x0F, 0x3F)},
      {SRCINVERT, RGB(0xFF, 0xFF, 0xFF), RGB(0x0F, 0xF0, 0xCC)},
      {DSTINVERT, RGB(0x00, 0x80, 0xFF), RGB(0xFF, 0x7F, 0x00)},
      {BLACKNESS, RGB(9, 9, 9), 0},
      {WHITENESS, RGB(9, 9, 9), RGB(255, 255, 255)},
  };
  for (const Case& k : cases) {
    MemoryCanvas from(2, 2, 32), to(3, 3, 32);
    from.dc.FillSolidRect(0, 0, 2, 2, src);
    to.dc.FillSolidRect(0, 0, 3, 3, k.dest);
    to.dc.BitBlt(1, 1, 2, 2, &from.dc, 0, 0, k.rop);
    EXPECT_EQ(to.dc.GetPixel(2, 2), k.expected) << std::hex << k.rop;
    EXPECT_EQ(to.dc.GetPixel(0, 0), k.dest) << std::hex << k.rop;
  }
}

TEST(DCCore, BitBltBetweenMonoAndColourUsesTextAndBackgroundColours) {
  MemoryCanvas mask(2, 1, 1), colour(2, 1, 32);
  mask.dc.PatBlt(0, 0, 2, 1, WHITENESS);
  mask.dc.SetPixel(0, 0, 0);
  colour.dc.SetTextColor(RGB(10, 20, 30));
  colour.dc.SetBkColor(RGB(200, 100, 50));
  colour.dc.BitBlt(0, 0, 2, 1, &mask.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(colour.dc.GetPixel(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(colour.dc.GetPixel(1, 0), RGB(200, 100, 50));
  // Back to a mask: the background colour is paper, anything else ink.
  MemoryCanvas back(2, 1, 1);
  back.dc.SetBkColor(RGB(200, 100, 50));
  back.dc.BitBlt(0, 0, 2, 1, &colour.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(MaskRows(back)[0], "#.");
}

TEST(DCCore, StretchDIBitsOneToOneIsExactFromEitherRowOrder) {
  const int w = 3, h = 2;
  // Rows of an even pixel count: 4 pixels x 2 bytes per row.
  const WORD top[4] = {0xF800, 0x07E0, 0x001F, 0}, bottom[4] = {0xFFFF, 0x0000, 0x8410, 0};
  std::vector<WORD> topDown(top, top + 4), bottomUp(bottom, bottom + 4);
  topDown.insert(topDown.end(), bottom, bottom + 4);
  bottomUp.insert(bottomUp.end(), top, top + 4);
  for (int order = 0; order < 2; ++order) {
    MemoryCanvas c(3, 2, 32);
    BITMAPINFO info = Header565(w, order == 0 ? -h : h);
    const int rows = c.dc.StretchDIBits(0, 0, w, h, 0, 0, w, h, order == 0 ? topDown.data() : bottomUp.data(),
                                        &info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(rows, h);
    EXPECT_EQ(c.dc.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(c.dc.GetPixel(1, 0), RGB(0, 255, 0));
    EXPECT_EQ(c.dc.GetPixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(c.dc.GetPixel(0, 1), RGB(255, 255, 255));
    EXPECT_EQ(c.dc.GetPixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(c.dc.GetPixel(2, 1), RGB(0x84, 0x82, 0x84));  // bits repeated into the low bits
  }
}

TEST(DCCore, StretchDIBitsRejectsBadHeadersAndShortImages) {
  MemoryCanvas c(4, 4, 32);
  WORD pixels[16] = {};
  BITMAPINFO info = Header565(4, 4);
  info.bmiHeader.biBitCount = 12;
  EXPECT_EQ(c.dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, pixels, &info, DIB_RGB_COLORS, SRCCOPY), 0);
  info = Header565(4, 4);
  info.bmiHeader.biSizeImage = 8;  // smaller than the rows need
  EXPECT_EQ(c.dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, pixels, &info, DIB_RGB_COLORS, SRCCOPY), 0);
  info = Header565(0, 4);
  EXPECT_EQ(c.dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, pixels, &info, DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(DCCore, AttachPixelsDrawsIntoTheCallersBufferWithinItsArea) {
  std::vector<std::uint32_t> pixels(8 * 4, 0);
  CDC dc;
  const RECT area{2, 1, 6, 3};
  ASSERT_TRUE(dc.AttachPixels(pixels.data(), 8, 4, 8 * 4, &area));
  EXPECT_EQ(dc.GetSurfaceSize(), CSize(4, 2));
  const CRect everything(-10, -10, 100, 100);
  dc.FillSolidRect(&everything, RGB(0, 0, 255));
  dc.Flush();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 1 && y < 3;
      EXPECT_EQ(pixels[y * 8 + x] & 0xFFFFFF, inside ? 0x0000FFu : 0u) << x << "," << y;
    }
  EXPECT_FALSE(dc.AttachPixels(pixels.data(), 8, 4, 7, nullptr));  // pitch too small
}
