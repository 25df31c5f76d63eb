#include "pravex/capture/CaptureCursor.h"


using namespace capture;

CCaptureCursor::CCaptureCursor() : CCapturePayloadRecord(kRecordCursor, kStreamCursor, 2) { UpdateTotalLength(); }

void CCaptureCursor::ParseFields(CByteReader& reader, WORD version) {
  m_opaque1 = reader.GetLE32();
  m_opaque2 = reader.GetLE16();
  m_click = reader.GetU8();
  m_contentFlags = reader.GetU8();
  m_colour = reader.GetU8();
  m_attribute = reader.GetU8();
  m_x = reader.GetLES32();
  m_y = reader.GetLES32();
  m_shapeWidth = reader.GetLE16();
  m_shapeHeight = reader.GetLE16();
  m_colourBits = reader.GetLE16();
  m_colourOffset = reader.GetLE16();
  if (version >= 2) {
    m_hotX = reader.GetLES32();
    m_hotY = reader.GetLES32();
  } else {
    m_hotX = 0;
    m_hotY = 0;
  }
}

void CCaptureCursor::WriteFields(CByteWriter& writer) const {
  writer.PutLE32(m_opaque1);
  writer.PutLE16(m_opaque2);
  writer.PutU8(m_click);
  writer.PutU8(m_contentFlags);
  writer.PutU8(m_colour);
  writer.PutU8(m_attribute);
  writer.PutLE32(static_cast<DWORD>(m_x));
  writer.PutLE32(static_cast<DWORD>(m_y));
  writer.PutLE16(m_shapeWidth);
  writer.PutLE16(m_shapeHeight);
  writer.PutLE16(m_colourBits);
  writer.PutLE16(m_colourOffset);
  if (m_payloadVersion >= 2) {
    writer.PutLE32(static_cast<DWORD>(m_hotX));
    writer.PutLE32(static_cast<DWORD>(m_hotY));
  }
}

// Version-1 payloads are upgraded to the version-2 layout; a shape whose data
// is shorter than its masks makes the record unusable, so it is skipped.
DWORD CCaptureCursor::ReadPayload(CRecordSource& source) {
  const DWORD result = CCapturePayloadRecord::ReadPayload(source);
  if (result != kRecordCursor) return result;
  if (m_payloadVersion == 1) {
    m_payloadVersion = 2;
    ClearExtraHeader();
  }
  if ((m_contentFlags & kHasShape) && !IsShapeComplete()) return kRecordSkipped;
  return result;
}

std::uint64_t CCaptureCursor::GetMaskBytes() const { return MaskRowBytes(m_shapeWidth) * m_shapeHeight; }

bool CCaptureCursor::IsShapeComplete() const {
  const std::uint64_t mask = GetMaskBytes();
  const std::uint64_t length = GetDataLength();
  if (mask == 0) return false;
  if (!m_colour) return 2 * mask <= length;
  const std::uint64_t colour = ColourRowBytes(m_shapeWidth, m_colourBits) * m_shapeHeight;
  return m_colourBits != 0 && mask <= length && m_colourOffset >= mask && m_colourOffset + colour <= length;
}

void CCaptureCursor::MergeInto(CCaptureCursor& target) const {
  if (m_contentFlags & kHasPosition) {
    target.m_x = m_x;
    target.m_y = m_y;
    target.m_hotX = m_hotX;
    target.m_hotY = m_hotY;
  }
  if (m_contentFlags & kHasShape) {
    target.SetShape(m_colour != 0, m_attribute, m_shapeWidth, m_shapeHeight, m_colourBits, m_colourOffset);
    CSharedBuffer* data = GetDataBuffer();
    if (data) data->AddRef();
    target.SetData(data, GetDataLength(), true);
  }
  if (m_contentFlags & kHasClick) target.m_click = m_click;
  target.m_contentFlags = kHasPosition | kHasShape | kHasClick;
  target.SetStreamType(GetStreamType());
  target.SetReserved(GetReserved());
  target.SetFlags(target.GetFlags() & ~kFlagDelta);
}
