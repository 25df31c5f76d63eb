// Camera picture (record type 101, video stream): a JPEG frame (encoding 2)
// or a picture stored as it is, with its size, depth and the bitmap
// compression code for its picture header.
#pragma once

#include "pravex/capture/CaptureData.h"

class CCaptureVideo : public CCapturePayloadRecord {
 public:
  static constexpr WORD kEncodingJpeg = 2;

  CCaptureVideo();

  DWORD GetPictureSize() const { return m_pictureSize; }
  void SetPictureSize(DWORD size) { m_pictureSize = size; }
  WORD GetEncoding() const { return m_encoding; }
  void SetEncoding(WORD encoding) { m_encoding = encoding; }
  DWORD GetWidth() const { return m_width; }
  DWORD GetHeight() const { return m_height; }
  WORD GetBitsPerPixel() const { return m_bitsPerPixel; }
  void SetGeometry(DWORD width, DWORD height, WORD bitsPerPixel) {
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
  }
  DWORD GetBitmapCompression() const { return m_bitmapCompression; }
  void SetBitmapCompression(DWORD compression) { m_bitmapCompression = compression; }

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 28 : 0; }
  void ParseFields(CByteReader& reader, WORD version) override;
  void WriteFields(CByteWriter& writer) const override;

 private:
  DWORD m_pictureSize = 0;
  WORD m_encoding = kEncodingJpeg;
  DWORD m_width = 0;
  DWORD m_height = 0;
  WORD m_bitsPerPixel = 24;
  DWORD m_bitmapCompression = 0;
};
