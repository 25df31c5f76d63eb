#include "platform/base/Sync.h"

#include <chrono>

void CEvent::SetEvent() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signalled = true;
  }
  if (m_manual) m_cond.notify_all();
  else m_cond.notify_one();
}

void CEvent::ResetEvent() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_signalled = false;
}

bool CEvent::Wait(std::uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(m_mutex);
  const auto ready = [this] { return m_signalled; };
  if (timeoutMs == INFINITE) {
    m_cond.wait(lock, ready);
  } else if (!m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return false;
  }
  if (!m_manual) m_signalled = false;
  return true;
}

bool CEvent::IsSignalled() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_signalled;
}
