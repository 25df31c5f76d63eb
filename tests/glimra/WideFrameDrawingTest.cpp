// One annotation list drawn over a 16-bit frame and over the 24-bit form of
// the same frame: the same colours, the 24-bit ones within the 5-6-5 rounding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "GlimraTestSupport.h"
#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateBrush.h"
#include "glimra/AnnotateLine.h"
#include "glimra/AnnotateList.h"
#include "glimra/AnnotateText.h"

using glimratest::Frame;

namespace {

constexpr int kW = 90, kH = 60;

// The 24-bit form (blue, green, red bytes, rows in 4-byte units) of a 5-6-5 frame.
struct WideFrame {
  BITMAPINFO info{};
  std::vector<BYTE> bytes;
  int stride;

  explicit WideFrame(const Frame& f) : stride((3 * f.info.bmiHeader.biWidth + 3) / 4 * 4) {
    info.bmiHeader = f.info.bmiHeader;
    info.bmiHeader.biBitCount = 24;
    const int w = f.info.bmiHeader.biWidth, h = -f.info.bmiHeader.biHeight;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(stride * h);
    bytes.assign(static_cast<size_t>(stride) * h, 0xEE);  // row padding stays as it is
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const WORD v = f.At(x, y);
        BYTE* p = Ref(x, y);
        p[0] = static_cast<BYTE>((v << 3) & 0xF8);
        p[1] = static_cast<BYTE>((v >> 3) & 0xFC);
        p[2] = static_cast<BYTE>((v >> 8) & 0xF8);
      }
  }
  BYTE* Bits() { return bytes.data(); }
  BYTE* Ref(int x, int y) { return &bytes[static_cast<size_t>(y) * stride + 3 * static_cast<size_t>(x)]; }
};

Frame Gradient() {
  Frame f(kW, kH, 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) f.Ref(x, y) = static_cast<WORD>(x * 701 + y * 2113);
  return f;
}

// A list with one object of every kind, some see-through.
void Fill(CAnnotateList& list) {
  auto* half = new CAnnotateBox(0);
  half->SetRect(CRect(2, 2, 30, 20));
  half->SetTransparency(50);
  half->SetColor(RGB(200, 40, 90));
  half->SetOutlineColor(RGB(10, 250, 10));
  list.Add(half);
  auto* solid = new CAnnotateBox(0);
  solid->SetRect(CRect(60, 40, 80, 55));
  solid->SetTransparency(0);
  solid->SetColor(RGB(255, 0, 0));
  solid->SetOutlineColor(RGB(0, 0, 255));
  list.Add(solid);
  auto* zoom = new CAnnotateBox(1);
  zoom->SetZoom(2);
  zoom->SetRect(CRect(34, 2, 58, 26));
  zoom->SetOutlineColor(RGB(255, 255, 255));
  list.Add(zoom);
  // One stamp: along a stroke the stamps blend a pixel over and over, and
  // the 5-6-5 frame loses a little more at every blend.
  auto* brush = new CAnnotateBrush(5);
  brush->SetColor(RGB(30, 160, 220));
  CPoint dab(15, 45);
  brush->AddData(&dab);
  list.Add(brush);
  auto* line = new CAnnotateLine(2, 1);
  line->SetColor(RGB(250, 200, 0));
  line->SetTransparency(30);
  CPoint from(8, 28), to(80, 30);
  line->AddData(&from);
  line->SetData(&to);
  list.Add(line);
  LOGFONTA lf{};
  lf.lfHeight = 14;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  auto* text = new CAnnotateText(&lf, RGB(255, 255, 255), 37, 2);
  text->SetColor(RGB(0, 90, 0));
  text->SetOutlineColor(RGB(0, 0, 255));
  text->SetComment("Wg");
  CRect r(60, 2, 88, 22);
  text->AddData(&r);
  list.Add(text);
}

}  // namespace

TEST(WideFrameDrawing, EveryKindDrawsTheSameColoursOver24BitFrames) {
  for (BOOL antiAlias : {FALSE, TRUE}) {
    SCOPED_TRACE(antiAlias);
    Frame narrow = Gradient();
    const Frame picture = Gradient();
    WideFrame wide(narrow);
    CAnnotateList narrowList(CSize(kW, kH)), wideList(CSize(kW, kH));
    Fill(narrowList);
    Fill(wideList);
    narrowList.SetWindowSize(kW, kH);
    wideList.SetWindowSize(kW, kH);
    Frame source = Gradient();
    WideFrame wideSource(source);
    narrowList.Render(narrow.Bits(), source.Bits(), &narrow.info, antiAlias);
    wideList.Render(wide.Bits(), wideSource.Bits(), &wide.info, antiAlias);
    int drawn = 0, far = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const WORD v = narrow.At(x, y);
        const BYTE* p = wide.Ref(x, y);
        const int dr = std::abs((v >> 11) - (p[2] >> 3));
        const int dg = std::abs(((v >> 5) & 63) - (p[1] >> 2));
        const int db = std::abs((v & 31) - (p[0] >> 3));
        if (dr > 1 || dg > 1 || db > 1) ++far;
        EXPECT_LE(std::max({dr, dg, db}), 1) << x << "," << y << " 565 " << v;
        if ((v | 0x20) != (picture.At(x, y) | 0x20)) ++drawn;
      }
    EXPECT_EQ(far, 0);
    EXPECT_GT(drawn, 1500);  // every object left its mark
    // Exact colours where the objects are opaque.
    const BYTE* inside = wide.Ref(70, 47);
    EXPECT_EQ(narrow.At(70, 47), 0xF800);
    EXPECT_EQ(inside[0], 0);
    EXPECT_EQ(inside[1], 0);
    EXPECT_EQ(inside[2], 255);
    const BYTE* outline = wide.Ref(60, 47);
    EXPECT_EQ(outline[0], 255);
    EXPECT_EQ(outline[2], 0);
    // The magnifier copies whole pixels of the picture: inside its outline
    // the 24-bit frame holds exactly the widened 16-bit one.
    for (int y = 4; y < 22; ++y)
      for (int x = 36; x < 56; ++x) {
        const WORD v = narrow.At(x, y);
        const BYTE* p = wide.Ref(x, y);
        EXPECT_EQ(p[0], (v << 3) & 0xF8);
        EXPECT_EQ(p[1], (v >> 3) & 0xFC);
        EXPECT_EQ(p[2], (v >> 8) & 0xF8);
      }
    // Row padding is never written.
    for (int y = 0; y < kH; ++y) EXPECT_EQ(wide.bytes[static_cast<size_t>(y) * wide.stride + 3 * kW], 0xEE) << y;
  }
}

TEST(WideFrameDrawing, BlendKeepsEightBitComponents) {
  // Half-way between white and the colour, each 8-bit component on its own.
  BYTE pixel[3] = {255, 255, 255};
  BlendPixel888(pixel, 128, Color16(RGB(0, 100, 201)));
  EXPECT_EQ(pixel[0], (255 * 128 + 201 * 127) / 255);
  EXPECT_EQ(pixel[1], (255 * 128 + 100 * 127) / 255);
  EXPECT_EQ(pixel[2], 128);
  BYTE opaque[3] = {1, 2, 3};
  BlendPixel888(opaque, 0, Color16(RGB(7, 8, 9)));
  EXPECT_EQ(opaque[0], 9);
  EXPECT_EQ(opaque[1], 8);
  EXPECT_EQ(opaque[2], 7);
  BYTE kept[3] = {1, 2, 3};
  BlendPixel888(kept, 255, Color16(RGB(7, 8, 9)));
  EXPECT_EQ(kept[0], 1);
  EXPECT_EQ(kept[1], 2);
  EXPECT_EQ(kept[2], 3);
}
