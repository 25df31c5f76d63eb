// Camera picture placement, scaling by replay mode, mixing, preroll keeping
// and JPEG frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureVideo.h"
#include "tests/pravex/render/RenderTestUtil.h"

using namespace capture;
using namespace rendertest;

namespace {

constexpr int kW = 64, kH = 48;
constexpr WORD kBack = 0x0000;

BYTE RedByColumn(int x, int) { return static_cast<BYTE>(8 * x); }
BYTE GreenByRow(int, int y) { return static_cast<BYTE>(16 * y); }
BYTE Blue(int, int) { return 0x80; }

WORD Mixed(int x, int y) {
  return static_cast<WORD>(((RedByColumn(x, y) & 0xF8) << 8) | ((GreenByRow(x, y) >> 2) << 5) | (Blue(x, y) >> 3));
}

void Start(CTestRenderer& r, int mode, int position, int transparency) {
  r.vars.SetVideoReplayMode(mode);
  r.vars.SetVideoPosition(position);
  r.vars.SetVideoTransparency(transparency);
  r.vars.SetCursorDisplay(0);
  r.ClearPreview();
  r.WriteCaptureData(ScreenRecord(FlatPicture(kW, kH, 16, kBack), kW, kH, 16, CRect(0, 0, kW, kH)));
  r.WriteCaptureData(VideoFrame(16, 8, RedByColumn, GreenByRow, Blue));
}

// The smallest rectangle of pixels that differ from the background.
CRect Covered(const unsigned char* out) {
  CRect box;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (Pixel16(out, kW, x, y) != kBack) box.UnionRect(box, CRect(x, y, x + 1, y + 1));
  return box;
}

std::vector<BYTE> EncodeJpeg(int w, int h) {
  jpeg_compress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = w;
  info.image_height = h;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<BYTE> row(3 * w);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      row[3 * x] = 200;  // red
      row[3 * x + 1] = 40;
      row[3 * x + 2] = y < h / 2 ? 0 : 255;  // blue in the lower half
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<BYTE> bytes(out, out + size);
  jpeg_destroy_compress(&info);
  free(out);
  return bytes;
}

CCaptureData* JpegFrame(const std::vector<BYTE>& jpeg, int w, int h) {
  auto* record = new CCaptureVideo();
  record->SetEncoding(CCaptureVideo::kEncodingJpeg);
  record->SetGeometry(w, h, 24);
  record->SetPictureSize(w * h * 3);
  record->SetDataCopy(jpeg.data(), static_cast<DWORD>(jpeg.size()));
  return record;
}

}  // namespace

TEST(VideoRender, NinePositionsAtNormalSize) {
  const CRect expected[9] = {{0, 0, 16, 8},    {24, 0, 40, 8},  {48, 0, 64, 8},   {0, 20, 16, 28}, {24, 20, 40, 28},
                             {48, 20, 64, 28}, {0, 40, 16, 48}, {24, 40, 40, 48}, {48, 40, 64, 48}};
  for (int position = 0; position < 9; ++position) {
    SCOPED_TRACE(position);
    CTestRenderer r;
    Start(r, 3, position, 0);
    const unsigned char* out = r.ComposeAll();
    EXPECT_EQ(r.GetVideoRect(), expected[position]);
    const CRect& e = expected[position];
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(Pixel16(out, kW, e.left + x, e.top + y), Mixed(x, y));
  }
}

TEST(VideoRender, ReplayModesScaleOrSkipTheVideo) {
  struct Case {
    int mode;
    CRect rect;          // at position 0
    int videoX, videoY;  // video pixel shown at picture (2, 2)
  };
  const Case cases[] = {
      {2, {0, 0, 32, 16}, 1, 1}, {3, {0, 0, 16, 8}, 2, 2}, {4, {0, 0, 8, 4}, 4, 4}, {5, {0, 0, 4, 2}, 8, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CTestRenderer r;
    Start(r, c.mode, 0, 0);
    const unsigned char* out = r.ComposeAll();
    EXPECT_EQ(r.GetVideoRect(), c.rect);
    if (c.rect.Height() > 2) {
      EXPECT_EQ(Pixel16(out, kW, 2, 2), Mixed(c.videoX, c.videoY));
    }
  }
  for (int mode : {0, 1}) {
    CTestRenderer r;
    Start(r, mode, 0, 0);
    EXPECT_TRUE(Covered(r.ComposeAll()).IsRectEmpty());
  }
  CTestRenderer hidden;
  hidden.vars.SetVideoDisplay(0);
  Start(hidden, 3, 0, 0);
  EXPECT_TRUE(Covered(hidden.ComposeAll()).IsRectEmpty());
}

TEST(VideoRender, TransparencyHundredKeepsThePictureBarTheLowGreenBit) {
  CTestRenderer r;
  r.vars.SetVideoReplayMode(3);
  r.vars.SetVideoPosition(0);
  r.vars.SetVideoTransparency(100);
  r.vars.SetCursorDisplay(0);
  r.ClearPreview();
  r.WriteCaptureData(ScreenRecord(FlatPicture(kW, kH, 16, 0xFFFF), kW, kH, 16, CRect(0, 0, kW, kH)));
  r.WriteCaptureData(VideoFrame(16, 8, RedByColumn, GreenByRow, Blue));
  const unsigned char* out = r.ComposeAll();
  EXPECT_EQ(Pixel16(out, kW, 5, 5), 0xFFDF);
  EXPECT_EQ(Pixel16(out, kW, 16, 5), 0xFFFF);
}

TEST(VideoRender, LargerThanPictureGoesToTheOrigin) {
  CTestRenderer r;
  Start(r, 2, 8, 0);
  r.WriteCaptureData(VideoFrame(40, 30, RedByColumn, GreenByRow, Blue));
  r.ComposeAll();
  EXPECT_EQ(r.GetVideoRect(), CRect(0, 0, 80, 60));
}

TEST(VideoRender, PrerollKeepsOnlyTheLastFrameUntilItsEnd) {
  CTestRenderer r;
  Start(r, 3, 0, 0);
  r.WriteCaptureData(Control(kRecordBeginPreroll, kStreamVideo));
  r.updates.clear();
  r.WriteCaptureData(VideoFrame(16, 8, Blue, Blue, Blue));
  r.WriteCaptureData(VideoFrame(4, 4, RedByColumn, RedByColumn, RedByColumn));
  EXPECT_TRUE(r.updates.empty());
  r.WriteCaptureData(Control(kRecordEndPreroll, kStreamVideo));
  ASSERT_EQ(r.updates.size(), 1u);
  EXPECT_EQ(r.updates[0].stream, kStreamVideo);
  EXPECT_EQ(r.updates[0].rect, CRect(0, 0, 4, 4));
}

TEST(VideoRender, JpegFramesDecodeAndMismatchesAreDropped) {
  CTestRenderer r;
  Start(r, 3, 0, 0);
  const auto jpeg = EncodeJpeg(16, 16);
  r.WriteCaptureData(JpegFrame(jpeg, 16, 16));
  const unsigned char* out = r.ComposeAll();
  const WORD top = Pixel16(out, kW, 8, 2);
  const WORD bottom = Pixel16(out, kW, 8, 13);
  EXPECT_NEAR(top >> 11, 200 >> 3, 1);
  EXPECT_LE(top & 0x1F, 1);
  EXPECT_GE(bottom & 0x1F, 30);
  EXPECT_EQ(r.GetVideoRect(), CRect(0, 0, 16, 16));
  // A header that does not match the image, or garbage, leaves the last frame.
  r.WriteCaptureData(JpegFrame(jpeg, 20, 16));
  r.WriteCaptureData(JpegFrame(std::vector<BYTE>(50, 0xAB), 16, 16));
  auto* wrongDepth = static_cast<CCaptureVideo*>(VideoFrame(16, 8, Blue, Blue, Blue));
  wrongDepth->SetGeometry(16, 8, 16);
  r.WriteCaptureData(wrongDepth);
  EXPECT_EQ(r.GetVideoRect(), CRect(0, 0, 16, 16));
  EXPECT_EQ(Pixel16(r.ComposeAll(), kW, 8, 13), bottom);
}
