#include "platform/base/Thread.h"

bool CWorkerThread::Start(std::function<void()> body) {
  if (m_thread.joinable() || !body) return false;
  try {
    m_thread = std::thread(std::move(body));
  } catch (...) {
    return false;
  }
  return true;
}

void CWorkerThread::Join() {
  if (!m_thread.joinable()) return;
  if (IsCurrentThread()) {
    m_thread.detach();
    return;
  }
  m_thread.join();
}
