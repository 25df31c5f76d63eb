#include "platform/base/Clock.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "tests/common/TestEnvironment.h"
#include "tests/pravex/capture/CaptureTestUtil.h"
#include "tests/pravex/capture/RecordingSink.h"

#include <gtest/gtest.h>

#include <thread>
#include <utility>

using namespace capture;

namespace {

constexpr DWORD kPlainType = 200;  // a record type without a payload class: read as plain bytes

// Screen pictures at the given times (every third a seek point) and plain
// records of the audio stream at audioTimes.
std::string WriteReplayCapture(const std::vector<DWORD>& screenTimes, const std::vector<DWORD>& audioTimes = {}) {
  const std::string path = testenv::MakeTempDir("replay") + "/replay.zeph";
  CCaptureFileWriter writer;
  EXPECT_TRUE(writer.Create(path));
  writer.AddStream(kStreamScreen, 16, 8);
  if (!audioTimes.empty()) writer.AddStream(kStreamAudio);
  std::size_t a = 0;
  for (std::size_t i = 0; i < screenTimes.size(); ++i) {
    while (a < audioTimes.size() && audioTimes[a] <= screenTimes[i]) {
      CCaptureData* r = capturetest::MakePlainRecord(kPlainType, kStreamAudio, audioTimes[a++], {1, 2, 3});
      EXPECT_TRUE(writer.WriteRecord(*r));
      r->Release();
    }
    const auto picture = capturetest::DesktopPicture(16, 8, 16, static_cast<int>(i));
    EXPECT_TRUE(writer.AddScreenPicture(screenTimes[i], picture.data(), 16, 8, 16, i % 3 == 0));
  }
  for (; a < audioTimes.size(); ++a) {
    CCaptureData* r = capturetest::MakePlainRecord(kPlainType, kStreamAudio, audioTimes[a], {1, 2, 3});
    EXPECT_TRUE(writer.WriteRecord(*r));
    r->Release();
  }
  EXPECT_TRUE(writer.Finish());
  return path;
}

// True once the last control record received is of the given type.
auto LastControlIs(DWORD type) {
  return [type](const std::vector<ReceivedRecord>& rs) {
    for (auto it = rs.rbegin(); it != rs.rend(); ++it) {
      if (it->type != kRecordScreen) return it->type == type;
    }
    return false;
  };
}

std::vector<DWORD> Every(DWORD step, DWORD last) {
  std::vector<DWORD> times;
  for (DWORD t = 0; t <= last; t += step) times.push_back(t);
  return times;
}

struct ReplayFixture : ::testing::Test {
  CManualTimeSource source{1000};
  CReplayClock clock{&source};
  CRecordingSink screen{&clock};
  CRecordingNotify notify;  // outlives the reader's worker
  CCaptureFileReader reader;

  void OpenWithScreen(const std::string& path, int frameMode = 0) {
    ASSERT_TRUE(reader.Open(path, frameMode));
    reader.SetClock(&clock);
    reader.AddHandler(&screen, kStreamScreen, 0, true);
  }
  // OpenWithScreen, with the notify and the pause marks (time, length) in
  // the order given.
  void OpenWithMarks(const std::string& path, std::initializer_list<std::pair<DWORD, DWORD>> marks) {
    OpenWithScreen(path);
    reader.SetNotify(&notify);
    for (const auto& [time, length] : marks) reader.AddPauseMark(time, length);
  }
  // Moves the replay clock to t (running) and waits until the worker has
  // delivered everything of the screen stream up to t.
  void AdvanceTo(DWORD t) {
    source.Advance(t - clock.Now());
    ASSERT_EQ(clock.Now(), t);
  }
};

}  // namespace

TEST_F(ReplayFixture, HandlerSeesTheWholeControlSequence) {
  OpenWithScreen(WriteReplayCapture({0, 100, 200}));
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  EXPECT_FALSE(reader.IsInPreroll());
  AdvanceTo(100);
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 100));
  AdvanceTo(200);
  ASSERT_TRUE(screen.WaitForType(kRecordEndOfStream));
  const std::vector<DWORD> expected = {kRecordReset, kRecordBeginPreroll, kRecordScreen, kRecordEndPreroll,
                                       kRecordStart, kRecordPlaying,      kRecordScreen, kRecordScreen,
                                       kRecordEndOfStream};
  EXPECT_EQ(screen.Types(), expected);
  for (const ReceivedRecord& r : screen.Records()) {
    EXPECT_EQ(r.stream, kStreamScreen);
    if (r.type == kRecordScreen) {
      EXPECT_EQ(r.clock, r.time);  // delivered exactly when due
    }
  }
  reader.Stop();
  EXPECT_FALSE(reader.IsRunning());
}

TEST_F(ReplayFixture, PrerollFromAnIndexEntryDeliversUpToTheStart) {
  const std::string path = WriteReplayCapture(Every(100, 1000));  // seek points at 0, 300, 600, 900
  OpenWithScreen(path);
  ASSERT_TRUE(reader.Start(650, 0));
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  EXPECT_EQ(screen.TimesOf(kRecordScreen), (std::vector<DWORD>{600}));
  EXPECT_EQ(screen.TimesOf(kRecordBeginPreroll), (std::vector<DWORD>{650}));
  EXPECT_EQ(clock.Now(), 650u);
  reader.Stop();

  // Before the second index entry the preroll starts at the data start.
  screen.Clear();
  ASSERT_TRUE(reader.Start(250, 0));
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  EXPECT_EQ(screen.TimesOf(kRecordScreen), (std::vector<DWORD>{0, 100, 200}));
  reader.Stop();
  EXPECT_EQ(screen.Types().back(), kRecordStopped);  // stopped, not ended
}

TEST_F(ReplayFixture, LeadWindowDeliversEarly) {
  CRecordingSink audio{&clock};
  ASSERT_TRUE(reader.Open(WriteReplayCapture(Every(1000, 6000), {5000})));
  reader.SetClock(&clock);
  reader.AddHandler(&screen, kStreamScreen, 0, true);
  reader.AddHandler(&audio, kStreamAudio, 2000, false);
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  AdvanceTo(2999);
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 2000));
  EXPECT_TRUE(audio.Records().empty());
  AdvanceTo(3000);
  ASSERT_TRUE(audio.WaitForType(kPlainType));
  const auto got = audio.Records();
  ASSERT_EQ(got.size(), 1u);  // no control records: it did not ask for them
  EXPECT_EQ(got[0].time, 5000u);
  EXPECT_EQ(got[0].clock, 3000u);
  reader.Stop();
}

TEST_F(ReplayFixture, PauseMarkOfLengthZeroWaitsForResume) {
  OpenWithMarks(WriteReplayCapture(Every(1000, 9000)), {{5000, 0}, {7000, 0}});
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  EXPECT_EQ(clock.GetMarker(), 5000u);
  AdvanceTo(5000);
  ASSERT_TRUE(notify.WaitForCount(1));
  EXPECT_EQ(notify.Calls()[0], std::make_pair(0, DWORD{5000}));
  ASSERT_TRUE(screen.WaitForType(kRecordPaused));
  EXPECT_TRUE(reader.IsPaused());
  source.Advance(10000);
  EXPECT_EQ(clock.Now(), 5000u);  // paused at the mark
  EXPECT_EQ(clock.GetMarker(), 7000u);  // the next mark is armed
  reader.SetPaused(false);
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPlaying)));
  EXPECT_EQ(clock.Now(), 5000u);
  source.Advance(1000);
  EXPECT_EQ(clock.Now(), 6000u);
  reader.Stop();
}

// A worker that wakes after the mark (here the clock jumps over it) still
// pauses with the clock at the mark, and shows nothing later than it.
TEST_F(ReplayFixture, AClockPastTheMarkPausesAtTheMarkShowingNothingLater) {
  OpenWithMarks(WriteReplayCapture(Every(100, 2000)), {{990, 0}, {1500, 2000}});
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  AdvanceTo(900);
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 900));
  source.Advance(250);  // 1150: past the mark and two pictures after it
  ASSERT_TRUE(notify.WaitForCount(1));
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPaused)));
  EXPECT_EQ(clock.Now(), 990u);
  EXPECT_EQ(screen.TimesOf(kRecordPaused), (std::vector<DWORD>{990}));
  Sleep(20);
  EXPECT_EQ(screen.TimesOf(kRecordScreen).back(), 900u);
  reader.SetPaused(false);
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPlaying)));
  AdvanceTo(1000);
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 1000));
  // A timed mark overrun the same way holds from its own time.
  source.Advance(600);
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPaused)));
  EXPECT_TRUE(reader.IsHolding());
  EXPECT_EQ(clock.Now(), 1500u);
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 1500));
  Sleep(20);
  EXPECT_EQ(screen.TimesOf(kRecordScreen).back(), 1500u);
  reader.Stop();
}

TEST_F(ReplayFixture, TimedPauseMarkHoldsThenResumesByItself) {
  OpenWithMarks(WriteReplayCapture(Every(1000, 9000)), {{2000, 3000}, {4000, 3000}});
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  AdvanceTo(2000);
  ASSERT_TRUE(screen.WaitForType(kRecordPaused));
  EXPECT_TRUE(reader.IsHolding());
  source.Advance(3000);  // exactly the length: still holding
  Sleep(15);
  EXPECT_TRUE(reader.IsHolding());
  EXPECT_TRUE(notify.Calls().empty());
  source.Advance(1);
  ASSERT_TRUE(notify.WaitForCount(1));
  EXPECT_EQ(notify.Calls()[0], std::make_pair(1, DWORD{2000}));
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPlaying)));
  EXPECT_FALSE(reader.IsHolding());
  EXPECT_EQ(clock.Now(), 2000u);

  // Resuming early ends the hold without a notify.
  AdvanceTo(4000);
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPaused)));
  reader.SetPaused(false);
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPlaying)));
  for (int i = 0; i < 1000 && reader.IsHolding(); ++i) Sleep(1);
  EXPECT_FALSE(reader.IsHolding());
  EXPECT_EQ(notify.Calls().size(), 1u);
  reader.Stop();
}

TEST_F(ReplayFixture, OfTwoMarksAtOneTimeOnlyTheFirstCounts) {
  // The mark at 2000 of 5000 ms, added later at the same time, never takes effect.
  OpenWithMarks(WriteReplayCapture(Every(1000, 9000)), {{3000, 0}, {2000, 0}, {2000, 5000}});
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  AdvanceTo(2000);
  ASSERT_TRUE(notify.WaitForCount(1));
  EXPECT_FALSE(reader.IsHolding());
  EXPECT_EQ(clock.GetMarker(), 3000u);
  // Resumed once the pause has reached the clock, else it would stop the
  // clock after the resume.
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPaused)));
  reader.SetPaused(false);
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPlaying)));
  AdvanceTo(3000);
  ASSERT_TRUE(notify.WaitForCount(2));
  EXPECT_EQ(notify.Calls()[1], std::make_pair(0, DWORD{3000}));
  reader.Stop();
}

TEST_F(ReplayFixture, StartingWhilePausedHoldsTheClockAndAMarkAtTheStartDoesNotHold) {
  // The mark at 200 lies exactly at the start: taken with length 0.
  OpenWithMarks(WriteReplayCapture(Every(100, 500)), {{200, 5000}, {400, 0}});
  reader.SetPaused(true);
  ASSERT_TRUE(reader.Start(200, 0));
  ASSERT_TRUE(screen.WaitForType(kRecordPaused));
  const std::vector<DWORD> expected = {kRecordReset, kRecordBeginPreroll, kRecordScreen, kRecordScreen, kRecordScreen,
                                       kRecordEndPreroll, kRecordStart, kRecordPaused};
  EXPECT_EQ(screen.Types(), expected);
  EXPECT_FALSE(screen.Has(kRecordPlaying));
  EXPECT_TRUE(clock.IsPaused());
  source.Advance(1000);
  EXPECT_EQ(clock.Now(), 200u);
  // The mark at the start is passed at once, as a pause until resumed: no
  // hold, the next mark armed.
  ASSERT_TRUE(notify.WaitForCount(1));
  EXPECT_EQ(notify.Calls()[0], std::make_pair(0, DWORD{200}));
  EXPECT_FALSE(reader.IsHolding());
  EXPECT_EQ(clock.GetMarker(), 400u);
  reader.SetPaused(false);
  ASSERT_TRUE(screen.WaitUntil(LastControlIs(kRecordPlaying)));
  EXPECT_EQ(clock.Now(), 200u);
  AdvanceTo(300);
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 300));
  EXPECT_EQ(notify.Calls().size(), 1u);
  reader.Stop();
}

TEST_F(ReplayFixture, StopTimeEndsTheReplay) {
  OpenWithScreen(WriteReplayCapture(Every(1000, 9000)));
  ASSERT_TRUE(reader.Start(0, 3000));
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  source.Advance(8000);
  EXPECT_EQ(clock.Now(), 3000u);  // the clock is limited to the stop time
  ASSERT_TRUE(screen.WaitForType(kRecordEndOfStream));
  EXPECT_EQ(screen.TimesOf(kRecordScreen), (std::vector<DWORD>{0, 1000, 2000, 3000}));
  reader.Stop();
}

TEST_F(ReplayFixture, ShowStartPictureSendsStoppedAndNoEndOfStream) {
  OpenWithScreen(WriteReplayCapture(Every(100, 500)));
  reader.ShowStartPicture();
  ASSERT_TRUE(screen.WaitForType(kRecordStopped));
  const std::vector<DWORD> expected = {kRecordReset, kRecordBeginPreroll, kRecordScreen, kRecordEndPreroll,
                                       kRecordStart, kRecordPlaying,      kRecordStopped};
  EXPECT_EQ(screen.Types(), expected);
  reader.Stop();
}

TEST_F(ReplayFixture, ShowStartPictureOnARunningReplayReturnsAfterTheStartPicture) {
  OpenWithScreen(WriteReplayCapture(Every(100, 500)));
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  AdvanceTo(200);
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 200));
  screen.Clear();
  reader.ShowStartPicture();
  // Everything is in when the call returns: the old replay's stop, then the
  // preroll to the first picture and no full replay.
  const std::vector<DWORD> expected = {kRecordStopped, kRecordReset, kRecordBeginPreroll, kRecordScreen,
                                       kRecordEndPreroll, kRecordStart, kRecordPlaying,      kRecordStopped};
  EXPECT_EQ(screen.Types(), expected);
  EXPECT_EQ(screen.TimesOf(kRecordScreen), (std::vector<DWORD>{0}));
  reader.Stop();
  EXPECT_FALSE(screen.Has(kRecordEndOfStream));
}

TEST_F(ReplayFixture, FrameModeTicksAdvanceTheClockFromTheStartTime) {
  OpenWithScreen(WriteReplayCapture(Every(100, 1000)), 1);
  reader.SetFrameRate(10);
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordEndOfStream));
  std::vector<DWORD> tickClocks;
  for (const ReceivedRecord& r : screen.Records()) {
    if (r.type == kRecordFrameTick) tickClocks.push_back(r.clock);
  }
  ASSERT_GE(tickClocks.size(), 4u);
  EXPECT_EQ(tickClocks[0], 0u);
  EXPECT_EQ(tickClocks[1], 100u);
  EXPECT_EQ(tickClocks[2], 200u);
  EXPECT_EQ(tickClocks[3], 300u);
  // Every picture arrived once, before the tick of its frame.
  EXPECT_EQ(screen.TimesOf(kRecordScreen), Every(100, 1000));
  reader.Stop();

  // From a later start the frames count on from there and end at a stop time.
  screen.Clear();
  ASSERT_TRUE(reader.Start(500, 800));
  ASSERT_TRUE(screen.WaitForType(kRecordEndOfStream));
  tickClocks.clear();
  for (const ReceivedRecord& r : screen.Records()) {
    if (r.type == kRecordFrameTick) tickClocks.push_back(r.clock);
  }
  EXPECT_EQ(tickClocks, (std::vector<DWORD>{500, 600, 700, 800}));
  reader.Stop();
}

TEST_F(ReplayFixture, EndOfCaptureWaitsWhilePaused) {
  // The mark pauses the reader right as the last record falls due.
  OpenWithMarks(WriteReplayCapture(Every(1000, 3000)), {{3000, 0}});
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  AdvanceTo(3000);
  ASSERT_TRUE(notify.WaitForCount(1));
  ASSERT_TRUE(screen.WaitForTime(kRecordScreen, 3000));
  Sleep(20);
  EXPECT_FALSE(screen.Has(kRecordEndOfStream));
  reader.SetPaused(false);
  ASSERT_TRUE(screen.WaitForType(kRecordEndOfStream));
  reader.Stop();
}

TEST_F(ReplayFixture, StartWithoutFileFailsAndRecordsAreNotLeaked) {
  CCaptureFileReader closed;
  EXPECT_FALSE(closed.Start());
  closed.ShowStartPicture();  // must return at once
  EXPECT_FALSE(closed.IsRunning());

  const std::uint32_t before = CCaptureData::GetLiveCount();
  {
    CCaptureFileReader r;
    ASSERT_TRUE(r.Open(WriteReplayCapture(Every(100, 5000), {4000})));
    CRecordingSink audio;
    r.AddHandler(&screen, kStreamScreen, 0, true);
    r.AddHandler(&audio, kStreamAudio, 2000, true);
    r.SetClock(&clock);
    ASSERT_TRUE(r.Start(1000, 0));
    ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
    r.Stop();  // queued records must be released
    r.Close();
  }
  EXPECT_EQ(CCaptureData::GetLiveCount(), before);
}

TEST(CaptureReplayStress, StartStopAndSeekFromTwoThreadsWithASlowHandler) {
  const std::string path = WriteReplayCapture(Every(50, 5000), Every(500, 5000));
  const std::uint32_t before = CCaptureData::GetLiveCount();
  {
    CReplayClock clock;  // real time: the replay actually runs
    CRecordingSink screen(&clock), audio(&clock);
    screen.SetDelay(1);
    CCaptureFileReader reader;
    ASSERT_TRUE(reader.Open(path));
    reader.SetClock(&clock);
    reader.AddHandler(&screen, kStreamScreen, 0, true);
    reader.AddHandler(&audio, kStreamAudio, 2000, true);
    reader.AddPauseMark(2500, 10);
    auto cycle = [&](unsigned seed) {
      for (int i = 0; i < 100; ++i) {
        const DWORD start = (seed * 7919u + static_cast<unsigned>(i) * 104729u) % 5000u;
        reader.Start(start, i % 5 == 0 ? start + 200 : 0);
        if (i % 3 == 0) reader.SetPaused(i % 2 == 0);
        if (i % 7 == 0) reader.ShowStartPicture();
        std::this_thread::yield();
        reader.Stop();
      }
    };
    std::thread other(cycle, 2u);
    cycle(1u);
    other.join();
    reader.Stop();
    reader.Close();
  }
  EXPECT_EQ(CCaptureData::GetLiveCount(), before);
}

TEST_F(ReplayFixture, QueuedRecordsStayBoundedByTheLeadWindow) {
  // Ten minutes: a picture every 100 ms and a sound block every second.
  CRecordingSink audio{&clock};
  ASSERT_TRUE(reader.Open(WriteReplayCapture(Every(100, 600000), Every(1000, 600000))));
  reader.SetClock(&clock);
  reader.AddHandler(&screen, kStreamScreen, 0, true);
  reader.AddHandler(&audio, kStreamAudio, 2000, true);
  ASSERT_TRUE(reader.Start());
  ASSERT_TRUE(screen.WaitForType(kRecordPlaying));
  for (DWORD t = 2000; t <= 600000; t += 2000) {
    AdvanceTo(t);
    ASSERT_TRUE(screen.WaitForTime(kRecordScreen, t)) << t;
  }
  ASSERT_TRUE(screen.WaitForType(kRecordEndOfStream));
  EXPECT_EQ(screen.TimesOf(kRecordScreen).size(), 6001u);
  EXPECT_EQ(audio.TimesOf(kPlainType).size(), 601u);
  // Reading ahead stops at the largest window (2000 ms): at most a window
  // plus one clock step of pictures and sound blocks are ever held.
  EXPECT_LE(reader.GetPeakQueuedRecords(), 2u * (40 + 4));
  EXPECT_GE(reader.GetPeakQueuedRecords(), 20u);
  reader.Stop();
}
