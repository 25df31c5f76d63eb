#include "pravex/capture/CaptureStreamInfo.h"

CCaptureStreamInfo::CCaptureStreamInfo() : CCapturePayloadRecord(capture::kRecordStreamInfo, capture::kStreamHeader, 1) {
  UpdateTotalLength();
}

void CCaptureStreamInfo::ParseFields(CByteReader& reader, WORD) {
  m_describedStream = reader.GetLE16();
  m_width = reader.GetLE32();
  m_height = reader.GetLE32();
  reader.GetBytes(m_opaque.data(), m_opaque.size());
}

void CCaptureStreamInfo::WriteFields(CByteWriter& writer) const {
  writer.PutLE16(m_describedStream);
  writer.PutLE32(m_width);
  writer.PutLE32(m_height);
  writer.PutBytes(m_opaque.data(), m_opaque.size());
}
