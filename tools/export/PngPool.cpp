#include "PngPool.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "PngFile.h"

CPngPool::CPngPool(std::string folder, unsigned threads) : m_folder(std::move(folder)) {
  if (!threads) threads = std::max(1u, std::thread::hardware_concurrency());
  // Enough queued frames to keep every worker busy, few enough to bound memory.
  m_limit = 2 * static_cast<std::size_t>(threads);
  for (unsigned i = 0; i < threads; ++i) m_workers.emplace_back([this] { Work(); });
}

CPngPool::~CPngPool() { Finish(nullptr); }

std::string CPngPool::FrameName(unsigned long index) {
  char name[32];
  std::snprintf(name, sizeof(name), "/frame_%06lu.png", index);
  return name;
}

bool CPngPool::Add(unsigned long index, const OutputFrame& frame, std::string& error) {
  Job job;
  job.index = index;
  if (frame.same && m_last) {
    job.encoded = m_last;
  } else {
    job.width = frame.width;
    job.height = frame.height;
    job.stride = frame.stride;
    job.pixels.assign(frame.pixels, frame.pixels + frame.stride * static_cast<std::size_t>(frame.height));
    job.encoded = std::make_shared<Encoded>();
    m_last = job.encoded;
  }
  std::unique_lock lock(m_lock);
  m_taken.wait(lock, [&] { return m_jobs.size() < m_limit || m_failed; });
  if (m_failed) {
    error = m_error;
    return false;
  }
  m_jobs.push_back(std::move(job));
  m_added = std::max(m_added, index + 1);
  m_queued.notify_one();
  return true;
}

void CPngPool::Fail(const std::string& message) {
  std::lock_guard lock(m_lock);
  if (!m_failed) m_error = message;
  m_failed = true;
  m_taken.notify_all();
}

void CPngPool::Work() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(m_lock);
      m_queued.wait(lock, [&] { return !m_jobs.empty() || m_closing; });
      if (m_jobs.empty()) return;
      job = std::move(m_jobs.front());
      m_jobs.pop_front();
      m_taken.notify_one();
    }
    Encoded& e = *job.encoded;
    const std::string path = m_folder + FrameName(job.index);
    if (!job.pixels.empty()) {
      std::string bytes;
      const bool ok = EncodePng(job.pixels.data(), job.width, job.height, job.stride, bytes, PngDeflate::ZlibFast);
      std::lock_guard lock(e.lock);
      e.bytes = std::move(bytes);
      e.ok = ok;
      e.ready = true;
      e.done.notify_all();
    } else {
      // The frame it repeats was taken from the queue earlier: it is being
      // or has been compressed.
      std::unique_lock lock(e.lock);
      e.done.wait(lock, [&] { return e.ready; });
    }
    std::string error;
    if (!e.ok)
      Fail("cannot encode " + path);
    else if (!WriteWholeFile(path, e.bytes, error))
      Fail(error);
  }
}

bool CPngPool::Finish(std::string* error) {
  {
    std::lock_guard lock(m_lock);
    m_closing = true;
    m_queued.notify_all();
  }
  for (std::thread& t : m_workers)
    if (t.joinable()) t.join();
  m_workers.clear();
  if (m_failed && error) *error = m_error;
  return !m_failed;
}

void CPngPool::RemoveWritten() {
  Finish(nullptr);
  for (unsigned long k = 0; k < m_added; ++k) ::unlink((m_folder + FrameName(k)).c_str());
}
