#include "pravex/capture/CaptureScreen.h"

CCaptureScreen::CCaptureScreen() : CCapturePayloadRecord(capture::kRecordScreen, capture::kStreamScreen, 1) {
  UpdateTotalLength();
}

void CCaptureScreen::ParseFields(CByteReader& reader, WORD) {
  m_uncompressedLength = reader.GetLE32();
  m_compression = reader.GetLE16();
  m_width = reader.GetLE32();
  m_height = reader.GetLE32();
  m_bitsPerPixel = reader.GetLE16();
  m_bitmapCompression = reader.GetLE32();
  m_encoding = reader.GetLE16();
  m_left = reader.GetLE16();
  m_right = reader.GetLE16();
  m_top = reader.GetLE16();
  m_bottom = reader.GetLE16();
}

void CCaptureScreen::WriteFields(CByteWriter& writer) const {
  writer.PutLE32(m_uncompressedLength);
  writer.PutLE16(m_compression);
  writer.PutLE32(m_width);
  writer.PutLE32(m_height);
  writer.PutLE16(m_bitsPerPixel);
  writer.PutLE32(m_bitmapCompression);
  writer.PutLE16(m_encoding);
  writer.PutLE16(m_left);
  writer.PutLE16(m_right);
  writer.PutLE16(m_top);
  writer.PutLE16(m_bottom);
}
