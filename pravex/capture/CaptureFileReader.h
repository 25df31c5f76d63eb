// Opens a capture file and reads it: the header section (stream
// descriptions) is scanned forward, the trailer (index, information and
// annotation records) backward from the end, and the data section in between
// is read record by record from any seek point.
//
// This is the file side of the reader; the replay side (worker thread,
// stream handlers, pause marks, frame mode) builds on it: Open and Close are
// where a running replay gets stopped, and m_lock is the reader lock that
// replay start shares.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/Sync.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/RecordSource.h"

class CCaptureData;
class CCaptureIndex;
class CCaptureInfo;

class CCaptureFileReader {
 public:
  CCaptureFileReader();
  ~CCaptureFileReader();
  CCaptureFileReader(const CCaptureFileReader&) = delete;
  CCaptureFileReader& operator=(const CCaptureFileReader&) = delete;

  // Opens a capture: false (file closed) when it cannot be opened, does not
  // start with a stream description or has no trailer record at its end. A
  // file whose trailer directly follows its header section opens with
  // duration 0. frameMode: 0 real time, 1 frame extraction.
  bool Open(const std::string& name, int frameMode = 0, bool writable = false);
  // Closes the file; the header and trailer lists stay until the next Open.
  void Close();
  bool IsOpen() const { return m_open; }
  const std::string& GetFileName() const { return m_fileName; }
  int GetFrameMode() const { return m_frameMode; }
  bool IsWritable() const { return m_writable; }

  // The stream descriptions, in file order (records stay owned by the reader).
  std::size_t GetHeaderCount() const { return m_headers.size(); }
  CCaptureData* GetHeader(std::size_t index) const { return index < m_headers.size() ? m_headers[index] : nullptr; }
  // The trailer records, as found from the end of the file towards its start.
  std::size_t GetTrailerCount() const { return m_trailers.size(); }
  CCaptureData* GetTrailer(std::size_t index) const { return index < m_trailers.size() ? m_trailers[index] : nullptr; }
  // Length of the capture in ms: the time of the last data record.
  DWORD GetDuration() const { return m_duration; }
  // File position of the first data record.
  std::int64_t GetDataStart() const { return m_dataStart; }

  // The first index record of the trailer, or null.
  const CCaptureIndex* GetIndex() const;
  // Rebuilds an information table from the trailer's information records:
  // cleared, then each record applied in file order, later keys winning.
  void BuildInfo(CCaptureInfo& info) const;
  // The trailer's annotation archive record (type 104), or null.
  const CCaptureData* GetAnnotationRecord() const;

  // Reads the next record forward, or the one before the position backward
  // (never before the data start). Always returns a record holding one
  // reference; kRecordEndOfStream means a read failure or the end.
  CCaptureData* ReadRecord(bool forward);
  // Positions the file for replay from time t through the index: the data
  // start for t = 0, no index, an empty index, a time before the second entry
  // or an entry outside the data section; otherwise the last entry not later
  // than t (one more back with oneMore when two or more precede it).
  bool SeekToTime(DWORD time, bool oneMore = false);
  // The record source, for callers that walk the file themselves.
  CRecordSource& GetSource() { return m_source; }

 private:
  void ReleaseLists();
  bool ScanHeaders();
  bool ScanTrailer();

  CRecordSource m_source;
  bool m_open = false;
  std::string m_fileName;
  int m_frameMode = 0;
  bool m_writable = false;
  std::int64_t m_dataStart = 0;
  DWORD m_duration = 0;
  std::vector<CCaptureData*> m_headers;   // owned references
  std::vector<CCaptureData*> m_trailers;  // owned references
  CCriticalSection m_lock;                // guards opening, closing and starting
};
