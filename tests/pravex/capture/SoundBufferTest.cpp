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

TEST_F(SoundBufferFixture, PauseAndResumeContinueFromTheSavedCursor) {
  ASSERT_TRUE(sound.Create(8000, 16, 1));
  std::vector<BYTE> block(64000, 1);
  ASSERT_TRUE(sound.Write(block.data(), 64000));
  sound.Arm();
  EXPECT_TRUE(sound.IsPaused());
  sound.Pause(FALSE);
  for (int i = 0; i < 5000 && sound.Output().GetBytesConsumed() < 30000; ++i) Sleep(1);
  sound.Pause(TRUE);
  const DWORD saved = sound.Output().GetPlayCursor();
  EXPECT_GT(saved, 0u);
  // While paused nothing moves, however long it lasts.
  Sleep(5);
  EXPECT_EQ(sound.Output().GetPlayCursor(), saved);
  sound.Pause(TRUE);  // repeating the state changes nothing
  sound.Pause(FALSE);
  EXPECT_EQ(sound.Output().GetPlayCursor(), saved);
  EXPECT_FALSE(sound.IsPaused());
}

TEST_F(SoundBufferFixture, MuteSetsTheMinimumVolume) {
  ASSERT_TRUE(sound.Create(8000, 16, 1));
  sound.SetMute(TRUE);
  EXPECT_EQ(sound.Output().GetVolume(), CSoundOutput::kVolumeMin);
  sound.SetMute(FALSE);
  EXPECT_EQ(sound.Output().GetVolume(), CSoundOutput::kVolumeFull);
}
