// The audio stream's handler: decodes the sound blocks of a capture (PCM or
// GSM 06.10) and plays them through the looping sound buffer, keeping the
// replay clock in step with what the sound card is playing (the sound is the
// master); or, in memory mode, collects the decoded bytes in a ring for a
// frame extractor to pull.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureSink.h"
#include "pravex/capture/GsmCodec.h"
#include "pravex/capture/ReplayClock.h"
#include "pravex/capture/SoundBuffer.h"

class CCaptureAudio;

class CAudioReplay : public CCaptureSink {
 public:
  static constexpr DWORD kRingSize = 0x28000;         // memory mode: 163840 bytes
  static constexpr DWORD kSilenceAfterGsm = 8000;     // laid ahead of the write position
  static constexpr int kMaxNudgeMs = 10;              // largest clock correction per block

  CAudioReplay();
  ~CAudioReplay() override;

  int WriteCaptureData(CCaptureData* record) override;
  void SetClock(CReplayClock* clock) { m_clock = clock; }
  // Accepted for owners that pass their window; the platform's output needs none.
  void SetWindow(void* window) { m_window = window; }
  void SetMute(BOOL mute);
  // From now on decoded sound goes to a fresh, zeroed ring instead of the card.
  void EnableMemoryMode();
  // Copies up to length bytes from the ring and sets length to the count
  // copied; false when there is no ring.
  BOOL GetAudio(BYTE* buffer, int& length);

  BOOL IsEnabled() const { return m_enabled; }
  BOOL IsMemoryMode() const { return m_memoryMode; }
  // Sum of all clock corrections since the last reset (ms).
  int GetAdjustmentTotal() const { return m_adjustmentTotal; }
  DWORD GetQueuedEnd() const { return m_queuedEnd; }
  CSoundBuffer& Output() { return m_output; }

 private:
  void HandleBlock(const CCaptureAudio& block);
  bool CheckFormat(const CCaptureAudio& block);
  bool PrerollSkip(const CCaptureAudio& block, DWORD decodedLength, DWORD& skip);
  void HandOver(const BYTE* bytes, DWORD length);
  void WriteConverted(const BYTE* bytes, DWORD length);
  void DecodeGsm(const CCaptureAudio& block, DWORD skip);
  void SteerClock(const CCaptureAudio& block);
  void ResetState();

  CSoundBuffer m_output;
  CReplayClock* m_clock = nullptr;  // not owned
  void* m_window = nullptr;         // not owned, unused on this platform
  CGsmCodec m_gsm;
  BOOL m_enabled = TRUE;
  BOOL m_preroll = FALSE;
  BOOL m_formatCheck = FALSE;
  DWORD m_startTime = 0;
  BOOL m_startReached = FALSE;
  DWORD m_rate = 0;
  WORD m_bits = 0;
  WORD m_channels = 0;
  DWORD m_sourceBlock = 0;  // bytes per sample frame in the capture
  DWORD m_outputBlock = 0;  // and in the output (8/16 bits, 1 or 2 channels)
  std::vector<BYTE> m_converted;
  DWORD m_queuedEnd = 0;
  int m_adjustmentTotal = 0;
  BOOL m_playing = FALSE;  // the replay is running (start/playing seen, not paused or stopped)
  BOOL m_memoryMode = FALSE;
  std::mutex m_ringLock;  // guards the ring
  std::vector<BYTE> m_ring;
  DWORD m_ringRead = 0;
  DWORD m_ringWrite = 0;
};
