// Cursor drawing: scales with the hot spot kept, monochrome and colour
// shapes, clipping, and the click indicator with its hold.
#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/os/Resources.h"
#include "pravex/capture/CaptureCursor.h"
#include "tests/pravex/render/RenderTestUtil.h"

using namespace rendertest;

namespace {

constexpr WORD kBack = 0x1234;

void Start(CTestRenderer& r, int w = 80, int h = 60) {
  r.ClearPreview();
  r.WriteCaptureData(ScreenRecord(FlatPicture(w, h, 16, kBack), w, h, 16, CRect(0, 0, w, h)));
}

int CountValue(const unsigned char* picture, int w, int h, WORD value) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += Pixel16(picture, w, x, y) == value;
  return n;
}

// The click indicator strip as 565 values, image i, pixel (x, y); -1 for the key.
int IndicatorPixel(int image, int x, int y) {
  const CResourceBlock block = FindResourceData("BITMAP", 12013);
  const BYTE* rows = block.data + 54;
  const int fileRow = 127 - (image * 32 + y);
  const BYTE* p = rows + fileRow * 96 + 3 * x;
  const BYTE* key = rows + 127 * 96;
  if (p[0] == key[0] && p[1] == key[1] && p[2] == key[2]) return -1;
  return ((p[2] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[0] >> 3);
}

}  // namespace

TEST(CursorRender, HotSpotStaysOnItsPixelAtEveryScale) {
  for (int size = 0; size <= 2; ++size) {
    SCOPED_TRACE(size);
    CTestRenderer r;
    r.vars.SetCursorSize(size);
    Start(r);
    // One white pixel at the hot spot (3, 2) of an 8 x 8 shape at (40, 30).
    r.WriteCaptureData(MonoCursor(8, 8, {{3, 2, false, true}}, 40, 30, 3, 2));
    const unsigned char* out = r.ComposeAll();
    const int s = size + 1;
    EXPECT_EQ(r.GetCursorScale(), s);
    EXPECT_EQ(Pixel16(out, 80, 43, 32), 0xFFFF);
    EXPECT_EQ(CountValue(out, 80, 60, 0xFFFF), s * s);
    EXPECT_EQ(Pixel16(out, 80, 43 + s, 32), kBack);
  }
}

TEST(CursorRender, MonochromeBitsBlackWhiteInvertKeep) {
  CTestRenderer r;
  Start(r);
  r.WriteCaptureData(MonoCursor(8, 8, {{0, 0, false, false}, {1, 0, false, true}, {2, 0, true, true}}, 10, 10, 0, 0));
  const unsigned char* out = r.ComposeAll();
  EXPECT_EQ(Pixel16(out, 80, 10, 10), 0x0000);
  EXPECT_EQ(Pixel16(out, 80, 11, 10), 0xFFFF);
  EXPECT_EQ(Pixel16(out, 80, 12, 10), static_cast<WORD>(~kBack));
  EXPECT_EQ(Pixel16(out, 80, 13, 10), kBack);
}

TEST(CursorRender, ColourShapes16BitDrawn24BitSilhouette) {
  struct Case {
    WORD bits;
    WORD expected;
  };
  for (const Case& c : {Case{16, 0x07E0}, Case{24, 0x0000}}) {
    CTestRenderer r;
    Start(r);
    r.WriteCaptureData(ColourCursor(8, 4, c.bits, 0x07E0, 20, 20));
    const unsigned char* out = r.ComposeAll();
    EXPECT_EQ(Pixel16(out, 80, 20, 20), c.expected);
    EXPECT_EQ(Pixel16(out, 80, 27, 23), c.expected);
    EXPECT_EQ(CountValue(out, 80, 60, c.expected), 32);
  }
}

TEST(CursorRender, ClippedAtPictureEdgesAndShortShapeNotDrawn) {
  CTestRenderer r;
  Start(r, 20, 20);
  std::vector<MonoPixel> all;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) all.push_back({x, y, false, true});
  r.WriteCaptureData(MonoCursor(8, 8, all, 16, -4, 0, 0));
  EXPECT_EQ(CountValue(r.ComposeAll(), 20, 20, 0xFFFF), 4 * 4);

  // A shape whose data is shorter than its two masks is not drawn.
  auto* shortShape = static_cast<CCaptureCursor*>(MonoCursor(8, 8, all, 0, 0, 0, 0));
  std::vector<BYTE> half(shortShape->GetDataBytes(), shortShape->GetDataBytes() + 15);
  shortShape->SetDataCopy(half.data(), 15);
  CTestRenderer q;
  Start(q, 20, 20);
  q.WriteCaptureData(shortShape);
  EXPECT_EQ(CountValue(q.ComposeAll(), 20, 20, kBack), 400);
}

TEST(CursorRender, WideShapeRowsAreReadUnpadded) {
  // A 48 x 2 monochrome shape: 6 bytes per mask row, AND plane then XOR plane.
  const std::vector<BYTE> data = {
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // AND
      0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,  // XOR
  };
  auto* cursor = new CCaptureCursor();
  cursor->SetContentFlags(CCaptureCursor::kHasPosition | CCaptureCursor::kHasShape);
  cursor->SetShape(false, 0, 48, 2, 1, 0);
  cursor->SetPosition(10, 20, 0, 0);
  cursor->SetDataCopy(data.data(), static_cast<DWORD>(data.size()));
  CTestRenderer r;
  Start(r);
  r.WriteCaptureData(cursor);
  const unsigned char* out = r.ComposeAll();
  EXPECT_EQ(Pixel16(out, 80, 57, 20), 0xFFFF);                    // last column of row 0: white
  EXPECT_EQ(Pixel16(out, 80, 10, 21), 0x0000);                    // first column of row 1: black
  EXPECT_EQ(Pixel16(out, 80, 18, 21), static_cast<WORD>(~kBack));  // column 8 of row 1: inverted
  EXPECT_EQ(CountValue(out, 80, 60, kBack), 80 * 60 - 3);
}

TEST(CursorRender, ClickIndicatorShowsLitButtonsWhileDown) {
  CTestRenderer r;
  r.vars.SetCursorDisplay(2);
  Start(r);
  r.WriteCaptureData(MonoCursor(8, 8, {}, 40, 10, 0, 0, 1));  // left button down
  const unsigned char* out = r.ComposeAll();
  int checked = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      int expected = IndicatorPixel(1, x, y);
      if (expected < 0) expected = IndicatorPixel(0, x, y);
      if (expected < 0) expected = kBack;
      ASSERT_EQ(Pixel16(out, 80, 8 + x, 10 + y), expected) << x << "," << y;
      checked += expected != kBack;
    }
  }
  EXPECT_GT(checked, 200);
  // Released: the indicator is gone with display 2.
  r.WriteCaptureData(CursorClick(0));
  out = r.ComposeAll();
  EXPECT_EQ(CountValue(out, 80, 60, kBack), 80 * 60);
}

TEST(CursorRender, DisplayThreeHoldsAClickFor500Ms) {
  CTestRenderer r;
  r.vars.SetCursorDisplay(3);
  Start(r);
  r.WriteCaptureData(MonoCursor(8, 8, {}, 40, 10, 0, 0, 4));  // right button
  r.WriteCaptureData(CursorClick(0));
  const int lit = CountValue(r.ComposeAll(), 80, 60, kBack);
  EXPECT_LT(lit, 80 * 60);  // still shown after the release (only the timer clears it)
  Sleep(CTestRenderer::kClickHoldMs + 30);
  r.updates.clear();
  r.TimerPoll();
  ASSERT_EQ(r.updates.size(), 1u);  // the last cursor area is repainted
  EXPECT_EQ(CountValue(r.ComposeAll(), 80, 60, kBack), 80 * 60);
}

TEST(CursorRender, DisplayZeroDrawsNothing) {
  CTestRenderer r;
  r.vars.SetCursorDisplay(0);
  Start(r);
  r.WriteCaptureData(MonoCursor(8, 8, {{0, 0, false, false}}, 10, 10, 0, 0, 1));
  EXPECT_EQ(CountValue(r.ComposeAll(), 80, 60, kBack), 80 * 60);
}
