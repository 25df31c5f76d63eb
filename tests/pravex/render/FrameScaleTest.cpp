// Frame scaling: plain flip at 1:1, halving averages, the 248 rule, one-pixel
// areas and frames, and enlarging by tenths.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderDirect.h"

namespace {

struct Picture {
  int w, h;
  std::vector<BYTE> bytes;
  BITMAPINFO info{};
  Picture(int width, int height) : w(width), h(height), bytes(DibStride(width, 16) * height) {
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 16;
  }
  void Set(int x, int y, WORD v) {
    BYTE* p = bytes.data() + y * DibStride(w, 16) + 2 * x;
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
  }
};

struct Frame {
  int w, h, bits;
  std::vector<BYTE> bytes;
  BITMAPINFOHEADER header{};
  Frame(int width, int height, int bitCount) : w(width), h(height), bits(bitCount) {
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biSizeImage = static_cast<DWORD>(DibStride(width, bitCount) * height);
    bytes.assign(header.biSizeImage, 0xEE);
  }
  // Row r from the top (frames are bottom-up).
  const BYTE* At(int x, int r) const { return bytes.data() + (h - 1 - r) * DibStride(w, bits) + x * bits / 8; }
  WORD Get16(int x, int r) const { return static_cast<WORD>(At(x, r)[0] | (At(x, r)[1] << 8)); }
};

WORD Rgb565(int r, int g, int b) { return static_cast<WORD>(((r & 0xF8) << 8) | ((g >> 2) << 5) | (b >> 3)); }

void Scale(Frame& f, const Picture& p, bool smooth, CRect area = CRect()) {
  if (area.IsRectEmpty()) area = CRect(0, 0, p.w, p.h);
  renderscale::Scale(f.bytes.data(), f.header, p.bytes.data(), p.info, area, smooth);
}

}  // namespace

TEST(FrameScale, OneToOneIsTheSourceFlippedPixelForPixel) {
  Picture p(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) p.Set(x, y, static_cast<WORD>(0x1001 * x + 0x0123 * y));
  for (bool smooth : {false, true}) {
    Frame f16(7, 5, 16);
    Scale(f16, p, smooth);
    Frame f24(7, 5, 24);
    Scale(f24, p, smooth);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 7; ++x) {
        const WORD v = static_cast<WORD>(0x1001 * x + 0x0123 * y);
        ASSERT_EQ(f16.Get16(x, y), v);
        ASSERT_EQ(f24.At(x, y)[2], ((v >> 8) & 0xF8) >= 248 ? 255 : ((v >> 8) & 0xF8));
        ASSERT_EQ(f24.At(x, y)[0], ((v << 3) & 0xFF) >= 248 ? 255 : ((v << 3) & 0xFF));
      }
    }
    // Bytes past the frame's pixels in a row are left alone.
    EXPECT_EQ(f24.bytes[21], 0xEE);
  }
}

TEST(FrameScale, HalvingAveragesBlocksThatShareTheirEdges) {
  // 9 x 9 source into 5 x 5: ratio 0.5, spans 0..2, 2..4, 4..6, 6..8, 8..8.
  Picture p(9, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) p.Set(x, y, Rgb565(8 * x, 0, 8 * y));
  Frame f(5, 5, 24);
  Scale(f, p, true);
  auto expect = [&](int ox, int oy, int x0, int x1, int y0, int y1) {
    unsigned r = 0, b = 0, n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) r += 8 * x, b += 8 * y, ++n;
    EXPECT_EQ(f.At(ox, oy)[2], r / n) << ox << "," << oy;
    EXPECT_EQ(f.At(ox, oy)[0], b / n) << ox << "," << oy;
  };
  expect(0, 0, 0, 2, 0, 2);
  expect(1, 2, 2, 4, 4, 6);
  expect(3, 3, 6, 8, 6, 8);
  expect(4, 4, 8, 8, 8, 8);  // the last column and row use a single source line
}

TEST(FrameScale, ComponentsOf248AndMoreBecomeFull) {
  Picture p(2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) p.Set(x, y, 0xFFFF);
  Frame f24(2, 2, 24);
  Scale(f24, p, false);
  EXPECT_EQ(f24.At(1, 1)[0], 255);
  EXPECT_EQ(f24.At(1, 1)[1], 255);
  EXPECT_EQ(f24.At(1, 1)[2], 255);
  // Smooth 16-bit output of an averaged white block is full white too.
  Picture big(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) big.Set(x, y, 0xFFFF);
  Frame f16(2, 2, 16);
  Scale(f16, big, true);
  EXPECT_EQ(f16.Get16(0, 0), 0xFFFF);
}

TEST(FrameScale, OnePixelAreasAndFramesDoNotDivideByZero) {
  Picture p(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) p.Set(x, y, Rgb565(40 * x, 0, 0));
  for (bool smooth : {false, true}) {
    Frame wide(5, 3, 24);
    Scale(wide, p, smooth, CRect(2, 1, 3, 2));  // one source pixel spread out
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) ASSERT_EQ(wide.At(x, y)[2], 80);
    Frame dot(1, 1, 24);
    Scale(dot, p, smooth);
    EXPECT_EQ(dot.At(0, 0)[1], 0);
    Frame column(1, 4, 16);
    Scale(column, p, smooth);
    EXPECT_NE(column.Get16(0, 0), 0xEEEE);
  }
}

TEST(FrameScale, EnlargingInterpolatesInTenths) {
  Picture p(2, 1);
  p.Set(0, 0, Rgb565(0, 0, 0));
  p.Set(1, 0, Rgb565(200, 0, 0));
  Frame f(11, 1, 24);  // xr = 10: column c sits c tenths past column 0
  Scale(f, p, true);
  for (int c = 0; c < 11; ++c) EXPECT_EQ(f.At(c, 0)[2], c * 20) << c;
}

TEST(FrameScale, TallAreasNeedNoRowLimit) {
  Picture p(2, 3000);
  p.Set(1, 2999, 0xF800);
  Frame f(2, 3000, 16);
  Scale(f, p, false);
  EXPECT_EQ(f.Get16(1, 2999), 0xF800);
}

TEST(FrameScale, ShrinkingAcrossWhileEnlargingDown) {
  // 5 x 2 into 3 x 11: columns shrink (spans 0..2, 2..4, 4..4), rows enlarge
  // in tenths (row r is r tenths past source row 0; row 10 is source row 1).
  Picture p(5, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) p.Set(x, y, Rgb565(40 * x, 0, 96 * y));
  Frame f(3, 11, 24);
  Scale(f, p, true);
  auto expect = [&](int c, int r, int red, int blue) {
    EXPECT_EQ(f.At(c, r)[2], red) << c << "," << r;
    EXPECT_EQ(f.At(c, r)[1], 0) << c << "," << r;
    EXPECT_EQ(f.At(c, r)[0], blue) << c << "," << r;
  };
  // A whole tenth: the single pixel at the span's first column.
  expect(0, 0, 0, 0);
  expect(1, 0, 80, 0);
  expect(2, 0, 160, 0);
  expect(1, 10, 80, 96);
  // Between rows: each column of the span interpolated (96 x 3 / 10 = 28), then averaged.
  expect(0, 3, (0 + 40 + 80) / 3, 28);
  expect(1, 3, (80 + 120 + 160) / 3, 28);
  expect(2, 3, 160, 28);
  expect(1, 9, 120, 86);  // 96 x 9 / 10
}

TEST(FrameScale, EnlargingAcrossWhileShrinkingDown) {
  // 2 x 5 into 11 x 3: columns enlarge in tenths, rows shrink (spans 0..2,
  // 2..4, 4..4); every row of a span is interpolated, then averaged.
  Picture p(2, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 2; ++x) p.Set(x, y, Rgb565(160 * x, 0, 40 * y));
  Frame f(11, 3, 24);
  Scale(f, p, true);
  auto expect = [&](int c, int r, int red, int blue) {
    EXPECT_EQ(f.At(c, r)[2], red) << c << "," << r;
    EXPECT_EQ(f.At(c, r)[0], blue) << c << "," << r;
  };
  expect(3, 0, 48, 40);     // (7 x 0 + 3 x 160) / 10; rows 0, 40, 80
  expect(0, 1, 0, 120);     // rows 80, 120, 160
  expect(10, 1, 160, 120);  // the last column interpolates with itself
  expect(7, 2, 112, 160);   // the last row alone
  // 16-bit frames pack the same components.
  Frame g(11, 3, 16);
  Scale(g, p, true);
  EXPECT_EQ(g.Get16(3, 0), Rgb565(48, 0, 40));
  EXPECT_EQ(g.Get16(7, 2), Rgb565(112, 0, 160));
}
