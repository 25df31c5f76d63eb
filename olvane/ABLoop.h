// The A-B loop: one key sets its start (A), then its end (B), then clears it.
// While both are set the replay goes back to A whenever it reaches B. The loop
// belongs to the clip it was set in.
#pragma once

#include <string>

#include "platform/base/WinTypes.h"

class CABLoop {
 public:
  enum class State { Off, StartSet, Looping };

  // The key: A at `now`, then B at `now` (the two ordered; B at A's own time
  // is not taken, the loop keeps waiting for its end), then off.
  State Mark(DWORD now, const std::string& clip);
  void Clear();
  // Where the replay should go now: A when the loop runs in this clip and
  // `now` has reached B; false otherwise. A loop of another clip is cleared.
  bool ShouldWrap(DWORD now, const std::string& clip, DWORD& target);

  State GetState() const { return m_state; }
  DWORD GetStart() const { return m_start; }
  DWORD GetEnd() const { return m_end; }

 private:
  State m_state = State::Off;
  DWORD m_start = 0;
  DWORD m_end = 0;
  std::string m_clip;
};
