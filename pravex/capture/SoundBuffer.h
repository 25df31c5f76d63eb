// The audio player's output: a 10-second looping sound buffer with a write
// position that runs ahead of the sound card's play cursor.
#pragma once

#include <atomic>

#include "platform/base/WinTypes.h"
#include "platform/sound/SoundOutput.h"

class CSoundBuffer {
 public:
  CSoundBuffer() = default;
  CSoundBuffer(const CSoundBuffer&) = delete;
  CSoundBuffer& operator=(const CSoundBuffer&) = delete;

  // Releases any previous output and opens a new one for the format; the
  // device is tried up to the retry count with a pause after each failure.
  // window is accepted for callers that pass one; the platform needs none.
  BOOL Create(DWORD rate, WORD bits, WORD channels, void* window = nullptr);
  void Release();
  BOOL IsCreated() const { return m_output.IsCreated(); }

  // Copies bytes at the write position (wrapping) and moves it on.
  BOOL Write(const BYTE* bytes, DWORD length);
  // Lays zero bytes ahead of the write position without moving it.
  BOOL WriteSilence(DWORD length);
  void Pause(BOOL paused);
  // Paused at the buffer's beginning, so the next resume starts there.
  void Arm();
  void StopAndRewind();
  // Bytes between the play cursor and the write position.
  DWORD QueuedBytes();
  void SetMute(BOOL mute);
  // The volume while not muted, in hundredths of a decibel (0 full); kept
  // across outputs, like the mute, so it holds for every clip.
  void SetVolume(int hundredthsOfDb);
  int GetVolume() const { return m_volume; }
  BOOL IsMuted() const { return m_mute; }

  DWORD GetBufferSize() const { return m_bufferSize; }
  DWORD GetWritePosition() const { return m_writePos; }
  BOOL IsPaused() const { return m_paused; }
  BOOL HasData() const { return m_hasData; }
  // The underlying device, for tests and diagnostics.
  CSoundOutput& Output() { return m_output; }

  // How often and how patiently Create tries the device: 8 tries 500 ms apart
  // by default. Tests shorten it.
  static void SetOpenRetry(int attempts, DWORD delayMs);

 private:
  void WaitForWrite();
  void ApplyVolume();

  CSoundOutput m_output;
  WORD m_channels = 0;
  WORD m_bits = 0;
  DWORD m_rate = 0;
  DWORD m_bufferSize = 0;
  DWORD m_writePos = 0;
  BOOL m_paused = FALSE;
  DWORD m_savedPlayPos = 0;
  BOOL m_hasData = FALSE;
  std::atomic<BOOL> m_mute{FALSE};
  std::atomic<int> m_volume{CSoundOutput::kVolumeFull};
  BOOL m_enabled = FALSE;
  std::atomic<bool> m_writing{false};
};
