#include "platform/gfx/Bitmap.h"

#include <cstring>

#include "platform/gfx/detail/GfxInternal.h"
#include "resources/ResourceData.h"

using gfx_detail::BitmapData;
using gfx_detail::PixelKind;

CBitmap::CBitmap() : CGdiObject(Kind::Bitmap) {}
CBitmap::~CBitmap() = default;

namespace {

// Copies device-dependent rows (16-bit aligned) into a fresh bitmap.
void CopyDeviceRows(BitmapData& d, const unsigned char* bits) {
  const long srcStride = ((static_cast<long>(d.width) * d.bitsPerPixel + 15) / 16) * 2;
  cairo_surface_flush(d.surface);
  for (int y = 0; y < d.height; ++y) {
    const unsigned char* row = bits + srcStride * y;
    for (int x = 0; x < d.width; ++x) {
      std::uint32_t v = 0;
      switch (d.bitsPerPixel) {
        case 1: v = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 0xFFFFFF : 0; break;
        case 16: v = gfx_detail::Expand565(static_cast<std::uint16_t>(row[2 * x] | (row[2 * x + 1] << 8))); break;
        case 24: v = row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<std::uint32_t>(row[3 * x + 2]) << 16); break;
        default: v = row[4 * x] | (row[4 * x + 1] << 8) | (static_cast<std::uint32_t>(row[4 * x + 2]) << 16); break;
      }
      gfx_detail::WritePixel(d.surface, d.kind, x, y, v);
    }
  }
  cairo_surface_mark_dirty(d.surface);
}

std::uint32_t Le32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24); }
std::uint16_t Le16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Number of low zero bits and width of a channel mask.
void MaskShape(std::uint32_t mask, int& shift, int& bits) {
  shift = 0;
  bits = 0;
  if (!mask) return;
  while (!((mask >> shift) & 1)) ++shift;
  while (shift + bits < 32 && ((mask >> (shift + bits)) & 1)) ++bits;
}

std::uint32_t Channel(std::uint32_t v, int shift, int bits) {
  if (bits == 0) return 0;
  std::uint32_t c = (v >> shift) & ((1u << bits) - 1);
  if (bits >= 8) return c >> (bits - 8);
  std::uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += bits) out = (out << bits) | c;
  return (out >> ((8 + bits - 1) / bits * bits - 8)) & 0xFF;
}

}  // namespace

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1) return FALSE;
  auto data = gfx_detail::MakeBitmap(width, height, static_cast<int>(bitsPerPixel));
  if (!data) return FALSE;
  if (bits) CopyDeviceRows(*data, static_cast<const unsigned char*>(bits));
  m_data = std::move(data);
  return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  int depth = 32;
  if (dc && dc->Impl() && dc->Impl()->memory) {
    const auto& selected = dc->Impl()->state.bitmap;
    depth = selected ? selected->bitsPerPixel : 1;
  }
  return CreateBitmap(width, height, 1, static_cast<UINT>(depth), nullptr);
}

BOOL CBitmap::LoadFromBmpData(const BYTE* data, unsigned long size) {
  if (!data || size < 14 + 40 || data[0] != 'B' || data[1] != 'M') return FALSE;
  const BYTE* h = data + 14;
  const std::uint32_t headerSize = Le32(h);
  const std::int32_t width = static_cast<std::int32_t>(Le32(h + 4));
  const std::int32_t rawHeight = static_cast<std::int32_t>(Le32(h + 8));
  const int bpp = Le16(h + 14);
  const std::uint32_t compression = Le32(h + 16);
  std::uint32_t colours = Le32(h + 32);
  const std::uint32_t offBits = Le32(data + 10);
  if (headerSize < 40 || headerSize > size - 14 || width <= 0 || width > 32767 || rawHeight == 0 ||
      rawHeight < -32767 || rawHeight > 32767)
    return FALSE;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return FALSE;
  if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return FALSE;
  const int height = rawHeight < 0 ? -rawHeight : rawHeight;
  const unsigned long long stride = ((static_cast<unsigned long long>(width) * bpp + 31) / 32) * 4;
  if (offBits > size || stride * height > size - offBits) return FALSE;
  // Colour table or channel masks.
  std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  if (compression == BI_BITFIELDS) {
    if (14ull + headerSize + 12 > size) return FALSE;
    const BYTE* m = headerSize >= 52 ? h + 40 : h + headerSize;
    for (int i = 0; i < 3; ++i) masks[i] = Le32(m + 4 * i);
  }
  std::uint32_t palette[256] = {};
  if (bpp <= 8) {
    if (colours == 0 || colours > (1u << bpp)) colours = 1u << bpp;
    if (14ull + headerSize + 4ull * colours > size) return FALSE;
    for (std::uint32_t i = 0; i < colours; ++i) palette[i] = Le32(h + headerSize + 4 * i) & 0xFFFFFF;
  }
  int shifts[3], widths[3];
  for (int i = 0; i < 3; ++i) MaskShape(masks[i], shifts[i], widths[i]);
  auto bitmap = gfx_detail::MakeBitmap(width, height, 32);
  if (!bitmap) return FALSE;
  cairo_surface_flush(bitmap->surface);
  for (int y = 0; y < height; ++y) {
    const BYTE* row = data + offBits + stride * static_cast<unsigned long long>(rawHeight < 0 ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::uint32_t v;
      if (bpp <= 8) {
        const int perByte = 8 / bpp;
        const unsigned index = (row[x / perByte] >> ((perByte - 1 - x % perByte) * bpp)) & ((1u << bpp) - 1);
        v = palette[index];
      } else if (bpp == 24) {
        v = row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<std::uint32_t>(row[3 * x + 2]) << 16);
      } else {
        const std::uint32_t raw = bpp == 16 ? Le16(row + 2 * x) : Le32(row + 4 * x);
        v = (Channel(raw, shifts[0], widths[0]) << 16) | (Channel(raw, shifts[1], widths[1]) << 8) |
            Channel(raw, shifts[2], widths[2]);
      }
      gfx_detail::WritePixel(bitmap->surface, PixelKind::Xrgb, x, y, v);
    }
  }
  cairo_surface_mark_dirty(bitmap->surface);
  m_data = std::move(bitmap);
  return TRUE;
}

BOOL CBitmap::LoadBitmap(UINT resourceId) {
  for (unsigned long i = 0; i < g_olvaneResourceCount; ++i) {
    const OlvaneResourceEntry& e = g_olvaneResources[i];
    if (e.id == resourceId && std::strcmp(e.type, "BITMAP") == 0) return LoadFromBmpData(e.data, e.size);
  }
  return FALSE;
}

int CBitmap::GetBitmap(BITMAP* out) const {
  if (!out || !m_data) return 0;
  out->bmType = 0;
  out->bmWidth = m_data->width;
  out->bmHeight = m_data->height;
  out->bmWidthBytes = ((m_data->width * m_data->bitsPerPixel + 15) / 16) * 2;
  out->bmPlanes = 1;
  out->bmBitsPixel = static_cast<WORD>(m_data->bitsPerPixel);
  out->bmBits = nullptr;
  return static_cast<int>(sizeof(BITMAP));
}

CSize CBitmap::SetBitmapDimension(int cx, int cy) {
  const CSize old = m_dimension;
  m_dimension = CSize(cx, cy);
  return old;
}

int CBitmap::GetWidth() const { return m_data ? m_data->width : 0; }
int CBitmap::GetHeight() const { return m_data ? m_data->height : 0; }
int CBitmap::GetBitsPixel() const { return m_data ? m_data->bitsPerPixel : 0; }

BOOL CBitmap::DeleteObject() {
  const BOOL was = m_data != nullptr;
  m_data.reset();
  return was;
}
