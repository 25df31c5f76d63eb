// The control records a renderer's stream state follows the same way for the
// screen and the camera: whether a preroll is gathering pictures, and the
// one-shot notices of a stream's end and a preroll's end, which last until
// the renderer takes them or the next record arrives.
#pragma once

#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureFormat.h"

class CStreamControl {
 public:
  // Notes one record's type: the notices of the record before are dropped,
  // end of stream and end of preroll raise theirs, a preroll begins or ends,
  // and a reset ends it.
  void Note(DWORD recordType) {
    m_endOfStream = m_endOfPreroll = false;
    switch (recordType) {
      case capture::kRecordEndOfStream:
        m_endOfStream = true;
        break;
      case capture::kRecordReset:
        m_preroll = false;
        break;
      case capture::kRecordBeginPreroll:
        m_preroll = true;
        break;
      case capture::kRecordEndPreroll:
        m_preroll = false;
        m_endOfPreroll = true;
        break;
      default:
        break;
    }
  }
  void Clear() { m_preroll = m_endOfStream = m_endOfPreroll = false; }

  bool IsPreroll() const { return m_preroll; }
  // Read-and-clear of the notices.
  bool TakeEndOfStream() { return Take(m_endOfStream); }
  bool TakeEndOfPreroll() { return Take(m_endOfPreroll); }

 private:
  static bool Take(bool& flag) {
    const bool was = flag;
    flag = false;
    return was;
  }

  bool m_preroll = false;
  bool m_endOfStream = false;
  bool m_endOfPreroll = false;
};
