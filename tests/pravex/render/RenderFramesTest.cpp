// Frame extraction from captures made by the writer: exact pictures at each
// tick, total frames, starting later, one-frame mode and the end.
#include <gtest/gtest.h>

#include <vector>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"
#include "glimra/MemoryArchive.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/render/RenderFrames.h"
#include "tests/common/TestEnvironment.h"
#include "tests/pravex/capture/CaptureTestUtil.h"
#include "tests/pravex/render/RenderTestUtil.h"

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
    for (DWORD r = 0; r < kH; ++r) std::copy_n(bytes.data() + (kH - 1 - r) * stride, stride, out.data() + r * stride);
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

namespace {

// A capture whose trailer holds one opaque box (red inside, blue outline) on
// screen from 1000 ms for 2000 ms.
std::string WriteAnnotatedCapture(const std::string& dir) {
  CAnnotateData set;
  rendertest::AddOpaqueBox(set, 1000, 2000);
  CMemoryArchive archive(set.CalculateDataSize(), TRUE);
  EXPECT_TRUE(set.Save(archive));
  const std::vector<BYTE> bytes(archive.GetBuffer(), archive.GetBuffer() + archive.GetBufferSize());
  const std::string path = dir + "/annotated.zeph";
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(capture::kStreamScreen, kW, kH);
  const std::vector<BYTE> grey(DibStride(kW, 16) * kH, 0x42);
  for (DWORD t = 0; t <= 4000; t += 1000) writer.AddScreenPicture(t, grey.data(), kW, kH, 16, t == 0);
  writer.SetAnnotationArchive(bytes);
  writer.Finish();
  return path;
}

WORD FramePixel(const FrameBuffer& f, int x, int y) {
  const BYTE* p = f.bytes.data() + (kH - 1 - y) * DibStride(kW, 16) + 2 * x;
  return static_cast<WORD>(p[0] | (p[1] << 8));
}

}  // namespace

TEST(RenderFrames, AnnotationsAreDrawnOverTheScreenWhileOnDisplay) {
  const std::string path = WriteAnnotatedCapture(testenv::MakeTempDir());
  for (int render : {1, 0}) {
    SCOPED_TRACE(render);
    CRenderFrames frames;
    frames.SetRenderAnnotation(render);
    frames.GetRenderVars()->SetCursorDisplay(0);
    ASSERT_EQ(frames.Open(path.c_str(), 2), 1);
    ASSERT_EQ(frames.Start(0), 1);
    FrameBuffer f;
    std::vector<WORD> inside, edge;
    while (frames.GetFrame(f.bytes.data(), &f.header, CRect(0, 0, kW, kH))) {
      inside.push_back(FramePixel(f, 6, 6));
      edge.push_back(FramePixel(f, 4, 6));
      EXPECT_EQ(FramePixel(f, 20, 20), 0x4242);
    }
    ASSERT_GE(inside.size(), 8u);  // frames at 0, 500, ... 4000 ms
    for (std::size_t k = 0; k < inside.size(); ++k) {
      const bool shown = render && k * 500 >= 1000 && k * 500 < 3000;
      EXPECT_EQ(inside[k], shown ? 0xF800 : 0x4242) << k;
      EXPECT_EQ(edge[k], shown ? 0x001F : 0x4242) << k;
    }
  }
}

TEST(RenderFrames, SoundOfAHighRateCaptureArrivesWhole) {
  // 3 s of 44.1 kHz 16-bit stereo in 250 ms blocks: more than the memory
  // ring holds for the usual 2 s of sound decoded ahead.
  const std::string path = testenv::MakeTempDir() + "/sound.zeph";
  CaptureAudioFormat format;
  format.codec = CCaptureAudio::kCodecPcm;
  format.samplesPerSecond = 44100;
  format.bitsPerSample = 16;
  format.channels = 2;
  constexpr DWORD kBlock = 44100;  // bytes of 250 ms
  {
    CCaptureFileWriter writer;
    writer.Create(path);
    writer.AddStream(capture::kStreamScreen, kW, kH);
    writer.AddStream(capture::kStreamAudio);
    const std::vector<BYTE> grey(DibStride(kW, 16) * kH, 0x42);
    std::vector<BYTE> pcm(kBlock);
    for (DWORD t = 0; t <= 3000; t += 250) {
      if (t % 500 == 0) writer.AddScreenPicture(t, grey.data(), kW, kH, 16, t == 0);
      if (t == 3000) break;
      for (DWORD i = 0; i < kBlock; ++i) pcm[i] = static_cast<BYTE>(t / 250 + i);
      auto* block = new CCaptureAudio();
      block->SetTime(t);
      block->SetFormat(format);
      block->SetStreamPosition(t / 250 * kBlock);
      block->SetAnchor(t / 250 * kBlock, t);
      block->SetDataCopy(pcm.data(), kBlock);
      block->SetDecodedLength(kBlock);
      writer.WriteRecord(*block);
      block->Release();
    }
    writer.Finish();
  }
  CRenderFrames frames;
  frames.SetRenderAudio(1);
  ASSERT_EQ(frames.Open(path.c_str(), 10), 1);
  ASSERT_EQ(frames.DetectAudioStream(), 1);
  CaptureAudioFormat found;
  ASSERT_EQ(frames.GetAudioFormat(found), 1);
  EXPECT_EQ(found.samplesPerSecond, 44100u);
  EXPECT_LT(frames.GetAudioLead(), 2000u);
  ASSERT_EQ(frames.Start(0), 1);
  FrameBuffer f;
  std::vector<BYTE> sound, chunk(65536);
  auto drain = [&] {
    for (int length = static_cast<int>(chunk.size()); frames.GetAudio(chunk.data(), length) && length > 0;
         length = static_cast<int>(chunk.size()))
      sound.insert(sound.end(), chunk.begin(), chunk.begin() + length);
  };
  while (frames.GetFrame(f.bytes.data(), &f.header, CRect(0, 0, kW, kH))) drain();
  drain();
  ASSERT_EQ(sound.size(), 12u * kBlock);
  for (DWORD b = 0; b < 12; ++b) EXPECT_EQ(sound[b * kBlock + 1], static_cast<BYTE>(b + 1)) << b;
}
