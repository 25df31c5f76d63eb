#include "platform/gfx/Rgn.h"

#include <cmath>
#include <vector>

#include "platform/gfx/detail/GfxInternal.h"

using gfx_detail::RegionData;

namespace gfx_detail {

RegionData::~RegionData() {
  if (region) cairo_region_destroy(region);
}

std::shared_ptr<RegionData> MakeRegion(cairo_region_t* adopted) {
  if (!adopted) return nullptr;
  if (cairo_region_status(adopted) != CAIRO_STATUS_SUCCESS) {
    cairo_region_destroy(adopted);
    return nullptr;
  }
  auto data = std::make_shared<RegionData>();
  data->region = adopted;
  return data;
}

std::shared_ptr<RegionData> CopyRegion(const RegionData& source) {
  return MakeRegion(cairo_region_copy(source.region));
}

}  // namespace gfx_detail

namespace {

int Complexity(const cairo_region_t* region) {
  if (cairo_region_is_empty(region)) return NULLREGION;
  return cairo_region_num_rectangles(region) == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// The pixels of a filled path as a region: rendered without antialiasing into a
// one-bit mask over the path's bounds, then read back row by row as runs.
cairo_region_t* RasterisePath(const CRect& bounds, int fillMode, void (*build)(cairo_t*, const void*), const void* arg) {
  cairo_region_t* region = cairo_region_create();
  const int w = bounds.Width(), h = bounds.Height();
  if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > (1LL << 26)) return region;
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(mask);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(cr, fillMode == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  cairo_translate(cr, -bounds.left, -bounds.top);
  build(cr, arg);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(mask);
  const unsigned char* p = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = p + static_cast<long>(stride) * y;
    int x = 0;
    while (x < w) {
      while (x < w && row[x] < 128) ++x;
      const int start = x;
      while (x < w && row[x] >= 128) ++x;
      if (x > start) {
        const cairo_rectangle_int_t r{bounds.left + start, bounds.top + y, x - start, 1};
        cairo_region_union_rectangle(region, &r);
      }
    }
  }
  cairo_surface_destroy(mask);
  return region;
}

struct PolygonArg {
  const POINT* points;
  int count;
};

void BuildPolygon(cairo_t* cr, const void* arg) {
  const auto* a = static_cast<const PolygonArg*>(arg);
  cairo_move_to(cr, a->points[0].x, a->points[0].y);
  for (int i = 1; i < a->count; ++i) cairo_line_to(cr, a->points[i].x, a->points[i].y);
  cairo_close_path(cr);
}

void BuildEllipse(cairo_t* cr, const void* arg) {
  const CRect& r = *static_cast<const CRect*>(arg);
  cairo_save(cr);
  cairo_translate(cr, (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0);
  cairo_scale(cr, r.Width() / 2.0, r.Height() / 2.0);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

}  // namespace

CRgn::CRgn() : CGdiObject(Kind::Region) {}
CRgn::~CRgn() = default;

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  const cairo_rectangle_int_t rect{r.left, r.top, r.Width(), r.Height()};
  m_data = gfx_detail::MakeRegion(cairo_region_create_rectangle(&rect));
  return m_data != nullptr;
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : FALSE;
}

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 0 || count > 100000) return FALSE;
  if (count < 3) {
    m_data = gfx_detail::MakeRegion(cairo_region_create());
    return m_data != nullptr;
  }
  CRect bounds(points[0].x, points[0].y, points[0].x, points[0].y);
  for (int i = 1; i < count; ++i) {
    bounds.left = std::min<LONG>(bounds.left, points[i].x);
    bounds.top = std::min<LONG>(bounds.top, points[i].y);
    bounds.right = std::max<LONG>(bounds.right, points[i].x);
    bounds.bottom = std::max<LONG>(bounds.bottom, points[i].y);
  }
  const PolygonArg arg{points, count};
  m_data = gfx_detail::MakeRegion(RasterisePath(bounds, fillMode, BuildPolygon, &arg));
  return m_data != nullptr;
}

BOOL CRgn::CreateEllipticRgn(int left, int top, int right, int bottom) {
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  m_data = gfx_detail::MakeRegion(RasterisePath(r, WINDING, BuildEllipse, &r));
  return m_data != nullptr;
}

void CRgn::SetRectRgn(int left, int top, int right, int bottom) { CreateRectRgn(left, top, right, bottom); }

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  if (!a || !a->m_data) return RGN_ERROR;
  cairo_region_t* result = cairo_region_copy(a->m_data->region);
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  if (mode != RGN_COPY) {
    if (!b || !b->m_data) {
      cairo_region_destroy(result);
      return RGN_ERROR;
    }
    switch (mode) {
      case RGN_AND: status = cairo_region_intersect(result, b->m_data->region); break;
      case RGN_OR: status = cairo_region_union(result, b->m_data->region); break;
      case RGN_XOR: status = cairo_region_xor(result, b->m_data->region); break;
      case RGN_DIFF: status = cairo_region_subtract(result, b->m_data->region); break;
      default: status = CAIRO_STATUS_INVALID_STATUS; break;
    }
  }
  if (status != CAIRO_STATUS_SUCCESS) {
    cairo_region_destroy(result);
    return RGN_ERROR;
  }
  m_data = gfx_detail::MakeRegion(result);
  return m_data ? Complexity(m_data->region) : RGN_ERROR;
}

int CRgn::CopyRgn(const CRgn* source) { return CombineRgn(source, nullptr, RGN_COPY); }

int CRgn::OffsetRgn(int dx, int dy) {
  if (!m_data) return RGN_ERROR;
  // Regions may be shared with a device context's saved state: change a copy.
  m_data = gfx_detail::CopyRegion(*m_data);
  if (!m_data) return RGN_ERROR;
  cairo_region_translate(m_data->region, dx, dy);
  return Complexity(m_data->region);
}

BOOL CRgn::PtInRegion(int x, int y) const {
  return m_data && cairo_region_contains_point(m_data->region, x, y);
}

BOOL CRgn::RectInRegion(const RECT* rect) const {
  if (!m_data || !rect) return FALSE;
  CRect r(rect);
  r.NormalizeRect();
  const cairo_rectangle_int_t cr{r.left, r.top, r.Width(), r.Height()};
  return cairo_region_contains_rectangle(m_data->region, &cr) != CAIRO_REGION_OVERLAP_OUT;
}

BOOL CRgn::EqualRgn(const CRgn* other) const {
  return m_data && other && other->m_data && cairo_region_equal(m_data->region, other->m_data->region);
}

int CRgn::GetRgnBox(RECT* box) const {
  if (!m_data || !box) return RGN_ERROR;
  cairo_rectangle_int_t e;
  cairo_region_get_extents(m_data->region, &e);
  *box = RECT{e.x, e.y, e.x + e.width, e.y + e.height};
  return Complexity(m_data->region);
}

int CRgn::GetRectCount() const { return m_data ? cairo_region_num_rectangles(m_data->region) : 0; }

BOOL CRgn::GetRect(int index, RECT* out) const {
  if (!out || index < 0 || index >= GetRectCount()) return FALSE;
  cairo_rectangle_int_t e;
  cairo_region_get_rectangle(m_data->region, index, &e);
  *out = RECT{e.x, e.y, e.x + e.width, e.y + e.height};
  return TRUE;
}

BOOL CRgn::DeleteObject() {
  const BOOL was = m_data != nullptr;
  m_data.reset();
  return was;
}
