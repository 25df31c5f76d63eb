// The low-level record source of a capture reader: an open capture file read
// through a small read-ahead buffer, with the block, skip, match and
// step-back operations that record framing and payload reading use, and the
// framing itself (ReadRecord forward and backward).
//
// Every operation returns false on any failure (file error, end of file, a
// length that does not fit what is left of the file or of the record, a size
// beyond capture::kMaxBlockSize); nothing throws. Nothing is allocated before
// the length it is for has been checked against the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/File.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/SharedBuffer.h"

class CCaptureData;

class CRecordSource {
 public:
  CRecordSource() = default;
  CRecordSource(const CRecordSource&) = delete;
  CRecordSource& operator=(const CRecordSource&) = delete;

  // Opens read-only, or read-write when writable (the reader never writes).
  bool Open(const std::string& path, bool writable);
  void Close();
  bool IsOpen() const { return m_file.IsOpen(); }
  // Length of the file as it was when opened.
  std::int64_t GetFileLength() const { return m_length; }

  // Prefixed: reads a u16 L, allocates L bytes, stores L in the first two and
  // reads the remaining L - 2 behind them. On input `length` is the most the
  // block may take (what is left of the record); an L below 2 or above it
  // fails. Not prefixed: reads exactly `length` bytes into a new buffer. On
  // success `buffer` holds one reference and `length` is the block's size.
  bool ReadBlock(CSharedBuffer*& buffer, DWORD& length, bool prefixed);
  // Moves the position by n bytes; the target must lie within the file.
  bool SkipBytes(std::int64_t n);
  // Reads n bytes and compares them with the given bytes.
  bool MatchBytes(const void* bytes, DWORD n);
  // Moves from the first byte after a record to its first byte, using the
  // record's trailing length. Fails, leaving the position, when the length is
  // below the smallest record or would step before the floor.
  bool StepBack();
  std::int64_t Tell() const { return m_pos; }
  bool SeekTo(std::int64_t position);
  bool SeekToEnd() { return SeekTo(m_length); }

  // StepBack never moves before this position (the data start once the
  // header section is known), so backward reading cannot take the
  // end-of-headers marker or a header record for a data record.
  void SetFloor(std::int64_t position) { m_floor = position; }
  std::int64_t GetFloor() const { return m_floor; }

  // Reads one record (forward from the position, or backward: the record that
  // ends at the position, leaving the position at its first byte). Always
  // returns a record with one reference: the typed object of a stored type,
  // a plain record, kRecordSkipped for a record or payload version this reader
  // does not know, or kRecordReadFailed (stream 0) for a read failure, a
  // broken frame or the end of the file.
  CCaptureData* ReadRecord(bool forward);
  // Why the last ReadRecord that failed did so (for reports).
  const char* GetLastFailure() const { return m_lastFailure; }

 private:
  bool ReadExact(void* out, DWORD n);
  bool FillBuffer();
  CCaptureData* ReadForward();
  CCaptureData* SkipRecord(CCaptureData* record, std::int64_t start);

  CFile m_file;
  std::int64_t m_length = 0;
  std::int64_t m_pos = 0;
  std::int64_t m_floor = 0;
  const char* m_lastFailure = "";
  // Read-ahead: m_buffer holds the file bytes from m_bufferStart.
  std::vector<BYTE> m_buffer;
  std::int64_t m_bufferStart = 0;
  DWORD m_bufferLength = 0;
};
