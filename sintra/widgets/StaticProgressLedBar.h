// A bar showing how full the disk holding a path is: used space in percent
// of the total, refreshed every so many pulses.
#pragma once

#include <cstdint>
#include <string>

#include "sintra/widgets/TransLedProgress.h"

class CStaticProgressLedBar : public CTransLedProgress {
 public:
  CStaticProgressLedBar(int pulseCount, const char* path);
  ~CStaticProgressLedBar() override;

  // A new path, read at once.
  void Reset(const char* path);
  // Counts a call; every pulse count calls (or at once with force) the
  // space is read again.
  void Pulse(BOOL force);
  std::uint64_t GetTotalMiB() const { return m_totalMiB; }
  std::uint64_t GetFreeMiB() const { return m_freeMiB; }
  const std::string& GetPath() const { return m_path; }

 private:
  void Refresh();

  std::string m_path;
  std::uint64_t m_totalMiB = 0;
  std::uint64_t m_freeMiB = 0;
  int m_pulseCount;
  int m_pulses = 0;
};
