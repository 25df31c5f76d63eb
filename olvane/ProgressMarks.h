// The marks the player draws on its progress bar: chapters and pause marks as
// ticks at one time, and spans (a start and an end) shaded along the bar.
// Pure arithmetic without a window: where a time sits on the bar's track,
// which tick a point rests on, and the text shown for a mark.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

struct ProgressMark {
  enum class Kind { Chapter, Pause, Span };
  Kind kind = Kind::Chapter;
  DWORD start = 0;  // ms
  DWORD end = 0;    // ms; a tick ends where it starts
  std::string name;

  bool IsTick() const { return kind != Kind::Span; }
};

class CProgressMarks {
 public:
  // Pixels either side of a tick that still count as resting on it.
  static constexpr int kHitZone = 3;

  void SetDuration(DWORD duration) { m_duration = duration; }
  DWORD Duration() const { return m_duration; }
  // Replaces the marks of one kind and keeps the others, so chapters, pause
  // marks and spans are each set by whoever knows them.
  void SetMarks(ProgressMark::Kind kind, std::vector<ProgressMark> marks);
  void Clear() { m_marks.clear(); }
  // Ascending start times; at one time the order they were set in.
  const std::vector<ProgressMark>& Marks() const { return m_marks; }

  // The x of a time on a track running from `left` (0) to `right` (the
  // duration); times past the duration, and every time of an empty clip, at
  // the right end.
  static int XForTime(DWORD time, DWORD duration, int left, int right);
  int XForTime(DWORD time, const CRect& track) const { return XForTime(time, m_duration, track.left, track.right); }
  // The time an x on the track stands for, clamped to the track.
  DWORD TimeAtX(int x, const CRect& track) const;
  // The index of the tick nearest to x within the hit zone; -1 when none.
  int TickAt(int x, const CRect& track) const;

  // "MM:SS" (minutes go past 99 for long clips).
  static std::string FormatTime(DWORD ms);
  // The tooltip of a mark: its name (a pause mark's is "Pause") and its time.
  static std::string Label(const ProgressMark& mark);
  // The tooltip of tick `index` and of the ticks drawn on the same pixel
  // ("Chapter 2 / Pause  01:05"); empty for no tick.
  std::string TickText(int index, const CRect& track) const;

 private:
  std::vector<ProgressMark> m_marks;
  DWORD m_duration = 0;
};
