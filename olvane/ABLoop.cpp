#include "olvane/ABLoop.h"

#include <algorithm>

CABLoop::State CABLoop::Mark(DWORD now, const std::string& clip) {
  if (m_state != State::Off && clip != m_clip) Clear();
  switch (m_state) {
    case State::Off:
      m_state = State::StartSet;
      m_start = now;
      m_clip = clip;
      break;
    case State::StartSet:
      if (now == m_start) break;
      m_end = std::max(now, m_start);
      m_start = std::min(now, m_start);
      m_state = State::Looping;
      break;
    case State::Looping:
      Clear();
      break;
  }
  return m_state;
}

void CABLoop::Clear() {
  m_state = State::Off;
  m_start = m_end = 0;
  m_clip.clear();
}

bool CABLoop::ShouldWrap(DWORD now, const std::string& clip, DWORD& target) {
  if (m_state == State::Off) return false;
  if (clip != m_clip) {
    Clear();
    return false;
  }
  if (m_state != State::Looping || now < m_end) return false;
  target = m_start;
  return true;
}
