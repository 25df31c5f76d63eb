#include "olvane/FrameTrace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>

std::unique_ptr<CFrameTrace> CFrameTrace::FromEnvironment() {
  const char* path = std::getenv("OLVANE_FRAME_TRACE");
  if (!path || !*path) return nullptr;
  return std::make_unique<CFrameTrace>(path);
}

CFrameTrace::CFrameTrace(std::string path) : m_path(std::move(path)) { m_delays.reserve(1 << 16); }

CFrameTrace::~CFrameTrace() {
  if (std::FILE* out = std::fopen(m_path.c_str(), "w")) {
    std::fputs(Summary().c_str(), out);
    std::fclose(out);
  }
}

void CFrameTrace::OnScreenRecord(DWORD recordTime) {
  std::lock_guard<std::mutex> hold(m_lock);
  if (m_pending.size() < 4096) m_pending.push_back(recordTime);
}

void CFrameTrace::OnPresented(DWORD replayNow) {
  std::lock_guard<std::mutex> hold(m_lock);
  if (m_pending.empty()) return;
  if (m_firstPictureNs == 0) {
    // The first picture is the start-up, timed on its own (the records of
    // time 0 wait for the window, not for replay): it is no replay delay.
    m_firstPictureNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    m_pending.clear();
    return;
  }
  for (DWORD t : m_pending) {
    // A seek moves the clock back: a record ahead of the clock is not a delay.
    const std::int64_t delay = static_cast<std::int64_t>(replayNow) - static_cast<std::int64_t>(t);
    if (delay >= 0 && m_delays.size() < m_delays.capacity()) m_delays.push_back(static_cast<std::int32_t>(delay));
  }
  m_pending.clear();
}

std::string CFrameTrace::Summary() const {
  std::unique_lock<std::mutex> hold(m_lock);
  std::vector<std::int32_t> d = m_delays;
  const std::int64_t first = m_firstPictureNs;
  hold.unlock();
  std::sort(d.begin(), d.end());
  const double mean = d.empty() ? 0.0 : std::accumulate(d.begin(), d.end(), 0.0) / static_cast<double>(d.size());
  const std::int32_t p95 = d.empty() ? 0 : d[std::min(d.size() - 1, d.size() * 95 / 100)];
  const std::int32_t worst = d.empty() ? 0 : d.back();
  char text[256];
  std::snprintf(text, sizeof text,
                "first_picture_unix_ns %lld\npictures %zu\nrecord_to_screen_mean_ms %.1f\n"
                "record_to_screen_p95_ms %d\nrecord_to_screen_max_ms %d\n",
                static_cast<long long>(first), d.size(), mean, p95, worst);
  return text;
}
