#include "pravex/capture/ScreenCodec.h"

#include <libdeflate.h>

#include <cstring>
#include <memory>

#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenPixels.h"

using namespace capture;
using namespace screenpixels;

namespace {

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// Run-length picture: per row, signed code n then pixels; n > 0 repeats one
// pixel n times, n <= 0 copies -n pixels. Each row starts at a multiple of the
// stride; a code may run on past the row end but never past the picture.
template <int B>
bool DecodeRunLengthT(const BYTE* p, const BYTE* end, BYTE* picture, std::size_t stride, DWORD width, DWORD height) {
  const std::size_t total = stride * height;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * B;
  for (DWORD y = 0; y < height; ++y) {
    std::size_t pos = y * stride;
    const std::size_t rowEnd = pos + rowBytes;
    while (pos < rowEnd) {
      if (p == end) return false;
      const int n = static_cast<std::int8_t>(*p++);
      if (n > 0) {
        const std::size_t bytes = static_cast<std::size_t>(n) * B;
        if (end - p < B || bytes > total - pos) return false;
        FillPixels<B>(picture + pos, p, static_cast<std::size_t>(n));
        p += B;
        pos += bytes;
      } else {
        const std::size_t bytes = static_cast<std::size_t>(-n) * B;
        if (static_cast<std::size_t>(end - p) < bytes || bytes > total - pos) return false;
        std::memcpy(picture + pos, p, bytes);
        p += bytes;
        pos += bytes;
      }
    }
  }
  return true;
}

std::uint16_t LoadBE16(const BYTE* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// Delta coding: BE16 N changed rows; each: BE16 row skip, BE16 operation
// count K, K times (u8 column skip, s8 n): n > 0 copies n pixels, n < 0
// fills -n pixels with one value, n = 0 only skips.
template <int B>
bool DecodeDeltaT(const BYTE* p, const BYTE* end, BYTE* picture, std::size_t stride, DWORD width, DWORD height) {
  if (end - p < 2) return false;
  const unsigned rows = LoadBE16(p);
  p += 2;
  std::int64_t row = -1;
  for (unsigned i = 0; i < rows; ++i) {
    if (end - p < 4) return false;
    row += 1 + LoadBE16(p);
    const unsigned ops = LoadBE16(p + 2);
    p += 4;
    if (row >= static_cast<std::int64_t>(height)) return false;
    BYTE* line = picture + static_cast<std::size_t>(row) * stride;
    std::size_t column = 0;
    for (unsigned k = 0; k < ops; ++k) {
      if (end - p < 2) return false;
      column += p[0];
      const int n = static_cast<std::int8_t>(p[1]);
      p += 2;
      if (n > 0) {
        const std::size_t bytes = static_cast<std::size_t>(n) * B;
        if (static_cast<std::size_t>(end - p) < bytes || column + n > width) return false;
        std::memcpy(line + column * B, p, bytes);
        p += bytes;
        column += n;
      } else if (n < 0) {
        if (end - p < B || column + static_cast<std::size_t>(-n) > width) return false;
        FillPixels<B>(line + column * B, p, static_cast<std::size_t>(-n));
        p += B;
        column += static_cast<std::size_t>(-n);
      }
    }
  }
  return true;
}

}  // namespace

CScreenCodec::CScreenCodec(bool encoder, bool share) : m_encoder(encoder), m_share(share) {}

CScreenCodec::~CScreenCodec() { Reset(); }

void CScreenCodec::Reset() {
  if (m_picture) m_picture->Release();
  m_picture = nullptr;
  m_first = true;
  m_width = m_height = 0;
  m_bits = 0;
  m_stride = 0;
  m_pictureSize = 0;
}

bool CScreenCodec::IsValidGeometry(DWORD width, DWORD height, WORD bits, std::uint64_t* pictureBytes) {
  if (width == 0 || height == 0 || (bits != 8 && bits != 16 && bits != 24)) return false;
  const std::uint64_t bytes = DibImageSize(width, height, bits);
  if (bytes > kMaxBlockSize) return false;
  if (pictureBytes) *pictureBytes = bytes;
  return true;
}

bool CScreenCodec::TakeGeometry(DWORD width, DWORD height, WORD bits) {
  if (!m_first && m_picture && width == m_width && height == m_height && bits == m_bits) return true;
  const std::uint64_t bytes = DibImageSize(width, height, bits);
  CSharedBuffer* picture = CSharedBuffer::AllocateZeroed(bytes);
  if (!picture) return false;
  if (m_picture) m_picture->Release();
  m_picture = picture;
  m_width = width;
  m_height = height;
  m_bits = bits;
  m_stride = DibStride(width, bits);
  m_pictureSize = static_cast<DWORD>(bytes);
  m_first = false;
  return true;
}

// Replaces zlib-compressed data with its inflated form. On failure the data
// stays as stored and decoding goes on with it.
bool CScreenCodec::Inflate(CCaptureScreen& record) {
  const DWORD expected = record.GetUncompressedLength();
  if (expected == 0 || expected > kMaxBlockSize || !record.GetDataLength()) return false;
  CSharedBuffer* out = CSharedBuffer::Allocate(expected);
  if (!out) return false;
  // The decoded size is known from the record: a whole-buffer inflate, several
  // times faster than zlib's streaming one on key pictures. As with zlib's
  // uncompress, a stream may end early or be followed by other bytes.
  thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> inflater(libdeflate_alloc_decompressor());
  std::size_t length = 0, used = 0;
  if (!inflater || libdeflate_zlib_decompress_ex(inflater.get(), record.GetDataBytes(), record.GetDataLength(),
                                                 out->GetBytes(), expected, &used, &length) != LIBDEFLATE_SUCCESS) {
    out->Release();
    return false;
  }
  record.SetData(out, static_cast<DWORD>(length), true);
  record.SetCompression(0, 0);
  return true;
}

bool CScreenCodec::ApplyDelta(const BYTE* data, std::size_t length) {
  if (!data) return false;
  BYTE* picture = m_picture->GetBytes();
  const std::size_t stride = static_cast<std::size_t>(m_stride);
  switch (m_bits) {
    case 8: return DecodeDeltaT<1>(data, data + length, picture, stride, m_width, m_height);
    case 16: return DecodeDeltaT<2>(data, data + length, picture, stride, m_width, m_height);
    default: return DecodeDeltaT<3>(data, data + length, picture, stride, m_width, m_height);
  }
}

bool CScreenCodec::ApplyRunLength(const BYTE* data, std::size_t length) {
  if (!data) return false;
  BYTE* picture = m_picture->GetBytes();
  const std::size_t stride = static_cast<std::size_t>(m_stride);
  switch (m_bits) {
    case 8: return DecodeRunLengthT<1>(data, data + length, picture, stride, m_width, m_height);
    case 16: return DecodeRunLengthT<2>(data, data + length, picture, stride, m_width, m_height);
    default: return DecodeRunLengthT<3>(data, data + length, picture, stride, m_width, m_height);
  }
}

const char* CScreenCodec::DescribeStatus(DecodeStatus status) {
  switch (status) {
    case kDecodeOk: return "decoded";
    case kDecodeBadGeometry: return "picture size or depth not decodable";
    case kDecodeUnknownEncoding: return "unknown screen encoding";
    case kDecodeInflateFailed: return "zlib data does not inflate";
    case kDecodeShortPicture: return "complete picture shorter than its size";
    case kDecodeNoMemory: return "out of memory";
    case kDecodeTruncated: return "codes end early or leave the picture";
  }
  return "unknown";
}

bool CScreenCodec::Decode(CCaptureScreen& record) {
  std::uint64_t bytes = 0;
  m_lastStatus = kDecodeOk;
  if (!IsValidGeometry(record.GetWidth(), record.GetHeight(), record.GetBitsPerPixel(), &bytes)) {
    return Fail(kDecodeBadGeometry);
  }
  const WORD encoding = record.GetEncoding();
  if (encoding > kScreenDecoded) return Fail(kDecodeUnknownEncoding);
  const bool whole = encoding == kScreenRaw || encoding == kScreenDecoded;
  if (record.GetCompression() == kCompressionZlib && !Inflate(record) && whole) return Fail(kDecodeInflateFailed);
  // A complete picture must really be complete: never adopt or copy a short one.
  if (whole && record.GetDataLength() < bytes) return Fail(kDecodeShortPicture);
  if (!TakeGeometry(record.GetWidth(), record.GetHeight(), record.GetBitsPerPixel())) return Fail(kDecodeNoMemory);

  if (whole) {
    CSharedBuffer* data = record.GetDataBuffer();
    if (m_share) {
      data->AddRef();
      m_picture->Release();
      m_picture = data;
    } else {
      std::memcpy(m_picture->GetBytes(), data->GetBytes(), m_pictureSize);
    }
    record.SetEncoding(kScreenDecoded);
    return true;
  }
  bool complete = true;
  if (encoding == kScreenDelta) complete = ApplyDelta(record.GetDataBytes(), record.GetDataLength());
  if (encoding == kScreenRunLength) complete = ApplyRunLength(record.GetDataBytes(), record.GetDataLength());
  if (!complete) m_lastStatus = kDecodeTruncated;

  CSharedBuffer* result = m_picture;
  if (m_share) {
    result->AddRef();
  } else {
    result = CSharedBuffer::Copy(m_picture->GetBytes(), m_pictureSize);
    if (!result) return Fail(kDecodeNoMemory);
  }
  record.SetData(result, m_pictureSize, true);
  record.SetCompression(0, 0);
  record.SetEncoding(kScreenDecoded);
  return true;
}
