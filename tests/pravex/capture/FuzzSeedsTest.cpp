// Builds the seed corpora of the capture fuzz targets with the writer and
// checks that every seed capture opens and decodes. With
// OLVANE_WRITE_FUZZ_SEEDS=<fuzz/corpus folder> set, the seeds are (re)written
// there as well.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "CaptureTestUtil.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureBlock.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/CaptureVideo.h"
#include "pravex/capture/ScreenCodec.h"
#include "tests/common/TestEnvironment.h"

using namespace capture;
using namespace capturetest;

namespace {

template <typename T>
void WriteAndRelease(CCaptureFileWriter& writer, T* record) {
  writer.WriteRecord(*record);
  record->Release();
}

void AddCursor(CCaptureFileWriter& writer, DWORD time, int x, bool shape, WORD version) {
  auto* cursor = new CCaptureCursor();
  cursor->SetPayloadVersion(version);
  cursor->SetTime(time);
  cursor->SetPosition(x, x / 2, 1, 1);
  cursor->SetClickState(x % 3 == 0 ? 1 : 0);
  BYTE flags = CCaptureCursor::kHasPosition | CCaptureCursor::kHasClick;
  if (shape) {
    flags |= CCaptureCursor::kHasShape;
    cursor->SetShape(false, 0, 16, 16, 1, 0);
    const std::vector<BYTE> masks(2 * DibImageSize(16, 16, 1), 0x0F);
    cursor->SetDataCopy(masks.data(), static_cast<DWORD>(masks.size()));
  }
  cursor->SetContentFlags(flags);
  WriteAndRelease(writer, cursor);
}

void AddAudio(CCaptureFileWriter& writer, DWORD time, WORD codec, DWORD position) {
  auto* audio = new CCaptureAudio();
  audio->SetTime(time);
  audio->SetFormat({codec, 8000, 16, 1});
  audio->SetStreamPosition(position);
  audio->SetAnchor(0, 0);
  const std::vector<BYTE> block(codec == CCaptureAudio::kCodecGsm ? 66 : 160, 0x21);
  audio->SetDecodedLength(codec == CCaptureAudio::kCodecGsm ? 640 : 160);
  audio->SetDataCopy(block.data(), static_cast<DWORD>(block.size()));
  WriteAndRelease(writer, audio);
}

using Seed = std::pair<std::string, std::vector<BYTE>>;

std::vector<Seed> CaptureSeeds(const std::string& dir) {
  std::vector<Seed> seeds;
  auto finish = [&](CCaptureFileWriter& writer, const std::string& name) {
    EXPECT_TRUE(writer.Finish()) << name;
    seeds.emplace_back(name, ReadBytes(dir + "/" + name));
  };
  {
    CCaptureFileWriter w;
    w.Create(dir + "/full.zeph");
    w.AddStream(kStreamScreen, 40, 30);
    w.AddStream(kStreamCursor);
    w.AddStream(kStreamVideo);
    w.AddStream(kStreamAudio);
    for (int i = 0; i < 12; ++i) {
      const DWORD t = 100u * i;
      const auto picture = DesktopPicture(40, 30, 16, i);
      w.AddScreenPicture(t, picture.data(), 40, 30, 16, i % 5 == 0);
      AddCursor(w, t, 3 * i, i == 0, i == 4 ? 1 : 2);
      if (i % 4 == 0) AddAudio(w, t, i % 8 ? CCaptureAudio::kCodecGsm : CCaptureAudio::kCodecPcm, 160u * i);
    }
    auto* video = new CCaptureVideo();
    video->SetTime(1150);
    video->SetGeometry(8, 8, 24);
    video->SetDataCopy("\xFF\xD8\xFF\xD9", 4);
    WriteAndRelease(w, video);
    w.AddInfo("CaptureFile_Version|3;Title|#U2VlZA==;Raw|:00FF", false);
    w.AddInfo("Author|Fuzz", true);
    w.SetAnnotationArchive({1, 0, 0, 0, 9, 9});
    finish(w, "full.zeph");
  }
  {
    CCaptureFileWriter w;
    w.Create(dir + "/depths-nomarker.zeph");
    w.AddStream(kStreamScreen, 13, 7);
    w.EndHeaders(false);
    CaptureScreenOptions options;
    options.zlibDeltas = true;
    w.SetScreenOptions(options);
    for (int i = 0; i < 6; ++i) {
      const WORD bits = i < 3 ? 24 : 8;
      const DWORD width = i < 3 ? 13 : 17;
      const auto picture = DesktopPicture(width, 7, bits, i);
      w.AddScreenPicture(50u * i, picture.data(), width, 7, bits, i == 0);
    }
    finish(w, "depths-nomarker.zeph");
  }
  {
    CCaptureFileWriter w;
    w.Create(dir + "/empty.zeph");
    w.AddStream(kStreamScreen, 8, 8);
    finish(w, "empty.zeph");
  }
  {
    CCaptureFileWriter w;
    w.Create(dir + "/skipped.zeph");
    w.AddStream(kStreamScreen, 4, 2);
    const auto picture = RandomPicture(4, 2, 16, 1);
    w.AddScreenPicture(0, picture.data(), 4, 2, 16, true);
    CCaptureData* future = MakePlainRecord(kRecordScreen, kStreamScreen, 5, std::vector<BYTE>(20, 1));
    CaptureRecordHeader header = future->GetHeader();
    header.headerVersion = 2;
    future->SetHeader(header);
    WriteAndRelease(w, future);
    ScreenPayload payload;
    payload.version = 3;
    WriteAndRelease(w, MakePlainRecord(kRecordScreen, kStreamScreen, 6, payload.Bytes()));
    payload.version = 1;
    payload.encoding = kScreenRunLength;
    payload.data = {0, 0, 0, 0};
    WriteAndRelease(w, MakePlainRecord(kRecordScreen, kStreamScreen, 7, payload.Bytes()));
    finish(w, "skipped.zeph");
  }
  return seeds;
}

// Codec seeds in the screen_codec target's format: depth, width, height, then
// (op, LE16 length, data) records.
std::vector<Seed> CodecSeeds() {
  std::vector<Seed> seeds;
  struct Shape {
    BYTE depth;  // 0: 8, 1: 16, 2: 24
    DWORD width, height;
    WORD bits;
  } shapes[] = {{1, 24, 12, 16}, {2, 13, 5, 24}, {0, 31, 9, 8}};
  for (const Shape& s : shapes) {
    std::vector<BYTE> seed = {s.depth, static_cast<BYTE>(s.width - 1), static_cast<BYTE>(s.height - 1)};
    CByteWriter w(seed);
    auto add = [&](BYTE op, const std::vector<BYTE>& data) {
      w.PutU8(op);
      w.PutLE16(static_cast<WORD>(data.size()));
      w.PutBytes(data.data(), data.size());
    };
    const auto first = DesktopPicture(s.width, s.height, s.bits, 0);
    const auto second = DesktopPicture(s.width, s.height, s.bits, 4);
    std::vector<BYTE> runLength(first.size() * 2 + 64);
    runLength.resize(CScreenCodec::EncodeRunLength(first.data(), s.width, s.height, s.bits, runLength.data(),
                                                   runLength.size()));
    std::vector<BYTE> delta;
    CRect changed;
    CScreenCodec::EncodeDelta(first.data(), second.data(), s.width, s.height, s.bits, delta, changed);
    add(kScreenRunLength, runLength);
    add(kScreenDelta | 8, delta);
    add(kScreenUnchanged, {});
    add(kScreenRaw, first);
    add(kScreenDelta, delta);
    seeds.emplace_back("codec-" + std::to_string(s.bits) + ".bin", seed);
  }
  return seeds;
}

void MaybeWriteSeeds(const std::string& target, const std::vector<Seed>& seeds) {
  const char* root = std::getenv("OLVANE_WRITE_FUZZ_SEEDS");
  if (!root || !*root) return;
  const std::string dir = std::string(root) + "/" + target;
  std::filesystem::create_directories(dir);
  for (const Seed& seed : seeds) WriteBytes(dir + "/" + seed.first, seed.second);
}

}  // namespace

TEST(FuzzSeeds, WriterMadeCapturesOpenAndDecode) {
  const std::string dir = testenv::MakeTempDir();
  const auto seeds = CaptureSeeds(dir);
  ASSERT_EQ(seeds.size(), 4u);
  for (const Seed& seed : seeds) {
    CCaptureFileReader reader;
    ASSERT_TRUE(reader.Open(dir + "/" + seed.first)) << seed.first;
    EXPECT_LT(seed.second.size(), 16000u) << seed.first;
    CScreenCodec codec;
    reader.SeekToTime(0);
    int screens = 0, failures = 0;
    for (;;) {
      CCaptureData* record = reader.ReadRecord(true);
      const DWORD type = record->GetRecordType();
      if (type == kRecordScreen) {
        ++screens;
        if (!codec.Decode(*static_cast<CCaptureScreen*>(record))) ++failures;
      }
      record->Release();
      if (type == kRecordEndOfStream || record == nullptr) break;
    }
    EXPECT_EQ(failures, 0) << seed.first;
    if (seed.first == "full.zeph") {
      EXPECT_EQ(screens, 12);
      EXPECT_EQ(reader.GetDuration(), 1150u);
    }
  }
  MaybeWriteSeeds("capture_file", seeds);
  MaybeWriteSeeds("idle_stretches", seeds);
  MaybeWriteSeeds("screen_codec", CodecSeeds());
}
