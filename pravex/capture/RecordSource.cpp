#include "pravex/capture/RecordSource.h"

#include <algorithm>
#include <cstring>

#include "platform/base/ByteReader.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"

using namespace capture;

namespace {

constexpr DWORD kReadAhead = 64 * 1024;

CCaptureData* MakeFailure(const char*& last, const char* why) {
  last = why;
  return new CCaptureData(kRecordReadFailed);
}

// The fixed header fields; bytes a longer header carries behind them are ignored.
CaptureRecordHeader ParseHeader(const BYTE* bytes, DWORD length) {
  CByteReader reader(bytes, length);
  CaptureRecordHeader header;
  header.headerSize = reader.GetLE16();
  header.headerVersion = reader.GetLE16();
  header.recordType = reader.GetLE32();
  header.time = reader.GetLE32();
  header.streamType = reader.GetLE16();
  header.reserved = reader.GetLE32();
  header.totalLength = reader.GetLE32();
  header.flags = reader.GetLE32();
  return header;
}

}  // namespace

bool CRecordSource::Open(const std::string& path, bool writable) {
  Close();
  const unsigned mode = writable ? CFile::modeReadWrite : (CFile::modeRead | CFile::shareDenyWrite);
  if (!m_file.Open(path, mode | CFile::typeBinary)) return false;
  m_length = m_file.GetLength();
  if (m_length < 0) {
    Close();
    return false;
  }
  m_buffer.resize(kReadAhead);
  return true;
}

void CRecordSource::Close() {
  m_file.Close();
  m_length = 0;
  m_pos = 0;
  m_floor = 0;
  m_bufferStart = 0;
  m_bufferLength = 0;
}

bool CRecordSource::FillBuffer() {
  m_bufferStart = m_pos;
  m_bufferLength = 0;
  if (m_file.Seek(m_pos, CFile::begin) != m_pos) return false;
  m_bufferLength = m_file.Read(m_buffer.data(), kReadAhead);
  return m_bufferLength > 0;
}

bool CRecordSource::ReadExact(void* out, DWORD n) {
  if (!m_file.IsOpen() || m_pos < 0 || static_cast<std::int64_t>(n) > m_length - m_pos) return false;
  auto* dest = static_cast<BYTE*>(out);
  while (n > 0) {
    const std::int64_t offset = m_pos - m_bufferStart;
    if (offset >= 0 && offset < m_bufferLength) {
      const DWORD chunk = std::min<DWORD>(n, m_bufferLength - static_cast<DWORD>(offset));
      std::memcpy(dest, m_buffer.data() + offset, chunk);
      dest += chunk;
      m_pos += chunk;
      n -= chunk;
    } else if (n >= kReadAhead) {
      // Large blocks (pictures) go straight into their buffer.
      if (m_file.Seek(m_pos, CFile::begin) != m_pos || m_file.Read(dest, n) != n) return false;
      m_pos += n;
      n = 0;
    } else if (!FillBuffer()) {
      return false;
    }
  }
  return true;
}

bool CRecordSource::ReadBlock(CSharedBuffer*& buffer, DWORD& length, bool prefixed) {
  buffer = nullptr;
  const DWORD limit = length;
  if (prefixed) {
    BYTE prefix[2];
    if (!ReadExact(prefix, 2)) return false;
    const DWORD size = static_cast<DWORD>(prefix[0] | (prefix[1] << 8));
    if (size < 2 || size > limit || size - 2 > m_length - m_pos) return false;
    CSharedBuffer* block = CSharedBuffer::Allocate(size);
    if (!block) return false;
    std::memcpy(block->GetBytes(), prefix, 2);
    if (!ReadExact(block->GetBytes() + 2, size - 2)) {
      block->Release();
      return false;
    }
    buffer = block;
    length = size;
    return true;
  }
  if (static_cast<std::int64_t>(limit) > m_length - m_pos) return false;
  CSharedBuffer* block = CSharedBuffer::Allocate(limit);
  if (!block) return false;
  if (!ReadExact(block->GetBytes(), limit)) {
    block->Release();
    return false;
  }
  buffer = block;
  return true;
}

bool CRecordSource::SkipBytes(std::int64_t n) {
  const std::int64_t target = m_pos + n;
  if (!m_file.IsOpen() || target < 0 || target > m_length) return false;
  m_pos = target;
  return true;
}

bool CRecordSource::MatchBytes(const void* bytes, DWORD n) {
  BYTE stack[16];
  std::vector<BYTE> heap;
  BYTE* read = stack;
  if (n > sizeof stack) {
    heap.resize(n);
    read = heap.data();
  }
  return ReadExact(read, n) && std::memcmp(read, bytes, n) == 0;
}

bool CRecordSource::StepBack() {
  const std::int64_t end = m_pos;
  if (end - 4 < m_floor) return false;
  m_pos = end - 4;
  BYTE raw[4];
  if (!ReadExact(raw, 4)) {
    m_pos = end;
    return false;
  }
  const DWORD length = CByteReader::LoadLE32(raw);
  if (length < kRecordOverhead || static_cast<std::int64_t>(length) > end - m_floor) {
    m_pos = end;
    return false;
  }
  m_pos = end - length;
  return true;
}

bool CRecordSource::SeekTo(std::int64_t position) {
  if (!m_file.IsOpen() || position < 0 || position > m_length) return false;
  m_pos = position;
  return true;
}

CCaptureData* CRecordSource::ReadRecord(bool forward) {
  if (forward) return ReadForward();
  const std::int64_t end = m_pos;
  if (!StepBack()) return MakeFailure(m_lastFailure, "no record ends here (trailing length out of range)");
  const std::int64_t start = m_pos;
  CCaptureData* record = ReadForward();
  // The record found through the trailing length must end exactly there.
  if (record->GetRecordType() == kRecordReadFailed || m_pos != end) {
    if (record->GetRecordType() != kRecordReadFailed) m_lastFailure = "the record's length does not match its trailing length";
    record->Release();
    m_pos = end;
    return new CCaptureData(kRecordReadFailed);
  }
  m_pos = start;
  return record;
}

// Skips the rest of a record whose header was read and returns it as skipped.
CCaptureData* CRecordSource::SkipRecord(CCaptureData* record, std::int64_t start) {
  const CaptureRecordHeader& header = record->GetHeader();
  if (header.totalLength < kSignatureSize + static_cast<DWORD>(header.headerSize) || !SeekTo(start + header.totalLength)) {
    record->Release();
    return MakeFailure(m_lastFailure, "skipped record's length does not fit the file");
  }
  record->SetRecordType(kRecordSkipped);
  return record;
}

CCaptureData* CRecordSource::ReadForward() {
  const std::int64_t start = m_pos;
  if (!MatchBytes(kSignature, kSignatureSize)) return MakeFailure(m_lastFailure, "no record signature (or the end of the file)");
  CSharedBuffer* raw = nullptr;
  DWORD headerLength = 0xFFFF;
  if (!ReadBlock(raw, headerLength, true)) return MakeFailure(m_lastFailure, "record header cut short");
  CSharedBufferRef hold(raw);
  if (headerLength < kRecordHeaderSize) return MakeFailure(m_lastFailure, "record header shorter than 26 bytes");

  const CaptureRecordHeader header = ParseHeader(raw->GetBytes(), headerLength);

  // Records of another header version, and stored records claiming the
  // types a read reports (0, 1), are skipped whole.
  const bool unknown = header.headerVersion != kRecordHeaderVersion || header.recordType == kRecordSkipped ||
                       header.recordType == kRecordReadFailed;
  if (unknown) {
    auto* record = new CCaptureData(header.recordType);
    record->SetHeader(header);
    return SkipRecord(record, start);
  }
  // The end-of-headers marker is signature and header only.
  if (header.recordType == kRecordEndOfHeaders) {
    auto* record = new CCaptureData(header.recordType);
    record->SetHeader(header);
    return record;
  }
  const std::int64_t framing = kSignatureSize + static_cast<std::int64_t>(headerLength) + kRecordTrailerSize;
  if (header.totalLength < framing || header.totalLength > m_length - start) {
    return MakeFailure(m_lastFailure, "record length below its framing or beyond the end of the file");
  }

  CCaptureData* record = CCaptureData::CreateForType(header.recordType);
  record->SetHeader(header);
  const DWORD result = record->ReadPayload(*this);
  if (result == kRecordReadFailed || !SkipBytes(kRecordTrailerSize) || m_pos != start + header.totalLength) {
    record->Release();
    return MakeFailure(m_lastFailure, "payload header or data length does not fit the record");
  }
  if (result == kRecordSkipped) record->SetRecordType(kRecordSkipped);
  return record;
}
