// Device context: block transfers with raster operations, and reading bitmaps
// back as device-independent rows.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/detail/Blit.h"
#include "platform/gfx/detail/GfxInternal.h"

using gfx_detail::DCImpl;
using gfx_detail::PixelKind;

namespace gfx_detail {

namespace {

bool UsesDest(DWORD rop) {
  // The operation's result depends on the destination when its truth table
  // differs between destination 0 and 1 anywhere.
  const unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 1) & 0x55) != (t & 0x55);
}

std::uint32_t PatternValue(const DCImpl& dst) {
  if (dst.state.brushStyle == BS_NULL) return 0;
  if (dst.Kind() == PixelKind::Mono) return IsPaper(dst.state.brushColour) ? 0xFFFFFF : 0;
  return ToXrgb(dst.state.brushColour);
}

}  // namespace

void CombineBlock(DCImpl& dst, const CRect& area, const std::uint32_t* src, long srcStride, DWORD rop) {
  cairo_surface_t* s = dst.Surface();
  if (!s || area.IsRectEmpty()) return;
  const PixelKind kind = dst.Kind();
  cairo_region_t* region = dst.VisibleRegion();
  const cairo_rectangle_int_t a{area.left, area.top, area.Width(), area.Height()};
  cairo_region_intersect_rectangle(region, &a);
  const std::uint32_t p = PatternValue(dst);
  const bool readDest = UsesDest(rop);
  cairo_surface_flush(s);
  unsigned char* base = cairo_image_surface_get_data(s);
  const long stride = cairo_image_surface_get_stride(s);
  const int n = cairo_region_num_rectangles(region);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region, i, &r);
    for (int y = r.y; y < r.y + r.height; ++y) {
      const std::uint32_t* in = src ? src + (y - area.top) * srcStride + (r.x - area.left) : nullptr;
      if (kind == PixelKind::Xrgb && rop == SRCCOPY && in) {
        auto* out = reinterpret_cast<std::uint32_t*>(base + y * stride) + r.x;
        for (int x = 0; x < r.width; ++x) out[x] = 0xFF000000u | in[x];
        continue;
      }
      unsigned char* row = base + y * stride;
      if (!in && !readDest) {
        // Neither source nor destination: one value for the whole block.
        FillRow(row, kind, r.x, r.x + r.width, ApplyRop3(rop, p, 0, 0));
        continue;
      }
      for (int x = 0; x < r.width; ++x) {
        const std::uint32_t sv = in ? in[x] : 0;
        const std::uint32_t d = readDest ? ReadRowPixel(row, kind, r.x + x) : 0;
        WriteRowPixel(row, kind, r.x + x, ApplyRop3(rop, p, sv, d));
      }
    }
  }
  cairo_surface_mark_dirty(s);
  cairo_region_destroy(region);
}

std::uint32_t MapToDest(std::uint32_t v, PixelKind from, const DCImpl& dst) {
  const PixelKind to = dst.Kind();
  if (from == PixelKind::Mono && to != PixelKind::Mono) return ToXrgb(v ? dst.state.bkColour : dst.state.textColour);
  if (from != PixelKind::Mono && to == PixelKind::Mono) {
    // Pixels of the background colour become paper, everything else ink.
    std::uint32_t bk = ToXrgb(dst.state.bkColour);
    if (from == PixelKind::Rgb565) bk = Expand565(PackRgb565(bk));
    return v == bk ? 0xFFFFFF : 0;
  }
  return v;
}

}  // namespace gfx_detail

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  if (!m_impl->valid) return FALSE;
  CRect r(x, y, x + width, y + height);
  r.NormalizeRect();
  r.OffsetRect(m_impl->state.viewportOrg);
  gfx_detail::CombineBlock(*m_impl, r, nullptr, 0, rop);
  return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop) {
  if (!m_impl->valid || width <= 0 || height <= 0) return FALSE;
  const unsigned t = (rop >> 16) & 0xFF;
  const bool needsSource = ((t >> 2) & 0x33) != (t & 0x33);
  if (!needsSource) return PatBlt(x, y, width, height, rop);
  if (!source || !source->m_impl->valid) return FALSE;
  DCImpl& src = *source->m_impl;
  cairo_surface_t* ss = src.Surface();
  if (!ss || !m_impl->Surface()) return FALSE;
  // Work in device coordinates; only the part that lies inside the source moves.
  CRect dst(x, y, x + width, y + height);
  dst.OffsetRect(m_impl->state.viewportOrg);
  CRect from(xSrc, ySrc, xSrc + width, ySrc + height);
  from.OffsetRect(src.state.viewportOrg);
  CRect inside;
  if (!inside.IntersectRect(from, CRect(0, 0, src.Width(), src.Height()))) return TRUE;
  dst.OffsetRect(inside.left - from.left, inside.top - from.top);
  dst.right = dst.left + inside.Width();
  dst.bottom = dst.top + inside.Height();
  // Read the source block first, so that overlapping copies on one surface work.
  std::vector<std::uint32_t> block(static_cast<size_t>(inside.Width()) * inside.Height());
  cairo_surface_flush(ss);
  const PixelKind kind = src.Kind();
  size_t k = 0;
  for (int sy = inside.top; sy < inside.bottom; ++sy)
    for (int sx = inside.left; sx < inside.right; ++sx)
      block[k++] = gfx_detail::MapToDest(gfx_detail::ReadPixel(ss, kind, sx, sy), kind, *m_impl);
  gfx_detail::CombineBlock(*m_impl, dst, block.data(), inside.Width(), rop);
  return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, DWORD rop) {
  if (width == srcWidth && height == srcHeight) return BitBlt(x, y, width, height, source, xSrc, ySrc, rop);
  if (!m_impl->valid || !source || !source->m_impl->valid || width == 0 || height == 0 || srcWidth <= 0 ||
      srcHeight <= 0 || std::abs(width) > 32767 || std::abs(height) > 32767)
    return FALSE;
  DCImpl& src = *source->m_impl;
  cairo_surface_t* ss = src.Surface();
  if (!ss) return FALSE;
  // Sample the source at the centre of each destination pixel (nearest pixel).
  const int w = std::abs(width), h = std::abs(height);
  std::vector<std::uint32_t> block(static_cast<size_t>(w) * h);
  cairo_surface_flush(ss);
  const PixelKind kind = src.Kind();
  for (int dy = 0; dy < h; ++dy) {
    const int ry = height < 0 ? h - 1 - dy : dy;
    const int sy = ySrc + src.state.viewportOrg.y + static_cast<int>((ry + 0.5) * srcHeight / h);
    for (int dx = 0; dx < w; ++dx) {
      const int rx = width < 0 ? w - 1 - dx : dx;
      const int sx = xSrc + src.state.viewportOrg.x + static_cast<int>((rx + 0.5) * srcWidth / w);
      std::uint32_t v = 0;
      if (sx >= 0 && sy >= 0 && sx < src.Width() && sy < src.Height()) v = gfx_detail::ReadPixel(ss, kind, sx, sy);
      block[static_cast<size_t>(dy) * w + dx] = gfx_detail::MapToDest(v, kind, *m_impl);
    }
  }
  CRect dst(std::min(x, x + width), std::min(y, y + height), 0, 0);
  dst.right = dst.left + w;
  dst.bottom = dst.top + h;
  dst.OffsetRect(m_impl->state.viewportOrg);
  gfx_detail::CombineBlock(*m_impl, dst, block.data(), w, rop);
  return TRUE;
}

namespace {

// Bit-reversed bytes: A1 surfaces keep the leftmost pixel in the lowest bit.
struct ReverseTable {
  unsigned char v[256];
  ReverseTable() {
    for (int i = 0; i < 256; ++i) {
      unsigned r = 0;
      for (int b = 0; b < 8; ++b) r |= ((i >> b) & 1u) << (7 - b);
      v[i] = static_cast<unsigned char>(r);
    }
  }
};

void WriteDibRow(const gfx_detail::BitmapData& bm, int row, unsigned char* out, const BITMAPINFOHEADER& h) {
  static const ReverseTable reverse;
  const int width = h.biWidth;
  const unsigned char* in = cairo_image_surface_get_data(bm.surface) +
                            static_cast<long>(row) * cairo_image_surface_get_stride(bm.surface);
  if (h.biBitCount == 1 && bm.kind == PixelKind::Mono) {
    // Ink is a set bit in the surface and a clear bit (black) in the DIB.
    const int bytes = std::min((width + 7) / 8, (bm.width + 7) / 8);
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(~reverse.v[in[i]]);
    return;
  }
  for (int x = 0; x < width; ++x) {
    const std::uint32_t v = x < bm.width ? gfx_detail::ReadPixel(bm.surface, bm.kind, x, row) : 0;
    switch (h.biBitCount) {
      case 1:
        if (gfx_detail::IsPaper(gfx_detail::FromXrgb(v))) out[x >> 3] = static_cast<unsigned char>(out[x >> 3] | (0x80 >> (x & 7)));
        else out[x >> 3] = static_cast<unsigned char>(out[x >> 3] & ~(0x80 >> (x & 7)));
        break;
      case 16: {
        std::uint16_t p = gfx_detail::PackRgb565(v);
        if (h.biCompression == BI_RGB) p = static_cast<std::uint16_t>(((v >> 9) & 0x7C00) | ((v >> 6) & 0x03E0) | ((v >> 3) & 0x1F));
        out[2 * x] = static_cast<unsigned char>(p);
        out[2 * x + 1] = static_cast<unsigned char>(p >> 8);
        break;
      }
      case 24:
        out[3 * x] = static_cast<unsigned char>(v);
        out[3 * x + 1] = static_cast<unsigned char>(v >> 8);
        out[3 * x + 2] = static_cast<unsigned char>(v >> 16);
        break;
      default:
        std::memcpy(out + 4 * x, &v, 4);
        break;
    }
  }
}

}  // namespace

int CDC::GetDIBits(CBitmap* bitmap, UINT startScan, UINT scanCount, void* bits, BITMAPINFO* info, UINT) {
  if (!bitmap || !bitmap->IsCreated() || !info) return 0;
  const gfx_detail::BitmapData& bm = *bitmap->Data();
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount == 0) h.biBitCount = static_cast<WORD>(bm.bitsPerPixel);
  if (h.biWidth == 0) h.biWidth = bm.width;
  if (h.biHeight == 0) h.biHeight = bm.height;
  const WORD depth = h.biBitCount;
  if ((depth != 1 && depth != 16 && depth != 24 && depth != 32) || h.biWidth < 0 || h.biWidth > 32767 ||
      h.biHeight < -32767 || h.biHeight > 32767)
    return 0;
  const long stride = ((static_cast<long>(h.biWidth) * depth + 31) / 32) * 4;
  const int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  h.biPlanes = 1;
  h.biSizeImage = static_cast<DWORD>(stride * rows);
  if (depth == 1) {
    info->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    info->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
  }
  if (!bits) return rows;
  const bool topDown = h.biHeight < 0;
  const long long first = startScan, last = std::min<long long>(static_cast<long long>(startScan) + scanCount,
                                                                std::min(rows, bm.height));
  if (first >= last) return 0;
  cairo_surface_flush(bm.surface);
  unsigned char* out = static_cast<unsigned char*>(bits);
  for (long long scan = first; scan < last; ++scan) {
    const int row = topDown ? static_cast<int>(scan) : bm.height - 1 - static_cast<int>(scan);
    if (row < 0 || row >= bm.height) continue;
    unsigned char* dest = out + (scan - first) * stride;
    std::memset(dest, 0, static_cast<size_t>(stride));
    WriteDibRow(bm, row, dest, h);
  }
  return static_cast<int>(last - first);
}
