#include "platform/os/NamedMutex.h"

#include "platform/base/Thread.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>

TEST(CNamedMutex, OwnerReentersOtherThreadsWait) {
  CNamedMutex a("Olvane_Test_Reenter");
  CNamedMutex b("Olvane_Test_Reenter");  // the same mutex by name
  ASSERT_TRUE(a.Lock());
  EXPECT_TRUE(b.Lock(0));  // the holder locks again through another object
  std::atomic<int> got{-1};
  CWorkerThread other;
  other.Start([&] { got = b.Lock(20) ? 1 : 0; });
  other.Join();
  EXPECT_EQ(got.load(), 0);
  b.Unlock();
  a.Unlock();
  CWorkerThread later;
  later.Start([&] {
    got = b.Lock(1000) ? 1 : 0;
    if (got) b.Unlock();
  });
  later.Join();
  EXPECT_EQ(got.load(), 1);
  a.Unlock();  // unbalanced unlock is ignored
}

TEST(CNamedMutex, KernelReleasesTheLockOfADeadProcess) {
  CNamedMutex mutex("Olvane_Test_Dead/Holder");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  int release[2];
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CNamedMutex held("Olvane_Test_Dead/Holder");
    const char ok = held.Lock(5000) ? 'y' : 'n';
    (void)!write(ready[1], &ok, 1);
    char c;
    (void)!read(release[0], &c, 1);
    _exit(0);  // dies holding the lock
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');
  EXPECT_FALSE(mutex.Lock(30));
  ASSERT_EQ(write(release[1], "x", 1), 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(mutex.Lock(5000));
  mutex.Unlock();
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
  EXPECT_NE(CNamedMutex::LockFilePath("a/b").find("/a_b.lock"), std::string::npos);
}
