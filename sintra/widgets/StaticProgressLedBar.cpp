#include "sintra/widgets/StaticProgressLedBar.h"

#include <sys/statvfs.h>

#include <algorithm>

CStaticProgressLedBar::CStaticProgressLedBar(int pulseCount, const char* path)
    : m_path(path ? path : ""), m_pulseCount(std::max(1, pulseCount)) {
  Refresh();
}

CStaticProgressLedBar::~CStaticProgressLedBar() = default;

void CStaticProgressLedBar::Reset(const char* path) {
  m_path = path ? path : "";
  m_pulses = 0;
  Refresh();
}

void CStaticProgressLedBar::Pulse(BOOL force) {
  if (force || ++m_pulses >= m_pulseCount) {
    m_pulses = 0;
    Refresh();
  }
}

void CStaticProgressLedBar::Refresh() {
  struct statvfs info {};
  if (m_path.empty() || statvfs(m_path.c_str(), &info) != 0 || info.f_blocks == 0) {
    m_totalMiB = m_freeMiB = 0;
    SetPos(0);
    return;
  }
  const std::uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
  m_totalMiB = static_cast<std::uint64_t>(info.f_blocks) * unit >> 20;
  m_freeMiB = static_cast<std::uint64_t>(info.f_bavail) * unit >> 20;
  SetRange(0, 100);
  // Used space in percent of the whole (the free share goes unlit).
  const std::uint64_t used = m_totalMiB > m_freeMiB ? m_totalMiB - m_freeMiB : 0;
  SetPos(m_totalMiB ? static_cast<int>(used * 100 / m_totalMiB) : 0);
}
