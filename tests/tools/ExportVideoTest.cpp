// olvane-export into video files, read back with FFmpeg's own libraries:
// frame counts, sizes, rates, durations and sound of each format, pictures
// against the PNG frames, a change of picture size, sound kept in step with
// the pictures, and failures that leave nothing behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "MediaRead.h"
#include "tests/common/ToolRun.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "tests/common/TestEnvironment.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::string Demo(const char* name) { return testenv::BinDir() + "/demo/" + name + ".zeph"; }

ToolRun Export(const std::string& capture, const std::string& args) {
  return RunTool("olvane-export", ShellQuote(capture) + " " + args);
}

// Mean absolute difference of two RGB pictures of one size.
double MeanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.size() != b.size() || a.empty()) return 1e9;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return sum / static_cast<double>(a.size());
}

const unsigned char* Pixel(const std::vector<unsigned char>& rgb, int width, int x, int y) {
  return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
}

// 16-bit pictures of one colour, or split into a left and a right colour.
std::vector<BYTE> Picture(DWORD width, DWORD height, WORD left, WORD right) {
  std::vector<BYTE> p(DibStride(width, 16) * height);
  for (DWORD y = 0; y < height; ++y)
    for (DWORD x = 0; x < width; ++x) {
      const WORD v = x < width / 2 ? left : right;
      p[y * DibStride(width, 16) + 2 * x] = static_cast<BYTE>(v);
      p[y * DibStride(width, 16) + 2 * x + 1] = static_cast<BYTE>(v >> 8);
    }
  return p;
}

constexpr WORD kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F;

}  // namespace

TEST(ExportVideo, EachFormatReadsBackWithItsFramesSizeRateAndSound) {
  struct Case {
    const char* capture;
    const char* file;
    const char* codec;
    const char* sound;  // "" for none
    int width, height, frames;
  };
  const Case cases[] = {
      {"desktop-640x400-16bit", "clip.mp4", "h264", "aac", 640, 400, 51},   // 5 s at its 10 pictures a second
      {"desktop-800x600-24bit", "clip.webm", "vp9", "opus", 800, 600, 41},  // 4 s
      {"desktop-320x240-8bit", "clip.gif", "gif", "", 320, 240, 31},        // 3 s at the GIF's 10 a second
  };
  const std::string dir = testenv::MakeTempDir("video");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string out = dir + "/" + c.file;
    const ToolRun run = Export(Demo(c.capture), "-o " + ShellQuote(out));
    ASSERT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find("100%"), std::string::npos);
    EXPECT_FALSE(Exists(out + ".part"));
    MediaInfo info;
    ASSERT_TRUE(ReadMedia(out, info));
    EXPECT_EQ(info.videoCodec, c.codec);
    EXPECT_EQ(info.audioCodec, c.sound);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_EQ(static_cast<int>(info.frames.size()), c.frames);
    ASSERT_GE(info.frameTimes.size(), 2u);
    EXPECT_NEAR(info.frameTimes[1] - info.frameTimes[0], 0.1, 1e-3);
    EXPECT_NEAR(info.frameTimes.back() - info.frameTimes.front(), (c.frames - 1) * 0.1, 1e-3);
    EXPECT_NEAR(info.duration, c.frames * 0.1, 0.1);
    if (*c.sound) {
      // As much sound as pictures.
      EXPECT_NEAR(static_cast<double>(info.audio.size()) / info.audioRate, c.frames * 0.1, 0.03);
    }
  }
  // The index of the MP4 file comes before its media data.
  const std::string mp4 = testenv::ReadFile(dir + "/clip.mp4");
  ASSERT_NE(mp4.find("moov"), std::string::npos);
  EXPECT_LT(mp4.find("moov"), mp4.find("mdat"));
}

TEST(ExportVideo, PicturesMatchTheFramesOfTheSameTime) {
  const std::string dir = testenv::MakeTempDir("match");
  // An MP4 frame against the single frame of its time: close, H.264 being lossy.
  const std::string capture = Demo("desktop-640x400-16bit");
  ASSERT_EQ(Export(capture, "-o " + ShellQuote(dir + "/clip.mp4")).code, 0);
  ASSERT_EQ(Export(capture, "--single 2500 -o " + ShellQuote(dir + "/at2500.png")).code, 0);
  MediaInfo mp4;
  ASSERT_TRUE(ReadMedia(dir + "/clip.mp4", mp4));
  ASSERT_GT(mp4.frames.size(), 25u);
  int w = 0, h = 0;
  std::vector<unsigned char> single;
  ASSERT_TRUE(ReadPng(dir + "/at2500.png", w, h, single));
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 400);
  EXPECT_LT(MeanDifference(mp4.frames[25], single), 5.0);
  // A frame of another time differs by more: the comparison can tell.
  EXPECT_GT(MeanDifference(mp4.frames[5], single), 2 * MeanDifference(mp4.frames[25], single))
      << MeanDifference(mp4.frames[5], single) << " " << MeanDifference(mp4.frames[25], single);

  // Every GIF frame against the PNG frame of its time, within the palette's error.
  const std::string small = Demo("desktop-320x240-8bit");
  ASSERT_EQ(Export(small, "-o " + ShellQuote(dir + "/clip.gif")).code, 0);
  ASSERT_EQ(Export(small, "-o " + ShellQuote(dir + "/frames")).code, 0);
  MediaInfo gif;
  ASSERT_TRUE(ReadMedia(dir + "/clip.gif", gif));
  ASSERT_EQ(gif.frames.size(), 31u);
  for (std::size_t k = 0; k < gif.frames.size(); ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06zu.png", k);
    std::vector<unsigned char> png;
    ASSERT_TRUE(ReadPng(dir + "/frames" + name, w, h, png)) << k;
    EXPECT_LT(MeanDifference(gif.frames[k], png), 1.0) << k;
  }
}

TEST(ExportVideo, ASizeChangeIsFollowedOrScaledInNeverCropped) {
  const std::string dir = testenv::MakeTempDir("resize");
  const std::string capture = dir + "/resize.zeph";
  {
    // 40x30 red, then 80x30 blue on the left and green on the right.
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(capture));
    writer.AddStream(capture::kStreamScreen, 40, 30);
    const std::vector<BYTE> first = Picture(40, 30, kRed, kRed);
    const std::vector<BYTE> wide = Picture(80, 30, kBlue, kGreen);
    ASSERT_TRUE(writer.AddScreenPicture(0, first.data(), 40, 30, 16, true));
    ASSERT_TRUE(writer.AddScreenPicture(500, wide.data(), 80, 30, 16, true));
    ASSERT_TRUE(writer.AddScreenPicture(1000, wide.data(), 80, 30, 16, false));
    ASSERT_TRUE(writer.Finish());
  }
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  // Frames follow the picture's size.
  ASSERT_EQ(Export(capture, "--fps 2 -o " + ShellQuote(dir + "/own")).code, 0);
  ASSERT_TRUE(ReadPng(dir + "/own/frame_000000.png", w, h, rgb));
  EXPECT_EQ(w, 40);
  EXPECT_EQ(Pixel(rgb, w, 39, 29)[0], 255);
  ASSERT_TRUE(ReadPng(dir + "/own/frame_000001.png", w, h, rgb));
  ASSERT_EQ(w, 80);
  ASSERT_EQ(h, 30);
  EXPECT_EQ(Pixel(rgb, w, 79, 15)[1], 255);  // the right part is there
  EXPECT_EQ(Pixel(rgb, w, 0, 15)[2], 255);
  // With a size: the whole picture, half as high, centred on black.
  ASSERT_EQ(Export(capture, "--fps 2 --size 40x30 -o " + ShellQuote(dir + "/sized")).code, 0);
  ASSERT_TRUE(ReadPng(dir + "/sized/frame_000001.png", w, h, rgb));
  ASSERT_EQ(w, 40);
  ASSERT_EQ(h, 30);
  EXPECT_EQ(Pixel(rgb, w, 39, 15)[1], 255);
  EXPECT_EQ(Pixel(rgb, w, 0, 15)[2], 255);
  for (int y : {0, 6, 23, 29}) EXPECT_EQ(Pixel(rgb, w, 20, y)[0] + Pixel(rgb, w, 20, y)[1], 0) << y;
  EXPECT_GT(Pixel(rgb, w, 39, 8)[1], 0);
  EXPECT_GT(Pixel(rgb, w, 39, 21)[1], 0);
  // The video keeps the first picture's size and scales the wider one in.
  ASSERT_EQ(Export(capture, "--fps 2 -o " + ShellQuote(dir + "/resize.mp4")).code, 0);
  MediaInfo mp4;
  ASSERT_TRUE(ReadMedia(dir + "/resize.mp4", mp4));
  EXPECT_EQ(mp4.width, 40);
  EXPECT_EQ(mp4.height, 30);
  ASSERT_EQ(mp4.frames.size(), 3u);
  const unsigned char* right = Pixel(mp4.frames[2], 40, 36, 15);
  EXPECT_GT(right[1], 180);
  EXPECT_LT(right[0], 80);
  EXPECT_LT(Pixel(mp4.frames[2], 40, 20, 1)[1], 40);
}

TEST(ExportVideo, SoundStaysInStepWithThePicturesOverTenMinutes) {
  // 10 minutes of a dark 16x16 screen and quiet 8 kHz sound; at 9:50 the
  // screen turns white and a loud tone starts, both at the same instant.
  constexpr DWORD kFlash = 590000, kLength = 600000, kBlock = 8000;  // 500 ms of 16-bit mono
  const std::string dir = testenv::MakeTempDir("sync");
  const std::string capture = dir + "/sync.zeph";
  {
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(capture));
    writer.AddStream(capture::kStreamScreen, 16, 16);
    writer.AddStream(capture::kStreamAudio);
    CaptureAudioFormat format;
    format.codec = CCaptureAudio::kCodecPcm;
    format.samplesPerSecond = 8000;
    format.bitsPerSample = 16;
    format.channels = 1;
    const std::vector<BYTE> dark = Picture(16, 16, 0, 0), white = Picture(16, 16, 0xFFFF, 0xFFFF);
    std::vector<BYTE> pcm(kBlock);
    for (DWORD t = 0; t < kLength; t += 500) {
      if (t % 10000 == 0 || t == kFlash) {
        ASSERT_TRUE(writer.AddScreenPicture(t, t >= kFlash ? white.data() : dark.data(), 16, 16, 16, true));
      }
      for (DWORD i = 0; i < kBlock / 2; ++i) {
        const int v = t >= kFlash ? ((i / 8) % 2 ? 20000 : -20000) : 0;
        pcm[2 * i] = static_cast<BYTE>(v);
        pcm[2 * i + 1] = static_cast<BYTE>(v >> 8);
      }
      auto* block = new CCaptureAudio();
      block->SetTime(t);
      block->SetFormat(format);
      block->SetStreamPosition(t / 500 * kBlock);
      block->SetAnchor(t / 500 * kBlock, t);
      block->SetDataCopy(pcm.data(), kBlock);
      block->SetDecodedLength(kBlock);
      ASSERT_TRUE(writer.WriteRecord(*block));
      block->Release();
    }
    ASSERT_TRUE(writer.AddScreenPicture(kLength, white.data(), 16, 16, 16, false));
    ASSERT_TRUE(writer.Finish());
  }
  for (const char* file : {"sync.mp4", "sync.webm"}) {
    SCOPED_TRACE(file);
    const std::string out = dir + "/" + file;
    const ToolRun run = Export(capture, "--fps 10 --size 16x16 -o " + ShellQuote(out));
    ASSERT_EQ(run.code, 0) << run.out;
    MediaInfo info;
    ASSERT_TRUE(ReadMedia(out, info));
    ASSERT_EQ(info.frames.size(), static_cast<std::size_t>(kLength / 100 + 1));
    double pictureTime = -1;
    for (std::size_t k = 0; k < info.frames.size() && pictureTime < 0; ++k)
      if (info.frames[k][0] > 128) pictureTime = info.frameTimes[k];
    double soundTime = -1;
    for (std::size_t i = 0; i < info.audio.size() && soundTime < 0; ++i)
      if (std::fabs(info.audio[i]) > 0.3f) soundTime = static_cast<double>(i) / info.audioRate;
    EXPECT_NEAR(pictureTime - info.frameTimes[0], kFlash / 1000.0, 1e-3);
    EXPECT_NEAR(soundTime, pictureTime, 0.1);  // within one frame
  }
}

TEST(ExportVideo, FailedExportsLeaveNothingAndSayWhy) {
  const std::string dir = testenv::MakeTempDir("fail");
  const std::string capture = Demo("desktop-320x240-8bit");
  const std::string notAFolder = dir + "/file";
  {
    FILE* f = std::fopen(notAFolder.c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs("not a capture", f);
    std::fclose(f);
  }
  struct Case {
    std::string capture, output, extra;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {capture, notAFolder + "/clip.mp4", "", 1, "cannot create"},
      {capture, notAFolder + "/clip.gif", "", 1, "cannot create"},
      {capture, dir + "/clip.avi", "", 2, "unknown output type .avi"},
      {capture, dir + "/odd.mp4", "--size 33x20", 2, "even"},
      {dir + "/missing.zeph", dir + "/missing.mp4", "", 1, "No such file"},
      {notAFolder, dir + "/garbage.webm", "", 1, "is not a capture"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    const ToolRun run = Export(c.capture, "-o " + ShellQuote(c.output) + " " + c.extra);
    EXPECT_EQ(run.code, c.code) << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    EXPECT_FALSE(Exists(c.output));
    EXPECT_FALSE(Exists(c.output + ".part"));
  }
}
