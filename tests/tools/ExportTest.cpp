// olvane-export: frame and sound counts on the demo captures, pixel-exact
// frames of a writer-made capture, one frame, and the exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <dirent.h>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "MediaRead.h"
#include "tests/common/ToolRun.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "tests/common/TestEnvironment.h"

namespace {

int CountFrames(const std::string& dir) {
  int n = 0;
  DIR* d = opendir(dir.c_str());
  if (!d) return -1;
  while (dirent* e = readdir(d)) n += std::string(e->d_name).rfind("frame_", 0) == 0;
  closedir(d);
  return n;
}

DWORD Duration(const std::string& path) {
  CCaptureFileReader reader;
  return reader.Open(path) ? reader.GetDuration() : 0;
}

struct WavInfo {
  DWORD byteRate = 0, dataLength = 0, fileLength = 0;
};

bool ReadWav(const std::string& path, WavInfo& info) {
  const std::string bytes = testenv::ReadFile(path);
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") || bytes.compare(36, 4, "data")) return false;
  auto le32 = [&](std::size_t at) {
    return static_cast<DWORD>(static_cast<BYTE>(bytes[at]) | static_cast<BYTE>(bytes[at + 1]) << 8 |
                              static_cast<BYTE>(bytes[at + 2]) << 16 |
                              static_cast<DWORD>(static_cast<BYTE>(bytes[at + 3])) << 24);
  };
  info.byteRate = le32(28);
  info.dataLength = le32(40);
  info.fileLength = static_cast<DWORD>(bytes.size());
  return true;
}

// 565 component expanded as the frames give it (248 and up is full).
BYTE Expand(unsigned v) { return static_cast<BYTE>(v >= 248 ? 255 : v); }

// Frame k of the folder shows the 16-bit picture k, pixel for pixel.
void ExpectFramesShowPictures(const std::string& out, const std::vector<std::vector<BYTE>>& pictures, DWORD kW,
                              DWORD kH) {
  for (std::size_t k = 0; k < pictures.size(); ++k) {
    int w = 0, h = 0;
    std::vector<BYTE> rgb;
    char name[64];
    std::snprintf(name, sizeof name, "/frame_%06zu.png", k);
    ASSERT_TRUE(ReadPng(out + name, w, h, rgb)) << name;
    ASSERT_EQ(w, static_cast<int>(kW));
    ASSERT_EQ(h, static_cast<int>(kH));
    const std::vector<BYTE>& p = pictures[k];
    for (DWORD y = 0; y < kH; ++y) {
      for (DWORD x = 0; x < kW; ++x) {
        const BYTE* s = p.data() + y * DibStride(kW, 16) + 2 * x;
        const unsigned v = s[0] | (s[1] << 8);
        const BYTE* o = rgb.data() + (y * kW + x) * 3;
        ASSERT_EQ(o[0], Expand((v >> 8) & 0xF8)) << k << " " << x << "," << y;
        ASSERT_EQ(o[1], Expand((v >> 3) & 0xF8)) << k << " " << x << "," << y;
        ASSERT_EQ(o[2], Expand((v << 3) & 0xFF)) << k << " " << x << "," << y;
      }
    }
  }
}

}  // namespace

TEST(Export, EveryDemoCaptureGivesItsFramesAndSound) {
  const std::string demo = testenv::BinDir() + "/demo";
  int seen = 0;
  for (const char* name : {"desktop-640x400-16bit", "desktop-800x600-24bit", "desktop-320x240-8bit"}) {
    SCOPED_TRACE(name);
    const std::string capture = demo + "/" + name + ".zeph";
    struct stat st {};
    if (stat(capture.c_str(), &st) != 0) continue;
    ++seen;
    const std::string out = testenv::MakeTempDir("export");
    const ToolRun run = RunTool("olvane-export", ShellQuote(capture) + " -o " + ShellQuote(out) + " --fps 10");
    ASSERT_EQ(run.code, 0) << run.out;
    const DWORD duration = Duration(capture);
    ASSERT_GT(duration, 0u);
    // The frame at the capture's end is written: its last record falls on a tick.
    ASSERT_EQ(duration % 100, 0u);
    const DWORD frames = duration * 10 / 1000 + 1;
    EXPECT_EQ(CountFrames(out), static_cast<int>(frames));
    EXPECT_NE(run.out.find("100%"), std::string::npos);
    EXPECT_NE(run.out.find("x real time"), std::string::npos);
    WavInfo wav;
    if (std::string(name).find("8bit") != std::string::npos) {
      EXPECT_FALSE(ReadWav(out + "/audio.wav", wav));  // no sound, no file
      continue;
    }
    ASSERT_TRUE(ReadWav(out + "/audio.wav", wav));
    EXPECT_GT(wav.byteRate, 0u);
    // The sound spans the frames: one tenth of a second each.
    EXPECT_EQ(wav.dataLength, static_cast<DWORD>(static_cast<std::uint64_t>(frames) * wav.byteRate / 10));
    EXPECT_EQ(wav.fileLength, 44 + wav.dataLength + (wav.dataLength & 1));
  }
  EXPECT_EQ(seen, 3);
}

TEST(Export, WriterMadeCaptureComesOutPixelForPixel) {
  constexpr DWORD kW = 37, kH = 21;  // odd width: padded rows
  const std::string dir = testenv::MakeTempDir("exact");
  const std::string capture = dir + "/exact.zeph";
  std::vector<std::vector<BYTE>> pictures;
  {
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(capture));
    writer.AddStream(capture::kStreamScreen, kW, kH);
    std::mt19937 random(7);
    for (int i = 0; i < 6; ++i) {
      std::vector<BYTE> p(DibStride(kW, 16) * kH);
      for (BYTE& b : p) b = static_cast<BYTE>(random());
      ASSERT_TRUE(writer.AddScreenPicture(static_cast<DWORD>(i) * 200, p.data(), kW, kH, 16, i % 3 == 0));
      pictures.push_back(p);
    }
    ASSERT_TRUE(writer.Finish());
  }
  const std::string out = dir + "/frames";
  const ToolRun run =
      RunTool("olvane-export", ShellQuote(capture) + " -o " + ShellQuote(out) + " --fps 5 --quality plain");
  ASSERT_EQ(run.code, 0) << run.out;
  ASSERT_EQ(CountFrames(out), 6);  // 0 to 1000 ms at 5 frames a second, the end included
  ExpectFramesShowPictures(out, pictures, kW, kH);
  // One frame at 650 ms shows the picture of 600 ms, scaled to the size asked.
  const ToolRun single = RunTool("olvane-export", ShellQuote(capture) + " --single 650 --size 74x42 -o " +
                                                      ShellQuote(dir + "/one.png") + " --quality plain");
  ASSERT_EQ(single.code, 0) << single.out;
  int w = 0, h = 0;
  std::vector<BYTE> rgb;
  ASSERT_TRUE(ReadPng(dir + "/one.png", w, h, rgb));
  EXPECT_EQ(w, 74);
  EXPECT_EQ(h, 42);
  const BYTE* s = pictures[3].data();
  EXPECT_EQ(rgb[0], Expand(s[1] & 0xF8));
}

// Frames are compressed in bands of rows and a band that did not change keeps
// the frame before's bytes: changes on a band's first and last rows (which the
// next band's filter reads), a frame without change and a frame changed
// everywhere must all come out exactly.
TEST(Export, FramesChangedInSomeRowsComeOutPixelForPixel) {
  constexpr DWORD kW = 23, kH = 70;  // several bands, the last one short
  const std::string dir = testenv::MakeTempDir("bands");
  const std::string capture = dir + "/bands.zeph";
  std::vector<std::vector<BYTE>> pictures;
  {
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(capture));
    writer.AddStream(capture::kStreamScreen, kW, kH);
    std::mt19937 random(11);
    std::vector<BYTE> p(DibStride(kW, 16) * kH);
    for (BYTE& b : p) b = static_cast<BYTE>(random());
    // Rows changed per picture: none (the first is new), a band's last row,
    // the next band's first, none at all, two rows far apart, every row.
    const std::vector<std::vector<DWORD>> changes = {{}, {15}, {32}, {}, {3, 69}, {}};
    for (std::size_t i = 0; i < changes.size(); ++i) {
      for (const DWORD row : changes[i]) p[row * DibStride(kW, 16) + 5] ^= 0x5A;
      if (i + 1 == changes.size())
        for (BYTE& b : p) b = static_cast<BYTE>(random());
      ASSERT_TRUE(writer.AddScreenPicture(static_cast<DWORD>(i) * 200, p.data(), kW, kH, 16, i == 0));
      pictures.push_back(p);
    }
    ASSERT_TRUE(writer.Finish());
  }
  const std::string out = dir + "/frames";
  const ToolRun run =
      RunTool("olvane-export", ShellQuote(capture) + " -o " + ShellQuote(out) + " --fps 5 --quality plain");
  ASSERT_EQ(run.code, 0) << run.out;
  ASSERT_EQ(CountFrames(out), 6);
  ExpectFramesShowPictures(out, pictures, kW, kH);
}

TEST(Export, ExitCodes) {
  const std::string dir = testenv::MakeTempDir("codes");
  struct Case {
    std::string args;
    int code;
  };
  const Case cases[] = {
      {"--help", 0},
      {"", 2},
      {"capture.zeph", 2},  // no output
      {"capture.zeph -o out --fps 0", 2},
      {"capture.zeph -o out --size 10y10", 2},
      {"capture.zeph -o out --quality best", 2},
      {"capture.zeph -o out --bogus", 2},
      {ShellQuote(dir + "/missing.zeph") + " -o " + ShellQuote(dir + "/out"), 1},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool("olvane-export", c.args);
    EXPECT_EQ(run.code, c.code) << c.args << "\n" << run.out;
  }
}

TEST(Export, TheLastPictureAndAFrameOnTheRangeEndAreWritten) {
  const std::string dir = testenv::MakeTempDir("last");
  const std::string capture = dir + "/last.zeph";
  constexpr DWORD kW = 8, kH = 6;
  {
    // The only picture is the capture's last record.
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(capture));
    writer.AddStream(capture::kStreamScreen, kW, kH);
    const std::vector<BYTE> white(DibStride(kW, 16) * kH, 0xFF);
    ASSERT_TRUE(writer.AddScreenPicture(1000, white.data(), kW, kH, 16, true));
    ASSERT_TRUE(writer.Finish());
  }
  const std::string out = dir + "/frames";
  ToolRun run = RunTool("olvane-export", ShellQuote(capture) + " -o " + ShellQuote(out) + " --fps 10");
  ASSERT_EQ(run.code, 0) << run.out;
  ASSERT_EQ(CountFrames(out), 11);  // 0, 100, ... 1000 ms
  int w = 0, h = 0;
  std::vector<BYTE> rgb;
  ASSERT_TRUE(ReadPng(out + "/frame_000009.png", w, h, rgb));
  EXPECT_EQ(rgb[0], 0);
  ASSERT_TRUE(ReadPng(out + "/frame_000010.png", w, h, rgb));
  EXPECT_EQ(rgb[0], 255);
  // --to takes in a frame that falls exactly on it: 0, 200, 400 and 600 ms.
  const std::string part = dir + "/part";
  run = RunTool("olvane-export", ShellQuote(capture) + " -o " + ShellQuote(part) + " --fps 5 --to 600");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(CountFrames(part), 4);
  run = RunTool("olvane-export", ShellQuote(capture) + " -o " + ShellQuote(part + "2") + " --fps 5 --to 599");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(CountFrames(part + "2"), 3);
}
