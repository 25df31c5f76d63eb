#include "pravex/capture/ReplayClock.h"

#include <gtest/gtest.h>

namespace {

struct ClockFixture : ::testing::Test {
  CManualTimeSource source{123456};
  CReplayClock clock{&source};
};

}  // namespace

TEST_F(ClockFixture, PausedResetWithLimitReadsSetTimeUntilResumed) {
  clock.Reset(TRUE, 60000);
  clock.SetTime(12000);
  source.Advance(5000);
  EXPECT_EQ(clock.Now(), 12000u);
  clock.SetPaused(FALSE);
  EXPECT_EQ(clock.Now(), 12000u);
  source.Advance(250);
  EXPECT_EQ(clock.Now(), 12250u);
  // The limit caps every reading.
  source.Advance(100000);
  EXPECT_EQ(clock.Now(), 60000u);
  EXPECT_EQ(clock.GetLimit(), 60000u);
}

TEST_F(ClockFixture, NegativeNudgeHoldsThenContinues) {
  clock.SetTime(10000);
  clock.Nudge(-5);
  source.Advance(3);
  EXPECT_EQ(clock.Now(), 10000u);
  source.Advance(2);
  EXPECT_EQ(clock.Now(), 10000u);  // exactly at the end the hold still stands
  source.Advance(1);
  EXPECT_EQ(clock.Now(), 10001u);  // then the clock goes on from where it stood
  source.Advance(9);
  EXPECT_EQ(clock.Now(), 10010u);
}

TEST_F(ClockFixture, PausingDuringHoldKeepsThePartThatRan) {
  clock.SetTime(10000);
  clock.Nudge(-5);
  source.Advance(2);
  clock.SetPaused(TRUE);
  EXPECT_EQ(clock.Now(), 10000u);
  source.Advance(1000);
  clock.SetPaused(FALSE);
  // The hold ended at the pause: the 2 ms that ran are kept, the rest is dropped.
  EXPECT_EQ(clock.Now(), 10000u);
  source.Advance(7);
  EXPECT_EQ(clock.Now(), 10007u);
}

TEST_F(ClockFixture, PositiveNudgeAdvancesAtOnceOnlyWhenOriginAllows) {
  clock.SetTime(10000);
  clock.Nudge(10);
  EXPECT_EQ(clock.Now(), 10010u);
  // Right after a reset the origin is 0: advancing would wrap it, so nothing happens.
  clock.Reset(FALSE, 0);
  clock.Nudge(10);
  EXPECT_EQ(clock.Now(), 0u);
}

TEST_F(ClockFixture, RateChangesContinueFromCurrentValue) {
  clock.SetTime(1000);
  clock.SetRate(1, 2);
  source.Advance(1000);
  EXPECT_EQ(clock.Now(), 1500u);
  source.Advance(1);  // half a millisecond rounds to the nearest
  EXPECT_EQ(clock.Now(), 1501u);
  source.Advance(999);
  EXPECT_EQ(clock.Now(), 2000u);
  clock.SetRate(1, 1);
  source.Advance(1000);
  EXPECT_EQ(clock.Now(), 3000u);
  clock.SetRate(3, 1);
  source.Advance(100);
  EXPECT_EQ(clock.Now(), 3300u);
  // A zero denominator would divide by zero: it is ignored.
  clock.SetRate(1, 0);
  DWORD num = 0, den = 0;
  clock.GetRate(num, den);
  EXPECT_EQ(num, 3u);
  EXPECT_EQ(den, 1u);
  // Reset keeps the rate.
  clock.Reset(FALSE, 0);
  source.Advance(10);
  EXPECT_EQ(clock.Now(), 30u);
}

TEST_F(ClockFixture, DisplayTimeStopsAtMarker) {
  clock.SetTime(5003);
  EXPECT_EQ(clock.GetDisplayTime(), 5003u);
  clock.SetMarker(5000);
  EXPECT_EQ(clock.GetDisplayTime(), 5000u);
  EXPECT_EQ(clock.Now(), 5003u);
  clock.SetMarker(CReplayClock::kNoMarker);
  EXPECT_EQ(clock.GetDisplayTime(), 5003u);
}

TEST_F(ClockFixture, SettingTheCurrentPauseStateChangesNothing) {
  clock.SetTime(100);
  clock.SetPaused(FALSE);
  source.Advance(10);
  EXPECT_EQ(clock.Now(), 110u);
  clock.SetPaused(TRUE);
  source.Advance(10);
  clock.SetPaused(TRUE);  // must not move pausedAt
  source.Advance(10);
  clock.SetPaused(FALSE);
  EXPECT_EQ(clock.Now(), 110u);
  EXPECT_FALSE(clock.IsPaused());
}

TEST_F(ClockFixture, WrapsWithTheSystemClock) {
  source.Set(0xFFFFFF00u);
  clock.Reset(FALSE, 0);
  source.Advance(0x200);  // the system clock wraps past zero
  EXPECT_EQ(clock.Now(), 0x200u);
}
