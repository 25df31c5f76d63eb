#include "tests/pravex/capture/RecordingSink.h"

#include "platform/base/Clock.h"
#include "pravex/capture/CaptureData.h"

int CRecordingSink::WriteCaptureData(CCaptureData* record) {
  const int delay = m_delayMs;
  if (delay) Sleep(static_cast<DWORD>(delay));
  ReceivedRecord r{record->GetRecordType(), record->GetStreamType(), record->GetTime(), m_clock ? m_clock->Now() : 0};
  record->Release();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_records.push_back(r);
  return 1;
}

std::vector<ReceivedRecord> CRecordingSink::Records() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_records;
}

std::vector<DWORD> CRecordingSink::Types() {
  std::vector<DWORD> types;
  for (const ReceivedRecord& r : Records()) types.push_back(r.type);
  return types;
}

std::vector<DWORD> CRecordingSink::TimesOf(DWORD type) {
  std::vector<DWORD> times;
  for (const ReceivedRecord& r : Records()) {
    if (r.type == type) times.push_back(r.time);
  }
  return times;
}

bool CRecordingSink::Has(DWORD type) {
  for (const ReceivedRecord& r : Records()) {
    if (r.type == type) return true;
  }
  return false;
}

void CRecordingSink::Clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_records.clear();
}

bool CRecordingSink::WaitUntil(const std::function<bool(const std::vector<ReceivedRecord>&)>& pred, int timeoutMs) {
  for (int waited = 0;; ++waited) {
    if (pred(Records())) return true;
    if (waited >= timeoutMs) return false;
    Sleep(1);
  }
}

bool CRecordingSink::WaitForType(DWORD type, int timeoutMs) {
  return WaitUntil(
      [type](const std::vector<ReceivedRecord>& rs) {
        for (const ReceivedRecord& r : rs) {
          if (r.type == type) return true;
        }
        return false;
      },
      timeoutMs);
}

bool CRecordingSink::WaitForTime(DWORD type, DWORD time, int timeoutMs) {
  return WaitUntil(
      [type, time](const std::vector<ReceivedRecord>& rs) {
        for (const ReceivedRecord& r : rs) {
          if (r.type == type && r.time >= time) return true;
        }
        return false;
      },
      timeoutMs);
}

void CRecordingNotify::OnReplayNotify(int kind, DWORD time) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_calls.emplace_back(kind, time);
}

std::vector<std::pair<int, DWORD>> CRecordingNotify::Calls() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_calls;
}

bool CRecordingNotify::WaitForCount(std::size_t n, int timeoutMs) {
  for (int waited = 0;; ++waited) {
    if (Calls().size() >= n) return true;
    if (waited >= timeoutMs) return false;
    Sleep(1);
  }
}
