// Locks and events in the shape the libraries expect: a re-entrant critical
// section and manual- or auto-reset events that threads wait on with a timeout.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

class CCriticalSection {
 public:
  void Lock() { m_mutex.lock(); }
  bool TryLock() { return m_mutex.try_lock(); }
  void Unlock() { m_mutex.unlock(); }
  // Lets std::lock_guard and std::unique_lock hold it.
  void lock() { Lock(); }
  void unlock() { Unlock(); }

 private:
  std::recursive_mutex m_mutex;
};

// Holds a critical section for a scope.
class CSingleLock {
 public:
  explicit CSingleLock(CCriticalSection* cs, bool lockNow = true) : m_cs(cs) {
    if (lockNow) Lock();
  }
  ~CSingleLock() { Unlock(); }
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;
  void Lock() {
    if (m_cs && !m_locked) {
      m_cs->Lock();
      m_locked = true;
    }
  }
  void Unlock() {
    if (m_cs && m_locked) {
      m_cs->Unlock();
      m_locked = false;
    }
  }
  bool IsLocked() const { return m_locked; }

 private:
  CCriticalSection* m_cs;
  bool m_locked = false;
};

constexpr std::uint32_t INFINITE = 0xFFFFFFFFu;

// A signalled/unsignalled flag. A manual-reset event stays signalled until
// reset and releases every waiter; an auto-reset event releases one waiter and
// clears itself.
class CEvent {
 public:
  explicit CEvent(bool initiallySignalled = false, bool manualReset = false)
      : m_signalled(initiallySignalled), m_manual(manualReset) {}
  CEvent(const CEvent&) = delete;
  CEvent& operator=(const CEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  // True when the event was signalled within timeoutMs (INFINITE waits forever).
  bool Wait(std::uint32_t timeoutMs = INFINITE);
  // Reads the state without waiting or consuming it.
  bool IsSignalled() const;

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_cond;
  bool m_signalled;
  const bool m_manual;
};
