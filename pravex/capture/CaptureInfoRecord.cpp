#include "pravex/capture/CaptureInfoRecord.h"

#include <zlib.h>

CCaptureInfoRecord::CCaptureInfoRecord() : CCapturePayloadRecord(capture::kRecordInfo, capture::kStreamTrailer, 1) {
  UpdateTotalLength();
}

void CCaptureInfoRecord::ParseFields(CByteReader& reader, WORD) {
  m_uncompressedLength = reader.GetLE32();
  m_encoding = reader.GetLE16();
}

void CCaptureInfoRecord::WriteFields(CByteWriter& writer) const {
  writer.PutLE32(m_uncompressedLength);
  writer.PutLE16(m_encoding);
}

bool CCaptureInfoRecord::SetText(const std::string& text, bool compress) {
  if (text.size() > capture::kMaxBlockSize) return false;
  if (!compress) {
    SetEncoding(kEncodingText, static_cast<DWORD>(text.size()));
    return SetDataCopy(text.data(), static_cast<DWORD>(text.size()));
  }
  uLongf packedLength = compressBound(static_cast<uLong>(text.size()));
  std::string packed(packedLength, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedLength, reinterpret_cast<const Bytef*>(text.data()),
                static_cast<uLong>(text.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
    return false;
  }
  SetEncoding(kEncodingZlib, static_cast<DWORD>(text.size()));
  return SetDataCopy(packed.data(), static_cast<DWORD>(packedLength));
}

bool CCaptureInfoRecord::GetText(std::string& text) const {
  text.clear();
  if (!GetDataLength()) return false;
  const auto* bytes = reinterpret_cast<const char*>(GetDataBytes());
  if (m_encoding != kEncodingZlib) {
    text.assign(bytes, GetDataLength());
    return true;
  }
  if (m_uncompressedLength == 0) return true;
  if (m_uncompressedLength > capture::kMaxBlockSize) return false;
  std::string out(m_uncompressedLength, '\0');
  uLongf outLength = m_uncompressedLength;
  if (uncompress(reinterpret_cast<Bytef*>(out.data()), &outLength, GetDataBytes(), GetDataLength()) != Z_OK) return false;
  out.resize(outLength);
  text = std::move(out);
  return true;
}
