#include "pravex/capture/CaptureFileReader.h"

#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureIndex.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/capture/CaptureInfoRecord.h"

using namespace capture;

CCaptureFileReader::CCaptureFileReader() : m_ownClock(std::make_unique<CReplayClock>()) {}

CCaptureFileReader::~CCaptureFileReader() {
  Close();
  ClearHandlers();
  ReleaseLists();
}

void CCaptureFileReader::ReleaseLists() {
  for (CCaptureData* record : m_headers) record->Release();
  for (CCaptureData* record : m_trailers) record->Release();
  m_headers.clear();
  m_trailers.clear();
}

void CCaptureFileReader::Close() {
  std::lock_guard<std::recursive_mutex> control(m_control);
  Stop();  // never wait for the worker while holding the lock it may need
  CSingleLock lock(&m_lock);
  m_source.Close();
  m_open = false;
  m_fileName.clear();
}

// Stream descriptions from the start of the file, up to the end-of-headers
// marker or the first record of another stream.
bool CCaptureFileReader::ScanHeaders() {
  for (;;) {
    m_dataStart = m_source.Tell();
    CCaptureData* record = m_source.ReadRecord(true);
    if (record->GetStreamType() != kStreamHeader) {
      record->Release();
      break;
    }
    if (record->GetRecordType() == kRecordEndOfHeaders) {
      m_dataStart = m_source.Tell();
      record->Release();
      break;
    }
    if (record->GetRecordType() == kRecordStreamInfo) {
      m_headers.push_back(record);
    } else {
      record->Release();  // a header record this reader skipped
    }
  }
  return !m_headers.empty();
}

// Trailer records backward from the end; the first other record met is the
// last data record and gives the duration. Reading never steps back past the
// data start, so a trailer right after the header section ends the scan
// there, with duration 0, instead of reading header bytes as a record.
bool CCaptureFileReader::ScanTrailer() {
  m_source.SetFloor(m_dataStart);
  if (!m_source.SeekToEnd()) return false;
  for (;;) {
    const std::int64_t position = m_source.Tell();
    CCaptureData* record = m_source.ReadRecord(false);
    if (m_source.Tell() == position) {
      record->Release();
      if (position == m_dataStart && !m_trailers.empty()) {
        m_duration = 0;
        return true;
      }
      return false;
    }
    if (record->GetStreamType() == kStreamTrailer) {
      m_trailers.push_back(record);
      continue;
    }
    m_duration = record->GetTime();
    record->Release();
    return !m_trailers.empty();
  }
}

bool CCaptureFileReader::Open(const std::string& name, int frameMode, bool writable) {
  std::lock_guard<std::recursive_mutex> control(m_control);
  Stop();
  CSingleLock lock(&m_lock);
  m_frameMode = frameMode;
  m_writable = writable;
  Close();
  if (!m_source.Open(name, writable)) return false;
  m_open = true;
  ReleaseLists();
  m_duration = 0;
  m_dataStart = 0;
  if (!ScanHeaders() || !ScanTrailer()) {
    Close();
    return false;
  }
  m_fileName = name;
  return true;
}

CCaptureData* CCaptureFileReader::ReadRecord(bool forward) {
  if (!m_open) return CCaptureData::CreateControl(kRecordEndOfStream, 0);
  return m_source.ReadRecord(forward);
}

const CCaptureIndex* CCaptureFileReader::GetIndex() const {
  for (CCaptureData* record : m_trailers) {
    if (record->GetRecordType() == kRecordIndex) return static_cast<const CCaptureIndex*>(record);
  }
  return nullptr;
}

const CCaptureData* CCaptureFileReader::GetAnnotationRecord() const {
  for (CCaptureData* record : m_trailers) {
    if (record->GetRecordType() == kRecordBlock) return record;
  }
  return nullptr;
}

void CCaptureFileReader::BuildInfo(CCaptureInfo& info) const {
  info.Clear();
  // The trailer list runs from the end of the file towards its start; records
  // are applied in that order, so one nearer the start overrides the keys of
  // one nearer the end.
  for (CCaptureData* record : m_trailers) {
    if (record->GetRecordType() == kRecordInfo) info.ApplyRecord(*static_cast<const CCaptureInfoRecord*>(record));
  }
}

bool CCaptureFileReader::SeekToTime(DWORD time, bool oneMore) {
  if (!m_open) return false;
  const CCaptureIndex* index = GetIndex();
  const DWORD count = index ? index->GetEntryCount() : 0;
  if (time == 0 || count == 0) return m_source.SeekTo(m_dataStart);
  DWORD later = 0;
  while (later < count && index->GetEntry(later).time <= time) ++later;
  if (later == 0) return m_source.SeekTo(m_dataStart);
  DWORD chosen = later - 1;
  if (oneMore && later < count && later >= 2) chosen = later - 2;
  const std::uint64_t position = index->GetEntry(chosen).position & 0xFFFFFFFFu;
  // An entry that points outside the data section is not followed.
  if (static_cast<std::int64_t>(position) < m_dataStart || static_cast<std::int64_t>(position) >= m_source.GetFileLength()) {
    return m_source.SeekTo(m_dataStart);
  }
  return m_source.SeekTo(static_cast<std::int64_t>(position));
}
