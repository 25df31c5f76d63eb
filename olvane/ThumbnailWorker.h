// Makes thumbnails on a thread of its own, so that neither replay nor the
// window ever waits for a picture. The window thread asks (Request) and
// returns at once; a newer request replaces one still queued ("latest
// wins"); finished pictures go into a bounded cache and the worker posts a
// message to the target window, which looks the picture up. A new clip
// starts a new generation: older results are dropped, never shown.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "olvane/ThumbnailCache.h"
#include "platform/ui/UiTypes.h"

// Where the pictures come from; used on the worker thread only.
class IThumbnailSource {
 public:
  virtual ~IThumbnailSource() = default;
  // Opens a capture; false when it cannot be read.
  virtual bool Open(const std::string& path) = 0;
  // The picture at a whole second of the open capture, or null.
  virtual std::shared_ptr<Thumbnail> Make(int second) = 0;
};

// The real source: its own frame extractor, in one-frame mode, on its own
// reader of the capture.
std::unique_ptr<IThumbnailSource> MakeCaptureThumbnailSource();

class CThumbnailWorker {
 public:
  // How much lower than the window's the worker's priority is (nice steps).
  static constexpr int kNiceIncrement = 5;

  // A null source is the capture source.
  explicit CThumbnailWorker(std::unique_ptr<IThumbnailSource> source = nullptr);
  ~CThumbnailWorker();
  CThumbnailWorker(const CThumbnailWorker&) = delete;
  CThumbnailWorker& operator=(const CThumbnailWorker&) = delete;

  // Results are announced as `message` (wParam the second, lParam the
  // generation) posted to `target`.
  void SetTarget(HWND target, UINT message);
  // A new capture (empty: none): a new generation, the cache emptied, a
  // queued request dropped. Returns the new generation.
  unsigned SetClip(const std::string& path);
  // Asks for the picture of a second; never waits.
  void Request(int second);
  // The cached picture of a second of the current clip, or null.
  std::shared_ptr<const Thumbnail> Find(int second);
  unsigned Generation() const;

  // For tests and measurements: pictures made so far, and whether a request
  // is queued or being made.
  int MadeCount() const { return m_made.load(); }
  bool Busy() const;
  std::size_t CachedCount();

 private:
  void Run();
  void Stop();

  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  std::unique_ptr<IThumbnailSource> m_source;  // worker thread only
  std::string m_path;
  unsigned m_generation = 0;
  std::optional<int> m_pending;
  bool m_working = false;
  bool m_quit = false;
  HWND m_target = nullptr;
  UINT m_message = 0;
  CThumbnailCache m_cache;
  std::atomic<int> m_made{0};
  std::thread m_thread;
};
