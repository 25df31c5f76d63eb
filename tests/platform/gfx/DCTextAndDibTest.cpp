// Text through fonts and DrawText formats; scaled DIB painting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/platform/gfx/GfxTestUtil.h"

using gfxtest::MaskRows;
using gfxtest::Header565;
using gfxtest::MemoryCanvas;

namespace {

LOGFONTA Face(const char* name, int height) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  std::strncpy(lf.lfFaceName, name, LF_FACESIZE - 1);
  return lf;
}

// First and last rows (and columns) holding ink; -1 when none.
struct InkBox {
  int top = -1, bottom = -1, left = -1, right = -1;
};

InkBox Ink(MemoryCanvas& c) {
  InkBox b;
  const auto rows = MaskRows(c);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      if (rows[y][x] != '#') continue;
      if (b.top < 0) b.top = y;
      b.bottom = y;
      if (b.left < 0 || x < b.left) b.left = x;
      if (x > b.right) b.right = x;
    }
  return b;
}

}  // namespace

TEST(DCText, FontHeightsFollowTheLogFontSign) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont cell, character;
  LOGFONTA a = Face("Verdana", 20), b = Face("Arial", -20);
  cell.CreateFontIndirect(&a);
  character.CreateFontIndirect(&b);
  TEXTMETRICA m{};
  dc.SelectObject(&cell);
  dc.GetTextMetrics(&m);
  EXPECT_NEAR(m.tmHeight, 20, 1);
  dc.SelectObject(&character);
  dc.GetTextMetrics(&m);
  EXPECT_GT(m.tmHeight, 21);  // character height plus internal leading
  LOGFONTA back{};
  character.GetLogFont(&back);
  EXPECT_STREQ(back.lfFaceName, "Arial");
}

TEST(DCText, CalcRectMeasuresLinesAndWrapping) {
  MemoryCanvas c(200, 100, 1);
  CFont font;
  LOGFONTA lf = Face("Verdana", -12);
  font.CreateFontIndirect(&lf);
  c.dc.SelectObject(&font);
  CRect one(0, 0, 200, 100);
  const int h1 = c.dc.DrawText("Hello", -1, &one, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_GT(h1, 10);
  EXPECT_EQ(one.Height(), h1);
  EXPECT_EQ(one.Width(), c.dc.GetTextExtent("Hello", 5).cx);
  CRect two(0, 0, 200, 100);
  EXPECT_EQ(c.dc.DrawText("Hello\r\nWorld", -1, &two, DT_CALCRECT), 2 * h1);
  CRect narrow(0, 0, 50, 100);
  EXPECT_GE(c.dc.DrawText("one two three four", -1, &narrow, DT_CALCRECT | DT_WORDBREAK), 3 * h1);
  EXPECT_LE(narrow.Width(), 50);
}

TEST(DCText, SingleLineVerticalCentringAndBottomAlignment) {
  CFont font;
  LOGFONTA lf = Face("Verdana", -14);
  font.CreateFontIndirect(&lf);
  InkBox boxes[3];
  const UINT formats[3] = {DT_SINGLELINE, DT_SINGLELINE | DT_VCENTER, DT_SINGLELINE | DT_BOTTOM};
  for (int i = 0; i < 3; ++i) {
    MemoryCanvas c(80, 60, 1);
    c.dc.PatBlt(0, 0, 80, 60, WHITENESS);
    c.dc.SelectObject(&font);
    CRect r(0, 0, 80, 60);
    c.dc.DrawText("Hx", -1, &r, formats[i] | DT_CENTER);
    boxes[i] = Ink(c);
    ASSERT_GE(boxes[i].top, 0);
  }
  EXPECT_LT(boxes[0].bottom, 20);
  EXPECT_NEAR((boxes[1].top + boxes[1].bottom) / 2.0, 30, 4);
  EXPECT_GT(boxes[2].bottom, 50);
  // Centred horizontally as well.
  EXPECT_NEAR((boxes[1].left + boxes[1].right) / 2.0, 40, 3);
}

TEST(DCText, MaskTextIsCrispAndClippedToTheRectangle) {
  MemoryCanvas c(60, 30, 1);
  c.dc.PatBlt(0, 0, 60, 30, WHITENESS);
  CFont font;
  LOGFONTA lf = Face("Verdana", -20);
  font.CreateFontIndirect(&lf);
  c.dc.SelectObject(&font);
  CRect r(5, 5, 25, 25);
  c.dc.DrawText("WWWWWW", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  const InkBox b = Ink(c);
  EXPECT_GE(b.left, 5);
  EXPECT_LE(b.right, 24);
  EXPECT_GE(b.top, 5);
  EXPECT_LE(b.bottom, 24);
}

TEST(DCText, VerticalFontRunsUpwards) {
  MemoryCanvas c(40, 120, 1);
  c.dc.PatBlt(0, 0, 40, 120, WHITENESS);
  CFont font;
  LOGFONTA lf = Face("Arial", 12);
  lf.lfEscapement = 900;
  font.CreateFontIndirect(&lf);
  c.dc.SelectObject(&font);
  c.dc.TextOut(5, 110, "Vertical", 8);
  const InkBox b = Ink(c);
  ASSERT_GE(b.top, 0);
  EXPECT_GT(b.bottom - b.top, 2 * (b.right - b.left));
  EXPECT_LE(b.bottom, 110);
}

TEST(DCText, SymbolFaceDrawsTheCloseGlyphAsACross) {
  MemoryCanvas c(16, 16, 1);
  c.dc.PatBlt(0, 0, 16, 16, WHITENESS);
  CFont font;
  LOGFONTA lf = Face("Marlett", 16);
  font.CreateFontIndirect(&lf);
  c.dc.SelectObject(&font);
  c.dc.SetBkMode(TRANSPARENT);
  c.dc.TextOut(0, 0, "r", 1);
  const auto rows = MaskRows(c);
  EXPECT_EQ(rows[8][8], '#');   // the crossing point
  EXPECT_EQ(rows[1][8], '.');   // nothing above it in the middle column
  EXPECT_EQ(c.dc.GetTextExtent("r", 1), CSize(16, 16));
}


TEST(DCDib, NearestStretchRepeatsPixels) {
  const WORD pixels[4] = {0xFFFF, 0x0000, 0xF800, 0x001F};  // 2 x 2, top-down
  BITMAPINFO info = Header565(2, -2);
  MemoryCanvas c(4, 4, 32);
  c.dc.SetStretchBltMode(COLORONCOLOR);
  EXPECT_EQ(c.dc.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, pixels, &info, DIB_RGB_COLORS, SRCCOPY), 4);
  const COLORREF expect[2][2] = {{RGB(255, 255, 255), 0}, {RGB(255, 0, 0), RGB(0, 0, 255)}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(c.dc.GetPixel(x, y), expect[y / 2][x / 2]) << x << "," << y;
}

TEST(DCDib, SmoothStretchBlendsNeighboursAndKeepsEdges) {
  const WORD pixels[2] = {0x0000, 0xFFFF};  // black, white
  BITMAPINFO info = Header565(2, -1);
  MemoryCanvas c(8, 1, 32);
  c.dc.SetStretchBltMode(HALFTONE);
  c.dc.StretchDIBits(0, 0, 8, 1, 0, 0, 2, 1, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(c.dc.GetPixel(0, 0), 0u);
  EXPECT_EQ(c.dc.GetPixel(7, 0), RGB(255, 255, 255));
  int previous = -1;
  for (int x = 0; x < 8; ++x) {
    const int grey = GetRValue(c.dc.GetPixel(x, 0));
    EXPECT_GE(grey, previous);
    previous = grey;
  }
  const int middle = GetRValue(c.dc.GetPixel(3, 0));
  EXPECT_GT(middle, 60);
  EXPECT_LT(middle, 200);
}

TEST(DCDib, EightAndTwentyFourBitPicturesBottomUp) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 2;  // bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 8;
  info.bmiColors[1] = RGBQUAD{0, 0, 255, 0};  // red
  info.bmiColors[2] = RGBQUAD{255, 0, 0, 0};  // blue
  const BYTE eight[8] = {1, 2, 0, 0, 2, 1, 0, 0};  // bottom row first
  MemoryCanvas c(2, 2, 32);
  c.dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, eight, &info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(c.dc.GetPixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(c.dc.GetPixel(0, 1), RGB(255, 0, 0));
  info.bmiHeader.biBitCount = 24;
  const BYTE bgr[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  c.dc.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, bgr, &info, DIB_RGB_COLORS);
  EXPECT_EQ(c.dc.GetPixel(0, 0), RGB(9, 8, 7));
  EXPECT_EQ(c.dc.GetPixel(1, 1), RGB(6, 5, 4));
}

TEST(DCDib, MirroredDestinationAndClipping) {
  const WORD pixels[2] = {0xF800, 0x001F};  // red, blue
  BITMAPINFO info = Header565(2, -1);
  MemoryCanvas c(3, 1, 32);
  c.dc.StretchDIBits(2, 0, -2, 1, 0, 0, 2, 1, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(c.dc.GetPixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(c.dc.GetPixel(1, 0), RGB(255, 0, 0));
  // Painting partly outside the surface or the picture touches nothing outside.
  MemoryCanvas d(2, 2, 32);
  d.dc.StretchDIBits(-1, 1, 2, 1, 0, 0, 2, 1, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(d.dc.GetPixel(0, 1), RGB(0, 0, 255));
  d.dc.StretchDIBits(0, 0, 2, 1, 1, 0, 2, 1, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(d.dc.GetPixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(d.dc.GetPixel(1, 0), 0u);
}

TEST(DCText, MissingFacesFallBackAndBoldIsWider) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont missing, normal, bold;
  LOGFONTA a = Face("No Such Face 123", -16), b = Face("DejaVu Sans", -16), c = b;
  c.lfWeight = FW_BOLD;
  missing.CreateFontIndirect(&a);
  normal.CreateFontIndirect(&b);
  bold.CreateFontIndirect(&c);
  dc.SelectObject(&missing);
  const CSize fallback = dc.GetTextExtent("Wide text", 9);
  dc.SelectObject(&normal);
  const CSize regular = dc.GetTextExtent("Wide text", 9);
  dc.SelectObject(&bold);
  const CSize heavy = dc.GetTextExtent("Wide text", 9);
  EXPECT_EQ(fallback, regular);
  EXPECT_GT(heavy.cx, regular.cx);
  EXPECT_GT(regular.cx, 40);
}

TEST(DCBitmap, LoadsBmpImagesAndRejectsTruncatedOnes) {
  // A 2 x 2 24-bit bottom-up BMP: bottom row blue, white; top row red, green.
  std::vector<BYTE> bmp(14 + 40 + 16, 0);
  auto put32 = [&](size_t at, DWORD v) { std::memcpy(&bmp[at], &v, 4); };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<DWORD>(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, 2);
  put32(22, 2);
  bmp[26] = 1;
  bmp[28] = 24;
  const BYTE rows[16] = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
  std::memcpy(&bmp[54], rows, 16);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadFromBmpData(bmp.data(), static_cast<unsigned long>(bmp.size())));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bitmap);
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 255, 0));
  EXPECT_EQ(dc.GetPixel(0, 1), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 255, 255));
  CBitmap truncated;
  EXPECT_FALSE(truncated.LoadFromBmpData(bmp.data(), static_cast<unsigned long>(bmp.size() - 1)));
  EXPECT_FALSE(truncated.LoadBitmap(999999));
}

TEST(DCDib, SetDIBitsToDeviceReadsOnlyTheGivenScans) {
  // A bottom-up 565 picture 2 x 4 of which only scans 1 and 2 are passed.
  const WORD scans[4] = {0xF800, 0xF800, 0x001F, 0x001F};  // scan 1 red, scan 2 blue
  BITMAPINFO info = Header565(2, 4);
  MemoryCanvas c(2, 4, 32);
  c.dc.FillSolidRect(0, 0, 2, 4, RGB(9, 9, 9));
  EXPECT_EQ(c.dc.SetDIBitsToDevice(0, 0, 2, 4, 0, 0, 1, 2, scans, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(c.dc.GetPixel(0, 0), RGB(9, 9, 9));   // scan 3 (top row) not given
  EXPECT_EQ(c.dc.GetPixel(0, 1), RGB(0, 0, 255)); // scan 2
  EXPECT_EQ(c.dc.GetPixel(1, 2), RGB(255, 0, 0)); // scan 1
  EXPECT_EQ(c.dc.GetPixel(0, 3), RGB(9, 9, 9));   // scan 0 not given
}

TEST(DCText, WrappedLinesAreAlignedInsideTheRectangle) {
  CFont font;
  LOGFONTA lf = Face("Verdana", -12);
  font.CreateFontIndirect(&lf);
  const UINT aligns[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  InkBox boxes[3];
  for (int i = 0; i < 3; ++i) {
    MemoryCanvas c(200, 60, 1);
    c.dc.PatBlt(0, 0, 200, 60, WHITENESS);
    c.dc.SelectObject(&font);
    CRect r(10, 0, 190, 60);
    c.dc.DrawText("short words wrap here", -1, &r, aligns[i] | DT_WORDBREAK);
    boxes[i] = Ink(c);
    ASSERT_GE(boxes[i].left, 0);
  }
  EXPECT_LT(boxes[0].left, 14);
  EXPECT_NEAR((boxes[1].left + boxes[1].right) / 2.0, 100, 3);
  EXPECT_GT(boxes[2].right, 185);
}

TEST(DCDib, SmoothPaintingInClippedBandsMatchesOnePassUpToRounding) {
  const int sw = 40, sh = 30, dw = 100, dh = 75;
  std::vector<WORD> pixels(static_cast<size_t>(sw) * sh);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<WORD>(i * 2654435761u >> 9);
  for (int flip = 0; flip < 2; ++flip) {
    BITMAPINFO info = Header565(sw, flip ? sh : -sh);
    const int width = flip ? -dw : dw;
    const int x = flip ? dw : 0;
    MemoryCanvas whole(dw, dh, 32), banded(dw, dh, 32);
    whole.dc.SetStretchBltMode(HALFTONE);
    whole.dc.StretchDIBits(x, 0, width, dh, 0, 0, sw, sh, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    banded.dc.SetStretchBltMode(HALFTONE);
    for (int top = 0; top < dh; top += 7) {
      CRgn band;
      band.CreateRectRgn(0, top, dw, std::min(top + 7, dh));
      banded.dc.SelectClipRgn(&band);
      banded.dc.StretchDIBits(x, 0, width, dh, 0, 0, sw, sh, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    // The filter's fixed-point steps start from each band's first row, so values
    // may differ by rounding, never by position.
    int worst = 0;
    for (int yy = 0; yy < dh; ++yy)
      for (int xx = 0; xx < dw; ++xx) {
        const COLORREF a = whole.dc.GetPixel(xx, yy), b = banded.dc.GetPixel(xx, yy);
        for (int k = 0; k < 3; ++k)
          worst = std::max(worst, std::abs(static_cast<int>((a >> (8 * k)) & 255) - static_cast<int>((b >> (8 * k)) & 255)));
      }
    EXPECT_LE(worst, 2) << "flip " << flip;
  }
}
