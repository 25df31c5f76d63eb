// A mutex shared by name between threads and processes of the same user: the
// stand-in for a named system mutex. It is a lock file under
// $XDG_RUNTIME_DIR/kalvo-locks (or a private folder in the temporary folder)
// held with flock(), so the kernel releases it when its holder dies.
//
// As with a system mutex, the thread that holds it may lock it again (the
// locks are counted), and every object of one name in a process is the same
// mutex.
#pragma once

#include "platform/base/Sync.h"

#include <cstdint>
#include <memory>
#include <string>

namespace os {
struct NamedMutexState;
}

class CNamedMutex {
 public:
  // Names the mutex; nothing is locked or opened yet. Characters other than
  // letters, digits, '-', '_' and '.' are replaced in the file name.
  explicit CNamedMutex(const std::string& name);
  ~CNamedMutex();
  CNamedMutex(const CNamedMutex&) = delete;
  CNamedMutex& operator=(const CNamedMutex&) = delete;

  // Waits up to timeoutMs (INFINITE waits for ever); true when held.
  bool Lock(std::uint32_t timeoutMs = INFINITE);
  // Releases one level; the mutex is free when every Lock was matched.
  void Unlock();
  const std::string& GetName() const { return m_name; }
  // The lock file used for a name.
  static std::string LockFilePath(const std::string& name);

 private:
  std::string m_name;
  std::shared_ptr<os::NamedMutexState> m_state;
};

// Holds a named mutex for a scope.
class CNamedMutexLock {
 public:
  explicit CNamedMutexLock(CNamedMutex& mutex) : m_mutex(mutex), m_locked(mutex.Lock()) {}
  ~CNamedMutexLock() {
    if (m_locked) m_mutex.Unlock();
  }
  CNamedMutexLock(const CNamedMutexLock&) = delete;
  CNamedMutexLock& operator=(const CNamedMutexLock&) = delete;
  bool IsLocked() const { return m_locked; }

 private:
  CNamedMutex& m_mutex;
  bool m_locked;
};
