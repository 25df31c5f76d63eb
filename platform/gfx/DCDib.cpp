// Device context: painting device-independent pictures (StretchDIBits,
// SetDIBitsToDevice). This is on the replay path: a 1:1 copy into a 32-bit
// surface converts rows straight into the destination; scaled copies convert the
// source part once into a 32-bit buffer and let Cairo scale it (nearest pixel or
// bilinear with padded edges).
#include <algorithm>
#include <cmath>
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
  double srcW = 0, srcH = 0;      // size of the source part that dst shows

  // The source point (in the part) that device point (x, y) samples.
  void Matrix(cairo_matrix_t& out) const {
    const double xx = flipX ? -scaleX : scaleX, yy = flipY ? -scaleY : scaleY;
    const double x0 = flipX ? srcW + dst.left * scaleX : -dst.left * scaleX;
    const double y0 = flipY ? srcH + dst.top * scaleY : -dst.top * scaleY;
    cairo_matrix_init(&out, xx, 0, 0, yy, x0, y0);
  }
};

// The source rectangle (in the part) that device rectangle e needs, with a
// margin for the smooth filter's neighbours.
CRect SourceNeeded(const Mapping& m, const cairo_rectangle_int_t& e) {
  cairo_matrix_t matrix;
  m.Matrix(matrix);
  double x1 = e.x, y1 = e.y, x2 = e.x + e.width, y2 = e.y + e.height;
  cairo_matrix_transform_point(&matrix, &x1, &y1);
  cairo_matrix_transform_point(&matrix, &x2, &y2);
  const int w = static_cast<int>(m.srcW), h = static_cast<int>(m.srcH);
  return CRect(std::clamp(static_cast<int>(std::floor(std::min(x1, x2))) - 2, 0, w),
               std::clamp(static_cast<int>(std::floor(std::min(y1, y2))) - 2, 0, h),
               std::clamp(static_cast<int>(std::ceil(std::max(x1, x2))) + 2, 0, w),
               std::clamp(static_cast<int>(std::ceil(std::max(y1, y2))) + 2, 0, h));
}

// Paints the scaled source surface over the destination rectangle into target
// (whose origin is at device point origin), clipped to clip (device) rectangles.
// source holds the part of the source from sourceAt on.
void PaintScaled(cairo_surface_t* target, const CPoint& origin, cairo_surface_t* source, const CPoint& sourceAt,
                 const Mapping& m, int filter, cairo_region_t* clip) {
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
  cairo_matrix_t matrix;
  m.Matrix(matrix);
  matrix.x0 -= sourceAt.x;
  matrix.y0 -= sourceAt.y;
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

namespace {

// 1:1: rows of the part inside the picture go straight to the destination.
void PaintOneToOne(DCImpl& impl, const CDibSource& dib, const CRect& part, const CRect& dst, DWORD rop) {
  CRect inside;
  if (!inside.IntersectRect(part, CRect(0, 0, dib.Width(), dib.Height()))) return;
  CRect to = dst;
  to.OffsetRect(inside.left - part.left, inside.top - part.top);
  to.right = to.left + inside.Width();
  to.bottom = to.top + inside.Height();
  if (rop == SRCCOPY && impl.Kind() == PixelKind::Xrgb) CopyDirect(impl, dib, to, inside.left, inside.top);
  else CopyBlock(impl, dib, to, inside.left, inside.top, rop);
}

// Scaled: the part inside the picture is converted once and scaled by Cairo,
// straight into a 32-bit destination or through a block combined with rop.
void PaintStretched(DCImpl& impl, const CDibSource& dib, const CRect& part, Mapping m, DWORD rop) {
  CRect inside;
  if (!inside.IntersectRect(part, CRect(0, 0, dib.Width(), dib.Height()))) return;
  m.scaleX = static_cast<double>(inside.Width()) / m.dst.Width();
  m.scaleY = static_cast<double>(inside.Height()) / m.dst.Height();
  m.srcW = inside.Width();
  m.srcH = inside.Height();
  cairo_region_t* visible = impl.VisibleRegion();
  const cairo_rectangle_int_t d{m.dst.left, m.dst.top, m.dst.Width(), m.dst.Height()};
  cairo_region_intersect_rectangle(visible, &d);
  cairo_rectangle_int_t e;
  cairo_region_get_extents(visible, &e);
  // Only the source pixels the visible part samples are converted (painting in
  // bands under a clip converts each band's rows once).
  CRect needed = SourceNeeded(m, e);
  if (cairo_region_is_empty(visible) || needed.IsRectEmpty()) {
    cairo_region_destroy(visible);
    return;
  }
  const CPoint sourceAt = needed.TopLeft();
  needed.OffsetRect(inside.TopLeft());
  thread_local std::vector<std::uint32_t> buffer;
  cairo_surface_t* source = SourceSurface(dib, needed, buffer);
  if (rop == SRCCOPY && impl.Kind() == PixelKind::Xrgb) {
    PaintScaled(impl.Surface(), CPoint(0, 0), source, sourceAt, m, impl.state.stretchMode, visible);
  } else {
    std::vector<std::uint32_t> block(static_cast<size_t>(e.width) * e.height);
    cairo_surface_t* tmp = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(block.data()),
                                                               CAIRO_FORMAT_RGB24, e.width, e.height, e.width * 4);
    PaintScaled(tmp, CPoint(e.x, e.y), source, sourceAt, m, impl.state.stretchMode, visible);
    cairo_surface_flush(tmp);
    cairo_surface_destroy(tmp);
    for (auto& v : block) v = gfx_detail::MapToDest(v & 0xFFFFFF, PixelKind::Xrgb, impl);
    gfx_detail::CombineBlock(impl, CRect(e.x, e.y, e.x + e.width, e.y + e.height), block.data(), e.width, rop);
  }
  cairo_surface_destroy(source);
  cairo_region_destroy(visible);
}

bool Sane(int v) { return v > -(1 << 28) && v < (1 << 28); }

}  // namespace

int CDC::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                       int srcHeight, const void* bits, const BITMAPINFO* info, UINT, DWORD rop) {
  CDibSource dib;
  if (!m_impl->valid || !m_impl->Surface() || !dib.Init(info, bits)) return 0;
  if (destWidth == 0 || destHeight == 0 || srcWidth == 0 || srcHeight == 0 || std::abs(destWidth) > 65535 ||
      std::abs(destHeight) > 65535 || std::abs(srcWidth) > 65535 || std::abs(srcHeight) > 65535 || !Sane(xDest) ||
      !Sane(yDest) || !Sane(xSrc) || !Sane(ySrc))
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
  if (destWidth == srcWidth && destHeight == srcHeight && !m.flipX && !m.flipY)
    PaintOneToOne(*m_impl, dib, part, m.dst, rop);
  else
    PaintStretched(*m_impl, dib, part, m, rop);
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
