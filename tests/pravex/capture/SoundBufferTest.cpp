#include "pravex/capture/SoundBuffer.h"

#include "platform/base/Clock.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct SoundBufferFixture : ::testing::Test {
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (testenv::MakeTempDir("snd") + "/out.raw").c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    CSoundBuffer::SetOpenRetry(2, 1);
  }
  void TearDown() override { CSoundBuffer::SetOpenRetry(8, 500); }
  CSoundBuffer sound;
};

}  // namespace

TEST_F(SoundBufferFixture, TenSecondBufferAndWrappingWrites) {
  ASSERT_TRUE(sound.Create(8000, 16, 1));
  EXPECT_EQ(sound.GetBufferSize(), 160000u);
  std::vector<BYTE> block(60000, 7);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(sound.Write(block.data(), 60000));
  EXPECT_EQ(sound.GetWritePosition(), 20000u);  // 180000 wrapped at 160000
  EXPECT_TRUE(sound.HasData());
  // The cursor is still at 0: from there to the write position is queued.
  EXPECT_EQ(sound.QueuedBytes(), 20000u);
  // Silence goes ahead of the write position without moving it.
  ASSERT_TRUE(sound.WriteSilence(8000));
  EXPECT_EQ(sound.GetWritePosition(), 20000u);
  // A write longer than the whole buffer cannot be placed.
  std::vector<BYTE> huge(160001);
  EXPECT_FALSE(sound.Write(huge.data(), 160001));
  sound.StopAndRewind();
  EXPECT_EQ(sound.GetWritePosition(), 0u);
  EXPECT_FALSE(sound.HasData());
}

TEST_F(SoundBufferFixture, ZeroOrAbsurdFormatsAreRefused) {
  EXPECT_FALSE(sound.Create(0, 16, 1));
  EXPECT_FALSE(sound.Create(8000, 0, 1));
  EXPECT_FALSE(sound.Create(8000, 16, 0));
  EXPECT_FALSE(sound.Create(0xFFFFFFFF, 16, 2));
  EXPECT_FALSE(sound.IsCreated());
  // Without an output, writes and pauses are harmless no-ops.
  BYTE b[4] = {};
  EXPECT_TRUE(sound.Write(b, 4));
  sound.Pause(TRUE);
  EXPECT_EQ(sound.QueuedBytes(), 0u);
}

std::uint32_t g_now = 0;
std::uint32_t ManualNow() { return g_now; }

TEST_F(SoundBufferFixture, PauseAndResumeContinueFromTheSavedCursor) {
  // The device takes sound only when the test pulls it, and time moves only
  // when the test moves it: nothing here depends on scheduling.
  g_now = 5000;
  CSoundOutput::UseManualDevice(&ManualNow, 512);
  struct Restore {
    ~Restore() { CSoundOutput::UseManualDevice(nullptr, 0); }
  } restore;
  ASSERT_TRUE(sound.Create(8000, 16, 1));
  std::vector<BYTE> block(64000, 1), sink(512);
  ASSERT_TRUE(sound.Write(block.data(), 64000));
  sound.Arm();
  EXPECT_TRUE(sound.IsPaused());
  sound.Pause(FALSE);
  for (int i = 0; i < 66; ++i) {
    sound.Output().Pull(sink.data(), 512);
    g_now += 16;  // half a device buffer between two pulls
  }
  // Paused between two device buffers: the cursor stands where the sound
  // was heard, half a buffer short of what the device took.
  const DWORD before = sound.Output().GetPlayCursor();
  sound.Pause(TRUE);
  const DWORD saved = sound.Output().GetPlayCursor();
  EXPECT_EQ(saved, before);
  EXPECT_EQ(saved, 66u * 512u - 256u);
  // While paused nothing moves, however long it lasts or whatever the device
  // is fed meanwhile.
  g_now += 5000;
  sound.Output().Pull(sink.data(), 512);
  EXPECT_EQ(sound.Output().GetPlayCursor(), saved);
  sound.Pause(TRUE);  // repeating the state changes nothing
  sound.Pause(FALSE);
  EXPECT_EQ(sound.Output().GetPlayCursor(), saved);
  EXPECT_FALSE(sound.IsPaused());
  // The first buffer after resuming is taken from the saved cursor on.
  sound.Output().Pull(sink.data(), 512);
  EXPECT_EQ(sound.Output().GetPlayCursor(), saved);
  g_now += 8;
  EXPECT_EQ(sound.Output().GetPlayCursor(), saved + 128);
}

TEST_F(SoundBufferFixture, MuteSetsTheMinimumVolume) {
  ASSERT_TRUE(sound.Create(8000, 16, 1));
  sound.SetMute(TRUE);
  EXPECT_EQ(sound.Output().GetVolume(), CSoundOutput::kVolumeMin);
  sound.SetMute(FALSE);
  EXPECT_EQ(sound.Output().GetVolume(), CSoundOutput::kVolumeFull);
  // The volume is kept apart from the mute, and both outlive the output.
  sound.SetVolume(-1200);
  EXPECT_EQ(sound.Output().GetVolume(), -1200);
  sound.SetMute(TRUE);
  sound.Release();
  ASSERT_TRUE(sound.Create(8000, 16, 1));
  EXPECT_EQ(sound.Output().GetVolume(), CSoundOutput::kVolumeMin);
  sound.SetMute(FALSE);
  EXPECT_EQ(sound.Output().GetVolume(), -1200);
}
