// Opaque data records: CCaptureBlock (record types 104 and 105, 8-byte
// payload header; a 104 in the trailer holds the annotation archive) and
// CCaptureChunk (record type 106, 28-byte payload header whose last 20 bytes
// are carried along uninterpreted).
#pragma once

#include <array>

#include "pravex/capture/CaptureData.h"

class CCaptureBlock : public CCapturePayloadRecord {
 public:
  explicit CCaptureBlock(DWORD recordType = capture::kRecordBlock, WORD streamType = capture::kStreamTrailer);

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 8 : 0; }
  void ParseFields(CByteReader&, WORD) override {}
  void WriteFields(CByteWriter&) const override {}
};

class CCaptureChunk : public CCapturePayloadRecord {
 public:
  CCaptureChunk();
  const std::array<BYTE, 20>& GetOpaqueHeader() const { return m_opaque; }
  void SetOpaqueHeader(const std::array<BYTE, 20>& bytes) { m_opaque = bytes; }

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 28 : 0; }
  void ParseFields(CByteReader& reader, WORD) override { reader.GetBytes(m_opaque.data(), m_opaque.size()); }
  void WriteFields(CByteWriter& writer) const override { writer.PutBytes(m_opaque.data(), m_opaque.size()); }

 private:
  std::array<BYTE, 20> m_opaque{};
};
