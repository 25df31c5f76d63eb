// Device context: painting device-independent pictures (StretchDIBits,
// SetDIBitsToDevice). This is on the replay path: a 1:1 copy into a 32-bit
// surface converts rows straight into the destination; scaled copies convert the
// source part once into a 32-bit buffer and let Cairo scale it (nearest pixel or
// bilinear with padded edges).
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/detail/Blit.h"
#include "platform/gfx/detail/DibSource.h"
#include "platform/gfx/detail/GfxInternal.h"

using gfx_detail::CDibSource;
using gfx_detail::DCImpl;
using gfx_detail::PixelKind;

namespace {

// Converts rows straight into the destination's visible part (1:1, SRCCOPY,
// 32-bit destination). dst is in device coordinates; (sx, sy) its source corner.
void CopyDirect(DCImpl& impl, const CDibSource& dib, const CRect& dst, int sx, int sy) {
  cairo_surface_t* s = impl.Surface();
  cairo_region_t* region = impl.VisibleRegion();
  const cairo_rectangle_int_t a{dst.left, dst.top, dst.Width(), dst.Height()};
  cairo_region_intersect_rectangle(region, &a);
  cairo_surface_flush(s);
  unsigned char* base = cairo_image_surface_get_data(s);
  const long stride = cairo_image_surface_get_stride(s);
  const int n = cairo_region_num_rectangles(region);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region, i, &r);
    for (int y = r.y; y < r.y + r.height; ++y) {
      auto* out = reinterpret_cast<std::uint32_t*>(base + y * stride) + r.x;
      dib.ConvertRow(dib.Row(sy + (y - dst.top)), sx + (r.x - dst.left), r.width, out);
    }
  }
  cairo_surface_mark_dirty(s);
  cairo_region_destroy(region);
}

// Converts a source block into values in the destination's terms and combines it.
void CopyBlock(DCImpl& impl, const CDibSource& dib, const CRect& dst, int sx, int sy, DWORD rop) {
  std::vector<std::uint32_t> block(static_cast<size_t>(dst.Width()) * dst.Height());
  for (int y = 0; y < dst.Height(); ++y) {
    std::uint32_t* row = block.data() + static_cast<size_t>(y) * dst.Width();
    dib.ConvertRow(dib.Row(sy + y), sx, dst.Width(), row);
    for (int x = 0; x < dst.Width(); ++x) row[x] = gfx_detail::MapToDest(row[x], PixelKind::Xrgb, impl);
  }
  gfx_detail::CombineBlock(impl, dst, block.data(), dst.Width(), rop);
}

// The source part as a 32-bit surface over a buffer reused between calls.
cairo_surface_t* SourceSurface(const CDibSource& dib, const CRect& part, std::vector<std::uint32_t>& buffer) {
  buffer.resize(static_cast<size_t>(part.Width()) * part.Height());
  for (int y = 0; y < part.Height(); ++y)
    dib.ConvertRow(dib.Row(part.top + y), part.left, part.Width(), buffer.data() + static_cast<size_t>(y) * part.Width());
  return cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(buffer.data()), CAIRO_FORMAT_RGB24,
                                             part.Width(), part.Height(), part.Width() * 4);
}

struct Mapping {
  CRect dst;     // device rectangle painted
  bool flipX = false, flipY = false;
  double scaleX = 1, scaleY = 1;  // source pixels per destination pixel
};

// Paints the scaled source surface over the destination rectangle into target
// (whose origin is at device point origin), clipped to clip (device) rectangles.
void PaintScaled(cairo_surface_t* target, const CPoint& origin, cairo_surface_t* source, const Mapping& m,
                 int filter, cairo_region_t* clip) {
  cairo_t* cr = cairo_create(target);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_translate(cr, -origin.x, -origin.y);
  const int n = cairo_region_num_rectangles(clip);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(clip, i, &r);
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
  }
  cairo_clip(cr);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(source);
  const double sw = cairo_image_surface_get_width(source), sh = cairo_image_surface_get_height(source);
  cairo_matrix_t matrix;
  const double xx = m.flipX ? -m.scaleX : m.scaleX, yy = m.flipY ? -m.scaleY : m.scaleY;
  const double x0 = m.flipX ? sw + m.dst.left * m.scaleX : -m.dst.left * m.scaleX;
  const double y0 = m.flipY ? sh + m.dst.top * m.scaleY : -m.dst.top * m.scaleY;
  cairo_matrix_init(&matrix, xx, 0, 0, yy, x0, y0);
  cairo_pattern_set_matrix(p, &matrix);
  cairo_pattern_set_filter(p, filter == HALFTONE ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
  cairo_set_source(cr, p);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  cairo_destroy(cr);
}

}  // namespace

int CDC::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                       int srcHeight, const void* bits, const BITMAPINFO* info, UINT, DWORD rop) {
  CDibSource dib;
  if (!m_impl->valid || !m_impl->Surface() || !dib.Init(info, bits)) return 0;
  if (destWidth == 0 || destHeight == 0 || srcWidth == 0 || srcHeight == 0 || std::abs(destWidth) > 65535 ||
      std::abs(destHeight) > 65535 || std::abs(srcWidth) > 65535 || std::abs(srcHeight) > 65535)
    return 0;
  Mapping m;
  if (destWidth < 0) { m.flipX = !m.flipX; xDest += destWidth; destWidth = -destWidth; }
  if (destHeight < 0) { m.flipY = !m.flipY; yDest += destHeight; destHeight = -destHeight; }
  if (srcWidth < 0) { m.flipX = !m.flipX; xSrc += srcWidth; srcWidth = -srcWidth; }
  if (srcHeight < 0) { m.flipY = !m.flipY; ySrc += srcHeight; srcHeight = -srcHeight; }
  // Source rows counted from the top; a bottom-up picture counts ySrc from its bottom.
  CRect part(xSrc, dib.TopDown() ? ySrc : dib.Height() - ySrc - srcHeight, 0, 0);
  part.right = part.left + srcWidth;
  part.bottom = part.top + srcHeight;
  m.dst = CRect(xDest, yDest, xDest + destWidth, yDest + destHeight);
  m.dst.OffsetRect(m_impl->state.viewportOrg);
  const CRect picture(0, 0, dib.Width(), dib.Height());

  if (destWidth == srcWidth && destHeight == srcHeight && !m.flipX && !m.flipY) {
    CRect inside;
    if (!inside.IntersectRect(part, picture)) return destHeight;
    CRect dst = m.dst;
    dst.OffsetRect(inside.left - part.left, inside.top - part.top);
    dst.right = dst.left + inside.Width();
    dst.bottom = dst.top + inside.Height();
    if (rop == SRCCOPY && m_impl->Kind() == PixelKind::Xrgb) CopyDirect(*m_impl, dib, dst, inside.left, inside.top);
    else CopyBlock(*m_impl, dib, dst, inside.left, inside.top, rop);
    return destHeight;
  }

  // Scaled: only the part inside the picture is ever read.
  CRect inside;
  if (!inside.IntersectRect(part, picture)) return destHeight;
  m.scaleX = static_cast<double>(inside.Width()) / destWidth;
  m.scaleY = static_cast<double>(inside.Height()) / destHeight;
  cairo_region_t* visible = m_impl->VisibleRegion();
  const cairo_rectangle_int_t d{m.dst.left, m.dst.top, m.dst.Width(), m.dst.Height()};
  cairo_region_intersect_rectangle(visible, &d);
  if (!cairo_region_is_empty(visible)) {
    thread_local std::vector<std::uint32_t> buffer;
    cairo_surface_t* source = SourceSurface(dib, inside, buffer);
    if (rop == SRCCOPY && m_impl->Kind() == PixelKind::Xrgb) {
      PaintScaled(m_impl->Surface(), CPoint(0, 0), source, m, m_impl->state.stretchMode, visible);
    } else {
      // Scale into a 32-bit block of the visible extent, then combine.
      cairo_rectangle_int_t e;
      cairo_region_get_extents(visible, &e);
      std::vector<std::uint32_t> block(static_cast<size_t>(e.width) * e.height);
      cairo_surface_t* tmp = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(block.data()),
                                                                 CAIRO_FORMAT_RGB24, e.width, e.height, e.width * 4);
      PaintScaled(tmp, CPoint(e.x, e.y), source, m, m_impl->state.stretchMode, visible);
      cairo_surface_flush(tmp);
      cairo_surface_destroy(tmp);
      for (auto& v : block) v = gfx_detail::MapToDest(v & 0xFFFFFF, PixelKind::Xrgb, *m_impl);
      gfx_detail::CombineBlock(*m_impl, CRect(e.x, e.y, e.x + e.width, e.y + e.height), block.data(), e.width, rop);
    }
    cairo_surface_destroy(source);
  }
  cairo_region_destroy(visible);
  return destHeight;
}

int CDC::SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc, UINT startScan,
                           UINT scanCount, const void* bits, const BITMAPINFO* info, UINT) {
  CDibSource dib;
  if (!m_impl->valid || !m_impl->Surface() || !info || width <= 0 || height <= 0 || width > 65535 || height > 65535)
    return 0;
  // bits holds scanCount rows starting at scan startScan; describe it as a picture
  // of its own so that no row outside it is touched.
  BITMAPINFO part = *info;
  const long long fullHeight = std::llabs(static_cast<long long>(info->bmiHeader.biHeight));
  if (startScan >= fullHeight || scanCount == 0) return 0;
  const long long rows = std::min<long long>(scanCount, fullHeight - startScan);
  part.bmiHeader.biHeight = static_cast<LONG>(info->bmiHeader.biHeight < 0 ? -rows : rows);
  part.bmiHeader.biSizeImage = 0;
  if (!dib.Init(&part, bits)) return 0;
  const int first = static_cast<int>(startScan);
  std::vector<std::uint32_t> block(static_cast<size_t>(width) * height, 0);
  std::vector<bool> have(static_cast<size_t>(height), false);
  for (int y = 0; y < height; ++y) {
    // Scan number of this destination row: from the bottom for bottom-up pictures.
    const long long scan = dib.TopDown() ? static_cast<long long>(ySrc) + y
                                         : static_cast<long long>(ySrc) + height - 1 - y;
    const long long local = scan - first;
    if (local < 0 || local >= rows) continue;
    const int rowTop = dib.TopDown() ? static_cast<int>(local) : static_cast<int>(rows - 1 - local);
    const int x0 = std::max(xSrc, 0), x1 = std::min<long long>(static_cast<long long>(xSrc) + width, dib.Width());
    if (x0 >= x1) continue;
    dib.ConvertRow(dib.Row(rowTop), x0, x1 - x0, block.data() + static_cast<size_t>(y) * width + (x0 - xSrc));
    have[static_cast<size_t>(y)] = true;
  }
  int copied = 0;
  for (int y = 0; y < height; ++y) {
    if (!have[static_cast<size_t>(y)]) continue;
    ++copied;
    std::uint32_t* row = block.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) row[x] = gfx_detail::MapToDest(row[x], PixelKind::Xrgb, *m_impl);
    CRect dst(xDest, yDest + y, xDest + width, yDest + y + 1);
    dst.OffsetRect(m_impl->state.viewportOrg);
    const int x0 = std::max(xSrc, 0) - xSrc, x1 = std::min(xSrc + width, dib.Width()) - xSrc;
    dst.left += x0;
    dst.right = dst.left + (x1 - x0);
    gfx_detail::CombineBlock(*m_impl, dst, row + x0, width, SRCCOPY);
  }
  return copied;
}
