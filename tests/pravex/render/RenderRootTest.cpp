// The render root: record dispatch, what it asks its owner to repaint, the
// settings record, and composing with short or odd-sized pictures.
#include <gtest/gtest.h>

#include <cstdlib>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"
#include "glimra/AnnotateList.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/render/RenderBase.h"
#include "tests/pravex/render/RenderTestUtil.h"

using namespace capture;
using namespace rendertest;

TEST(RenderRoot, NewSizeGivesOneResizeAfterTheLockAndFirstFrame) {
  CTestRenderer r;
  r.ClearPreview();
  r.WriteCaptureData(ScreenRecord(FlatPicture(20, 10, 16, 0x1111), 20, 10, 16, CRect(2, 3, 8, 9)));
  EXPECT_EQ(r.Count("resize"), 1);
  EXPECT_FALSE(r.lockHeldAtResize);
  EXPECT_EQ(r.Count("first"), 1);
  ASSERT_EQ(r.updates.size(), 1u);
  EXPECT_EQ(r.updates[0].rect, CRect(2, 3, 8, 9));
  EXPECT_EQ(r.updates[0].stream, kStreamScreen);
  // Same size again: no resize, no second first-frame notice.
  r.WriteCaptureData(ScreenRecord(FlatPicture(20, 10, 16, 0x2222), 20, 10, 16, CRect(0, 0, 20, 10)));
  EXPECT_EQ(r.Count("resize"), 1);
  EXPECT_EQ(r.Count("first"), 1);
  int w = 0, h = 0;
  r.GetSize(w, h);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(h, 10);
  EXPECT_EQ(r.GetWidth(5), 10);
  EXPECT_EQ(r.GetHeight(40), 20);
}

TEST(RenderRoot, PrerollInvalidatesOnlyOnceAtItsEnd) {
  CTestRenderer r;
  r.ClearPreview();
  r.WriteCaptureData(Control(kRecordReset, kStreamScreen));
  r.WriteCaptureData(Control(kRecordBeginPreroll, kStreamScreen));
  r.WriteCaptureData(ScreenRecord(FlatPicture(16, 8, 16, 0x1234), 16, 8, 16, CRect(1, 1, 2, 2)));
  r.WriteCaptureData(ScreenRecord(FlatPicture(16, 8, 16, 0x4321), 16, 8, 16, CRect(1, 1, 2, 2)));
  EXPECT_TRUE(r.updates.empty());
  r.WriteCaptureData(Control(kRecordEndPreroll, kStreamScreen));
  ASSERT_EQ(r.updates.size(), 1u);
  EXPECT_EQ(r.updates[0].rect, CRect(0, 0, 16, 8));
  ASSERT_EQ(r.calls.back(), std::string("endofscan"));
  r.WriteCaptureData(Control(kRecordEndOfStream, kStreamScreen));
  r.WriteCaptureData(Control(kRecordEndOfStream, kStreamCursor));
  EXPECT_EQ(r.endedStreams, (std::vector<unsigned short>{kStreamScreen, kStreamCursor}));
  EXPECT_EQ(Pixel16(r.ComposeAll(), 16, 0, 0), 0x4321);
}

TEST(RenderRoot, CursorMovesNearGiveOneUnionFarGiveTwoAreas) {
  CTestRenderer r;
  r.ClearPreview();
  r.WriteCaptureData(ScreenRecord(FlatPicture(400, 300, 16, 0), 400, 300, 16, CRect(0, 0, 400, 300)));
  r.WriteCaptureData(MonoCursor(32, 32, {}, 100, 100, 0, 0));
  r.updates.clear();
  r.WriteCaptureData(CursorMove(104, 102, 0, 0, 0));
  ASSERT_EQ(r.updates.size(), 1u);
  // Each area is widened 38 pixels left for the click indicator.
  EXPECT_EQ(r.updates[0].rect, CRect(100 - 38, 100, 104 + 32, 102 + 38));
  r.updates.clear();
  r.WriteCaptureData(CursorMove(300, 250, 0, 0, 0));
  ASSERT_EQ(r.updates.size(), 2u);
  EXPECT_EQ(r.updates[0].rect, CRect(104 - 38, 102, 104 + 32, 102 + 38));
  EXPECT_EQ(r.updates[1].rect, CRect(300 - 38, 250, 300 + 32, 250 + 38));
  EXPECT_EQ(r.updates[1].stream, kStreamCursor);
}

TEST(RenderRoot, ShortOrBadPictureIsNeverDrawnOver) {
  CTestRenderer r;
  r.ClearPreview();
  r.WriteCaptureData(ScreenRecord(FlatPicture(8, 4, 16, 0x0F0F), 8, 4, 16, CRect(0, 0, 8, 4)));
  auto pixels = FlatPicture(8, 4, 16, 0x7777);
  pixels.resize(pixels.size() - 1);  // a row short
  r.WriteCaptureData(ScreenRecord(pixels, 8, 4, 16, CRect(0, 0, 8, 4)));
  EXPECT_EQ(Pixel16(r.ComposeAll(), 8, 7, 3), 0x0F0F);
  EXPECT_EQ(r.GetScreenState().GetPixelSize(), 8u * 2 * 4);
}

// A 24-bit picture five pixels wide has 16-byte rows; composing (copies,
// cursor) must walk those rows and never read past the pixel block.
TEST(RenderRoot, OddWidth24BitPictureUsesItsRealStride) {
  CTestRenderer r;
  r.ClearPreview();
  std::vector<BYTE> pixels(16 * 3, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) pixels[y * 16 + 3 * x] = static_cast<BYTE>(10 * y + x);
  r.WriteCaptureData(ScreenRecord(pixels, 5, 3, 24, CRect(0, 0, 5, 3)));
  r.WriteCaptureData(MonoCursor(8, 8, {{0, 0, false, true}}, 4, 2, 0, 0));
  const unsigned char* out = r.RenderScreen(CRect(0, 0, 5, 3), CRect(1, 1, 3, 2));
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(r.GetScreenState().GetStride(), 16u);
  EXPECT_EQ(out[16 * 2 + 3 * 3], 23);
  // The cursor's one white pixel at (4, 2), clipped to the picture.
  EXPECT_EQ(out[16 * 2 + 3 * 4], 0xF8);
  EXPECT_EQ(out[16 * 2 + 3 * 4 + 2], 0xF8);
}

TEST(RenderRoot, NoBackBufferReturnsTheScreenPictureItself) {
  CTestRenderer r;
  r.ClearPreview();
  r.NoBackBuffer();
  r.WriteCaptureData(ScreenRecord(FlatPicture(8, 8, 16, 0x1234), 8, 8, 16, CRect(0, 0, 8, 8)));
  r.WriteCaptureData(MonoCursor(8, 8, {{0, 0, false, false}}, 0, 0, 0, 0));
  const unsigned char* out = r.ComposeAll();
  EXPECT_EQ(out, r.GetScreenState().GetPixels());
  EXPECT_EQ(Pixel16(out, 8, 0, 0), 0x1234);
}

TEST(RenderRoot, CopyGrowsInsideThePictureOnly) {
  CTestRenderer r;
  r.ClearPreview();
  r.WriteCaptureData(ScreenRecord(FlatPicture(6, 6, 16, 0x1111), 6, 6, 16, CRect(0, 0, 6, 6)));
  r.vars.SetCursorDisplay(0);
  r.ComposeAll();
  r.WriteCaptureData(ScreenRecord(FlatPicture(6, 6, 16, 0x2222), 6, 6, 16, CRect(0, 0, 6, 6)));
  // Area (0,0)-(2,2) grows to (0,0)-(3,3) only: left and top stay at 0.
  const unsigned char* out = r.RenderScreen(CRect(0, 0, 6, 6), CRect(0, 0, 2, 2));
  EXPECT_EQ(Pixel16(out, 6, 0, 0), 0x2222);
  EXPECT_EQ(Pixel16(out, 6, 2, 2), 0x2222);
  EXPECT_EQ(Pixel16(out, 6, 3, 3), 0x1111);
  EXPECT_EQ(Pixel16(out, 6, 3, 0), 0x1111);
}

TEST(RenderVars, CopiesSettingsOnlyAndBaseFindsNoHostWithoutMainWindow) {
  CRenderVars a;
  EXPECT_EQ(a.GetVideoTransparency(), 50);
  EXPECT_EQ(a.GetVideoPosition(), 2);
  EXPECT_EQ(a.GetVideoReplayMode(), 3);
  a.SetVideoTransparency(7);
  a.SetCursorSize(2);
  a.SetVideoDisplay(0);
  a.SetCursorDisplay(99);  // stored unchecked
  a.GetAnnotateData().AddNew(1000);
  CRenderVars b(&a);
  CRenderVars c;
  c = a;
  for (const CRenderVars* v : {&b, &c}) {
    EXPECT_EQ(v->GetVideoTransparency(), 7);
    EXPECT_EQ(v->GetCursorSize(), 2);
    EXPECT_EQ(v->GetVideoDisplay(), 0);
    EXPECT_EQ(v->GetCursorDisplay(), 99);
    EXPECT_EQ(const_cast<CRenderVars*>(v)->GetAnnotateData().Lookup(1000), nullptr);
  }
  EXPECT_NE(a.GetAnnotateData().Lookup(1000), nullptr);
  struct Base : CRenderBase {
    void InvalidateScreen() override {}
    void InvalidateScreenRect(const CRect&, int) override {}
    void SetScreenDeviceSize() override {}
    void InvalidateUpdateArea(const CRect&, unsigned short) override {}
  } base;
  EXPECT_EQ(base.GetRenderVars(), nullptr);
  // Without settings and a window, posted notices go nowhere and nothing breaks.
  base.WriteCaptureData(ScreenRecord(FlatPicture(4, 4, 16, 1), 4, 4, 16, CRect(0, 0, 4, 4)));
  base.WriteCaptureData(Control(kRecordEndOfStream, kStreamScreen));
}

TEST(RenderRoot, AnnotationsShowOverPicturesOfEveryDepth) {
  constexpr int kW = 20, kH = 16;
  for (WORD bits : {WORD{8}, WORD{16}, WORD{24}}) {
    SCOPED_TRACE(bits);
    CTestRenderer r;
    r.ClearPreview();
    r.vars.SetCursorDisplay(0);
    CAnnotateData& set = r.vars.GetAnnotateData();
    AddOpaqueBox(set, 0, 60000);
    set.UpdateAnnotationDisplayList(0, nullptr);
    // Grey (51, 51, 51): colour-cube index 43 at 8 bits.
    std::vector<BYTE> pixels;
    if (bits == 8)
      pixels.assign(DibStride(kW, 8) * kH, 43);
    else
      pixels = FlatPicture(kW, kH, bits, static_cast<WORD>(((51 >> 3) << 11) | ((51 >> 2) << 5) | (51 >> 3)));
    r.WriteCaptureData(ScreenRecord(pixels, kW, kH, bits, CRect(0, 0, kW, kH)));
    const unsigned char* out = r.ComposeAll();
    ASSERT_NE(out, nullptr);
    // The back buffer of an 8-bit picture is 24-bit; the player and the
    // exporter read its header from the renderer.
    const BITMAPINFOHEADER& h = r.GetPictureInfo().bmiHeader;
    const int outBits = bits == 8 ? 24 : bits;
    ASSERT_EQ(h.biBitCount, outBits);
    EXPECT_EQ(h.biWidth, kW);
    EXPECT_EQ(std::abs(h.biHeight), kH);
    const std::size_t stride = DibStride(kW, static_cast<WORD>(outBits));
    auto rgb = [&](int x, int y) {
      const unsigned char* p = out + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * (outBits / 8);
      if (outBits == 16) {
        const WORD v = static_cast<WORD>(p[0] | (p[1] << 8));
        return RGB((v >> 8) & 0xF8, (v >> 3) & 0xFC, (v << 3) & 0xF8);
      }
      return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(rgb(6, 6), RGB(255, 0, 0) & (bits == 16 ? 0xF8FCF8u : 0xFFFFFFu));
    EXPECT_EQ(rgb(4, 6), RGB(0, 0, 255) & (bits == 16 ? 0xF8FCF8u : 0xFFFFFFu));
    EXPECT_EQ(rgb(15, 14), bits == 8 ? RGB(51, 51, 51) : RGB(48, 48, 48));  // 5-6-5 filled below 8 bits
    // The stored picture itself stays as recorded.
    EXPECT_EQ(r.GetScreenState().GetInfo().bmiHeader.biBitCount, bits);
  }
}
