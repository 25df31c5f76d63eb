#include "pravex/capture/CaptureData.h"

#include <cstring>

#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureBlock.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureIndex.h"
#include "pravex/capture/CaptureInfoRecord.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/CaptureStreamInfo.h"
#include "pravex/capture/CaptureVideo.h"
#include "pravex/capture/RecordSource.h"

using namespace capture;

namespace {
std::atomic<std::uint32_t> g_liveRecords{0};
}  // namespace

std::uint32_t CCaptureData::GetLiveCount() { return g_liveRecords.load(); }

CCaptureData::CCaptureData(DWORD recordType, WORD streamType, DWORD time) {
  g_liveRecords.fetch_add(1, std::memory_order_relaxed);
  m_header.recordType = recordType;
  m_header.streamType = streamType;
  m_header.time = time;
}

CCaptureData::~CCaptureData() {
  if (m_data) m_data->Release();
  g_liveRecords.fetch_sub(1, std::memory_order_relaxed);
}

void CCaptureData::Release() {
  if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

int CCaptureData::GetPieceCount() { return m_dataLength ? 1 : 0; }

bool CCaptureData::GetPiece(int index, const BYTE*& bytes, DWORD& length) {
  if (index != 0 || !m_dataLength) return false;
  bytes = GetDataBytes();
  length = m_dataLength;
  return true;
}

DWORD CCaptureData::GetFramedPayloadLength() const {
  const DWORD framing = kSignatureSize + m_header.headerSize + kRecordTrailerSize;
  return m_header.totalLength > framing ? m_header.totalLength - framing : 0;
}

DWORD CCaptureData::ReadPayload(CRecordSource& source) {
  const DWORD length = GetFramedPayloadLength();
  if (length == 0) return m_header.recordType;
  if (length > kMaxBlockSize) {
    // Nobody could use it; keep the framing intact and report it skipped.
    return source.SkipBytes(length) ? kRecordSkipped : kRecordReadFailed;
  }
  CSharedBuffer* block = nullptr;
  DWORD got = length;
  if (!source.ReadBlock(block, got, false)) return kRecordReadFailed;
  const CaptureRecordHeader framed = m_header;
  SetData(block, got, true);
  SetHeader(framed);  // the record keeps the header it was framed with
  return m_header.recordType;
}

int CCaptureData::ShiftTime(DWORD from, DWORD to) {
  const DWORD delta = to - from;
  m_header.time += delta;
  return static_cast<int>(delta);
}

void CCaptureData::SetHeader(const CaptureRecordHeader& header) {
  m_header = header;
  m_totalLength = header.totalLength;
}

void CCaptureData::UpdateTotalLength() {
  m_header.headerSize = kRecordHeaderSize;
  m_header.totalLength = kRecordOverhead + GetPayloadLength();
  m_totalLength = m_header.totalLength;
}

bool CCaptureData::SetData(CSharedBuffer* buffer, DWORD length, bool releaseOld) {
  if (buffer ? length > buffer->GetSize() : length != 0) return false;
  if (m_data && releaseOld) m_data->Release();
  m_data = buffer;
  m_dataLength = length;
  UpdateTotalLength();
  return true;
}

bool CCaptureData::SetDataCopy(const void* bytes, DWORD length) {
  if (length == 0) return SetData(nullptr, 0, true);
  CSharedBuffer* buffer = CSharedBuffer::Copy(bytes, length);
  return buffer && SetData(buffer, length, true);
}

CCaptureData* CCaptureData::CreateForType(DWORD recordType) {
  switch (recordType) {
    case kRecordStreamInfo: return new CCaptureStreamInfo();
    case kRecordIndex: return new CCaptureIndex();
    case kRecordInfo: return new CCaptureInfoRecord();
    case kRecordAudio: return new CCaptureAudio();
    case kRecordVideo: return new CCaptureVideo();
    case kRecordScreen: return new CCaptureScreen();
    case kRecordCursor: return new CCaptureCursor();
    case kRecordBlock:
    case kRecordBlock2: return new CCaptureBlock(recordType);
    case kRecordChunk: return new CCaptureChunk();
    default: return new CCaptureData(recordType);
  }
}

CCaptureData* CCaptureData::CreateControl(DWORD recordType, WORD streamType, DWORD time) {
  return new CCaptureData(recordType, streamType, time);
}

// ---------------------------------------------------------------------------

CCapturePayloadRecord::CCapturePayloadRecord(DWORD recordType, WORD streamType, WORD payloadVersion)
    : CCaptureData(recordType, streamType), m_payloadVersion(payloadVersion) {}

bool CCapturePayloadRecord::SetPayloadVersion(WORD version) {
  if (FieldsSize(version) == 0) return false;
  m_payloadVersion = version;
  m_extraHeader.clear();
  UpdateTotalLength();
  return true;
}

WORD CCapturePayloadRecord::GetPayloadHeaderSize() const {
  const std::size_t size = FieldsSize(m_payloadVersion) + m_extraHeader.size();
  return static_cast<WORD>(size);
}

bool CCapturePayloadRecord::GetPiece(int index, const BYTE*& bytes, DWORD& length) {
  if (index == 1) {
    if (!GetDataLength()) return false;
    bytes = GetDataBytes();
    length = GetDataLength();
    return true;
  }
  if (index != 0) return false;
  m_headerPiece.clear();
  CByteWriter writer(m_headerPiece);
  writer.PutLE16(GetPayloadHeaderSize());
  writer.PutLE16(m_payloadVersion);
  if (HasDataLength()) writer.PutLE32(GetDataLength());
  WriteFields(writer);
  writer.PutBytes(m_extraHeader.data(), m_extraHeader.size());
  bytes = m_headerPiece.data();
  length = static_cast<DWORD>(m_headerPiece.size());
  return true;
}

// The payload header is read as a length-prefixed block no longer than the
// payload; its version decides whether the type can read it. Every length is
// checked against what the record's framing says is there before it is used.
DWORD CCapturePayloadRecord::ReadPayload(CRecordSource& source) {
  const DWORD payload = GetFramedPayloadLength();
  CSharedBuffer* raw = nullptr;
  DWORD headerLength = payload;
  if (payload < 4 || !source.ReadBlock(raw, headerLength, true)) return kRecordReadFailed;
  CSharedBufferRef hold(raw);
  if (headerLength < 4) return kRecordReadFailed;
  CByteReader reader(raw->GetBytes(), headerLength);
  reader.Skip(2);
  const WORD version = reader.GetLE16();
  const WORD fields = FieldsSize(version);
  if (fields == 0) return source.SkipBytes(payload - headerLength) ? kRecordSkipped : kRecordReadFailed;
  if (headerLength < fields) return kRecordReadFailed;
  m_payloadVersion = version;
  const DWORD dataLength = HasDataLength() ? reader.GetLE32() : 0;
  ParseFields(reader, version);
  m_extraHeader.assign(raw->GetBytes() + fields, raw->GetBytes() + headerLength);
  const DWORD rest = payload - headerLength;
  if (dataLength > rest) return kRecordReadFailed;
  if (dataLength > kMaxBlockSize) return source.SkipBytes(rest) ? kRecordSkipped : kRecordReadFailed;
  if (dataLength) {
    CSharedBuffer* data = nullptr;
    DWORD got = dataLength;
    if (!source.ReadBlock(data, got, false)) return kRecordReadFailed;
    const CaptureRecordHeader framed = m_header;
    SetData(data, got, true);
    SetHeader(framed);  // the record keeps the header it was framed with
  }
  if (rest > dataLength && !source.SkipBytes(rest - dataLength)) return kRecordReadFailed;
  return GetRecordType();
}
