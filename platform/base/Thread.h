// A joinable worker thread; the owner starts it with a function and joins it.
#pragma once

#include <functional>
#include <thread>

class CWorkerThread {
 public:
  CWorkerThread() = default;
  ~CWorkerThread() { Join(); }
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;

  // Starts body on a new thread; false when one is still running.
  bool Start(std::function<void()> body);
  // Waits for the thread to end; harmless when none runs or when called from
  // the thread itself (then it detaches).
  void Join();
  bool IsRunning() const { return m_thread.joinable(); }
  bool IsCurrentThread() const { return m_thread.get_id() == std::this_thread::get_id(); }

 private:
  std::thread m_thread;
};
