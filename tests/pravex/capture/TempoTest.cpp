// Sound at another speed with its pitch kept: the stretcher alone, the audio
// player keeping the clock in step with stretched sound (manual device), and
// a real-time replay through SDL's disk audio driver.
#include "pravex/capture/TempoStretch.h"

#include "platform/base/Clock.h"
#include "pravex/capture/AudioReplay.h"
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
#include <limits>

using namespace capture;
using capturetest::MakeAudioBlock;
using capturetest::TonePcm16;

namespace {

// Where a tone sounds in 16-bit samples (first to last sample louder than
// `threshold`) and its frequency from the zero crossings in between.
struct ToneSpan {
  std::size_t first = 0, last = 0;
  double seconds = 0, hertz = 0;
};

ToneSpan MeasureTone(const short* samples, std::size_t count, DWORD rate, int threshold = 2000) {
  ToneSpan t;
  while (t.first < count && std::abs(samples[t.first]) <= threshold) ++t.first;
  t.last = count;
  while (t.last > t.first && std::abs(samples[t.last - 1]) <= threshold) --t.last;
  if (t.last <= t.first) return t;
  t.seconds = static_cast<double>(t.last - t.first) / rate;
  int crossings = 0;
  for (std::size_t i = t.first + 1; i < t.last; ++i) crossings += (samples[i - 1] < 0) != (samples[i] < 0);
  t.hertz = crossings / t.seconds / 2;
  return t;
}

// One channel of 8- or 16-bit PCM as 16-bit samples.
std::vector<short> Channel(const std::vector<BYTE>& pcm, WORD bits, WORD channels, WORD channel) {
  std::vector<short> out;
  const std::size_t frame = static_cast<std::size_t>(channels) * (bits / 8);
  for (std::size_t at = static_cast<std::size_t>(channel) * (bits / 8); at + bits / 8 <= pcm.size(); at += frame)
    out.push_back(bits == 8 ? static_cast<short>((pcm[at] - 128) * 256)
                            : static_cast<short>(pcm[at] | (pcm[at + 1] << 8)));
  return out;
}

// `seconds` of a 440 Hz tone at 8000 Hz in the given PCM format, between
// half a second of silence each side, fed to the stretcher in 100 ms pieces.
std::vector<BYTE> StretchTone(CTempoStretch& stretch, double seconds, WORD bits, WORD channels) {
  const std::vector<short> tone = Channel(TonePcm16(0, static_cast<DWORD>(seconds * 8000), 440, 8000), 16, 1, 0);
  std::vector<short> mono(4000, 0);
  mono.insert(mono.end(), tone.begin(), tone.end());
  mono.insert(mono.end(), 4000, 0);
  std::vector<BYTE> in;
  for (short s : mono)
    for (WORD c = 0; c < channels; ++c) {
      if (bits == 8) {
        in.push_back(static_cast<BYTE>((s >> 8) + 128));
      } else {
        in.push_back(static_cast<BYTE>(s & 0xFF));
        in.push_back(static_cast<BYTE>((s >> 8) & 0xFF));
      }
    }
  std::vector<BYTE> out, piece;
  const std::size_t step = 800u * channels * (bits / 8);
  for (std::size_t at = 0; at < in.size(); at += step) {
    stretch.Process(in.data() + at, static_cast<DWORD>(std::min(step, in.size() - at)), piece);
    out.insert(out.end(), piece.begin(), piece.end());
  }
  return out;
}

}  // namespace

TEST(TempoStretch, KeepsThePitchAndScalesTheLengthInEveryFormat) {
  struct Case {
    WORD bits, channels;
    double tempo;
  };
  for (const Case c : {Case{16, 1, 1.5}, Case{16, 2, 0.7}, Case{8, 1, 2.0}, Case{8, 2, 0.5}}) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.channels << " channels, tempo " << c.tempo);
    CTempoStretch stretch;
    ASSERT_TRUE(stretch.Configure(8000, c.bits, c.channels));
    stretch.SetTempo(c.tempo);
    const std::vector<BYTE> out = StretchTone(stretch, 3.0, c.bits, c.channels);
    ASSERT_EQ(out.size() % stretch.GetFrameBytes(), 0u);
    for (WORD channel = 0; channel < c.channels; ++channel) {
      const std::vector<short> samples = Channel(out, c.bits, c.channels, channel);
      const ToneSpan t = MeasureTone(samples.data(), samples.size(), 8000);
      EXPECT_NEAR(t.hertz, 440, 5);
      EXPECT_NEAR(t.seconds, 3.0 / c.tempo, 0.05);
      // The silence before the tone is stretched too: the tone starts where
      // half a second of the source has been played (give or take the
      // stretcher's cross-fade).
      EXPECT_NEAR(t.first / 8000.0 * c.tempo, 0.5, 0.04);
    }
  }
}

TEST(TempoStretch, RefusesOtherFormatsClampsTheTempoAndForgetsOnClear) {
  CTempoStretch stretch;
  EXPECT_FALSE(stretch.Configure(8000, 24, 1));
  EXPECT_FALSE(stretch.Configure(8000, 16, 3));
  EXPECT_FALSE(stretch.Configure(500, 16, 1));
  EXPECT_FALSE(stretch.IsConfigured());
  std::vector<BYTE> out{1, 2, 3};
  const std::vector<BYTE> tone = TonePcm16(0, 8000, 440, 8000);
  stretch.Process(tone.data(), static_cast<DWORD>(tone.size()), out);
  EXPECT_TRUE(out.empty()) << "nothing comes out of an unconfigured stretcher";

  for (const auto& [asked, kept] :
       {std::pair{5.0, 2.0}, std::pair{0.1, 0.5}, std::pair{std::numeric_limits<double>::quiet_NaN(), 1.0}}) {
    stretch.SetTempo(asked);
    EXPECT_EQ(stretch.GetTempo(), kept) << asked;
  }

  // A second of tone, then Clear: what was held inside never comes out.
  ASSERT_TRUE(stretch.Configure(8000, 16, 1));
  stretch.SetTempo(1.5);
  stretch.Process(tone.data(), static_cast<DWORD>(tone.size()), out);
  stretch.Clear();
  const std::vector<BYTE> silence(16000, 0);
  stretch.Process(silence.data(), static_cast<DWORD>(silence.size()), out);
  ASSERT_FALSE(out.empty());
  const std::vector<short> samples = Channel(out, 16, 1, 0);
  EXPECT_EQ(MeasureTone(samples.data(), samples.size(), 8000, 0).seconds, 0.0);
  // A part frame at the end of a piece is not taken.
  const BYTE odd[3] = {1, 2, 3};
  stretch.Process(odd, 1, out);
  EXPECT_TRUE(out.empty());
}

namespace {

std::uint32_t g_deviceNow = 0;
std::uint32_t DeviceNow() { return g_deviceNow; }

// The audio player on a device without a thread: the test plays the card and
// the replay clock's time source by hand, in 10 ms steps, and delivers each
// 100 ms block of a 440 Hz tone when the reader would (2000 ms ahead).
struct TempoSteering : ::testing::Test {
  static constexpr DWORD kBlockMs = 100;
  static constexpr DWORD kLeadMs = 2000;
  void SetUp() override {
    g_deviceNow = 100;
    CSoundOutput::UseManualDevice(&DeviceNow, 512);
    player.SetClock(&clock);
  }
  void TearDown() override { CSoundOutput::UseManualDevice(nullptr, 0); }
  void Deliver(DWORD upTo) {
    for (; nextBlock * kBlockMs <= upTo; ++nextBlock) {
      const DWORD first = nextBlock * 800;
      player.WriteCaptureData(MakeAudioBlock(CCaptureAudio::kCodecPcm, nextBlock * kBlockMs, first * 2,
                                             TonePcm16(first, 800, 440, 8000), 1600));
    }
  }
  void Send(DWORD type, DWORD time = 0) {
    player.WriteCaptureData(CCaptureData::CreateControl(type, kStreamAudio, time));
  }
  // Starts a replay at `numerator/denominator`, from 0, as the reader does.
  void Start(DWORD numerator, DWORD denominator) {
    player.SetTempo(numerator, denominator);
    clock.SetRate(numerator, denominator);
    Send(kRecordReset);
    clock.Reset(TRUE, 0);
    Send(kRecordBeginPreroll, 0);
    Deliver(kLeadMs);
    Send(kRecordEndPreroll);
    Send(kRecordStart);
    clock.SetPaused(FALSE);
    Send(kRecordPlaying);
  }
  // Plays `ms` of real time; returns the largest gap between the clock and
  // the sound being heard once `settleMs` have passed.
  double Play(DWORD ms, DWORD settleMs) {
    double worst = 0;
    std::vector<BYTE> taken(160);
    for (DWORD t = 0; t < ms; t += 10) {
      player.Output().Output().Pull(taken.data(), 160);  // 10 ms at 8000 Hz, 16-bit mono
      g_deviceNow += 10;
      source.Advance(10);
      Deliver(clock.Now() + kLeadMs);
      const double heardMs = static_cast<double>(player.GetHeardStreamBytes()) / 16.0;
      if (t >= settleMs) worst = std::max(worst, std::fabs(heardMs - clock.Now()));
    }
    return worst;
  }
  CManualTimeSource source{0};
  CReplayClock clock{&source};
  CAudioReplay player;
  DWORD nextBlock = 0;
};

}  // namespace

TEST_F(TempoSteering, ClockAndSoundStayInStepAtSevenTenths) {
  Start(7, 10);
  ASSERT_TRUE(player.Output().IsCreated());
  EXPECT_DOUBLE_EQ(player.GetTempo(), 0.7);
  // Four seconds of real time are 2.8 s of replay; the card plays 4 s of sound.
  const double worst = Play(4000, 500);
  EXPECT_NEAR(clock.Now(), 2800, 40);
  EXPECT_LT(worst, 30.0) << "clock and stretched sound drifted apart";
  EXPECT_LT(std::abs(player.GetAdjustmentTotal()), 60);
}

TEST_F(TempoSteering, StopAndNewReplayStartFromAnEmptyStretcher) {
  Start(3, 2);
  Play(1000, 0);
  // A seek: the reader stops and starts again elsewhere; nothing stretched
  // before it may count in the new replay's position.
  Send(kRecordStopped);
  nextBlock = 0;
  Start(7, 10);
  EXPECT_DOUBLE_EQ(player.GetTempo(), 0.7);
  EXPECT_LT(Play(2000, 500), 30.0);
  EXPECT_LT(std::abs(player.GetAdjustmentTotal()), 40);
}

TEST_F(TempoSteering, SoundStartingAfterThePrerollJoinsInStep) {
  // The sound begins at 3 s: its output is made when the first block comes,
  // 2 s of replay ahead, with silence for what is at 1.5x 1333 ms.
  nextBlock = 30;
  Start(3, 2);
  EXPECT_FALSE(player.Output().IsCreated());
  EXPECT_LT(Play(4000, 1500), 30.0);
  ASSERT_TRUE(player.Output().IsCreated());
  EXPECT_NEAR(clock.Now(), 6000, 60);
}

// Judges real time, so CTest runs it alone ("realtime_tempo" in
// tests/CMakeLists.txt); the copy found by test discovery steps aside.
TEST(TempoRealTime, AtOneAndAHalfA440HzToneKeepsItsPitchAndLastsTwoThirds) {
  if (!std::getenv("OLVANE_REALTIME_TESTS")) GTEST_SKIP() << "runs as the serial test realtime_tempo";
  const std::string dir = testenv::MakeTempDir("tempo");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
  unsetenv("SDL_DISKAUDIODELAY");  // paced like a real card

  // Five seconds in 100 ms blocks: three seconds of a 440 Hz tone from 0.5 s
  // on, silence around it, and a screen stream.
  const std::string path = dir + "/tone.zeph";
  ASSERT_TRUE(capturetest::WriteToneCapture(path, 50, 5, 35));

  CReplayClock clock;
  clock.SetRate(3, 2);
  CAudioReplay player;
  player.SetClock(&clock);
  player.SetTempo(3, 2);
  CRecordingSink screen(&clock);
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  reader.SetClock(&clock);
  reader.AddHandler(&screen, kStreamScreen, 0, true);
  reader.AddHandler(&player, kStreamAudio, 2000, true);
  ASSERT_TRUE(reader.Start());
  if (!player.IsEnabled()) GTEST_SKIP() << "no sound device: replay ran silently";

  // While the tone plays, compare the clock with the sample being heard.
  std::vector<double> gaps;
  DWORD wall0 = 0, wall1 = 0;
  ULONGLONG bytes0 = 0, bytes1 = 0;
  while (!screen.Has(kRecordEndOfStream)) {
    Sleep(20);
    const DWORD now = clock.Now();
    const double heardMs = static_cast<double>(player.GetHeardStreamBytes()) / 16.0;
    if (now > 1500 && now < 4500) {
      const ULONGLONG consumed = player.Output().Output().GetBytesConsumed();
      if (gaps.empty()) {
        wall0 = timeGetTime();
        bytes0 = consumed;
      }
      wall1 = timeGetTime();
      bytes1 = consumed;
      gaps.push_back(heardMs - now);
    }
  }
  reader.Stop();

  const std::string raw = testenv::ReadFile(dir + "/out.raw");
  const ToneSpan t = MeasureTone(reinterpret_cast<const short*>(raw.data()), raw.size() / 2, 8000);
  EXPECT_NEAR(t.hertz, 440, 5);
  EXPECT_NEAR(t.seconds, 2.0, 0.05) << "three seconds of tone at 1.5x last two";

  const double windowSeconds = (wall1 - wall0) / 1000.0;
  const double playedSeconds = static_cast<double>(bytes1 - bytes0) / 16000.0;
  if (gaps.size() < 10 || windowSeconds < 0.5 || playedSeconds < 0.97 * windowSeconds) {
    GTEST_SKIP() << "sound device starved (" << playedSeconds << " s played in " << windowSeconds
                 << " s): machine too loaded to judge clock steering";
  }
  double mean = 0;
  for (double g : gaps) mean += g;
  mean /= static_cast<double>(gaps.size());
  EXPECT_LT(std::fabs(mean), 50.0) << "clock and stretched sound drifted apart";
  // The figures, for the test report.
  RecordProperty("tone_hz", std::to_string(t.hertz));
  RecordProperty("tone_seconds", std::to_string(t.seconds));
  RecordProperty("mean_gap_ms", std::to_string(mean));
}
