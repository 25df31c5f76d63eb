// Information record (record type 12, trailer): an information string
// ("key|value;key|value"), stored as it is or, with encoding 3, as a zlib
// stream that inflates to the uncompressed length.
#pragma once

#include <string>

#include "pravex/capture/CaptureData.h"

class CCaptureInfoRecord : public CCapturePayloadRecord {
 public:
  static constexpr WORD kEncodingText = 0;
  static constexpr WORD kEncodingZlib = capture::kCompressionZlib;

  CCaptureInfoRecord();
  DWORD GetUncompressedLength() const { return m_uncompressedLength; }
  WORD GetEncoding() const { return m_encoding; }
  void SetEncoding(WORD encoding, DWORD uncompressedLength) {
    m_encoding = encoding;
    m_uncompressedLength = uncompressedLength;
  }
  // Stores the text, zlib-compressed when compress is set.
  bool SetText(const std::string& text, bool compress);
  // The decoded text; false when the record has no data or cannot be inflated.
  bool GetText(std::string& text) const;

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 14 : 0; }
  void ParseFields(CByteReader& reader, WORD version) override;
  void WriteFields(CByteWriter& writer) const override;

 private:
  DWORD m_uncompressedLength = 0;
  WORD m_encoding = kEncodingText;
};
