// The idle-stretch finder: the list's gap keeping (late busy times cut
// stretches, the bound), and what counts as a change of screen, cursor and
// sound in captures written with the writer; broken files and cancelling.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "CaptureTestUtil.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/GsmCodec.h"
#include "pravex/capture/IdleStretches.h"
#include "tests/common/TestEnvironment.h"

using namespace capturetest;

namespace {

using Stretches = std::vector<IdleStretch>;

// Writes a capture record by record: 64 x 48 16-bit desktop pictures, cursor
// positions and 8 kHz 16-bit mono PCM sound.
class CIdleCapture {
 public:
  static constexpr DWORD kWidth = 64;
  static constexpr DWORD kHeight = 48;

  CIdleCapture() : m_path(testenv::MakeTempDir("idle") + "/idle.zeph") {
    m_writer.Create(m_path);
    m_writer.AddStream(capture::kStreamScreen, kWidth, kHeight);
    m_writer.AddStream(capture::kStreamCursor);
    m_writer.AddStream(capture::kStreamAudio);
  }
  // The desktop picture of `frame`; seek points are complete pictures.
  void Screen(DWORD time, int frame, bool seekPoint = false) {
    const std::vector<BYTE> pixels = DesktopPicture(kWidth, kHeight, 16, frame);
    EXPECT_TRUE(m_writer.AddScreenPicture(time, pixels.data(), kWidth, kHeight, 16, seekPoint));
  }
  void Cursor(DWORD time, BYTE flags, int x, int y, BYTE click = 0) {
    auto* cursor = new CCaptureCursor();
    cursor->SetTime(time);
    cursor->SetContentFlags(flags);
    cursor->SetPosition(x, y, 0, 0);
    cursor->SetClickState(click);
    Write(cursor);
  }
  // `ms` of sound stored at `time` whose samples are all `level` (a square
  // wave of that amplitude), as PCM or GSM, heard from `soundsAt` (`time`).
  void Sound(DWORD time, DWORD ms, int level, WORD codec = CCaptureAudio::kCodecPcm, DWORD soundsAt = ~0u) {
    if (soundsAt == ~0u) soundsAt = time;
    const DWORD samples = ms * 8;
    std::vector<short> pcm(samples);
    for (DWORD i = 0; i < samples; ++i) pcm[i] = static_cast<short>(i % 2 ? level : -level);
    std::vector<BYTE> data;
    if (codec == CCaptureAudio::kCodecGsm) {
      CGsmCodec gsm;
      data.resize(samples / CGsmCodec::kFrameSamples * CGsmCodec::kFrameBytes);
      for (DWORD f = 0; f < samples / CGsmCodec::kFrameSamples; ++f)
        gsm.EncodeFrame(pcm.data() + f * CGsmCodec::kFrameSamples, data.data() + f * CGsmCodec::kFrameBytes);
    } else {
      data.assign(reinterpret_cast<const BYTE*>(pcm.data()), reinterpret_cast<const BYTE*>(pcm.data() + samples));
    }
    auto* block = new CCaptureAudio();
    block->SetTime(time);
    block->SetFormat(CaptureAudioFormat{codec, 8000, 16, 1});
    block->SetStreamPosition(soundsAt * 16);  // bytes at 16000 a second
    block->SetAnchor(soundsAt * 16, soundsAt);
    block->SetDecodedLength(samples * 2);
    block->SetDataCopy(data.data(), static_cast<DWORD>(data.size()));
    Write(block);
  }
  std::string Finish() {
    EXPECT_TRUE(m_writer.Finish());
    return m_path;
  }
  Stretches Find(DWORD minLength = 1000) {
    IdleStretchResult result;
    EXPECT_TRUE(CIdleStretchFinder::Find(Finish(), minLength, result));
    return result.stretches;
  }

 private:
  void Write(CCaptureData* record) {
    EXPECT_TRUE(m_writer.WriteRecord(*record));
    record->Release();
  }

  std::string m_path;
  CCaptureFileWriter m_writer;
};

// Frame 1 for every picture from `from` to `to` (100 ms apart), a seek
// point every second: a still screen that recorders still key.
void StillPictures(CIdleCapture& c, DWORD from, DWORD to, int frame = 1) {
  for (DWORD t = from; t <= to; t += 100) c.Screen(t, frame, t % 1000 == 0);
}

}  // namespace

TEST(IdleStretchList, KeepsGapsOfTheMinimumAndCutsThemWithLateBusyTimes) {
  CIdleStretchList list(1000);
  list.AddBusy(0, 0);
  list.AddBusy(500, 500);    // gap of 500: too short
  list.AddBusy(3000, 3200);  // gap [500, 3000)
  list.AddBusy(9000, 9000);  // gap [3200, 9000)
  EXPECT_EQ(list.Take(), (Stretches{{500, 3000}, {3200, 9000}}));
  // A late moment splits a stretch; a late interval cuts into one and swallows
  // another; a moment at a stretch's start cuts nothing.
  list.AddBusy(6000, 6000);
  EXPECT_EQ(list.Take(), (Stretches{{500, 3000}, {3200, 6000}, {6000, 9000}}));
  list.AddBusy(2500, 6500);
  EXPECT_EQ(list.Take(), (Stretches{{500, 2500}, {6500, 9000}}));
  list.AddBusy(500, 500);
  EXPECT_EQ(list.Take(), (Stretches{{500, 2500}, {6500, 9000}}));
  // Pieces left shorter than the minimum go; reversed bounds are put right.
  list.AddBusy(7200, 6900);
  EXPECT_EQ(list.Take(), (Stretches{{500, 2500}, {7200, 9000}}));
  // The end closes the list.
  list.Finish(12000);
  EXPECT_EQ(list.Take().back(), (IdleStretch{9000, 12000}));
  EXPECT_FALSE(list.IsTruncated());
}

TEST(IdleStretchList, StopsCollectingAtItsBound) {
  CIdleStretchList list(1);
  for (DWORD i = 0; i <= CIdleStretchList::kMaxStretches + 10; ++i) list.AddBusy(2 * i + 1, 2 * i + 1);
  EXPECT_EQ(list.Take().size(), CIdleStretchList::kMaxStretches);
  EXPECT_TRUE(list.IsTruncated());
}

TEST(IdleStretchFinder, StillScreenWithKeyPicturesIsOneStretch) {
  CIdleCapture c;
  for (DWORD t = 0; t < 1000; t += 100) c.Screen(t, static_cast<int>(t / 100), t == 0);
  StillPictures(c, 1000, 6900, 9);  // the 900 ms picture was the last change
  c.Screen(7000, 20);
  c.Screen(7100, 20);
  EXPECT_EQ(c.Find(), (Stretches{{900, 7000}}));
}

TEST(IdleStretchFinder, ScreenChangesCount) {
  CIdleCapture c;
  c.Screen(0, 1, true);
  c.Screen(2000, 1, true);   // key picture, same pixels
  c.Screen(4000, 2, true);   // key picture, other pixels: a change
  c.Screen(6000, 3, false);  // delta: a change
  c.Screen(8000, 3, false);  // unchanged
  c.Screen(10000, 3, true);
  EXPECT_EQ(c.Find(1500), (Stretches{{0, 4000}, {4000, 6000}, {6000, 10000}}));
}

TEST(IdleStretchFinder, CursorMovesAndClicksCountRepeatsDoNot) {
  CIdleCapture c;
  const BYTE all = CCaptureCursor::kHasPosition | CCaptureCursor::kHasClick;
  c.Screen(0, 1, true);
  c.Cursor(0, all, 10, 10);
  c.Cursor(1500, all, 10, 10);                           // same place, no click
  c.Cursor(3000, CCaptureCursor::kHasPosition, 11, 10);  // moved
  c.Cursor(5000, CCaptureCursor::kHasClick, 0, 0, 1);    // pressed (no position given)
  c.Cursor(6500, all, 11, 10, 1);                        // held still
  c.Screen(8000, 1);
  EXPECT_EQ(c.Find(), (Stretches{{0, 3000}, {3000, 5000}, {5000, 8000}}));
}

TEST(IdleStretchFinder, SoundCountsWhereItIsNotSilence) {
  CIdleCapture c;
  c.Screen(0, 1, true);
  c.Sound(0, 1000, 0);                                         // digital silence
  c.Sound(1000, 1000, CIdleStretchFinder::kSilenceLevel - 1);  // hiss
  c.Sound(2000, 500, 8000);                                    // heard from 2000 to 2500
  c.Sound(2500, 1000, 0);
  c.Sound(5000, 1000, 8000, CCaptureAudio::kCodecGsm);  // heard through a speech codec
  c.Sound(7000, 1000, 0, CCaptureAudio::kCodecGsm);     // its silence, after a gap, is silence
  c.Screen(9000, 1);
  const Stretches found = c.Find();
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0], (IdleStretch{0, 2000}));
  // The codec's output takes a few samples to rise and to die away.
  EXPECT_EQ(found[1].start, 2500u);
  EXPECT_NEAR(found[1].end, 5000, 20);
  EXPECT_NEAR(found[2].start, 6000, 40);
  EXPECT_EQ(found[2].end, 9000u);
}

TEST(IdleStretchFinder, SoundStoredLateCutsStretchesFoundBefore) {
  CIdleCapture c;
  c.Screen(0, 1, true);
  StillPictures(c, 100, 4900);
  StillPictures(c, 5000, 6000, 2);
  // Stored at 6000 ms, anchored to sound from 3000 ms on.
  c.Sound(6000, 500, 8000, CCaptureAudio::kCodecPcm, 3000);
  StillPictures(c, 6100, 8000, 2);
  IdleStretchResult result;
  ASSERT_TRUE(CIdleStretchFinder::Find(c.Finish(), 1000, result));
  EXPECT_EQ(result.stretches, (Stretches{{0, 3000}, {3500, 5000}, {5000, 8000}}));
  EXPECT_EQ(result.duration, 8000u);
  EXPECT_FALSE(result.truncated);
}

TEST(IdleStretchFinder, BrokenFilesAndCancelling) {
  IdleStretchResult result;
  EXPECT_FALSE(CIdleStretchFinder::Find(testenv::MakeTempDir("idle") + "/missing.zeph", 1000, result));
  EXPECT_TRUE(result.stretches.empty());

  CIdleCapture c;
  c.Screen(0, 1, true);
  StillPictures(c, 100, 5000);
  c.Screen(5100, 4);
  c.Screen(9000, 5);
  const std::string path = c.Finish();
  std::atomic<bool> cancel{true};
  EXPECT_FALSE(CIdleStretchFinder::Find(path, 1000, result, &cancel));

  // Cut in the middle of its data: the trailer is gone, so it does not open.
  std::vector<BYTE> bytes = ReadBytes(path);
  bytes.resize(bytes.size() / 2);
  WriteBytes(path + ".cut", bytes);
  EXPECT_FALSE(CIdleStretchFinder::Find(path + ".cut", 1000, result));

  // Every data byte after the header section flipped: whatever is still read
  // as records gives ordered, disjoint stretches.
  bytes = ReadBytes(path);
  for (std::size_t i = 200; i + 200 < bytes.size(); i += 7) bytes[i] ^= 0x5A;
  WriteBytes(path + ".flipped", bytes);
  if (CIdleStretchFinder::Find(path + ".flipped", 1000, result)) {
    for (std::size_t i = 0; i < result.stretches.size(); ++i) {
      EXPECT_GE(result.stretches[i].Length(), 1000u);
      if (i) {
        EXPECT_LE(result.stretches[i - 1].end, result.stretches[i].start);
      }
    }
  }
}
