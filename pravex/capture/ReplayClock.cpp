#include "pravex/capture/ReplayClock.h"

#include <cstdint>

CReplayClock::CReplayClock(ITimeSource* source) : m_source(source ? source : &CSystemTimeSource::Instance()) {
  Reset(FALSE, 0);
}

// Raw time runs at the clock's rate from the moment of the last reset or rate
// change. All arithmetic wraps like the 32-bit system clock it follows.
DWORD CReplayClock::RawTime() {
  const DWORD elapsed = m_source->GetSystemTime() - m_rateTime;
  if (m_rateNum == m_rateDen) return m_rateRaw + elapsed;
  const std::uint64_t scaled =
      (static_cast<std::uint64_t>(elapsed) * m_rateNum + m_rateDen / 2) / m_rateDen;
  return m_rateRaw + static_cast<DWORD>(scaled);
}

void CReplayClock::Reset(BOOL paused, DWORD limit) {
  CSingleLock lock(this);
  m_rateTime = m_source->GetSystemTime();
  m_rateRaw = 0;
  m_origin = m_pausedAt = RawTime();
  m_holdLength = m_holdStart = 0;
  m_paused = paused ? TRUE : FALSE;
  m_limit = limit;
}

void CReplayClock::SetTime(DWORD t) {
  CSingleLock lock(this);
  const DWORD raw = RawTime();
  m_origin = raw - t;
  if (m_paused) m_pausedAt = raw;
}

void CReplayClock::SetPaused(BOOL paused) {
  CSingleLock lock(this);
  const DWORD raw = RawTime();
  if (paused && !m_paused) {
    if (m_holdLength) {
      const DWORD run = raw - m_holdStart;
      m_origin += run < m_holdLength ? run : m_holdLength;
      m_holdLength = m_holdStart = 0;
    }
    m_pausedAt = raw;
    m_paused = TRUE;
  } else if (!paused && m_paused) {
    m_origin += raw - m_pausedAt;
    m_pausedAt = 0;
    m_paused = FALSE;
  }
}

BOOL CReplayClock::IsPaused() {
  CSingleLock lock(this);
  return m_paused;
}

DWORD CReplayClock::NowLocked() {
  DWORD t;
  if (m_paused) {
    t = m_pausedAt - m_origin;
  } else {
    const DWORD raw = RawTime();
    if (m_holdLength) {
      if (m_holdLength < raw - m_holdStart) {
        m_origin += m_holdLength;
        m_holdLength = m_holdStart = 0;
        t = raw - m_origin;
      } else {
        t = m_holdStart - m_origin;
      }
    } else {
      t = raw - m_origin;
    }
  }
  if (m_limit && t >= m_limit) t = m_limit;
  return t;
}

DWORD CReplayClock::Now() {
  CSingleLock lock(this);
  return NowLocked();
}

void CReplayClock::Nudge(int ms) {
  CSingleLock lock(this);
  if (ms < 0) {
    m_holdLength = static_cast<DWORD>(-static_cast<std::int64_t>(ms));
    m_holdStart = RawTime();
  } else if (ms > 0 && m_origin > static_cast<DWORD>(ms)) {
    m_origin -= static_cast<DWORD>(ms);
  }
}

void CReplayClock::SetRate(DWORD numerator, DWORD denominator) {
  if (denominator == 0) return;
  CSingleLock lock(this);
  m_rateRaw = RawTime();
  m_rateTime = m_source->GetSystemTime();
  m_rateNum = numerator;
  m_rateDen = denominator;
}

void CReplayClock::GetRate(DWORD& numerator, DWORD& denominator) {
  CSingleLock lock(this);
  numerator = m_rateNum;
  denominator = m_rateDen;
}

DWORD CReplayClock::GetLimit() {
  CSingleLock lock(this);
  return m_limit;
}

void CReplayClock::SetMarker(DWORD t) {
  CSingleLock lock(this);
  m_marker = t;
}

DWORD CReplayClock::GetMarker() {
  CSingleLock lock(this);
  return m_marker;
}

DWORD CReplayClock::GetDisplayTime() {
  CSingleLock lock(this);
  const DWORD t = NowLocked();
  return (m_marker != kNoMarker && t > m_marker) ? m_marker : t;
}

