#include "pravex/capture/GsmCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(CGsmCodec, ToneSurvivesEncodeAndDecode) {
  CGsmCodec codec;
  ASSERT_TRUE(codec.IsValid());
  // 1 s of a 440 Hz tone at 8000 Hz; speech coding is lossy, so compare energy
  // and the zero-crossing count (the frequency) rather than samples.
  const int frames = 50;
  std::vector<short> tone(frames * CGsmCodec::kFrameSamples);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<short>(8000 * std::sin(2 * M_PI * 440 * i / 8000.0));
  std::vector<BYTE> coded(frames * CGsmCodec::kFrameBytes);
  for (int f = 0; f < frames; ++f) codec.EncodeFrame(&tone[f * 160], &coded[f * 33]);
  std::vector<short> decoded(tone.size());
  for (int f = 0; f < frames; ++f) ASSERT_TRUE(codec.DecodeFrame(&coded[f * 33], &decoded[f * 160]));
  int crossings = 0;
  double energy = 0;
  for (size_t i = 800; i < decoded.size(); ++i) {  // past the codec's start-up
    if ((decoded[i - 1] < 0) != (decoded[i] < 0)) ++crossings;
    energy += static_cast<double>(decoded[i]) * decoded[i];
  }
  const double seconds = (decoded.size() - 800) / 8000.0;
  EXPECT_NEAR(crossings / seconds / 2, 440, 20);
  EXPECT_GT(std::sqrt(energy / (decoded.size() - 800)), 2000);
}

TEST(CGsmCodec, FrameWithBadSignatureDecodesToSilence) {
  CGsmCodec codec;
  BYTE frame[33] = {};  // signature nibble 0 instead of 0xD
  std::vector<short> out(160, 123);
  EXPECT_FALSE(codec.DecodeFrame(frame, out.data()));
  for (short s : out) ASSERT_EQ(s, 0);
}
