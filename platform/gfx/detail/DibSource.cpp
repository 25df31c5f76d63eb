#include "platform/gfx/detail/DibSource.h"

#include <cstring>

namespace gfx_detail {

namespace {

// Expands the bits of value selected by mask to 8 bits by repeating them, so
// that full-scale values map to 255. Every output bit copies one input bit,
// which is what lets the 16-bit tables be split by byte and OR-ed.
std::uint32_t ExpandChannel(std::uint32_t value, std::uint32_t mask) {
  if (!mask) return 0;
  int shift = 0, bits = 0;
  while (!((mask >> shift) & 1)) ++shift;
  while (shift + bits < 32 && ((mask >> (shift + bits)) & 1)) ++bits;
  const std::uint32_t c = (value & mask) >> shift;
  if (bits >= 8) return (c >> (bits - 8)) & 0xFF;
  std::uint32_t out = 0;
  int have = 0;
  while (have < 8) {
    out = (out << bits) | c;
    have += bits;
  }
  return (out >> (have - 8)) & 0xFF;
}

std::uint32_t Dword(const RGBQUAD& q) {
  std::uint32_t v;
  std::memcpy(&v, &q, 4);
  return v;
}

}  // namespace

bool CDibSource::Init(const BITMAPINFO* info, const void* bits) {
  if (!info || !bits) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biWidth > 65535 || h.biHeight == 0 ||
      h.biHeight < -65535 || h.biHeight > 65535)
    return false;
  const int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return false;
  m_width = h.biWidth;
  m_height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  m_topDown = h.biHeight < 0;
  m_bpp = bpp;
  m_stride = ((static_cast<long>(m_width) * bpp + 31) / 32) * 4;
  if (h.biSizeImage != 0 && static_cast<long long>(h.biSizeImage) < static_cast<long long>(m_stride) * m_height)
    return false;
  m_bits = static_cast<const unsigned char*>(bits);
  if (bpp <= 8) {
    unsigned colours = h.biClrUsed;
    if (colours == 0 || colours > (1u << bpp)) colours = 1u << bpp;
    for (unsigned i = 0; i < 256; ++i) m_palette[i] = i < colours ? (Dword(info->bmiColors[i]) & 0xFFFFFF) : 0;
  } else if (bpp == 16) {
    std::uint32_t r = 0x7C00, g = 0x03E0, b = 0x001F;
    if (h.biCompression == BI_BITFIELDS) {
      r = Dword(info->bmiColors[0]) & 0xFFFF;
      g = Dword(info->bmiColors[1]) & 0xFFFF;
      b = Dword(info->bmiColors[2]) & 0xFFFF;
    }
    for (std::uint32_t v = 0; v < 256; ++v) {
      for (int half = 0; half < 2; ++half) {
        const std::uint32_t p = half ? v << 8 : v;
        // p holds only this byte's bits, so this is the byte's share of each channel.
        const std::uint32_t px = (ExpandChannel(p, r) << 16) | (ExpandChannel(p, g) << 8) | ExpandChannel(p, b);
        (half ? m_high : m_low)[v] = px;
      }
    }
  }
  return true;
}

void CDibSource::ConvertRow(const unsigned char* row, int x0, int count, std::uint32_t* out) const {
  switch (m_bpp) {
    case 16: {
      const unsigned char* p = row + 2 * x0;
      for (int i = 0; i < count; ++i) out[i] = m_low[p[2 * i]] | m_high[p[2 * i + 1]];
      break;
    }
    case 24: {
      const unsigned char* p = row + 3 * x0;
      for (int i = 0; i < count; ++i)
        out[i] = p[3 * i] | (p[3 * i + 1] << 8) | (static_cast<std::uint32_t>(p[3 * i + 2]) << 16);
      break;
    }
    case 32: {
      const unsigned char* p = row + 4 * x0;
      for (int i = 0; i < count; ++i) {
        std::uint32_t v;
        std::memcpy(&v, p + 4 * i, 4);
        out[i] = v & 0xFFFFFF;
      }
      break;
    }
    case 8: {
      const unsigned char* p = row + x0;
      for (int i = 0; i < count; ++i) out[i] = m_palette[p[i]];
      break;
    }
    default: {
      const int perByte = 8 / m_bpp;
      const unsigned mask = (1u << m_bpp) - 1;
      for (int i = 0; i < count; ++i) {
        const int x = x0 + i;
        out[i] = m_palette[(row[x / perByte] >> ((perByte - 1 - x % perByte) * m_bpp)) & mask];
      }
      break;
    }
  }
}

}  // namespace gfx_detail
