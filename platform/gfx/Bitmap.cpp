#include "platform/gfx/Bitmap.h"

#include <cstring>

#include "platform/gfx/detail/DibSource.h"
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
  const std::uint32_t offBits = Le32(data + 10), headerSize = Le32(data + 14);
  if (headerSize < 40 || headerSize > size - 14 || offBits > size) return FALSE;
  BITMAPINFO info{};
  std::memcpy(&info.bmiHeader, data + 14, 40);
  info.bmiHeader.biSize = 40;
  const BITMAPINFOHEADER& h = info.bmiHeader;
  // The colour table, or the bit-field masks (inside the larger headers), follow.
  const bool fields = h.biCompression == BI_BITFIELDS;
  const unsigned long tableAt = 14 + (fields && headerSize >= 52 ? 40 : headerSize);
  unsigned long entries = fields ? 3 : 0;
  if (h.biBitCount <= 8) {
    const unsigned long full = 1ul << (h.biBitCount > 8 ? 8 : h.biBitCount);
    entries = h.biClrUsed == 0 || h.biClrUsed > full ? full : h.biClrUsed;
  }
  if (tableAt + 4 * entries > size) return FALSE;
  std::memcpy(info.bmiColors, data + tableAt, 4 * entries);
  gfx_detail::CDibSource dib;
  if (!dib.Init(&info, data + offBits)) return FALSE;
  if (static_cast<unsigned long long>(dib.Stride()) * dib.Height() > size - offBits) return FALSE;
  auto bitmap = gfx_detail::MakeBitmap(dib.Width(), dib.Height(), 32);
  if (!bitmap) return FALSE;
  cairo_surface_flush(bitmap->surface);
  unsigned char* pixels = cairo_image_surface_get_data(bitmap->surface);
  const long stride = cairo_image_surface_get_stride(bitmap->surface);
  for (int y = 0; y < dib.Height(); ++y)
    dib.ConvertRow(dib.Row(y), 0, dib.Width(), reinterpret_cast<std::uint32_t*>(pixels + stride * y));
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
