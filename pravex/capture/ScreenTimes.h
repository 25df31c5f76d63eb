// The times of a capture's screen pictures, ascending: what a step of one
// picture forward or back, and "the last picture", are measured against. The
// capture's index holds only its seek points, so the data section is walked
// once, reading the record headers and skipping every payload.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

class CScreenTimes {
 public:
  // Walks the data section of `path` from dataStart (the reader's
  // GetDataStart) up to the trailer. A broken record frame ends the walk
  // there, keeping the times found before it. False when the file does not
  // open or holds no screen picture.
  bool Scan(const std::string& path, std::int64_t dataStart);
  void Clear() { m_times.clear(); }
  bool IsEmpty() const { return m_times.empty(); }
  const std::vector<DWORD>& Times() const { return m_times; }

  // The time of the last picture (0 without pictures).
  DWORD Last() const { return m_times.empty() ? 0 : m_times.back(); }
  // The first picture after t; t itself when none follows.
  DWORD Next(DWORD t) const;
  // The picture before the one shown at t (the last one at or before t); the
  // first picture when there is none before it.
  DWORD Previous(DWORD t) const;

 private:
  std::vector<DWORD> m_times;
};
