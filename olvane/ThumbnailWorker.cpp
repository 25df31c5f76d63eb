#include "olvane/ThumbnailWorker.h"

#include <system_error>
#include <utility>

#include "platform/base/ThreadPriority.h"
#include "platform/ui/Wnd.h"

CThumbnailWorker::CThumbnailWorker(std::unique_ptr<IThumbnailSource> source)
    : m_source(source ? std::move(source) : MakeCaptureThumbnailSource()) {}

CThumbnailWorker::~CThumbnailWorker() { Stop(); }

void CThumbnailWorker::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_quit = true;
    m_pending.reset();
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void CThumbnailWorker::SetTarget(HWND target, UINT message) {
  std::lock_guard lock(m_mutex);
  m_target = target;
  m_message = message;
}

unsigned CThumbnailWorker::SetClip(const std::string& path) {
  std::lock_guard lock(m_mutex);
  m_path = path;
  m_pending.reset();
  m_cache.Clear();
  return ++m_generation;
}

void CThumbnailWorker::Request(int second) {
  {
    std::lock_guard lock(m_mutex);
    if (m_quit || m_path.empty() || second < 0) return;
    m_pending = second;
    // The thread starts with the first request: a player nobody hovers over
    // has no thread and no second reader.
    if (!m_thread.joinable()) {
      try {
        m_thread = std::thread([this] { Run(); });
      } catch (const std::system_error&) {
        // No thread to be had now: no picture, and the next request tries again.
        m_pending.reset();
        return;
      }
    }
  }
  m_wake.notify_one();
}

std::shared_ptr<const Thumbnail> CThumbnailWorker::Find(int second) {
  std::lock_guard lock(m_mutex);
  return m_cache.Find(second);
}

unsigned CThumbnailWorker::Generation() const {
  std::lock_guard lock(m_mutex);
  return m_generation;
}

bool CThumbnailWorker::Busy() const {
  std::lock_guard lock(m_mutex);
  return m_working || m_pending.has_value();
}

std::size_t CThumbnailWorker::CachedCount() {
  std::lock_guard lock(m_mutex);
  return m_cache.Size();
}

void CThumbnailWorker::Run() {
  // Pictures are a convenience: replay, sound and the window come first, and
  // the reader threads the extractor starts inherit the lower priority.
  LowerCurrentThreadPriority(kNiceIncrement);
  std::string openPath;
  unsigned openGeneration = 0;
  bool opened = false;
  for (;;) {
    int second = 0;
    unsigned generation = 0;
    std::string path;
    HWND target = nullptr;
    UINT message = 0;
    {
      std::unique_lock lock(m_mutex);
      m_working = false;
      m_wake.wait(lock, [this] { return m_quit || m_pending.has_value(); });
      if (m_quit) return;
      second = *m_pending;
      m_pending.reset();
      generation = m_generation;
      path = m_path;
      target = m_target;
      message = m_message;
      const bool cached = m_cache.Find(second) != nullptr;
      if (!cached) m_working = true;
      if (cached) {
        lock.unlock();
        if (target) ::PostMessage(target, message, static_cast<WPARAM>(second), static_cast<LPARAM>(generation));
        continue;
      }
    }
    // A new clip (or the same file again under a new generation) is opened
    // afresh: the file may have been replaced.
    if (openGeneration != generation || path != openPath) {
      opened = m_source->Open(path);
      openPath = path;
      openGeneration = generation;
    }
    std::shared_ptr<Thumbnail> made = opened ? m_source->Make(second) : nullptr;
    if (made) {
      made->second = second;
      m_made.fetch_add(1);
    }
    bool keep = false;
    {
      std::lock_guard lock(m_mutex);
      keep = made && generation == m_generation;
      if (keep) m_cache.Put(std::move(made));
      target = m_target;
      message = m_message;
    }
    if (keep && target) ::PostMessage(target, message, static_cast<WPARAM>(second), static_cast<LPARAM>(generation));
  }
}
