#include "platform/base/Clock.h"
#include "platform/base/Sync.h"
#include "platform/base/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

TEST(CEvent, AutoResetReleasesOneWaiterAndClears) {
  CEvent ev(false, false);
  EXPECT_FALSE(ev.Wait(0));
  ev.SetEvent();
  EXPECT_TRUE(ev.Wait(0));
  EXPECT_FALSE(ev.Wait(0));  // consumed
}

TEST(CEvent, ManualResetStaysSignalledForAllWaiters) {
  CEvent ev(false, true);
  std::atomic<int> released{0};
  CWorkerThread a, b;
  a.Start([&] { if (ev.Wait(5000)) ++released; });
  b.Start([&] { if (ev.Wait(5000)) ++released; });
  ev.SetEvent();
  a.Join();
  b.Join();
  EXPECT_EQ(released.load(), 2);
  EXPECT_TRUE(ev.IsSignalled());
  ev.ResetEvent();
  EXPECT_FALSE(ev.Wait(1));
}

TEST(CEvent, TwoThreadsAlternateThroughTwoAutoResetEvents) {
  // The hand-over pattern frame extraction uses: each side waits for the other.
  CEvent ping, pong;
  std::atomic<int> turns{0};
  CWorkerThread worker;
  worker.Start([&] {
    for (int i = 0; i < 500; ++i) {
      ASSERT_TRUE(ping.Wait(5000));
      EXPECT_EQ(turns.load() % 2, 1);
      ++turns;
      pong.SetEvent();
    }
  });
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(turns.load() % 2, 0);
    ++turns;
    ping.SetEvent();
    ASSERT_TRUE(pong.Wait(5000));
  }
  worker.Join();
  EXPECT_EQ(turns.load(), 1000);
}

TEST(CCriticalSection, ReentersAndExcludesOtherThreads) {
  CCriticalSection cs;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      CSingleLock outer(&cs);
      CSingleLock inner(&cs);  // re-entry on the same thread must not deadlock
      ++counter;
    }
  };
  CWorkerThread t;
  t.Start(work);
  work();
  t.Join();
  EXPECT_EQ(counter, 40000);
}

TEST(CWorkerThread, RefusesSecondStartAndJoinsTwice) {
  CEvent go;
  CWorkerThread t;
  EXPECT_TRUE(t.Start([&] { go.Wait(5000); }));
  EXPECT_FALSE(t.Start([] {}));
  go.SetEvent();
  t.Join();
  t.Join();
  EXPECT_FALSE(t.IsRunning());
}

TEST(Clock, AdvancesWithSleep) {
  const std::uint32_t start = timeGetTime();
  Sleep(5);
  EXPECT_GE(static_cast<std::uint32_t>(timeGetTime() - start), 4u);
}
