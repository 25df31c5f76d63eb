// Seeking to a replay time from the keys: the progress bar's path, with the
// same hold-back while a preroll runs.
#include <algorithm>

#include "olvane/PlayerWnd.h"

void CPlayerWnd::SeekTo(DWORD time) {
  if (!m_clipLoaded) return;
  time = std::min(time, m_clipDuration);
  if (m_reader.IsInPreroll()) {
    // The clock timer starts it once the preroll is over; a later seek replaces it.
    m_seekPending = true;
    m_pendingSeek = time;
    return;
  }
  m_seekPending = false;
  // From a stopped player the replay starts at the target.
  m_reader.SetReplayFlag(true);
  PlayFrom(time, 0);
  RefreshButtons();
}

DWORD CPlayerWnd::SeekBase() { return m_seekPending ? m_pendingSeek : m_clock.Now(); }
