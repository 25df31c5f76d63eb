#include "PngPool.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

void CPngPool::PlanBands(const OutputFrame& frame, Job& job) {
  const int w = frame.width, h = frame.height;
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
  const int count = (h + kPngBandRows - 1) / kPngBandRows;
  const bool fresh = w != m_previousW || h != m_previousH || m_bands.empty();
  if (fresh) {
    m_previous.assign(rowBytes * static_cast<std::size_t>(h), 0);
    m_bands.assign(static_cast<std::size_t>(count), nullptr);
    m_previousW = w;
    m_previousH = h;
  }
  m_rowChanged.assign(static_cast<std::size_t>(h), 0);
  const int top = fresh ? 0 : std::clamp(frame.changedTop, 0, h);
  const int bottom = fresh ? h : std::clamp(frame.changedBottom, top, h);
  for (int r = top; r < bottom; ++r) {
    const BYTE* row = frame.pixels + static_cast<std::size_t>(h - 1 - r) * frame.stride;
    BYTE* kept = m_previous.data() + static_cast<std::size_t>(r) * rowBytes;
    if (!fresh && std::memcmp(row, kept, rowBytes) == 0) continue;
    std::memcpy(kept, row, rowBytes);
    m_rowChanged[static_cast<std::size_t>(r)] = 1;
  }
  job.width = w;
  job.height = h;
  job.bands.resize(static_cast<std::size_t>(count));
  for (int b = 0; b < count; ++b) {
    const int r0 = b * kPngBandRows, r1 = std::min(h, r0 + kPngBandRows);
    // "Up" filtering makes a band depend on the row above it too.
    const int from = std::max(0, r0 - 1);
    const bool changed =
        std::find(m_rowChanged.begin() + from, m_rowChanged.begin() + r1, 1) != m_rowChanged.begin() + r1;
    std::shared_ptr<Band>& kept = m_bands[static_cast<std::size_t>(b)];
    if (changed || !kept) {
      BandWork work;
      work.band = kept = std::make_shared<Band>();
      work.hasAbove = r0 > 0;
      work.count = r1 - r0;
      work.rows.assign(m_previous.begin() + static_cast<std::ptrdiff_t>(from * rowBytes),
                       m_previous.begin() + static_cast<std::ptrdiff_t>(r1 * rowBytes));
      job.work.push_back(std::move(work));
    }
    job.bands[static_cast<std::size_t>(b)] = kept;
  }
}

// Compresses the job's own bands, then waits for the bands it shares with
// frames before (taken from the queue earlier, so being or already compressed)
// and puts the file together.
bool CPngPool::Compress(Job& job, std::string& bytes) {
  const std::size_t rowBytes = static_cast<std::size_t>(job.width) * 3;
  for (BandWork& work : job.work) {
    const BYTE* rows = work.rows.data();
    const bool ok =
        DeflatePngBand(work.hasAbove ? rows : nullptr, work.hasAbove ? rows + rowBytes : rows, job.width, work.count,
                       work.band->data);
    std::lock_guard lock(work.band->lock);
    work.band->ok = ok;
    work.band->ready = true;
    work.band->done.notify_all();
  }
  std::vector<const PngBand*> parts;
  parts.reserve(job.bands.size());
  for (const std::shared_ptr<Band>& band : job.bands) {
    std::unique_lock lock(band->lock);
    band->done.wait(lock, [&] { return band->ready; });
    if (!band->ok) return false;
    parts.push_back(&band->data);
  }
  return AssemblePng(job.width, job.height, parts, bytes);
}

bool CPngPool::Add(unsigned long index, const OutputFrame& frame, std::string& error) {
  Job job;
  job.index = index;
  if (frame.same && m_last) {
    job.repeat = true;
    job.encoded = m_last;
  } else {
    if (!frame.pixels || frame.width <= 0 || frame.height <= 0 ||
        frame.stride < static_cast<std::size_t>(frame.width) * 3) {
      error = "cannot encode " + m_folder + FrameName(index);
      return false;
    }
    PlanBands(frame, job);
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
    if (!job.repeat) {
      std::string bytes;
      const bool ok = Compress(job, bytes);
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
