// Device context: lines, shapes, fills and edges.
//
// Geometry follows the desktop rules the drawing code expects: a filled shape
// covers the pixels whose centres lie inside it, one-pixel lines are stepped
// pixel by pixel and leave out their end point, wider pens are centred on the
// pixel centres of the outline, and nothing is antialiased.
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/detail/GfxInternal.h"

using gfx_detail::DCImpl;
using gfx_detail::PixelKind;

namespace {

// Result of a binary raster operation on pen value p and destination d.
std::uint32_t ApplyRop2(int rop2, std::uint32_t p, std::uint32_t d) {
  const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 4; ++i) {
    if (!((table >> i) & 1)) continue;
    result |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
  }
  return result & 0xFFFFFF;
}

// The pen value in the destination's terms: monochrome targets see black or white.
std::uint32_t PenValue(PixelKind kind, COLORREF c) {
  if (kind == PixelKind::Mono) return gfx_detail::IsPaper(c) ? 0xFFFFFF : 0;
  return gfx_detail::ToXrgb(c);
}

// Raster operations that are plain copies of some colour, and that colour.
bool IsCopy(int rop2, COLORREF& colour) {
  switch (rop2) {
    case R2_COPYPEN: return true;
    case R2_BLACK: colour = 0; return true;
    case R2_WHITE: colour = 0xFFFFFF; return true;
    case R2_NOTCOPYPEN: colour = ~colour & 0xFFFFFF; return true;
    default: return false;
  }
}

// Applies the current raster operation with colour to every pixel covered by
// a one-byte mask (device coordinates, origin at (mx, my)).
void ApplyMask(DCImpl& impl, cairo_surface_t* mask, int mx, int my, COLORREF colour) {
  cairo_surface_t* s = impl.Surface();
  const PixelKind kind = impl.Kind();
  const std::uint32_t pen = PenValue(kind, colour);
  cairo_surface_flush(mask);
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  const int w = cairo_image_surface_get_width(mask), h = cairo_image_surface_get_height(mask);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (data[static_cast<long>(y) * stride + x] < 128) continue;
      const std::uint32_t d = gfx_detail::ReadPixel(s, kind, mx + x, my + y);
      gfx_detail::WritePixel(s, kind, mx + x, my + y, ApplyRop2(impl.state.rop2, pen, d));
    }
  }
  cairo_surface_mark_dirty(s);
}

using PathBuilder = std::function<void(cairo_t*)>;

void SetStrokeStyle(cairo_t* cr, int width) {
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

// For raster operations other than copies: the path in cr (built, clipped) is
// rendered as a mask over its device bounds, then combined pixel by pixel.
void PaintPathThroughMask(DCImpl& impl, cairo_t* cr, bool stroke, COLORREF colour, int width) {
  double x1, y1, x2, y2;
  stroke ? cairo_stroke_extents(cr, &x1, &y1, &x2, &y2) : cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
  cairo_user_to_device(cr, &x1, &y1);
  cairo_user_to_device(cr, &x2, &y2);
  CRect box(static_cast<int>(std::floor(x1)), static_cast<int>(std::floor(y1)), static_cast<int>(std::ceil(x2)),
            static_cast<int>(std::ceil(y2)));
  if (!box.IntersectRect(box, CRect(0, 0, impl.Width(), impl.Height()))) return;
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, box.Width(), box.Height());
  cairo_t* mc = cairo_create(mask);
  cairo_set_antialias(mc, CAIRO_ANTIALIAS_NONE);
  cairo_path_t* path = cairo_copy_path(cr);  // in logical coordinates
  cairo_translate(mc, -box.left + impl.state.viewportOrg.x, -box.top + impl.state.viewportOrg.y);
  cairo_append_path(mc, path);
  cairo_path_destroy(path);
  cairo_set_fill_rule(mc, cairo_get_fill_rule(cr));
  SetStrokeStyle(mc, width);
  stroke ? cairo_stroke(mc) : cairo_fill(mc);
  cairo_destroy(mc);
  // Respect the clip: drop mask pixels outside the visible region.
  cairo_region_t* visible = impl.VisibleRegion();
  cairo_surface_flush(mask);
  unsigned char* m = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  for (int y = 0; y < box.Height(); ++y)
    for (int x = 0; x < box.Width(); ++x)
      if (!cairo_region_contains_point(visible, box.left + x, box.top + y)) m[static_cast<long>(y) * stride + x] = 0;
  cairo_surface_mark_dirty(mask);
  cairo_region_destroy(visible);
  ApplyMask(impl, mask, box.left, box.top, colour);
  cairo_surface_destroy(mask);
}

// Fills or strokes a path with colour under the current raster operation.
void PaintPath(DCImpl& impl, const PathBuilder& build, bool stroke, COLORREF colour, int width) {
  if (impl.state.rop2 == R2_NOP) return;
  cairo_t* cr = impl.Begin();
  if (!cr) return;
  cairo_set_fill_rule(cr, impl.state.polyFillMode == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  SetStrokeStyle(cr, width);
  build(cr);
  if (IsCopy(impl.state.rop2, colour)) {
    gfx_detail::SetSourceColour(cr, impl.Kind(), colour);
    stroke ? cairo_stroke(cr) : cairo_fill(cr);
  } else {
    PaintPathThroughMask(impl, cr, stroke, colour, width);
  }
  cairo_destroy(cr);
}

// Plots single pixels (logical coordinates) with colour under the raster operation.
void PlotPixels(DCImpl& impl, const std::vector<POINT>& points, COLORREF colour) {
  cairo_surface_t* s = impl.Surface();
  if (!s || points.empty() || impl.state.rop2 == R2_NOP) return;
  const PixelKind kind = impl.Kind();
  cairo_region_t* visible = impl.VisibleRegion();
  cairo_surface_flush(s);
  const std::uint32_t pen = PenValue(kind, colour);
  for (const POINT& p : points) {
    const int x = p.x + impl.state.viewportOrg.x, y = p.y + impl.state.viewportOrg.y;
    if (!cairo_region_contains_point(visible, x, y)) continue;
    const std::uint32_t d = gfx_detail::ReadPixel(s, kind, x, y);
    gfx_detail::WritePixel(s, kind, x, y, ApplyRop2(impl.state.rop2, pen, d));
  }
  cairo_surface_mark_dirty(s);
  cairo_region_destroy(visible);
}

// Longest one-pixel line stepped pixel by pixel.
constexpr long kMaxSteppedLine = 8192;

// The pixels of a one-pixel line from a up to, not including, b.
void StepLine(POINT a, POINT b, std::vector<POINT>& out) {
  long dx = std::labs(static_cast<long>(b.x) - a.x), dy = -std::labs(static_cast<long>(b.y) - a.y);
  if (dx > kMaxSteppedLine || -dy > kMaxSteppedLine) return;
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  long err = dx + dy;
  int x = a.x, y = a.y;
  while (x != b.x || y != b.y) {
    out.push_back(POINT{x, y});
    const long e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

bool PenVisible(const DCImpl& impl) { return impl.state.penStyle != PS_NULL; }
bool BrushVisible(const DCImpl& impl) { return impl.state.brushStyle != BS_NULL; }
double PenOffset(int width) { return (width & 1) ? 0.5 : 0.0; }

// Draws the pen along a chain of points (closed: back to the first).
void StrokeChain(DCImpl& impl, const POINT* points, int count, bool closed) {
  if (!PenVisible(impl) || count < 2) return;
  const int width = impl.state.penWidth;
  // Very long thin lines (far outside any surface) are left to Cairo's clipping
  // rather than stepped pixel by pixel.
  bool longLine = false;
  for (int i = 0; i + 1 < count && !longLine; ++i)
    longLine = std::labs(static_cast<long>(points[i + 1].x) - points[i].x) > kMaxSteppedLine ||
               std::labs(static_cast<long>(points[i + 1].y) - points[i].y) > kMaxSteppedLine;
  if (width <= 1 && !longLine) {
    std::vector<POINT> pixels;
    for (int i = 0; i + 1 < count; ++i) StepLine(points[i], points[i + 1], pixels);
    if (closed) StepLine(points[count - 1], points[0], pixels);
    else pixels.push_back(points[count - 1]);  // a chain shows its last point
    // A closed chain drawn with an xor-like operation must not touch a pixel twice.
    PlotPixels(impl, pixels, impl.state.penColour);
    return;
  }
  const double o = PenOffset(width);
  PaintPath(impl, [&](cairo_t* cr) {
    cairo_move_to(cr, points[0].x + o, points[0].y + o);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x + o, points[i].y + o);
    if (closed) cairo_close_path(cr);
  }, true, impl.state.penColour, width);
}

}  // namespace

CPoint CDC::MoveTo(int x, int y) {
  const CPoint old = m_impl->state.position;
  m_impl->state.position = CPoint(x, y);
  return old;
}

BOOL CDC::MoveToEx(int x, int y, POINT* previous) {
  const CPoint old = MoveTo(x, y);
  if (previous) *previous = old;
  return m_impl->valid;
}

CPoint CDC::GetCurrentPosition() const { return m_impl->state.position; }

BOOL CDC::LineTo(int x, int y) {
  if (!m_impl->valid) return FALSE;
  const POINT from = m_impl->state.position, to{x, y};
  m_impl->state.position = CPoint(x, y);
  if (!PenVisible(*m_impl)) return TRUE;
  const POINT pts[2] = {from, to};
  if (m_impl->state.penWidth <= 1 && std::labs(static_cast<long>(x) - from.x) <= kMaxSteppedLine &&
      std::labs(static_cast<long>(y) - from.y) <= kMaxSteppedLine) {
    std::vector<POINT> pixels;
    StepLine(from, to, pixels);
    PlotPixels(*m_impl, pixels, m_impl->state.penColour);
    return TRUE;
  }
  StrokeChain(*m_impl, pts, 2, false);
  return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
  if (!m_impl->valid || !points || count < 2) return FALSE;
  StrokeChain(*m_impl, points, count, false);
  return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count) {
  if (!m_impl->valid || !points || count < 2) return FALSE;
  if (BrushVisible(*m_impl) && count >= 3) {
    PaintPath(*m_impl, [&](cairo_t* cr) {
      cairo_move_to(cr, points[0].x, points[0].y);
      for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
      cairo_close_path(cr);
    }, false, m_impl->state.brushColour, 1);
  }
  StrokeChain(*m_impl, points, count, true);
  return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  if (!m_impl->valid) return FALSE;
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  const bool pen = PenVisible(*m_impl);
  if (BrushVisible(*m_impl)) {
    // Without a pen the filled area is one pixel smaller each way.
    const CRect fill = pen ? r : CRect(r.left, r.top, r.right - 1, r.bottom - 1);
    if (!fill.IsRectEmpty()) {
      PaintPath(*m_impl, [&](cairo_t* cr) { cairo_rectangle(cr, fill.left, fill.top, fill.Width(), fill.Height()); },
                false, m_impl->state.brushColour, 1);
    }
  }
  if (pen && r.Width() > 0 && r.Height() > 0) {
    const POINT pts[4] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
    if (r.Width() == 1 || r.Height() == 1) {
      const POINT line[2] = {pts[0], pts[2]};
      std::vector<POINT> pixels;
      StepLine(line[0], line[1], pixels);
      pixels.push_back(line[1]);
      if (m_impl->state.penWidth <= 1) PlotPixels(*m_impl, pixels, m_impl->state.penColour);
      else StrokeChain(*m_impl, line, 2, false);
    } else {
      StrokeChain(*m_impl, pts, 4, true);
    }
  }
  return TRUE;
}

BOOL CDC::Rectangle(const RECT* rect) { return rect ? Rectangle(rect->left, rect->top, rect->right, rect->bottom) : FALSE; }

namespace {

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
  if (rx <= 0 || ry <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
}

}  // namespace

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
  if (!m_impl->valid) return FALSE;
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  if (r.IsRectEmpty()) return TRUE;
  const bool pen = PenVisible(*m_impl);
  if (BrushVisible(*m_impl)) {
    const CRect f = pen ? r : CRect(r.left, r.top, r.right - 1, r.bottom - 1);
    PaintPath(*m_impl, [&](cairo_t* cr) {
      EllipsePath(cr, (f.left + f.right) / 2.0, (f.top + f.bottom) / 2.0, f.Width() / 2.0, f.Height() / 2.0);
    }, false, m_impl->state.brushColour, 1);
  }
  if (pen) {
    // The outline runs through the centres of the bounding pixels.
    const int w = m_impl->state.penWidth;
    PaintPath(*m_impl, [&](cairo_t* cr) {
      EllipsePath(cr, (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, (r.Width() - 1) / 2.0,
                  (r.Height() - 1) / 2.0);
    }, true, m_impl->state.penColour, w);
  }
  return TRUE;
}

BOOL CDC::Ellipse(const RECT* rect) { return rect ? Ellipse(rect->left, rect->top, rect->right, rect->bottom) : FALSE; }

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int width, int height) {
  if (!m_impl->valid) return FALSE;
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  if (r.IsRectEmpty()) return TRUE;
  const double rx = std::min(std::abs(width), r.Width()) / 2.0, ry = std::min(std::abs(height), r.Height()) / 2.0;
  auto build = [&](cairo_t* cr, double inset) {
    const double l = r.left + inset, t = r.top + inset, rr = r.right - inset, b = r.bottom - inset;
    const double ax = std::max(rx - inset, 0.01), ay = std::max(ry - inset, 0.01);
    cairo_new_sub_path(cr);
    for (int corner = 0; corner < 4; ++corner) {
      const double cx = corner == 0 || corner == 3 ? rr - ax : l + ax;
      const double cy = corner < 2 ? b - ay : t + ay;
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, ax, ay);
      cairo_arc(cr, 0, 0, 1, corner * M_PI / 2, (corner + 1) * M_PI / 2);
      cairo_restore(cr);
    }
    cairo_close_path(cr);
  };
  if (BrushVisible(*m_impl))
    PaintPath(*m_impl, [&](cairo_t* cr) { build(cr, 0); }, false, m_impl->state.brushColour, 1);
  if (PenVisible(*m_impl))
    PaintPath(*m_impl, [&](cairo_t* cr) { build(cr, 0.5); }, true, m_impl->state.penColour, m_impl->state.penWidth);
  return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
  cairo_surface_t* s = m_impl->Surface();
  if (!s || !PtVisible(x, y)) return static_cast<COLORREF>(-1);
  const int dx = x + m_impl->state.viewportOrg.x, dy = y + m_impl->state.viewportOrg.y;
  cairo_surface_flush(s);
  gfx_detail::WritePixel(s, m_impl->Kind(), dx, dy, PenValue(m_impl->Kind(), colour));
  cairo_surface_mark_dirty(s);
  return gfx_detail::FromXrgb(gfx_detail::ReadPixel(s, m_impl->Kind(), dx, dy));
}

COLORREF CDC::GetPixel(int x, int y) const {
  cairo_surface_t* s = m_impl->Surface();
  const int dx = x + m_impl->state.viewportOrg.x, dy = y + m_impl->state.viewportOrg.y;
  if (!s || dx < 0 || dy < 0 || dx >= m_impl->Width() || dy >= m_impl->Height()) return static_cast<COLORREF>(-1);
  cairo_surface_flush(s);
  return gfx_detail::FromXrgb(gfx_detail::ReadPixel(s, m_impl->Kind(), dx, dy));
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !brush->IsCreated() || brush->GetStyle() == BS_NULL) return;
  FillSolidRect(rect, brush->GetColor());
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
  if (!rect || !m_impl->valid) return;
  const CRect r(rect);
  if (r.IsRectEmpty()) return;
  cairo_t* cr = m_impl->Begin();
  if (!cr) return;
  cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
  gfx_detail::SetSourceColour(cr, m_impl->Kind(), colour);
  cairo_fill(cr);
  cairo_destroy(cr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
  CRect r(x, y, x + cx, y + cy);
  r.NormalizeRect();
  FillSolidRect(&r, colour);
}

void CDC::FrameRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !brush->IsCreated() || brush->GetStyle() == BS_NULL) return;
  const CRect r(rect);
  if (r.IsRectEmpty()) return;
  const COLORREF c = brush->GetColor();
  FillSolidRect(r.left, r.top, r.Width(), 1, c);
  FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, c);
  FillSolidRect(r.left, r.top, 1, r.Height(), c);
  FillSolidRect(r.right - 1, r.top, 1, r.Height(), c);
}

void CDC::InvertRect(const RECT* rect) {
  if (rect) PatBlt(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, DSTINVERT);
}

BOOL CDC::FillRgn(CRgn* rgn, CBrush* brush) {
  if (!rgn || !rgn->IsCreated() || !brush || !brush->IsCreated() || !m_impl->valid) return FALSE;
  if (brush->GetStyle() == BS_NULL) return TRUE;
  cairo_t* cr = m_impl->Begin();
  if (!cr) return FALSE;
  RECT r;
  for (int i = 0; rgn->GetRect(i, &r); ++i) cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
  gfx_detail::SetSourceColour(cr, m_impl->Kind(), brush->GetColor());
  cairo_fill(cr);
  cairo_destroy(cr);
  return TRUE;
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
  if (rect) Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, cx - 1, 1, topLeft);
  FillSolidRect(x, y, 1, cy - 1, topLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

namespace {

// Colours of one border line: top-left and bottom-right.
void BorderColours(UINT part, COLORREF& tl, COLORREF& br) {
  switch (part) {
    case BDR_RAISEDOUTER: tl = GetSysColor(COLOR_3DLIGHT); br = GetSysColor(COLOR_3DDKSHADOW); break;
    case BDR_RAISEDINNER: tl = GetSysColor(COLOR_BTNHIGHLIGHT); br = GetSysColor(COLOR_BTNSHADOW); break;
    case BDR_SUNKENOUTER: tl = GetSysColor(COLOR_BTNSHADOW); br = GetSysColor(COLOR_BTNHIGHLIGHT); break;
    default: tl = GetSysColor(COLOR_3DDKSHADOW); br = GetSysColor(COLOR_3DLIGHT); break;
  }
}

}  // namespace

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags) {
  if (!rect || !m_impl->valid) return FALSE;
  CRect r(rect);
  const UINT outer = edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER);
  const UINT inner = edge & (BDR_RAISEDINNER | BDR_SUNKENINNER);
  for (UINT part : {outer, inner}) {
    if (part == 0 || r.IsRectEmpty()) continue;
    // A part naming both raised and sunken draws as sunken.
    if (part == (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) part = BDR_SUNKENOUTER;
    if (part == (BDR_RAISEDINNER | BDR_SUNKENINNER)) part = BDR_SUNKENINNER;
    COLORREF tl, br;
    BorderColours(part, tl, br);
    if (flags & BF_TOP) FillSolidRect(r.left, r.top, r.Width(), 1, tl);
    if (flags & BF_LEFT) FillSolidRect(r.left, r.top, 1, r.Height(), tl);
    if (flags & BF_BOTTOM) FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, br);
    if (flags & BF_RIGHT) FillSolidRect(r.right - 1, r.top, 1, r.Height(), br);
    r.DeflateRect((flags & BF_LEFT) ? 1 : 0, (flags & BF_TOP) ? 1 : 0, (flags & BF_RIGHT) ? 1 : 0,
                  (flags & BF_BOTTOM) ? 1 : 0);
  }
  if ((flags & BF_MIDDLE) && !r.IsRectEmpty()) FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}
