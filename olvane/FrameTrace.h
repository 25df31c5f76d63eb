// Frame timing of the replay view, for the replay benchmark: how long after
// its record time each screen picture reached the display, and when the first
// picture was shown. Off unless OLVANE_FRAME_TRACE names a file; the figures
// are written there when the view goes away.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

class CFrameTrace {
 public:
  // A trace writing to the file named by OLVANE_FRAME_TRACE, or null.
  static std::unique_ptr<CFrameTrace> FromEnvironment();
  explicit CFrameTrace(std::string path);
  ~CFrameTrace();

  // Reader's worker: a screen record of this replay time was applied.
  void OnScreenRecord(DWORD recordTime);
  // Window thread: the view's pixels reached the display at this replay time.
  // The records shown by the first picture count for the start-up only.
  void OnPresented(DWORD replayNow);

  // The text written at the end: "first_picture_unix_ns N", then the count,
  // mean, 95th percentile and largest delay from record to display, in ms.
  std::string Summary() const;

 private:
  std::string m_path;
  mutable std::mutex m_lock;
  std::vector<DWORD> m_pending;  // record times applied but not yet shown
  std::vector<std::int32_t> m_delays;
  std::int64_t m_firstPictureNs = 0;
};
