// Where a replay clock takes its milliseconds from: the system's monotonic
// clock in the player, a hand-driven clock in tests and offline tools.
#pragma once

#include <atomic>

#include "platform/base/WinTypes.h"

class ITimeSource {
 public:
  virtual ~ITimeSource() = default;
  // Milliseconds of a monotonic clock; 32-bit and wrapping.
  virtual DWORD GetSystemTime() = 0;
};

// The system's monotonic millisecond clock (shared, stateless).
class CSystemTimeSource : public ITimeSource {
 public:
  DWORD GetSystemTime() override;
  static CSystemTimeSource& Instance();
};

// A clock that moves only when told to; safe to drive from one thread while
// others read it.
class CManualTimeSource : public ITimeSource {
 public:
  explicit CManualTimeSource(DWORD start = 0) : m_now(start) {}
  DWORD GetSystemTime() override { return m_now.load(); }
  void Set(DWORD t) { m_now.store(t); }
  void Advance(DWORD ms) { m_now.fetch_add(ms); }

 private:
  std::atomic<DWORD> m_now;
};
