// The sound card as a looping buffer: callers write PCM ahead of a play cursor
// that the device advances while playing. Stands in for a secondary sound
// buffer: lock/unlock in two parts at the wrap, play looping, stop, set the
// play cursor, and a volume in hundredths of a decibel that scales the samples
// the device takes (the minimum is silence).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/base/WinTypes.h"

class CSoundOutput {
 public:
  static constexpr int kVolumeFull = 0;
  static constexpr int kVolumeMin = -10000;  // hundredths of a decibel: silent

  CSoundOutput();
  ~CSoundOutput();
  CSoundOutput(const CSoundOutput&) = delete;
  CSoundOutput& operator=(const CSoundOutput&) = delete;

  // Opens the default output device for 8- or 16-bit PCM with 1 or 2 channels
  // and a looping buffer of bufferBytes (whole sample frames). One attempt;
  // false when the format is unusable or no device opens. Releases any
  // previous device first. The output starts stopped with the cursor at 0.
  bool Create(DWORD rate, WORD bits, WORD channels, DWORD bufferBytes);
  void Release();
  bool IsCreated() const;
  DWORD GetBufferSize() const;
  // Why the last Create failed, for messages.
  const char* GetLastError() const;

  // Gives write access to bytes at offset (wrapping): part one, then part two
  // (null and 0 when nothing wraps). The buffer stays locked until Unlock.
  bool Lock(DWORD offset, DWORD bytes, BYTE** part1, DWORD* size1, BYTE** part2, DWORD* size2);
  void Unlock();

  // Byte offset of the sample being heard now: the device's read position less
  // what it has taken but not yet played. While playing it never moves back;
  // only SetPlayCursor moves it anywhere.
  DWORD GetPlayCursor() const;
  void SetPlayCursor(DWORD position);
  // Bytes the device has taken from the buffer since it was created (for tests
  // and diagnostics: media time comes from consumed samples, not wall time).
  ULONGLONG GetBytesConsumed() const;

  void Play();  // looping
  void Stop();
  bool IsPlaying() const;
  // 0 is full volume, kVolumeMin (or less) silence; between them the samples
  // are scaled by 10^(dB / 20) as the device takes them.
  void SetVolume(int hundredthsOfDb);
  int GetVolume() const;

  // For tests: outputs created after this call (with a non-null clock) open
  // no device. Time comes from the clock, the device holds deviceBytes ahead
  // of what is heard, and it takes bytes only when Pull is called. A null
  // clock returns to real devices.
  static void UseManualDevice(std::uint32_t (*clock)(), DWORD deviceBytes);
  // Takes bytes as the device does when it wants more sound.
  void Pull(BYTE* out, DWORD bytes);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
