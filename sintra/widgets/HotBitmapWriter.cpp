#include "sintra/widgets/HotBitmapWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

#include "platform/base/ByteReader.h"
#include "platform/base/DibStride.h"
#include "sintra/skin/Palette.h"

CHotBitmapWriter::CHotBitmapWriter(int width, int height, int bits)
    : m_width(std::clamp(width, 1, CHotBitmap::kMaxSide)),
      m_height(std::clamp(height, 1, CHotBitmap::kMaxSide)),
      m_bits(bits == 8 || bits == 16 ? bits : 24),
      m_pixels(RowLength() * static_cast<std::size_t>(m_height), 0) {}

std::uint32_t CHotBitmapWriter::PixelOf(COLORREF colour) const {
  const std::uint32_t r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  if (m_bits == 24) return b | (g << 8) | (r << 16);
  if (m_bits == 16) return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
  // 8 bits: the nearest entry of the fixed palette the bitmap paints with.
  const PALETTEENTRY* table = FixedPaletteTable(false);
  std::uint32_t best = 0, bestDistance = ~0u;
  for (std::uint32_t i = 0; i < kPaletteEntries; ++i) {
    const int dr = static_cast<int>(r) - table[i].peRed, dg = static_cast<int>(g) - table[i].peGreen,
              db = static_cast<int>(b) - table[i].peBlue;
    const std::uint32_t distance = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

void CHotBitmapWriter::PutPixel(std::vector<BYTE>& rows, std::size_t rowBytes, int height, int x, int y,
                                std::uint32_t v) const {
  const std::size_t bpp = static_cast<std::size_t>(m_bits / 8);
  BYTE* p = rows.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes + static_cast<std::size_t>(x) * bpp;
  for (std::size_t i = 0; i < bpp; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

void CHotBitmapWriter::SetPixel(int x, int y, COLORREF colour) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  PutPixel(m_pixels, RowLength(), m_height, x, y, PixelOf(colour));
}

COLORREF CHotBitmapWriter::GetPixelValue(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
  const std::size_t bpp = static_cast<std::size_t>(m_bits / 8);
  const BYTE* p = m_pixels.data() + static_cast<std::size_t>(m_height - 1 - y) * RowLength() + x * bpp;
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < bpp; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return v;
}

void CHotBitmapWriter::FillRect(const CRect& rect, COLORREF colour) {
  const std::uint32_t v = PixelOf(colour);
  for (int y = std::max(0, static_cast<int>(rect.top)); y < std::min(m_height, static_cast<int>(rect.bottom)); ++y)
    for (int x = std::max(0, static_cast<int>(rect.left)); x < std::min(m_width, static_cast<int>(rect.right)); ++x)
      PutPixel(m_pixels, RowLength(), m_height, x, y, v);
}

std::vector<BYTE> CHotBitmapWriter::SolidImage(const CRect& rect, COLORREF colour) const {
  const std::size_t rowBytes = static_cast<std::size_t>(rect.Width()) * (m_bits / 8);
  std::vector<BYTE> out(rowBytes * static_cast<std::size_t>(rect.Height()));
  const std::uint32_t v = PixelOf(colour);
  for (int y = 0; y < rect.Height(); ++y)
    for (int x = 0; x < rect.Width(); ++x) PutPixel(out, rowBytes, rect.Height(), x, y, v);
  return out;
}

std::vector<BYTE> CHotBitmapWriter::CutImage(const CRect& rect) const {
  const std::size_t rowBytes = static_cast<std::size_t>(rect.Width()) * (m_bits / 8);
  std::vector<BYTE> out(rowBytes * static_cast<std::size_t>(rect.Height()));
  for (int y = 0; y < rect.Height(); ++y)
    for (int x = 0; x < rect.Width(); ++x)
      PutPixel(out, rowBytes, rect.Height(), x, y, GetPixelValue(rect.left + x, rect.top + y));
  return out;
}

std::vector<BYTE> CHotBitmapWriter::EllipseMask(const CRect& rect) {
  const int w = rect.Width(), h = rect.Height();
  const std::size_t stride = ((static_cast<std::size_t>(w) + 31) / 32) * 4;
  std::vector<BYTE> mask(stride * static_cast<std::size_t>(h), 0);
  const double cx = w / 2.0, cy = h / 2.0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x + 0.5 - cx) / cx, dy = (y + 0.5 - cy) / cy;
      if (dx * dx + dy * dy > 1.0) mask[y * stride + x / 8] |= static_cast<BYTE>(0x80u >> (x % 8));
    }
  return mask;
}

int CHotBitmapWriter::AddSpot(const CHotSpot& spot) {
  m_spots.push_back(spot);
  return static_cast<int>(m_spots.size()) - 1;
}

std::vector<BYTE> CHotBitmapWriter::Build() const {
  std::vector<BYTE> bytes;
  CByteWriter out(bytes);
  const std::size_t stride = DibStride(static_cast<std::uint32_t>(m_width), static_cast<std::uint16_t>(m_bits));
  std::vector<BYTE> rows;
  if (m_padded) {
    rows.assign(stride * static_cast<std::size_t>(m_height), 0);
    for (int y = 0; y < m_height; ++y)
      std::copy_n(m_pixels.data() + y * RowLength(), RowLength(), rows.data() + y * stride);
  } else {
    rows = m_pixels;
  }
  std::vector<BYTE> header(CHotBitmap::kPixelOffset, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    header[at] = static_cast<BYTE>(v);
    header[at + 1] = static_cast<BYTE>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  put16(0, CHotBitmap::kHeaderSize);
  put32(2, CHotBitmap::kVersion);
  put32(6, static_cast<std::uint32_t>(m_width));
  put32(10, static_cast<std::uint32_t>(m_height));
  put32(18, static_cast<std::uint32_t>(rows.size()));
  put32(22, m_pictureOnly ? 0xFFFFFFFFu : 0);
  put16(34, static_cast<std::uint32_t>(m_bits));
  put16(40, m_pictureOnly ? 0 : static_cast<std::uint32_t>(m_spots.size()));
  put32(52, m_compressed ? 1 : 0);
  header[88] = m_marker;
  out.PutBytes(header.data(), header.size());

  if (m_compressed) {
    uLongf length = compressBound(static_cast<uLong>(rows.size()));
    std::vector<BYTE> packed(length);
    compress2(packed.data(), &length, rows.data(), static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION);
    out.PutLE16(1);  // block kind: zlib
    out.PutLE32(static_cast<std::uint32_t>(length + 4));
    out.PutLE32(static_cast<std::uint32_t>(rows.size()));
    out.PutBytes(packed.data(), length);
  } else {
    out.PutBytes(rows.data(), rows.size());
  }
  if (m_pictureOnly) return bytes;

  for (const CHotSpot& spot : m_spots) {
    unsigned imageBits = 0;
    std::size_t imageBytes = 0;
    for (int look = 0; look < kHotSpotLooks; ++look)
      if (!spot.images[look].empty()) {
        imageBits |= 1u << look;
        imageBytes += spot.images[look].size();
      }
    const std::size_t tooltip = std::min(spot.tooltip.size(), CHotBitmap::kMaxTooltip);
    out.PutLE32(static_cast<std::uint32_t>(CHotBitmap::kSpotFixedSize + tooltip + spot.mask.size() + imageBytes));
    out.PutLE32(static_cast<std::uint32_t>(spot.rect.left));
    out.PutLE32(static_cast<std::uint32_t>(spot.rect.top));
    out.PutLE32(static_cast<std::uint32_t>(spot.rect.right));
    out.PutLE32(static_cast<std::uint32_t>(spot.rect.bottom));
    out.PutLE32(spot.flags);
    out.PutLE32(static_cast<std::uint32_t>(spot.value));
    out.PutU8(static_cast<std::uint8_t>(spot.kind));
    out.PutU8(static_cast<std::uint8_t>(imageBits));
    out.PutLE16(static_cast<std::uint16_t>(tooltip));
    out.PutLE32(static_cast<std::uint32_t>(spot.mask.size()));
    out.PutBytes(spot.tooltip.data(), tooltip);
    out.PutBytes(spot.mask.data(), spot.mask.size());
    for (int look = 0; look < kHotSpotLooks; ++look) out.PutBytes(spot.images[look].data(), spot.images[look].size());
  }
  return bytes;
}

bool CHotBitmapWriter::WriteFile(const std::string& path) const {
  const std::vector<BYTE> bytes = Build();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}
