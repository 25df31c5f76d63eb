// The time base of a replay: milliseconds of replay time that can be reset,
// set, paused, held briefly or advanced (to follow the sound card), limited to
// a maximum, run at another speed, and told where the next pause mark lies.
// The clock is its own lock; every operation takes it. Callers that hold the
// reader's lock may take the clock's, never the other way round.
#pragma once

#include "platform/base/Sync.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/TimeSource.h"

class CReplayClock : public CCriticalSection {
 public:
  static constexpr DWORD kNoMarker = 0xFFFFFFFFu;

  // A new clock is reset, running, unlimited, at rate 1/1 and without marker.
  // The time source is not owned; null means the system clock.
  explicit CReplayClock(ITimeSource* source = nullptr);

  // Starts over at 0: paused or running, with a limit (0 = none). The rate stays.
  void Reset(BOOL paused, DWORD limit);
  // Makes the clock read t (also while paused).
  void SetTime(DWORD t);
  void SetPaused(BOOL paused);
  BOOL IsPaused();
  // Replay time now, never more than the limit when one is set.
  DWORD Now();
  // Negative: stand still for -ms from now (replacing a pending hold).
  // Positive: jump ahead by ms when that keeps the origin non-negative.
  void Nudge(int ms);
  // Changes the speed from the current value on; a zero denominator is ignored.
  void SetRate(DWORD numerator, DWORD denominator);
  void GetRate(DWORD& numerator, DWORD& denominator);
  DWORD GetLimit();
  // Time of the next pause mark, kNoMarker for none.
  void SetMarker(DWORD t);
  DWORD GetMarker();
  // Now(), but never past a set marker: the display stops at a pause mark.
  DWORD GetDisplayTime();
  // The time source's own reading (real milliseconds, at no rate), for callers
  // that time things in step with this clock, such as timed pause marks.
  DWORD GetSourceTime() { return m_source->GetSystemTime(); }

 private:
  DWORD RawTime();  // caller holds the lock
  DWORD NowLocked();

  ITimeSource* m_source;  // not owned
  DWORD m_origin = 0;
  BOOL m_paused = FALSE;
  DWORD m_pausedAt = 0;
  DWORD m_holdLength = 0;  // 0 = no hold pending
  DWORD m_holdStart = 0;
  DWORD m_limit = 0;
  DWORD m_rateNum = 1;
  DWORD m_rateDen = 1;
  DWORD m_rateTime = 0;
  DWORD m_rateRaw = 0;
  DWORD m_marker = kNoMarker;
};
