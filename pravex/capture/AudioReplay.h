// The audio stream's handler: decodes the sound blocks of a capture (PCM or
// GSM 06.10) and plays them through the looping sound buffer, keeping the
// replay clock in step with what the sound card is playing (the sound is the
// master); or, in memory mode, collects the decoded bytes in a ring for a
// frame extractor to pull.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureSink.h"
#include "pravex/capture/GsmCodec.h"
#include "pravex/capture/ReplayClock.h"
#include "pravex/capture/SoundBuffer.h"
#include "pravex/capture/TempoStretch.h"

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

  // The tempo the sound plays at, with its pitch kept, from the next replay
  // start on (the owner restarts the replay whenever its speed changes):
  // numerator / denominator of the recorded tempo, clamped to what the
  // stretcher takes. 1/1 plays the sound as recorded. The clock must run at
  // the same rate, since it follows the sound. Memory mode ignores it.
  void SetTempo(DWORD numerator, DWORD denominator);
  // The tempo in effect since the last preroll began.
  double GetTempo() const { return m_tempo; }

  BOOL IsEnabled() const { return m_enabled; }
  BOOL IsMemoryMode() const { return m_memoryMode; }
  // Sum of all clock corrections since the last reset (ms).
  int GetAdjustmentTotal() const { return m_adjustmentTotal; }
  DWORD GetQueuedEnd() const { return m_queuedEnd; }
  // Stream byte position of the sample being heard now (before the stream's
  // start while laid silence plays); what the clock is steered towards. Safe
  // from any thread.
  std::int64_t GetHeardStreamBytes();
  CSoundBuffer& Output() { return m_output; }

 private:
  void HandleBlock(const CCaptureAudio& block);
  bool CheckFormat(const CCaptureAudio& block);
  bool PrerollSkip(const CCaptureAudio& block, DWORD decodedLength, DWORD& skip);
  void HandOver(const BYTE* bytes, DWORD length);
  void WriteConverted(const BYTE* bytes, DWORD length);
  void WriteOutput(const BYTE* bytes, DWORD length);
  bool Stretching() const;
  void StartStretch(DWORD streamPosition);
  std::int64_t HeardStreamBytes();  // caller holds m_stateLock
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
  std::atomic<double> m_requestedTempo{1.0};
  std::atomic<double> m_tempo{1.0};  // in effect since the last preroll began (the worker sets it)
  CTempoStretch m_stretch;
  std::vector<BYTE> m_stretched;
  // Where the stretched sound comes from: the stream byte position of the
  // first byte given to the stretcher since it was last cleared, and the
  // output frames it has given since. Output frame k stands for source frame
  // k x tempo, which maps what the card plays back to replay time.
  bool m_stretchStarted = false;
  DWORD m_stretchBase = 0;
  ULONGLONG m_stretchedFrames = 0;
  DWORD m_queuedEnd = 0;
  int m_adjustmentTotal = 0;
  BOOL m_playing = FALSE;  // the replay is running (start/playing seen, not paused or stopped)
  BOOL m_memoryMode = FALSE;
  // Guards the replay state while a record is handled, so that other threads
  // may ask where the sound is; taken before the ring's, clock's and output's.
  std::mutex m_stateLock;
  std::mutex m_ringLock;  // guards the ring
  std::vector<BYTE> m_ring;
  DWORD m_ringRead = 0;
  DWORD m_ringWrite = 0;
};
