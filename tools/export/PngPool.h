// Writes numbered PNG frames (frame_000000.png, ...) into a folder on a pool
// of worker threads, so that compression runs beside the extraction. Frames
// are compressed in bands of rows (PngBands.h): a band whose rows (and the row
// above) are as in the frame before keeps that frame's compressed bytes, and a
// frame equal to the one before gets the same file bytes. The rows of the
// bands to compress are copied, so the caller's frame may change after Add
// returns.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FrameFit.h"
#include "PngBands.h"

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
  struct Band {
    std::mutex lock;
    std::condition_variable done;
    bool ready = false;
    bool ok = false;
    PngBand data;
  };
  // A band to compress: its rows, packed top row first, after the row above
  // when there is one.
  struct BandWork {
    std::shared_ptr<Band> band;
    std::vector<BYTE> rows;
    bool hasAbove = false;
    int count = 0;
  };
  struct Job {
    unsigned long index = 0;
    bool repeat = false;  // the bytes of `encoded` are reused
    int width = 0;
    int height = 0;
    std::vector<BandWork> work;
    std::vector<std::shared_ptr<Band>> bands;  // every band of the frame, top first
    std::shared_ptr<Encoded> encoded;
  };

  void Work();
  void Fail(const std::string& message);
  // Fills the job's bands: the frame's rows are compared with the frame
  // before within the rows it says may differ.
  void PlanBands(const OutputFrame& frame, Job& job);
  static bool Compress(Job& job, std::string& bytes);

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
  // The frame before (packed rows, top first), its bands, and the rows of the
  // current frame that differ from it (caller's thread only).
  std::vector<BYTE> m_previous;
  int m_previousW = 0;
  int m_previousH = 0;
  std::vector<std::shared_ptr<Band>> m_bands;
  std::vector<char> m_rowChanged;
  std::vector<std::thread> m_workers;
};
