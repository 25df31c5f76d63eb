// The coding side of CScreenCodec: run-length pictures (and their zlib
// compression) for complete records, and delta coding against a previous
// picture for writers.
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/base/ByteReader.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenCodec.h"
#include "pravex/capture/ScreenPixels.h"

using namespace capture;
using namespace screenpixels;

namespace {

constexpr int kMaxCode = 127;

// Runs of two or more equal pixels become run codes (count, pixel); the
// single pixels between them are gathered into literal groups (-count,
// pixels), each group and run at most 127 pixels.
template <int B>
std::size_t EncodeRunLengthT(const BYTE* picture, std::size_t stride, DWORD width, DWORD height, BYTE* out,
                             std::size_t limit) {
  std::size_t o = 0;
  for (DWORD y = 0; y < height; ++y) {
    const BYTE* row = picture + y * stride;
    DWORD x = 0;
    while (x < width) {
      DWORD run = 1;
      while (x + run < width && run < kMaxCode && PixelsEqual<B>(row + (x + run) * B, row + x * B)) ++run;
      if (run >= 2) {
        if (limit - o < 1 + B) return 0;
        out[o++] = static_cast<BYTE>(run);
        std::memcpy(out + o, row + x * B, B);
        o += B;
        x += run;
        continue;
      }
      const DWORD start = x;
      DWORD count = 0;
      while (x < width && count < kMaxCode) {
        if (x + 1 < width && PixelsEqual<B>(row + x * B, row + (x + 1) * B)) break;
        ++count;
        ++x;
      }
      const std::size_t bytes = static_cast<std::size_t>(count) * B;
      if (limit - o < 1 + bytes) return 0;
      out[o++] = static_cast<BYTE>(-static_cast<int>(count));
      std::memcpy(out + o, row + start * B, bytes);
      o += bytes;
    }
  }
  return o;
}

// Length of the run of equal pixels of `row` starting at x (at most max).
template <int B>
DWORD RunAt(const BYTE* row, DWORD x, DWORD width, DWORD max) {
  DWORD run = 1;
  while (x + run < width && run < max && PixelsEqual<B>(row + (x + run) * B, row + x * B)) ++run;
  return run;
}

// Codes one changed row as operations; returns the operation count.
template <int B>
std::size_t EncodeDeltaRow(const BYTE* prev, const BYTE* cur, DWORD width, CByteWriter& w, DWORD& minX, DWORD& maxX) {
  std::size_t ops = 0;
  DWORD column = 0;
  DWORD x = 0;
  for (;;) {
    while (x < width && PixelsEqual<B>(prev + x * B, cur + x * B)) ++x;
    if (x == width) break;
    DWORD skip = x - column;
    for (; skip > 255; skip -= 255, ++ops) {
      w.PutU8(255);
      w.PutU8(0);
    }
    minX = std::min(minX, x);
    const DWORD run = RunAt<B>(cur, x, width, 128);
    if (run >= 3) {
      w.PutU8(static_cast<BYTE>(skip));
      w.PutU8(static_cast<BYTE>(-static_cast<int>(run)));
      w.PutBytes(cur + x * B, B);
      x += run;
    } else {
      const DWORD start = x;
      DWORD count = 0;
      while (x < width && count < kMaxCode && !PixelsEqual<B>(prev + x * B, cur + x * B)) {
        if (count > 0 && RunAt<B>(cur, x, width, 3) >= 3) break;
        ++count;
        ++x;
      }
      w.PutU8(static_cast<BYTE>(skip));
      w.PutU8(static_cast<BYTE>(count));
      w.PutBytes(cur + start * B, static_cast<std::size_t>(count) * B);
    }
    maxX = std::max(maxX, x);
    column = x;
    ++ops;
  }
  return ops;
}

template <int B>
bool EncodeDeltaT(const BYTE* prev, const BYTE* cur, std::size_t stride, DWORD width, DWORD height,
                  std::vector<BYTE>& out, CRect& changed) {
  out.clear();
  CByteWriter w(out);
  w.PutBE16(0);
  std::int64_t lastRow = -1;
  unsigned rows = 0;
  DWORD minX = width, maxX = 0, minY = height, maxY = 0;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * B;
  for (DWORD y = 0; y < height; ++y) {
    const BYTE* p = prev + y * stride;
    const BYTE* c = cur + y * stride;
    if (std::memcmp(p, c, rowBytes) == 0) continue;
    w.PutBE16(static_cast<std::uint16_t>(y - lastRow - 1));
    const std::size_t countAt = out.size();
    w.PutBE16(0);
    const std::size_t ops = EncodeDeltaRow<B>(p, c, width, w, minX, maxX);
    if (ops > 0xFFFF) return false;
    out[countAt] = static_cast<BYTE>(ops >> 8);
    out[countAt + 1] = static_cast<BYTE>(ops);
    lastRow = y;
    ++rows;
    minY = std::min(minY, y);
    maxY = y + 1;
  }
  out[0] = static_cast<BYTE>(rows >> 8);
  out[1] = static_cast<BYTE>(rows);
  changed = rows ? CRect(static_cast<int>(minX), static_cast<int>(minY), static_cast<int>(maxX), static_cast<int>(maxY))
                 : CRect();
  return true;
}

}  // namespace

std::size_t CScreenCodec::EncodeRunLength(const BYTE* picture, DWORD width, DWORD height, WORD bits, BYTE* out,
                                          std::size_t limit) {
  if (!picture || !out || !IsValidGeometry(width, height, bits)) return 0;
  const auto stride = static_cast<std::size_t>(DibStride(width, bits));
  switch (bits) {
    case 8: return EncodeRunLengthT<1>(picture, stride, width, height, out, limit);
    case 16: return EncodeRunLengthT<2>(picture, stride, width, height, out, limit);
    default: return EncodeRunLengthT<3>(picture, stride, width, height, out, limit);
  }
}

bool CScreenCodec::EncodeDelta(const BYTE* previous, const BYTE* current, DWORD width, DWORD height, WORD bits,
                               std::vector<BYTE>& out, CRect& changed) {
  if (!previous || !current || !IsValidGeometry(width, height, bits) || height > 0xFFFF || width > 0xFFFF) return false;
  const auto stride = static_cast<std::size_t>(DibStride(width, bits));
  switch (bits) {
    case 8: return EncodeDeltaT<1>(previous, current, stride, width, height, out, changed);
    case 16: return EncodeDeltaT<2>(previous, current, stride, width, height, out, changed);
    default: return EncodeDeltaT<3>(previous, current, stride, width, height, out, changed);
  }
}

bool CScreenCodec::EnsureWorkBuffers(std::uint64_t pictureBytes, DWORD width) {
  // Run-length output may exceed the picture by up to two bytes per pixel
  // pair; the zlib buffer must hold the worst case of compressing it.
  const std::uint64_t runLength = pictureBytes + 2ull * width;
  const std::uint64_t zlib = std::max<std::uint64_t>(runLength * 101 / 100 + 12, compressBound(static_cast<uLong>(runLength)));
  if (zlib > kMaxBlockSize + (kMaxBlockSize / 8)) return false;
  m_runLengthOut.resize(static_cast<std::size_t>(runLength));
  m_zlibOut.resize(static_cast<std::size_t>(zlib));
  return true;
}

bool CScreenCodec::Encode(CCaptureScreen& record, bool useZlib) {
  std::uint64_t bytes = 0;
  if (!m_encoder || record.GetEncoding() != kScreenDecoded || record.GetCompression() == kCompressionZlib) return false;
  if (!IsValidGeometry(record.GetWidth(), record.GetHeight(), record.GetBitsPerPixel(), &bytes)) return false;
  if (record.GetDataLength() < bytes) return false;
  if (!EnsureWorkBuffers(bytes, record.GetWidth())) return false;

  const std::size_t limit = static_cast<std::size_t>(bytes * 95 / 100);
  const std::size_t coded = EncodeRunLength(record.GetDataBytes(), record.GetWidth(), record.GetHeight(),
                                            record.GetBitsPerPixel(), m_runLengthOut.data(), limit);
  if (coded > 0) {
    CSharedBuffer* data = CSharedBuffer::Copy(m_runLengthOut.data(), coded);
    if (!data) return false;
    record.SetData(data, static_cast<DWORD>(coded), true);
    record.SetEncoding(kScreenRunLength);
  } else {
    record.SetEncoding(kScreenRaw);
  }
  if (!useZlib) return true;
  uLongf packed = static_cast<uLongf>(m_zlibOut.size());
  if (compress2(m_zlibOut.data(), &packed, record.GetDataBytes(), record.GetDataLength(), Z_DEFAULT_COMPRESSION) != Z_OK) {
    return true;  // the record stays valid uncompressed
  }
  CSharedBuffer* data = CSharedBuffer::Copy(m_zlibOut.data(), packed);
  if (!data) return true;
  const DWORD uncompressed = record.GetDataLength();
  record.SetData(data, static_cast<DWORD>(packed), true);
  record.SetCompression(kCompressionZlib, uncompressed);
  return true;
}
