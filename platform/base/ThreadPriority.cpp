#include "platform/base/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {
// On Linux the nice value belongs to the thread named by its id.
id_t ThisThread() { return static_cast<id_t>(gettid()); }
}  // namespace

int CurrentThreadNice() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, ThisThread());
  return (nice == -1 && errno != 0) ? 0 : nice;
}

bool LowerCurrentThreadPriority(int increment) {
  if (increment <= 0) return true;
  return setpriority(PRIO_PROCESS, ThisThread(), std::min(CurrentThreadNice() + increment, 19)) == 0;
}
