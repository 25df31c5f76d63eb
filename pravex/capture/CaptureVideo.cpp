#include "pravex/capture/CaptureVideo.h"

CCaptureVideo::CCaptureVideo() : CCapturePayloadRecord(capture::kRecordVideo, capture::kStreamVideo, 1) {
  UpdateTotalLength();
}

void CCaptureVideo::ParseFields(CByteReader& reader, WORD) {
  m_pictureSize = reader.GetLE32();
  m_encoding = reader.GetLE16();
  m_width = reader.GetLE32();
  m_height = reader.GetLE32();
  m_bitsPerPixel = reader.GetLE16();
  m_bitmapCompression = reader.GetLE32();
}

void CCaptureVideo::WriteFields(CByteWriter& writer) const {
  writer.PutLE32(m_pictureSize);
  writer.PutLE16(m_encoding);
  writer.PutLE32(m_width);
  writer.PutLE32(m_height);
  writer.PutLE16(m_bitsPerPixel);
  writer.PutLE32(m_bitmapCompression);
}
