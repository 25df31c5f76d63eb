#include "pravex/capture/AudioReplay.h"

#include "platform/base/Clock.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "tests/common/TestEnvironment.h"
#include "tests/pravex/capture/CaptureTestUtil.h"
#include "tests/pravex/capture/RecordingSink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace capture;

namespace {

using capturetest::MakeAudioBlock;

std::vector<BYTE> Pattern(DWORD n, unsigned seed) {
  std::vector<BYTE> v(n);
  for (DWORD i = 0; i < n; ++i) v[i] = static_cast<BYTE>((i * 131 + seed) >> 1);
  return v;
}

// 1 s of GSM: 50 frames of a tone encoded with a fresh encoder.
std::vector<BYTE> GsmSecond(unsigned seed) {
  CGsmCodec codec;
  std::vector<BYTE> out(50 * 33);
  short samples[160];
  for (int f = 0; f < 50; ++f) {
    for (int i = 0; i < 160; ++i) samples[i] = static_cast<short>(6000 * std::sin((f * 160 + i + seed) * 0.3));
    codec.EncodeFrame(samples, &out[f * 33]);
  }
  return out;
}

void Send(CAudioReplay& player, DWORD type, DWORD time = 0) {
  player.WriteCaptureData(CCaptureData::CreateControl(type, kStreamAudio, time));
}

std::vector<BYTE> Drain(CAudioReplay& player) {
  std::vector<BYTE> all, chunk(4096);
  for (;;) {
    int n = static_cast<int>(chunk.size());
    EXPECT_TRUE(player.GetAudio(chunk.data(), n));
    if (n == 0) return all;
    all.insert(all.end(), chunk.begin(), chunk.begin() + n);
  }
}

}  // namespace

TEST(CAudioReplay, GsmStartInsideABlockSkipsWholeFramesThenPartOfOne) {
  CAudioReplay player;
  player.EnableMemoryMode();
  Send(player, kRecordReset);
  Send(player, kRecordBeginPreroll, 12345);
  const std::vector<BYTE> second = GsmSecond(0);
  for (DWORD k = 0; k <= 13; ++k) player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecGsm, k * 1000, k * 16000, second, 16000));
  const std::vector<BYTE> got = Drain(player);
  // Blocks 0-11 end before the start; block 12 loses 345 ms (5520 bytes):
  // 17 frames passed over, the 18th decoded and its last 240 bytes queued.
  ASSERT_EQ(got.size(), (16000u - 5520u) + 16000u);
  CGsmCodec reference;
  short frame[160];
  ASSERT_TRUE(reference.DecodeFrame(&second[17 * 33], frame));
  EXPECT_EQ(0, std::memcmp(got.data(), reinterpret_cast<BYTE*>(frame) + 80, 240));
  EXPECT_EQ(player.GetQueuedEnd(), 14u * 16000u);
}

TEST(CAudioReplay, PcmStartSkipsIntoTheBlockAndPartialGsmFramesAreNotRead) {
  CAudioReplay player;
  player.EnableMemoryMode();
  Send(player, kRecordBeginPreroll, 12345);
  const std::vector<BYTE> pcm = Pattern(16000, 3);
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 12000, 192000, pcm, 16000));
  std::vector<BYTE> got = Drain(player);
  ASSERT_EQ(got.size(), 16000u - 5520u);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), pcm.begin() + 5520));

  // A GSM block of 2.5 frames whose header claims far more decodes 2 frames.
  std::vector<BYTE> gsm = GsmSecond(1);
  gsm.resize(33 * 2 + 16);
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecGsm, 13000, 208000, gsm, 1000000));
  EXPECT_EQ(Drain(player).size(), 640u);
  EXPECT_EQ(player.GetQueuedEnd(), 208000u + 640u);
}

TEST(CAudioReplay, BlocksWithUnplayableFormatsAreDropped) {
  CAudioReplay player;
  player.EnableMemoryMode();
  Send(player, kRecordBeginPreroll, 0);
  const std::vector<BYTE> pcm = Pattern(800, 1);
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 0));
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 8000, 0));
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 8000, 16, 0));
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 0xFFFFFFFF, 16, 2));
  player.WriteCaptureData(MakeAudioBlock(7, 0, 0, pcm, 800));
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 8000, 12, 1));
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 8000, 16, 65));
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecGsm, 0, 0, pcm, 800, 8000, 16, 2));
  EXPECT_TRUE(Drain(player).empty());
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800));
  EXPECT_EQ(Drain(player).size(), 800u);
  // Wide samples and many channels are playable: the ring keeps them as stored.
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 8000, 24, 2));
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, pcm, 800, 8000, 32, 6));
  const std::vector<BYTE> kept = Drain(player);
  ASSERT_EQ(kept.size(), 1600u);
  EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), kept.begin()));
}

namespace {

std::uint32_t g_soundNow = 0;
std::uint32_t SoundNow() { return g_soundNow; }

// The sound output without a device thread: the test pulls what the device
// would take and moves its clock by hand.
struct ManualSoundFixture : ::testing::Test {
  void SetUp() override {
    g_soundNow = 100;
    CSoundOutput::UseManualDevice(&SoundNow, 512);
  }
  void TearDown() override { CSoundOutput::UseManualDevice(nullptr, 0); }
  // Preroll with one block at 0, start and play.
  static void Play(CAudioReplay& player, CCaptureAudio* block) {
    Send(player, kRecordReset);
    Send(player, kRecordBeginPreroll, 0);
    player.WriteCaptureData(block);
    Send(player, kRecordEndPreroll);
    Send(player, kRecordStart);
    Send(player, kRecordPlaying);
  }
  static std::vector<BYTE> Pull(CAudioReplay& player, DWORD n) {
    std::vector<BYTE> out(n);
    player.Output().Output().Pull(out.data(), n);
    return out;
  }
};

}  // namespace

TEST_F(ManualSoundFixture, WideAndManyChannelPcmIsConvertedForTheOutput) {
  struct Case {
    const char* name;
    WORD bits, channels;
    std::vector<BYTE> frames;    // two sample frames as stored
    std::vector<BYTE> expected;  // what the output plays: 8 or 16 bits, 1 or 2 channels
  } cases[] = {
      {"24-bit stereo",
       24, 2,
       {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16},
       {0x02, 0x03, 0x05, 0x06, 0x12, 0x13, 0x15, 0x16}},
      {"32-bit mono", 32, 1, {0x01, 0x02, 0x03, 0x84, 0x11, 0x12, 0x13, 0x14}, {0x03, 0x84, 0x13, 0x14}},
      {"16-bit 3 channels",
       16, 3,
       {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16},
       {0x01, 0x02, 0x03, 0x04, 0x11, 0x12, 0x13, 0x14}},
      {"8-bit 4 channels", 8, 4, {0x81, 0x82, 0x83, 0x84, 0x91, 0x92, 0x93, 0x94}, {0x81, 0x82, 0x91, 0x92}},
      {"32-bit 6 channels",
       32, 6,
       {0, 0, 0x01, 0x02, 0, 0, 0x03, 0x04, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9,
        0, 0, 0x11, 0x12, 0, 0, 0x13, 0x14, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9},
       {0x01, 0x02, 0x03, 0x04, 0x11, 0x12, 0x13, 0x14}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CAudioReplay player;
    // A half sample frame at the end is not played.
    std::vector<BYTE> stored = c.frames;
    stored.push_back(0x77);
    Play(player, MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, stored, static_cast<DWORD>(stored.size()), 8000, c.bits,
                           c.channels));
    ASSERT_TRUE(player.Output().IsCreated());
    const std::vector<BYTE> heard = Pull(player, static_cast<DWORD>(c.expected.size()) + 4);
    EXPECT_EQ(std::vector<BYTE>(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(c.expected.size())),
              c.expected);
    const BYTE silence = c.bits == 8 ? 0x80 : 0;
    for (std::size_t i = c.expected.size(); i < heard.size(); ++i) EXPECT_EQ(heard[i], silence) << i;
  }
}

TEST_F(ManualSoundFixture, ClockSteeringCountsConvertedBytesInTheCapturesUnits) {
  // 24-bit stereo at 8000 Hz: 48000 bytes a second in the capture, 32000 in
  // the output.
  CManualTimeSource source{0};
  CReplayClock clock{&source};
  CAudioReplay player;
  player.SetClock(&clock);
  Play(player, MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, Pattern(48000, 1), 48000, 8000, 24, 2));
  // Half a second heard: 16000 output bytes taken and played out.
  for (int i = 0; i < 31; ++i) Pull(player, 512);
  Pull(player, 128);
  g_soundNow += 1000;
  ASSERT_EQ(player.Output().Output().GetPlayCursor(), 16000u);
  clock.Reset(FALSE, 0);
  clock.SetTime(535);
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 1000, 48000, Pattern(48000, 2), 48000, 8000, 24, 2));
  EXPECT_EQ(player.GetQueuedEnd(), 96000u);
  EXPECT_EQ(player.GetAdjustmentTotal(), -3);  // heard 500 ms, the clock 35 ms ahead
}

TEST(CAudioReplay, MemoryRingWrapsAndDropsWhatDoesNotFit) {
  CAudioReplay player;
  int n = 10;
  BYTE buf[10];
  EXPECT_FALSE(player.GetAudio(buf, n));  // no ring before memory mode
  player.EnableMemoryMode();
  std::vector<std::vector<BYTE>> blocks;
  for (unsigned i = 0; i < 4; ++i) blocks.push_back(Pattern(60000, i));
  for (unsigned i = 0; i < 3; ++i)
    player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, i * 100, i * 60000, blocks[i], 60000));
  // 120000 taken; the third block is larger than the 43840 bytes left: dropped.
  std::vector<BYTE> first(100000);
  n = 100000;
  ASSERT_TRUE(player.GetAudio(first.data(), n));
  ASSERT_EQ(n, 100000);
  EXPECT_TRUE(std::equal(first.begin(), first.begin() + 60000, blocks[0].begin()));
  // Room again: the fourth block wraps around the ring's end.
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 300, 180000, blocks[3], 60000));
  const std::vector<BYTE> rest = Drain(player);
  ASSERT_EQ(rest.size(), 20000u + 60000u);
  EXPECT_TRUE(std::equal(rest.begin(), rest.begin() + 20000, blocks[1].begin() + 40000));
  EXPECT_TRUE(std::equal(rest.begin() + 20000, rest.end(), blocks[3].begin()));
}

namespace {

struct SteeringFixture : ::testing::Test {
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (testenv::MakeTempDir("steer") + "/out.raw").c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
  }
  // Preroll with one second of PCM at 0, then start without playing: the
  // output exists but stands still with its cursor at 0.
  void Prepare(CAudioReplay& player) {
    player.SetClock(&clock);
    Send(player, kRecordReset);
    Send(player, kRecordBeginPreroll, 0);
    player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, Pattern(16000, 1), 16000));
    Send(player, kRecordEndPreroll);
    Send(player, kRecordStart);
    ASSERT_TRUE(player.Output().IsCreated());
  }
  CManualTimeSource source{0};
  CReplayClock clock{&source};
};

}  // namespace

TEST_F(SteeringFixture, SoundBehindTheClockHoldsItAtMostTenMsPerBlock) {
  struct Case {
    DWORD clockAt;
    int expectedStep;
  };
  // The sound being heard is at 0 ms (cursor at the buffer's start).
  for (const Case c : {Case{35, -3}, Case{500, -10}, Case{5, 0}}) {
    CAudioReplay player;
    Prepare(player);
    clock.Reset(FALSE, 0);
    clock.SetTime(c.clockAt);
    player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 1000, 16000, Pattern(16000, 2), 16000));
    EXPECT_EQ(player.GetAdjustmentTotal(), c.expectedStep) << c.clockAt;
    // A hold of |step| ms: the clock stands still that long, then goes on.
    source.Advance(static_cast<DWORD>(-c.expectedStep));
    EXPECT_EQ(clock.Now(), c.clockAt);
    source.Advance(1);
    EXPECT_EQ(clock.Now(), c.clockAt + 1);
  }
}

TEST_F(SteeringFixture, SoundAheadOfTheClockAdvancesIt) {
  CAudioReplay player;
  Prepare(player);
  // The card is one second in (cursor at 16000 bytes) while the clock reads
  // 900 ms: the clock jumps ahead by the largest step.
  player.Output().Output().SetPlayCursor(16000);
  clock.Reset(FALSE, 0);
  clock.SetTime(900);
  player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, 1000, 16000, Pattern(16000, 2), 16000));
  EXPECT_EQ(player.GetAdjustmentTotal(), 10);
  EXPECT_EQ(clock.Now(), 910u);
  // After a stop every correction is forgotten.
  Send(player, kRecordStopped);
  EXPECT_EQ(player.GetAdjustmentTotal(), 0);
  EXPECT_EQ(player.GetQueuedEnd(), 0u);
}

// Judges real-time behaviour, so CTest runs it alone (see tests/CMakeLists.txt:
// "realtime_sound"); the copy found by test discovery steps aside.
TEST(RealTimeSound, PlaysAPcmToneInStepWithTheClock) {
  if (!std::getenv("OLVANE_REALTIME_TESTS")) GTEST_SKIP() << "runs as the serial test realtime_sound";
  const std::string dir = testenv::MakeTempDir("e2e");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
  unsetenv("SDL_DISKAUDIODELAY");  // paced like a real card

  // Six seconds of a 440 Hz tone in 100 ms blocks, with a screen stream;
  // past the two seconds of preroll the blocks arrive while playing and steer.
  const std::string path = dir + "/tone.zeph";
  ASSERT_TRUE(capturetest::WriteToneCapture(path, 60, 0, 60));

  CReplayClock clock;
  CAudioReplay player;
  player.SetClock(&clock);
  CRecordingSink screen(&clock);
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  reader.SetClock(&clock);
  reader.AddHandler(&screen, kStreamScreen, 0, true);
  reader.AddHandler(&player, kStreamAudio, 2000, true);
  ASSERT_TRUE(reader.Start());
  if (!player.IsEnabled()) GTEST_SKIP() << "no sound device: replay ran silently";

  // While it plays, compare the clock with the sample being heard, once
  // steering has settled; note how fast the device really played meanwhile.
  std::vector<double> gaps;
  DWORD windowWall0 = 0, windowWall1 = 0;
  ULONGLONG windowBytes0 = 0, windowBytes1 = 0;
  while (!screen.Has(kRecordEndOfStream)) {
    Sleep(20);
    const DWORD now = clock.Now();
    const double heardMs = player.Output().Output().GetPlayCursor() / 16.0;
    if (now > 4000 && now < 5900) {
      const ULONGLONG consumed = player.Output().Output().GetBytesConsumed();
      if (gaps.empty()) {
        windowWall0 = timeGetTime();
        windowBytes0 = consumed;
      }
      windowWall1 = timeGetTime();
      windowBytes1 = consumed;
      gaps.push_back(heardMs - now);
    }
  }
  reader.Stop();

  // What was played is the tone, never more than the capture holds.
  const std::string raw = testenv::ReadFile(dir + "/out.raw");
  const auto* samples = reinterpret_cast<const short*>(raw.data());
  const size_t count = raw.size() / 2;
  size_t first = 0, last = count;
  while (first < count && samples[first] == 0) ++first;
  while (last > first && samples[last - 1] == 0) --last;
  const double seconds = static_cast<double>(last - first) / 8000.0;
  ASSERT_GT(seconds, 1.0);
  EXPECT_LE(seconds, 6.0);
  int crossings = 0;
  for (size_t i = first + 1; i < last; ++i) crossings += (samples[i - 1] < 0) != (samples[i] < 0);
  EXPECT_NEAR(crossings / seconds / 2, 440, 10);

  // Steering corrects at most 10 ms per 100 ms block: a device starved by an
  // overloaded machine falls behind further than any clock steering allows.
  const double windowSeconds = (windowWall1 - windowWall0) / 1000.0;
  const double playedSeconds = static_cast<double>(windowBytes1 - windowBytes0) / 16000.0;
  if (gaps.size() < 10 || windowSeconds < 0.5 || playedSeconds < 0.97 * windowSeconds) {
    GTEST_SKIP() << "sound device starved (" << playedSeconds << " s played in " << windowSeconds
                 << " s): machine too loaded to judge clock steering";
  }
  double mean = 0;
  for (double g : gaps) mean += g;
  mean /= static_cast<double>(gaps.size());
  EXPECT_LT(std::fabs(mean), 50.0) << "clock and sound drifted apart";
  // The replay ends, and stops the sound, when the clock reaches the end.
  EXPECT_GT(seconds, 5.7);
}

namespace {

// A capture of one second: screen pictures and, when withSound, PCM blocks.
std::string WriteShortCapture(const std::string& dir, bool withSound) {
  const std::string path = dir + "/short.zeph";
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(kStreamScreen, 16, 8);
  if (withSound) writer.AddStream(kStreamAudio);
  const auto picture = capturetest::DesktopPicture(16, 8, 16, 0);
  writer.AddScreenPicture(0, picture.data(), 16, 8, 16, true);
  if (withSound) {
    CCaptureAudio* block = MakeAudioBlock(CCaptureAudio::kCodecPcm, 0, 0, Pattern(1600, 1), 1600);
    writer.WriteRecord(*block);
    block->Release();
  }
  writer.AddScreenPicture(1000, picture.data(), 16, 8, 16, false);
  writer.Finish();
  return path;
}

}  // namespace

// Replays a one-second capture to its end on a manual clock, with the audio
// player and a screen handler registered as the player registers them.
struct ShortReplay : ::testing::Test {
  void Replay(bool withSound) {
    player.SetClock(&clock);
    ASSERT_TRUE(reader.Open(WriteShortCapture(testenv::MakeTempDir("short"), withSound)));
    reader.SetClock(&clock);
    reader.AddHandler(&screen, kStreamScreen, 0, true);
    reader.AddHandler(&player, kStreamAudio, 2000, true);
    ASSERT_TRUE(reader.Start());
    ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
    source.Advance(1000);
    ASSERT_TRUE(screen.WaitForType(kRecordEndOfStream));
    reader.Stop();
  }
  void TearDown() override { CSoundBuffer::SetOpenRetry(8, 500); }
  CManualTimeSource source;
  CReplayClock clock{&source};
  CAudioReplay player;
  CRecordingSink screen{&clock};
  CCaptureFileReader reader;
};

TEST_F(ShortReplay, CaptureWithoutSoundLeavesTheOutputUncreated) {
  Replay(false);
  EXPECT_FALSE(player.Output().IsCreated());
  EXPECT_TRUE(player.IsEnabled());
}

TEST_F(ShortReplay, WithoutASoundDeviceReplayRunsSilently) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  CSoundBuffer::SetOpenRetry(2, 1);
  Replay(true);
  EXPECT_FALSE(player.IsEnabled()) << "the player disables itself when no device opens";
  EXPECT_EQ(screen.TimesOf(kRecordScreen), (std::vector<DWORD>{0, 1000}));
}
