// Stream description (record type 10, header stream): which stream a capture
// holds and, for the screen stream, the picture size. The payload is a
// 30-byte header and no data.
#pragma once

#include <array>

#include "pravex/capture/CaptureData.h"

class CCaptureStreamInfo : public CCapturePayloadRecord {
 public:
  CCaptureStreamInfo();
  int GetPieceCount() override { return 1; }

  WORD GetDescribedStream() const { return m_describedStream; }
  void SetDescribedStream(WORD stream) { m_describedStream = stream; }
  DWORD GetWidth() const { return m_width; }
  DWORD GetHeight() const { return m_height; }
  void SetSize(DWORD width, DWORD height) {
    m_width = width;
    m_height = height;
  }

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 30 : 0; }
  bool HasDataLength() const override { return false; }
  void ParseFields(CByteReader& reader, WORD version) override;
  void WriteFields(CByteWriter& writer) const override;

 private:
  WORD m_describedStream = 0;
  DWORD m_width = 0;
  DWORD m_height = 0;
  std::array<BYTE, 16> m_opaque{};  // 14 bytes and a u16 this system does not interpret
};
