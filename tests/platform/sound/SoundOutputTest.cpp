#include "platform/sound/SoundOutput.h"

#include "platform/base/Clock.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Routes SDL's audio to its disk driver, which writes exactly what the device
// callback produced to a file and runs as fast as it is fed.
std::string UseDiskAudio() {
  const std::string file = testenv::MakeTempDir("sound") + "/out.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  return file;
}

// A device without a thread: it takes bytes only when the test pulls them,
// and time moves only when the test moves it.
std::uint32_t g_now = 0;
std::uint32_t ManualNow() { return g_now; }
struct ManualDevice {
  explicit ManualDevice(DWORD deviceBytes) {
    g_now = 1000;
    CSoundOutput::UseManualDevice(&ManualNow, deviceBytes);
  }
  ~ManualDevice() { CSoundOutput::UseManualDevice(nullptr, 0); }
};

void Pull(CSoundOutput& out, DWORD bytes) {
  std::vector<BYTE> sink(bytes);
  out.Pull(sink.data(), bytes);
}

bool WaitForConsumed(CSoundOutput& out, ULONGLONG bytes) {
  for (int i = 0; i < 5000 && out.GetBytesConsumed() < bytes; ++i) Sleep(1);
  return out.GetBytesConsumed() >= bytes;
}

}  // namespace

TEST(CSoundOutput, RefusesUnusableFormats) {
  UseDiskAudio();
  CSoundOutput out;
  EXPECT_FALSE(out.Create(0, 16, 1, 160000));
  EXPECT_FALSE(out.Create(8000, 12, 1, 160000));
  EXPECT_FALSE(out.Create(8000, 16, 0, 160000));
  EXPECT_FALSE(out.Create(8000, 16, 2, 3));       // not whole sample frames
  EXPECT_FALSE(out.Create(8000, 16, 1, 160001));  // half a sample
  EXPECT_FALSE(out.IsCreated());
  EXPECT_STRNE(out.GetLastError(), "");
}

TEST(CSoundOutput, LockSplitsAtTheWrap) {
  UseDiskAudio();
  CSoundOutput out;
  ASSERT_TRUE(out.Create(8000, 16, 1, 16000));
  BYTE *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_TRUE(out.Lock(15000, 3000, &p1, &n1, &p2, &n2));
  EXPECT_EQ(n1, 1000u);
  EXPECT_EQ(n2, 2000u);
  ASSERT_NE(p2, nullptr);
  EXPECT_EQ(p2 + 15000, p1);
  out.Unlock();
  ASSERT_TRUE(out.Lock(0, 100, &p1, &n1, &p2, &n2));
  EXPECT_EQ(n1, 100u);
  EXPECT_EQ(n2, 0u);
  EXPECT_EQ(p2, nullptr);
  out.Unlock();
  EXPECT_FALSE(out.Lock(16000, 1, &p1, &n1, &p2, &n2));  // offset outside the buffer
  EXPECT_FALSE(out.Lock(0, 16001, &p1, &n1, &p2, &n2));  // longer than the buffer
}

TEST(CSoundOutput, PlaysWhatWasWrittenAndStaysSilentWhenStoppedOrMuted) {
  const std::string file = UseDiskAudio();
  CSoundOutput out;
  ASSERT_TRUE(out.Create(8000, 16, 1, 16000));
  // Stopped: the device is fed silence and the cursor does not move.
  Sleep(5);
  EXPECT_EQ(out.GetBytesConsumed(), 0u);
  EXPECT_EQ(out.GetPlayCursor(), 0u);

  std::vector<short> ramp(8000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<short>(i * 3 + 1);
  BYTE *p1, *p2;
  DWORD n1, n2;
  ASSERT_TRUE(out.Lock(0, 16000, &p1, &n1, &p2, &n2));
  std::memcpy(p1, ramp.data(), n1);
  out.Unlock();

  out.Play();
  ASSERT_TRUE(WaitForConsumed(out, 8000));
  out.SetVolume(CSoundOutput::kVolumeMin);
  const ULONGLONG mutedFrom = out.GetBytesConsumed();
  ASSERT_TRUE(WaitForConsumed(out, mutedFrom + 8000));
  out.Stop();
  out.Release();

  const std::string raw = testenv::ReadFile(file);
  ASSERT_GE(raw.size(), 16000u);
  // Skip the silence produced before Play: the ramp starts with the value 1.
  const auto* samples = reinterpret_cast<const short*>(raw.data());
  const size_t count = raw.size() / 2;
  size_t start = 0;
  while (start < count && samples[start] == 0) ++start;
  ASSERT_LT(start + 2000, count);
  for (size_t i = 0; i < 2000; ++i) ASSERT_EQ(samples[start + i], ramp[i]) << "sample " << i;
  // The muted stretch is silent.
  // The file starts with the silence fed before Play; the muted stretch
  // begins mutedFrom bytes after the ramp's first sample (plus a buffer or two).
  const size_t mutedSample = start + static_cast<size_t>(mutedFrom / 2) + 1024;
  if (mutedSample + 100 < count) {
    for (size_t i = 0; i < 100; ++i) EXPECT_EQ(samples[mutedSample + i], 0);
  }
}

TEST(CSoundOutput, PlayCursorStandsForTheSampleBeingHeard) {
  UseDiskAudio();
  CSoundOutput out;
  ASSERT_TRUE(out.Create(8000, 16, 1, 160000));
  out.SetPlayCursor(1001);  // rounded down to a whole sample
  EXPECT_EQ(out.GetPlayCursor(), 1000u);
  out.Play();
  ASSERT_TRUE(WaitForConsumed(out, 20000));
  out.Stop();
  // The device took more than it has played; the cursor lags the read position
  // by at most one device buffer, and never runs ahead of what was consumed.
  const DWORD cursor = out.GetPlayCursor();
  const ULONGLONG consumed = out.GetBytesConsumed();
  EXPECT_LE(cursor, 1000 + consumed);
  EXPECT_GE(cursor + 1024 * 2 * 4, 1000 + consumed);
  // Setting the cursor while stopped is reported exactly.
  out.SetPlayCursor(5000);
  EXPECT_EQ(out.GetPlayCursor(), 5000u);
}

TEST(CSoundOutput, PlayCursorNeverStepsBackAcrossBuffersAndPauses) {
  ManualDevice device(512);  // 32 ms at 16000 bytes a second
  CSoundOutput out;
  ASSERT_TRUE(out.Create(8000, 16, 1, 16000));
  out.SetPlayCursor(2000);
  out.Play();
  Pull(out, 512);
  EXPECT_EQ(out.GetPlayCursor(), 2000u);  // taken, not heard yet
  g_now += 16;
  EXPECT_EQ(out.GetPlayCursor(), 2256u);  // half the buffer played out
  g_now += 24;
  EXPECT_EQ(out.GetPlayCursor(), 2512u);  // all of it, and no further
  // A smaller buffer taken now would put the estimate 256 bytes back.
  Pull(out, 256);
  EXPECT_EQ(out.GetPlayCursor(), 2512u);
  g_now += 16;
  EXPECT_EQ(out.GetPlayCursor(), 2512u);
  g_now += 8;
  EXPECT_EQ(out.GetPlayCursor(), 2640u);

  // Stopping keeps the sample being heard; starting again from there, the
  // first buffer taken does not move the cursor back.
  g_now += 4;
  const DWORD heard = out.GetPlayCursor();
  EXPECT_EQ(heard, 2704u);
  out.Stop();
  EXPECT_EQ(out.GetPlayCursor(), heard);
  g_now += 1000;
  EXPECT_EQ(out.GetPlayCursor(), heard);
  out.Play();
  Pull(out, 512);
  EXPECT_EQ(out.GetPlayCursor(), heard);
  g_now += 32;
  EXPECT_EQ(out.GetPlayCursor(), heard + 512);

  // Across the wrap the cursor keeps counting from where it stood.
  out.SetPlayCursor(15800);
  EXPECT_EQ(out.GetPlayCursor(), 15800u);
  Pull(out, 512);
  g_now += 32;
  EXPECT_EQ(out.GetPlayCursor(), (15800u + 512u) % 16000u);
  // Setting the cursor is the one way to move it back.
  out.SetPlayCursor(100);
  EXPECT_EQ(out.GetPlayCursor(), 100u);
}

// The volume scales what the device takes: -6.02 dB halves every sample (16
// bits signed, 8 bits around 128), 0 dB leaves them exact, the minimum is
// silence, and the buffer itself keeps what was written.
TEST(CSoundOutput, VolumeScalesTheSamplesTheDeviceTakes) {
  ManualDevice device(0);
  struct Case {
    WORD bits;
    std::vector<BYTE> written, atFull, atHalf, atMin;
  };
  const Case cases[] = {
      {16,
       {0x00, 0x40, 0x00, 0xC0, 0x01, 0x00},
       {0x00, 0x40, 0x00, 0xC0, 0x01, 0x00},
       {0x00, 0x20, 0x00, 0xE0, 0x00, 0x00},
       {0, 0, 0, 0, 0, 0}},
      {8, {0xFF, 0x00, 0x80, 0x90}, {0xFF, 0x00, 0x80, 0x90}, {0xBF, 0x40, 0x80, 0x88}, {0x80, 0x80, 0x80, 0x80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    CSoundOutput out;
    ASSERT_TRUE(out.Create(8000, c.bits, 1, 16000));
    BYTE *p1, *p2;
    DWORD n1, n2;
    ASSERT_TRUE(out.Lock(0, static_cast<DWORD>(c.written.size()), &p1, &n1, &p2, &n2));
    std::memcpy(p1, c.written.data(), n1);
    out.Unlock();
    out.Play();
    const auto take = [&](int hundredthsOfDb) {
      out.SetPlayCursor(0);
      out.SetVolume(hundredthsOfDb);
      std::vector<BYTE> got(c.written.size());
      out.Pull(got.data(), static_cast<DWORD>(got.size()));
      return got;
    };
    EXPECT_EQ(take(CSoundOutput::kVolumeFull), c.atFull);
    EXPECT_EQ(take(-602), c.atHalf);
    EXPECT_EQ(take(CSoundOutput::kVolumeMin), c.atMin);
    EXPECT_EQ(take(CSoundOutput::kVolumeFull), c.atFull);
    EXPECT_EQ(take(1000), c.atFull) << "no gain above full";
  }
}
