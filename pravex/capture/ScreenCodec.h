// The screen picture codec: turns screen records (raw, delta, run-length,
// unchanged; optionally zlib-compressed) into complete pictures, and, in
// encoder mode, codes a complete picture as a run-length (and zlib) record.
//
// Pictures are top-down rows of DibStride(width, bits) bytes (bits 8, 16 as
// 5-6-5, or 24). Every record is validated once (geometry, sizes against
// capture::kMaxBlockSize, data lengths); the per-depth loops after that only
// check the lengths each code carries, so corrupt data stops decoding but is
// never read or written out of bounds.
//
// Share mode keeps the replay path free of copies: a decoded record carries
// the codec's picture buffer itself (one more reference), and a raw picture's
// buffer becomes the codec's picture. Copy mode gives every record its own
// copy instead.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/SharedBuffer.h"

class CCaptureScreen;

class CScreenCodec {
 public:
  explicit CScreenCodec(bool encoder = false, bool share = true);
  ~CScreenCodec();
  CScreenCodec(const CScreenCodec&) = delete;
  CScreenCodec& operator=(const CScreenCodec&) = delete;

  // Applies a screen record to the current picture and makes the record carry
  // the result (encoding 4). Returns false, leaving the record as it was, when
  // it cannot be decoded: bad geometry, a size beyond the bound, an unknown
  // encoding, or a raw picture with less data than the picture needs.
  // A geometry change reallocates the picture (cleared to zero).
  bool Decode(CCaptureScreen& record);
  // Encoder mode only: codes a decoded record (encoding 4) as a run-length
  // picture (encoding 2), or leaves it raw (encoding 0) when run-length coding
  // would take more than 95 % of the picture; with useZlib the result is then
  // zlib-compressed (compression 3). False when not in encoder mode, the
  // record is not a complete decoded picture, or memory runs out.
  bool Encode(CCaptureScreen& record, bool useZlib);

  // Why the last Decode failed, or stopped short of the record's end
  // (kDecodeOk when it used all of its codes).
  enum DecodeStatus {
    kDecodeOk,
    kDecodeBadGeometry,      // depth not 8/16/24, a zero size, or beyond 256 MiB
    kDecodeUnknownEncoding,  // encoding beyond 4
    kDecodeInflateFailed,    // zlib data of a complete picture did not inflate
    kDecodeShortPicture,     // a complete picture with less than stride x height bytes
    kDecodeNoMemory,
    kDecodeTruncated,        // decoded, but the codes ran out or left the picture
  };
  DecodeStatus GetLastStatus() const { return m_lastStatus; }
  static const char* DescribeStatus(DecodeStatus status);

  // Forgets the picture; the next record starts a new one.
  void Reset();
  bool IsEncoder() const { return m_encoder; }
  bool IsShared() const { return m_share; }

  DWORD GetWidth() const { return m_width; }
  DWORD GetHeight() const { return m_height; }
  WORD GetBitsPerPixel() const { return m_bits; }
  std::uint64_t GetStride() const { return m_stride; }
  // The current picture (null before the first record); GetPictureSize bytes.
  const BYTE* GetPicture() const { return m_picture ? m_picture->GetBytes() : nullptr; }
  CSharedBuffer* GetPictureBuffer() const { return m_picture; }
  DWORD GetPictureSize() const { return m_pictureSize; }

  // True for 8, 16 and 24 bits, non-zero sizes and a picture within
  // capture::kMaxBlockSize; gives the picture's byte count.
  static bool IsValidGeometry(DWORD width, DWORD height, WORD bits, std::uint64_t* pictureBytes = nullptr);
  // Run-length codes a picture into out (limit bytes at most); returns the
  // coded length, or 0 when the output would exceed limit.
  static std::size_t EncodeRunLength(const BYTE* picture, DWORD width, DWORD height, WORD bits, BYTE* out,
                                     std::size_t limit);
  // Delta-codes `current` against `previous` (same geometry, rows changed
  // become operations of column skips, fills and literals) into out, and
  // gives the changed area (empty when nothing changed). False when the
  // geometry is invalid or beyond what the delta coding can address (more
  // than 65535 rows, or a row needing more than 65535 operations).
  static bool EncodeDelta(const BYTE* previous, const BYTE* current, DWORD width, DWORD height, WORD bits,
                          std::vector<BYTE>& out, CRect& changed);

 private:
  bool Inflate(CCaptureScreen& record);
  bool TakeGeometry(DWORD width, DWORD height, WORD bits);
  bool Fail(DecodeStatus status) {
    m_lastStatus = status;
    return false;
  }
  // Both return false when the codes stopped before their end.
  bool ApplyDelta(const BYTE* data, std::size_t length);
  bool ApplyRunLength(const BYTE* data, std::size_t length);
  bool EnsureWorkBuffers(std::uint64_t pictureBytes, DWORD width);

  bool m_first = true;
  DecodeStatus m_lastStatus = kDecodeOk;
  DWORD m_width = 0;
  DWORD m_height = 0;
  WORD m_bits = 0;
  std::uint64_t m_stride = 0;
  DWORD m_pictureSize = 0;
  CSharedBuffer* m_picture = nullptr;  // owned reference; shared with records in share mode
  const bool m_encoder;
  bool m_share;
  // Encoder work buffers, sized for the current geometry.
  std::vector<BYTE> m_runLengthOut;
  std::vector<BYTE> m_zlibOut;
};
