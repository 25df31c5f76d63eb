// Screen picture record (record type 102, screen stream): a raw picture, a
// delta against the previous picture, a run-length picture, "unchanged", or
// (after CScreenCodec::Decode) a decoded picture, optionally zlib-compressed
// as a whole, with the area of the screen it changed.
#pragma once

#include "platform/base/DibStride.h"
#include "platform/base/Rect.h"
#include "pravex/capture/CaptureData.h"

class CCaptureScreen : public CCapturePayloadRecord {
 public:
  CCaptureScreen();

  DWORD GetUncompressedLength() const { return m_uncompressedLength; }
  WORD GetCompression() const { return m_compression; }
  void SetCompression(WORD compression, DWORD uncompressedLength) {
    m_compression = compression;
    m_uncompressedLength = uncompressedLength;
  }
  DWORD GetWidth() const { return m_width; }
  DWORD GetHeight() const { return m_height; }
  WORD GetBitsPerPixel() const { return m_bitsPerPixel; }
  void SetGeometry(DWORD width, DWORD height, WORD bitsPerPixel) {
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
  }
  // Bytes of one picture row and of the whole picture (64-bit, unchecked).
  std::uint64_t GetStride() const { return DibStride(m_width, m_bitsPerPixel); }
  std::uint64_t GetPictureBytes() const { return DibImageSize(m_width, m_height, m_bitsPerPixel); }
  DWORD GetBitmapCompression() const { return m_bitmapCompression; }
  void SetBitmapCompression(DWORD compression) { m_bitmapCompression = compression; }
  WORD GetEncoding() const { return m_encoding; }
  void SetEncoding(WORD encoding) { m_encoding = encoding; }
  // The changed area: left and top inclusive, right and bottom exclusive.
  CRect GetChangedRect() const { return CRect(m_left, m_top, m_right, m_bottom); }
  void SetChangedRect(WORD left, WORD top, WORD right, WORD bottom) {
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
  }

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 38 : 0; }
  void ParseFields(CByteReader& reader, WORD version) override;
  void WriteFields(CByteWriter& writer) const override;

 private:
  DWORD m_uncompressedLength = 0;
  WORD m_compression = 0;
  DWORD m_width = 0;
  DWORD m_height = 0;
  WORD m_bitsPerPixel = 16;
  DWORD m_bitmapCompression = 0;
  WORD m_encoding = capture::kScreenRaw;
  WORD m_left = 0;
  WORD m_right = 0;
  WORD m_top = 0;
  WORD m_bottom = 0;
};
