// Sound at another tempo with its pitch kept: takes the output's PCM (8-bit
// unsigned or 16-bit signed, one or two channels) and gives back the same
// sound played faster or slower. A time stretcher holds some input before it
// can give output; Clear forgets it (a seek or a stop starts a new stream).
#pragma once

#include <memory>
#include <vector>

#include "platform/base/WinTypes.h"

class CTempoStretch {
 public:
  // Tempi outside this range are not stretched: the sound would be unusable.
  static constexpr double kMinTempo = 0.5;
  static constexpr double kMaxTempo = 2.0;

  CTempoStretch();
  ~CTempoStretch();
  CTempoStretch(const CTempoStretch&) = delete;
  CTempoStretch& operator=(const CTempoStretch&) = delete;

  // Sets the format and starts empty; false for a format it cannot take
  // (bits other than 8 or 16, channels other than 1 or 2, rate out of range).
  bool Configure(DWORD rate, WORD bits, WORD channels);
  bool IsConfigured() const;
  // Clamped to [kMinTempo, kMaxTempo]; 1 plays at the recorded tempo.
  void SetTempo(double tempo);
  double GetTempo() const;
  // Takes whole sample frames of `length` bytes (a trailing part frame is
  // ignored) and replaces `out` with what is ready at the tempo.
  void Process(const BYTE* bytes, DWORD length, std::vector<BYTE>& out);
  // Forgets the sound held inside.
  void Clear();
  // Bytes per sample frame of the configured format (0 before Configure).
  DWORD GetFrameBytes() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
