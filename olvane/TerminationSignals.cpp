#include "olvane/TerminationSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/ui/Wnd.h"

namespace termination {

namespace {

std::atomic<HWND> g_window{nullptr};

sigset_t Signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

void Watch() {
  const sigset_t set = Signals();
  bool closing = false;
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0) continue;
    const HWND window = g_window.load();
    if (closing || !window) _exit(128 + signal);
    closing = true;
    ::PostMessage(window, WM_CLOSE, 0, 0);
  }
}

}  // namespace

void WatchSignals() {
  static std::once_flag started;
  std::call_once(started, [] {
    const sigset_t set = Signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(Watch).detach();
  });
}

void CloseOnSignal(HWND window) { g_window.store(window); }

}  // namespace termination
