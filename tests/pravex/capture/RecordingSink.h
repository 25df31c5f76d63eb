// A stream handler for tests: records every record it receives (type,
// stream, time and the clock's reading at delivery) so that tests can assert
// whole sequences, and can be made slow to provoke races.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "pravex/capture/CaptureSink.h"
#include "pravex/capture/ReplayClock.h"

struct ReceivedRecord {
  DWORD type;
  WORD stream;
  DWORD time;
  DWORD clock;
};

class CRecordingSink : public CCaptureSink {
 public:
  explicit CRecordingSink(CReplayClock* clock = nullptr) : m_clock(clock) {}
  int WriteCaptureData(CCaptureData* record) override;

  std::vector<ReceivedRecord> Records();
  std::vector<DWORD> Types();
  // Times of the received records of one type.
  std::vector<DWORD> TimesOf(DWORD type);
  bool Has(DWORD type);
  void Clear();
  // Polls (1 ms steps, up to timeoutMs) until pred holds for what was received.
  bool WaitUntil(const std::function<bool(const std::vector<ReceivedRecord>&)>& pred, int timeoutMs = 10000);
  bool WaitForType(DWORD type, int timeoutMs = 10000);
  bool WaitForTime(DWORD type, DWORD time, int timeoutMs = 10000);
  // Each delivery sleeps this long (real milliseconds).
  void SetDelay(int ms) { m_delayMs = ms; }

 private:
  CReplayClock* m_clock;
  std::mutex m_mutex;
  std::vector<ReceivedRecord> m_records;
  std::atomic<int> m_delayMs{0};
};

class CRecordingNotify : public CReplayNotify {
 public:
  void OnReplayNotify(int kind, DWORD time) override;
  std::vector<std::pair<int, DWORD>> Calls();
  bool WaitForCount(std::size_t n, int timeoutMs = 10000);

 private:
  std::mutex m_mutex;
  std::vector<std::pair<int, DWORD>> m_calls;
};
