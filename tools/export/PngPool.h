// Writes numbered PNG frames (frame_000000.png, ...) into a folder on a pool
// of worker threads, so that compression runs beside the extraction. A frame
// equal to the one before is not compressed again: its file gets the same
// bytes. The caller's frame is copied, so it may change after Add returns.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FrameFit.h"

class CPngPool {
 public:
  // threads 0: one per processor.
  explicit CPngPool(std::string folder, unsigned threads = 0);
  ~CPngPool();
  CPngPool(const CPngPool&) = delete;
  CPngPool& operator=(const CPngPool&) = delete;

  // Queues frame `index`; false (with the first failure's message) once a
  // frame could not be written.
  bool Add(unsigned long index, const OutputFrame& frame, std::string& error);
  // Waits for every queued frame; false when one failed (message in *error).
  bool Finish(std::string* error);
  // Removes every frame file queued so far (after a failed run).
  void RemoveWritten();

  static std::string FrameName(unsigned long index);

 private:
  struct Encoded {
    std::mutex lock;
    std::condition_variable done;
    bool ready = false;
    bool ok = false;
    std::string bytes;
  };
  struct Job {
    unsigned long index = 0;
    std::vector<BYTE> pixels;  // empty: the bytes of `encoded` are reused
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    std::shared_ptr<Encoded> encoded;
  };

  void Work();
  void Fail(const std::string& message);

  const std::string m_folder;
  std::mutex m_lock;
  std::condition_variable m_queued;
  std::condition_variable m_taken;
  std::deque<Job> m_jobs;
  std::size_t m_limit;
  bool m_closing = false;
  bool m_failed = false;
  std::string m_error;
  unsigned long m_added = 0;
  std::shared_ptr<Encoded> m_last;
  std::vector<std::thread> m_workers;
};
