// olvane-mkcapture run as a program: the captures it writes open, hold the
// streams asked for and decode completely; PNG frames and WAV sound arrive
// unchanged; bad input and bad usage give their exit codes.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/ToolRun.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/CaptureStreamInfo.h"
#include "pravex/capture/CaptureVideo.h"
#include "pravex/capture/GsmCodec.h"
#include "pravex/capture/IdleStretches.h"
#include "pravex/capture/ScreenCodec.h"
#include "tests/common/TestEnvironment.h"

using namespace capture;

namespace {

// Everything a test wants to know about a written capture.
struct Contents {
  bool opened = false;
  std::vector<std::pair<WORD, DWORD>> streams;  // (stream, width)
  DWORD duration = 0;
  CCaptureInfo info;
  std::vector<DWORD> screenTimes;
  int undecodable = 0;
  std::vector<BYTE> lastPicture;
  WORD bits = 0;
  int cursors = 0;
  int cursorShapes = 0;
  bool anyClick = false;
  int cameraPictures = 0;
  int badJpeg = 0;
  CaptureAudioFormat sound;
  std::vector<BYTE> soundData;
  int badGsmFrames = 0;
};

void NoteRecord(CCaptureData* record, CScreenCodec& codec, CGsmCodec& gsm, Contents& c) {
  switch (record->GetRecordType()) {
    case kRecordScreen: {
      auto* screen = static_cast<CCaptureScreen*>(record);
      c.screenTimes.push_back(screen->GetTime());
      c.bits = screen->GetBitsPerPixel();
      if (!codec.Decode(*screen) || codec.GetLastStatus() != CScreenCodec::kDecodeOk)
        ++c.undecodable;
      else
        c.lastPicture.assign(codec.GetPicture(), codec.GetPicture() + codec.GetPictureSize());
      break;
    }
    case kRecordCursor: {
      auto* cursor = static_cast<CCaptureCursor*>(record);
      ++c.cursors;
      if (cursor->GetContentFlags() & CCaptureCursor::kHasShape) c.cursorShapes += cursor->IsShapeComplete();
      c.anyClick |= cursor->GetClickState() != 0;
      break;
    }
    case kRecordVideo: {
      ++c.cameraPictures;
      const BYTE* data = record->GetDataBytes();
      if (record->GetDataLength() < 4 || data[0] != 0xFF || data[1] != 0xD8) ++c.badJpeg;
      break;
    }
    case kRecordAudio: {
      auto* block = static_cast<CCaptureAudio*>(record);
      c.sound = block->GetFormat();
      const BYTE* data = block->GetDataBytes();
      c.soundData.insert(c.soundData.end(), data, data + block->GetDataLength());
      if (c.sound.codec == CCaptureAudio::kCodecGsm) {
        short samples[CGsmCodec::kFrameSamples];
        for (DWORD at = 0; at + CGsmCodec::kFrameBytes <= block->GetDataLength(); at += CGsmCodec::kFrameBytes) {
          c.badGsmFrames += !gsm.DecodeFrame(data + at, samples);
        }
      }
      break;
    }
    default:
      break;
  }
}

Contents ReadCapture(const std::string& path) {
  Contents c;
  CCaptureFileReader reader;
  if (!reader.Open(path)) return c;
  c.opened = true;
  for (std::size_t i = 0; i < reader.GetHeaderCount(); ++i) {
    const auto* info = static_cast<const CCaptureStreamInfo*>(reader.GetHeader(i));
    c.streams.emplace_back(info->GetDescribedStream(), info->GetWidth());
  }
  c.duration = reader.GetDuration();
  reader.BuildInfo(c.info);
  CScreenCodec codec(false, false);
  CGsmCodec gsm;
  reader.SeekToTime(0);
  for (;;) {
    CCaptureData* record = reader.ReadRecord(true);
    const bool end = record->GetRecordType() == kRecordEndOfStream || record->GetStreamType() == kStreamTrailer;
    if (!end) NoteRecord(record, codec, gsm, c);
    record->Release();
    if (end) break;
  }
  return c;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<BYTE>& rgb) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

std::string Wav(DWORD rate, WORD channels, const std::vector<BYTE>& pcm) {
  std::string out = "RIFF";
  auto put32 = [&out](DWORD v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
  };
  auto put16 = [&out](WORD v) {
    out += static_cast<char>(v);
    out += static_cast<char>(v >> 8);
  };
  put32(static_cast<DWORD>(36 + pcm.size()));
  out += "WAVEfmt ";
  put32(16);
  put16(1);
  put16(channels);
  put32(rate);
  put32(rate * channels * 2);
  put16(static_cast<WORD>(channels * 2));
  put16(16);
  out += "data";
  put32(static_cast<DWORD>(pcm.size()));
  out.append(pcm.begin(), pcm.end());
  return out;
}

struct DemoCase {
  const char* name;
  const char* options;
  WORD bits;
  bool camera;
  WORD codec;  // 0xFFFF: no sound
  DWORD rate;
};

}  // namespace

class MkCaptureDemo : public ::testing::TestWithParam<DemoCase> {};

TEST_P(MkCaptureDemo, WritesACompleteCaptureThatDecodes) {
  const DemoCase& param = GetParam();
  const std::string path = testenv::MakeTempDir() + "/demo.zeph";
  const ToolRun run =
      RunTool("olvane-mkcapture",
              "demo " + ShellQuote(path) + " --size 320x240 --seconds 2 --fps 5 --title 'A;B|C' " + param.options);
  ASSERT_EQ(run.code, 0) << run.out;
  const Contents c = ReadCapture(path);
  ASSERT_TRUE(c.opened);
  ASSERT_FALSE(c.streams.empty());
  EXPECT_EQ(c.streams[0], std::make_pair(WORD{kStreamScreen}, DWORD{320}));
  EXPECT_EQ(c.duration, 2000u);
  EXPECT_EQ(c.info.Lookup("CaptureFile_Version"), "3");
  EXPECT_EQ(c.info.Lookup("Title"), "A B C");  // separators cannot be stored
  EXPECT_NE(c.info.Lookup("Description").find("320x240"), std::string::npos) << c.info.Lookup("Description");
  EXPECT_EQ(c.screenTimes, (std::vector<DWORD>{0, 200, 400, 600, 800, 1000, 1200, 1400, 1600, 1800, 2000}));
  EXPECT_EQ(c.undecodable, 0);
  EXPECT_EQ(c.bits, param.bits);
  EXPECT_EQ(c.lastPicture.size(), DibImageSize(320, 240, param.bits));
  EXPECT_GE(c.cursors, 5);
  EXPECT_GE(c.cursorShapes, 2);  // the arrow, then the text cursor over the editor
  EXPECT_TRUE(c.anyClick);
  EXPECT_EQ(c.cameraPictures, param.camera ? 11 : 0);  // five a second, both ends included
  EXPECT_EQ(c.badJpeg, 0);
  if (param.codec == 0xFFFF) {
    EXPECT_TRUE(c.soundData.empty());
  } else {
    EXPECT_EQ(c.sound.codec, param.codec);
    EXPECT_EQ(c.sound.samplesPerSecond, param.rate);
    const std::size_t expected = param.codec == CCaptureAudio::kCodecGsm ? 2 * 8000 / 160 * 33 : 2 * 22050 * 2;
    EXPECT_EQ(c.soundData.size(), expected);
    EXPECT_EQ(c.badGsmFrames, 0);
  }
  const ToolRun probe = RunTool("olvane-probe", "--verify " + ShellQuote(path));
  EXPECT_EQ(probe.code, 0) << probe.out;
}

INSTANTIATE_TEST_SUITE_P(
    Depths, MkCaptureDemo,
    ::testing::Values(DemoCase{"Bits16Gsm", "--bits 16 --sound gsm", 16, true, CCaptureAudio::kCodecGsm, 8000},
                      DemoCase{"Bits24Pcm", "--bits 24 --sound pcm --no-camera", 24, false, CCaptureAudio::kCodecPcm,
                               22050},
                      DemoCase{"Bits8Silent", "--bits 8 --sound none --no-camera", 8, false, 0xFFFF, 0}),
    [](const ::testing::TestParamInfo<DemoCase>& info) { return std::string(info.param.name); });

TEST(MkCapture, PngFramesAndWavArriveUnchanged) {
  const std::string dir = testenv::MakeTempDir();
  const std::string frames = dir + "/frames";
  std::filesystem::create_directories(frames);
  const int w = 7, h = 5;  // odd width: 24-bit rows are padded
  std::vector<std::vector<BYTE>> pictures;
  for (int f = 0; f < 3; ++f) {
    std::vector<BYTE> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<BYTE>(i * 7 + (i % 3 == 0 && f ? 40 * f : 0));
    ASSERT_TRUE(WritePng(frames + "/frame" + std::to_string(f) + ".png", w, h, rgb));
    pictures.push_back(rgb);
  }
  std::vector<BYTE> pcm(8000);  // half a second of 8000 Hz 16-bit mono
  for (std::size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<BYTE>(i * 13);
  ASSERT_TRUE(testenv::WriteFile(dir + "/sound.wav", Wav(8000, 1, pcm)));
  const std::string path = dir + "/frames.zeph";
  const ToolRun run = RunTool("olvane-mkcapture", "frames " + ShellQuote(frames) + " " + ShellQuote(path) +
                                                      " --fps 4 --bits 24 --wav " + ShellQuote(dir + "/sound.wav"));
  ASSERT_EQ(run.code, 0) << run.out;
  const Contents c = ReadCapture(path);
  ASSERT_TRUE(c.opened);
  EXPECT_EQ(c.screenTimes, (std::vector<DWORD>{0, 250, 500}));
  EXPECT_EQ(c.undecodable, 0);
  ASSERT_EQ(c.lastPicture.size(), DibImageSize(w, h, 24));
  const std::size_t stride = DibStride(w, 24);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const BYTE* rgb = &pictures[2][(static_cast<std::size_t>(y) * w + x) * 3];
      const BYTE* bgr = &c.lastPicture[y * stride + x * 3];
      ASSERT_EQ(bgr[0], rgb[2]) << x << "," << y;
      ASSERT_EQ(bgr[1], rgb[1]);
      ASSERT_EQ(bgr[2], rgb[0]);
    }
  }
  EXPECT_EQ(c.sound.codec, CCaptureAudio::kCodecPcm);
  EXPECT_EQ(c.sound.samplesPerSecond, 8000u);
  EXPECT_EQ(c.soundData, pcm);
}

TEST(MkCapture, ExitCodesForBadInputAndBadUsage) {
  const std::string dir = testenv::MakeTempDir();
  const std::string out = ShellQuote(dir + "/out.zeph");
  std::vector<BYTE> rgb(4 * 4 * 3, 0x80);
  std::filesystem::create_directories(dir + "/mixed");
  ASSERT_TRUE(WritePng(dir + "/mixed/a.png", 4, 4, rgb));
  ASSERT_TRUE(WritePng(dir + "/mixed/b.png", 2, 8, rgb));
  std::filesystem::create_directories(dir + "/empty");
  std::filesystem::create_directories(dir + "/broken");
  testenv::WriteFile(dir + "/broken/a.png", "not a png");
  std::filesystem::create_directories(dir + "/good");
  ASSERT_TRUE(WritePng(dir + "/good/a.png", 4, 4, rgb));
  testenv::WriteFile(dir + "/noise.wav", "RIFF....WAVEjunk");
  struct Case {
    std::string args;
    int code;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"", 2, "no mode given"},
      {"paint " + out, 2, "unknown mode"},
      {"demo", 2, "takes 1 path"},
      {"demo " + out + " --bits 12", 2, "bad value for --bits"},
      {"demo " + out + " --size 100x100", 2, "bad value for --size"},
      {"demo " + out + " --fps", 2, "needs a value"},
      {"demo " + out + " --colour red", 2, "unknown option"},
      {"demo " + out + " --still 3-3", 2, "bad value for --still"},
      {"demo " + out + " --still 3", 2, "bad value for --still"},
      {"demo " + out + " --still 0-5", 2, "leave at least one second"},
      {"demo " + out + " --seconds 9 --still 4-10", 2, "must end within --seconds"},
      {"frames " + ShellQuote(dir + "/good") + " " + out + " --still 1-2", 2, "--still is for demo"},
      {"demo " + ShellQuote(dir + "/missing/out.zeph"), 1, "cannot write"},
      {"frames " + ShellQuote(dir + "/empty") + " " + out, 1, "no .png files"},
      {"frames " + ShellQuote(dir + "/nowhere") + " " + out, 1, "cannot read the folder"},
      {"frames " + ShellQuote(dir + "/mixed") + " " + out, 1, "every frame must have the same size"},
      {"frames " + ShellQuote(dir + "/broken") + " " + out, 1, "not a readable PNG"},
      {"frames " + ShellQuote(dir + "/good") + " " + out + " --wav " + ShellQuote(dir + "/noise.wav"), 1,
       "without a format and data chunk"},
      {"--help", 0, "usage: olvane-mkcapture"},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool("olvane-mkcapture", c.args);
    EXPECT_EQ(run.code, c.code) << c.args << "\n" << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.args << "\n" << run.out;
    if (c.code != 0) {
      EXPECT_FALSE(std::filesystem::exists(dir + "/out.zeph")) << "left a partial file: " << c.args;
    }
  }
}

TEST(MkCapture, StillSpanHoldsScreenCursorAndSoundStill) {
  const std::string path = testenv::MakeTempDir() + "/still.zeph";
  const ToolRun run = RunTool("olvane-mkcapture", "demo " + ShellQuote(path) + " --seconds 12 --still 3-10 --quiet");
  ASSERT_EQ(run.code, 0) << run.out;
  const Contents c = ReadCapture(path);
  ASSERT_TRUE(c.opened);
  EXPECT_EQ(c.duration, 12000u);
  EXPECT_EQ(c.undecodable, 0);
  EXPECT_EQ(c.badGsmFrames, 0);
  // Key pictures, camera pictures and silent GSM blocks go on through the
  // still span; none of them is a change.
  IdleStretchResult idle;
  ASSERT_TRUE(CIdleStretchFinder::Find(path, 2000, idle));
  // The stretch runs from the end of the sound's last frame before second 3
  // to its first after second 10 (the still span, to within a frame).
  const auto still = std::find_if(idle.stretches.begin(), idle.stretches.end(),
                                  [](const IdleStretch& s) { return s.start <= 3100 && s.end >= 9900; });
  ASSERT_NE(still, idle.stretches.end());
  EXPECT_GE(still->start, 2900u);
  EXPECT_LE(still->end, 10100u);
}
