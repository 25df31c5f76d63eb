// Frame extraction from captures made by the writer: exact pictures at each
// tick, total frames, starting later, one-frame mode and the end.
#include <gtest/gtest.h>

#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderFrames.h"
#include "tests/common/TestEnvironment.h"
#include "tests/pravex/capture/CaptureTestUtil.h"

namespace {

constexpr DWORD kW = 32, kH = 24;

std::vector<DWORD> EveryHalfSecond(DWORD until) {
  std::vector<DWORD> times;
  for (DWORD t = 0; t <= until; t += 500) times.push_back(t);
  return times;
}

struct FrameBuffer {
  BITMAPINFOHEADER header{};
  std::vector<BYTE> bytes;
  FrameBuffer() {
    header.biWidth = kW;
    header.biHeight = kH;
    header.biBitCount = 16;
    header.biSizeImage = static_cast<DWORD>(DibStride(kW, 16) * kH);
    bytes.resize(header.biSizeImage);
  }
  // The frame turned back to top-down rows, to compare with a picture.
  std::vector<BYTE> TopDown() const {
    const std::size_t stride = DibStride(kW, 16);
    std::vector<BYTE> out(bytes.size());
    for (DWORD r = 0; r < kH; ++r)
      std::copy_n(bytes.data() + (kH - 1 - r) * stride, stride, out.data() + r * stride);
    return out;
  }
};

// Picture index shown at time t for pictures every 500 ms.
int PictureAt(DWORD t) { return static_cast<int>(t / 500); }

}  // namespace

TEST(RenderFrames, FramesArePicturesAtEachTickAndTotalIs99) {
  const std::string path = capturetest::WriteSimpleCapture(testenv::MakeTempDir(), EveryHalfSecond(10000), kW, kH);
  CRenderFrames frames;
  frames.GetRenderVars()->SetCursorDisplay(0);
  ASSERT_EQ(frames.Open(path.c_str(), 10), 1);
  EXPECT_EQ(frames.GetTotalFrames(), 99u);
  EXPECT_EQ(frames.GetXRes(), static_cast<int>(kW));
  EXPECT_EQ(frames.GetYRes(), static_cast<int>(kH));
  EXPECT_EQ(frames.DetectAudioStream(), 0);
  ASSERT_EQ(frames.Start(0), 1);
  FrameBuffer f;
  int n = 0;
  while (frames.GetFrame(f.bytes.data(), &f.header, CRect(0, 0, kW, kH))) {
    const DWORD t = static_cast<DWORD>(n) * 100;
    const auto expected = capturetest::DesktopPicture(kW, kH, 16, PictureAt(t));
    ASSERT_TRUE(capturetest::SamePixels(f.TopDown().data(), expected.data(), kW, kH, 16)) << "frame " << n;
    ++n;
  }
  EXPECT_GE(n, 100);
  EXPECT_TRUE(frames.IsEOF());
  // After the end GetFrame answers at once.
  EXPECT_EQ(frames.GetFrame(f.bytes.data(), &f.header, CRect(0, 0, kW, kH)), 0);
  frames.Close();
}

TEST(RenderFrames, StartingLaterAdvancesAndEnds) {
  const std::string path = capturetest::WriteSimpleCapture(testenv::MakeTempDir(), EveryHalfSecond(3000), kW, kH);
  CRenderFrames frames;
  ASSERT_EQ(frames.Open(path.c_str(), 10), 1);
  ASSERT_EQ(frames.Start(2000), 1);
  FrameBuffer f;
  int n = 0;
  while (frames.GetFrame(f.bytes.data(), &f.header, CRect(0, 0, kW, kH))) {
    const auto expected = capturetest::DesktopPicture(kW, kH, 16, PictureAt(2000 + 100 * n));
    ASSERT_TRUE(capturetest::SamePixels(f.TopDown().data(), expected.data(), kW, kH, 16)) << "frame " << n;
    ++n;
  }
  EXPECT_GE(n, 10);
  EXPECT_LE(n, 12);
}

TEST(RenderFrames, OneFrameModeDeliversExactlyTheFrameAtT) {
  const std::string path = capturetest::WriteSimpleCapture(testenv::MakeTempDir(), EveryHalfSecond(3000), kW, kH);
  CRenderFrames frames;
  ASSERT_EQ(frames.Open(path.c_str(), 10), 1);
  for (DWORD t : {1700u, 0u, 2500u}) {
    SCOPED_TRACE(t);
    frames.SetOneFrameMode();
    ASSERT_EQ(frames.Start(t), 1);
    FrameBuffer f;
    ASSERT_EQ(frames.GetFrame(f.bytes.data(), &f.header, CRect(0, 0, kW, kH)), 1);
    const auto expected = capturetest::DesktopPicture(kW, kH, 16, PictureAt(t));
    EXPECT_TRUE(capturetest::SamePixels(f.TopDown().data(), expected.data(), kW, kH, 16));
    EXPECT_EQ(frames.GetFrame(f.bytes.data(), &f.header, CRect(0, 0, kW, kH)), 0);
  }
}

TEST(RenderFrames, StopReleasesAndAStaleAreaIsClamped) {
  const std::string path = capturetest::WriteSimpleCapture(testenv::MakeTempDir(), EveryHalfSecond(2000), kW, kH);
  CRenderFrames frames;
  EXPECT_EQ(frames.Start(0), 0);  // not open
  EXPECT_EQ(frames.Open("/nonexistent/capture.zeph", 10), 0);
  ASSERT_EQ(frames.Open(path.c_str(), 5), 1);
  ASSERT_EQ(frames.Start(0), 1);
  // An area larger than the picture (an older, larger size) reads only the picture.
  BITMAPINFOHEADER header{};
  header.biWidth = 64;
  header.biHeight = 48;
  header.biBitCount = 24;
  header.biSizeImage = static_cast<DWORD>(DibStride(64, 24) * 48);
  std::vector<BYTE> big(header.biSizeImage);
  EXPECT_EQ(frames.GetFrame(big.data(), &header, CRect(0, 0, 64, 48)), 1);
  EXPECT_EQ(frames.GetFrameArea(), CRect(0, 0, kW, kH));
  frames.Stop();
  EXPECT_EQ(frames.GetFrame(big.data(), &header, CRect(0, 0, 64, 48)), 0);
  // Start again on the open capture.
  ASSERT_EQ(frames.Start(0), 1);
  EXPECT_EQ(frames.GetFrame(big.data(), &header, CRect(0, 0, kW, kH)), 1);
  frames.Close();
}
