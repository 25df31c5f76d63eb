// Device context: creation, attributes, object selection, saved states and clipping.
#include "platform/gfx/DC.h"

#include "platform/gfx/detail/GfxInternal.h"

using gfx_detail::DCImpl;
using gfx_detail::DCState;

namespace gfx_detail {

DCImpl::~DCImpl() {
  if (external) cairo_surface_destroy(external);
}

cairo_surface_t* DCImpl::Surface() const {
  if (external) return external;
  return state.bitmap ? state.bitmap->surface : nullptr;
}

PixelKind DCImpl::Kind() const {
  if (external) return PixelKind::Xrgb;
  return state.bitmap ? state.bitmap->kind : PixelKind::Mono;
}

int DCImpl::Width() const {
  cairo_surface_t* s = Surface();
  return s ? cairo_image_surface_get_width(s) : 0;
}

int DCImpl::Height() const {
  cairo_surface_t* s = Surface();
  return s ? cairo_image_surface_get_height(s) : 0;
}

cairo_region_t* DCImpl::VisibleRegion() const {
  const cairo_rectangle_int_t all{0, 0, Width(), Height()};
  cairo_region_t* region = cairo_region_create_rectangle(&all);
  if (windowArea) cairo_region_intersect(region, windowArea->region);
  if (state.clip) cairo_region_intersect(region, state.clip->region);
  return region;
}

cairo_t* DCImpl::Begin() const {
  cairo_surface_t* s = Surface();
  if (!s) return nullptr;
  cairo_t* cr = cairo_create(s);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  if (state.clip || windowArea) {
    cairo_region_t* visible = VisibleRegion();
    const int n = cairo_region_num_rectangles(visible);
    for (int i = 0; i < n; ++i) {
      cairo_rectangle_int_t r;
      cairo_region_get_rectangle(visible, i, &r);
      cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
    cairo_region_destroy(visible);
    cairo_clip(cr);  // an empty path clips everything away
  }
  cairo_translate(cr, state.viewportOrg.x, state.viewportOrg.y);
  return cr;
}

}  // namespace gfx_detail

namespace {

// The defaults every new context starts with: black pen, white brush, the
// system font, no clip.
void ResetState(DCState& s) {
  s = DCState();
  s.penObject = static_cast<CPen*>(GetStockObject(BLACK_PEN));
  s.brushObject = static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
  s.fontObject = static_cast<CFont*>(GetStockObject(SYSTEM_FONT));
  s.font = s.fontObject->Data();
}

}  // namespace

CDC::CDC() : m_impl(std::make_unique<DCImpl>()) {}
CDC::~CDC() = default;

BOOL CDC::IsValid() const { return m_impl->valid; }

BOOL CDC::CreateCompatibleDC(CDC*) {
  DeleteDC();
  auto bitmap = gfx_detail::MakeBitmap(1, 1, 1);
  if (!bitmap) return FALSE;
  ResetState(m_impl->state);
  m_impl->state.bitmap = std::move(bitmap);
  m_impl->memory = true;
  m_impl->valid = true;
  return TRUE;
}

BOOL CDC::AttachPixels(void* pixels, int width, int height, int pitch, const RECT* area) {
  DeleteDC();
  if (!pixels || width <= 0 || height <= 0 || pitch < width * 4 || pitch % 4 != 0) return FALSE;
  CRect r(0, 0, width, height);
  if (area && !r.IntersectRect(r, *area)) return FALSE;
  unsigned char* origin = static_cast<unsigned char*>(pixels) + static_cast<long>(r.top) * pitch + r.left * 4L;
  cairo_surface_t* s = cairo_image_surface_create_for_data(origin, CAIRO_FORMAT_RGB24, r.Width(), r.Height(), pitch);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return FALSE;
  }
  ResetState(m_impl->state);
  m_impl->external = s;
  m_impl->memory = false;
  m_impl->valid = true;
  return TRUE;
}

void CDC::DetachPixels() {
  if (!m_impl->external) return;
  DeleteDC();
}

BOOL CDC::DeleteDC() {
  const BOOL was = m_impl->valid;
  Flush();
  if (m_impl->external) cairo_surface_destroy(m_impl->external);
  m_impl->external = nullptr;
  m_impl->state = DCState();
  m_impl->saved.clear();
  m_impl->deviceOrg = CPoint(0, 0);
  m_impl->windowArea.reset();
  m_impl->valid = false;
  m_impl->memory = false;
  return was;
}

void CDC::Flush() {
  if (cairo_surface_t* s = m_impl->Surface()) cairo_surface_flush(s);
}

COLORREF CDC::SetTextColor(COLORREF c) {
  const COLORREF old = m_impl->state.textColour;
  m_impl->state.textColour = c & 0xFFFFFF;
  return old;
}
COLORREF CDC::GetTextColor() const { return m_impl->state.textColour; }
COLORREF CDC::SetBkColor(COLORREF c) {
  const COLORREF old = m_impl->state.bkColour;
  m_impl->state.bkColour = c & 0xFFFFFF;
  return old;
}
COLORREF CDC::GetBkColor() const { return m_impl->state.bkColour; }
int CDC::SetBkMode(int mode) {
  if (mode != OPAQUE && mode != TRANSPARENT) return 0;
  const int old = m_impl->state.bkMode;
  m_impl->state.bkMode = mode;
  return old;
}
int CDC::GetBkMode() const { return m_impl->state.bkMode; }
int CDC::SetROP2(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  const int old = m_impl->state.rop2;
  m_impl->state.rop2 = mode;
  return old;
}
int CDC::GetROP2() const { return m_impl->state.rop2; }
int CDC::SetStretchBltMode(int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  const int old = m_impl->state.stretchMode;
  m_impl->state.stretchMode = mode;
  return old;
}
int CDC::GetStretchBltMode() const { return m_impl->state.stretchMode; }
int CDC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  const int old = m_impl->state.polyFillMode;
  m_impl->state.polyFillMode = mode;
  return old;
}
int CDC::GetPolyFillMode() const { return m_impl->state.polyFillMode; }
CPoint CDC::SetBrushOrg(int x, int y) {
  const CPoint old = m_impl->state.brushOrg;
  m_impl->state.brushOrg = CPoint(x, y);
  return old;
}
// The state keeps the surface point logical (0, 0) lands at: the window's
// device origin plus the viewport origin the caller sets.
CPoint CDC::SetViewportOrg(int x, int y) {
  const CPoint old = GetViewportOrg();
  m_impl->state.viewportOrg = m_impl->deviceOrg + CPoint(x, y);
  return old;
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  const CPoint old = GetViewportOrg();
  m_impl->state.viewportOrg.Offset(dx, dy);
  return old;
}
CPoint CDC::GetViewportOrg() const { return m_impl->state.viewportOrg - m_impl->deviceOrg; }

void CDC::SetWindowArea(POINT origin, const CRgn* area) {
  if (!m_impl->valid) return;
  const CPoint logical = GetViewportOrg();
  m_impl->deviceOrg = origin;
  m_impl->state.viewportOrg = m_impl->deviceOrg + logical;
  m_impl->windowArea = area && area->IsCreated() ? gfx_detail::MakeRegion(cairo_region_copy(area->Data()->region))
                                                 : nullptr;
}

int CDC::GetDeviceCaps(int index) const {
  switch (index) {
    case HORZRES: return m_impl->Width();
    case VERTRES: return m_impl->Height();
    case BITSPIXEL: return m_impl->Kind() == gfx_detail::PixelKind::Mono ? 1 : (m_impl->Kind() == gfx_detail::PixelKind::Rgb565 ? 16 : 32);
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
  }
}

CSize CDC::GetSurfaceSize() const { return CSize(m_impl->Width(), m_impl->Height()); }

int CDC::SaveDC() {
  if (!m_impl->valid || m_impl->saved.size() >= 1000) return 0;
  m_impl->saved.push_back(m_impl->state);
  return static_cast<int>(m_impl->saved.size());
}

BOOL CDC::RestoreDC(int saved) {
  const int depth = static_cast<int>(m_impl->saved.size());
  const int level = saved < 0 ? depth + 1 + saved : saved;
  if (level < 1 || level > depth) return FALSE;
  m_impl->state = m_impl->saved[level - 1];
  m_impl->saved.resize(level - 1);
  return TRUE;
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!pen || !pen->IsCreated() || !m_impl->valid) return nullptr;
  DCState& s = m_impl->state;
  CPen* old = s.penObject;
  s.penObject = pen;
  s.penStyle = pen->GetStyle();
  s.penWidth = pen->GetWidth();
  s.penColour = pen->GetColor();
  return old;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!brush || !brush->IsCreated() || !m_impl->valid) return nullptr;
  DCState& s = m_impl->state;
  CBrush* old = s.brushObject;
  s.brushObject = brush;
  s.brushStyle = brush->GetStyle();
  s.brushColour = brush->GetColor();
  return old;
}

CFont* CDC::SelectObject(CFont* font) {
  if (!font || !font->IsCreated() || !m_impl->valid) return nullptr;
  DCState& s = m_impl->state;
  CFont* old = s.fontObject;
  s.fontObject = font;
  s.font = font->Data();
  return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!bitmap || !bitmap->IsCreated() || !m_impl->valid || !m_impl->memory) return nullptr;
  DCState& s = m_impl->state;
  Flush();
  CBitmap* old = s.bitmapObject;
  s.bitmapObject = bitmap;
  s.bitmap = bitmap->Data();
  // A new surface: the clip region of the old one no longer applies.
  s.clip.reset();
  return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (!object) return nullptr;
  switch (object->GetKind()) {
    case CGdiObject::Kind::Pen: return SelectObject(static_cast<CPen*>(object));
    case CGdiObject::Kind::Brush: return SelectObject(static_cast<CBrush*>(object));
    case CGdiObject::Kind::Font: return SelectObject(static_cast<CFont*>(object));
    case CGdiObject::Kind::Bitmap: return SelectObject(static_cast<CBitmap*>(object));
    case CGdiObject::Kind::Region: SelectClipRgn(static_cast<CRgn*>(object)); return nullptr;
  }
  return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) { return SelectObject(GetStockObject(index)); }

CPen* CDC::GetCurrentPen() const { return m_impl->state.penObject; }
CBrush* CDC::GetCurrentBrush() const { return m_impl->state.brushObject; }
CFont* CDC::GetCurrentFont() const { return m_impl->state.fontObject; }
CBitmap* CDC::GetCurrentBitmap() const { return m_impl->state.bitmapObject; }

namespace {

int ClipResult(const DCImpl& impl) {
  cairo_region_t* v = impl.VisibleRegion();
  const int result = cairo_region_is_empty(v) ? NULLREGION
                     : cairo_region_num_rectangles(v) == 1 ? SIMPLEREGION
                                                          : COMPLEXREGION;
  cairo_region_destroy(v);
  return result;
}

// Combines the clip with a device-coordinate region; no clip counts as everything.
int CombineClip(DCImpl& impl, cairo_region_t* other, int mode) {
  if (!impl.valid) return RGN_ERROR;
  auto& clip = impl.state.clip;
  if (mode == RGN_COPY) {
    clip = other ? gfx_detail::MakeRegion(cairo_region_copy(other)) : nullptr;
    return ClipResult(impl);
  }
  if (!other) return RGN_ERROR;
  cairo_region_t* base = clip ? cairo_region_copy(clip->region) : nullptr;
  if (!base) {
    const cairo_rectangle_int_t all{0, 0, impl.Width(), impl.Height()};
    base = cairo_region_create_rectangle(&all);
  }
  switch (mode) {
    case RGN_AND: cairo_region_intersect(base, other); break;
    case RGN_OR: cairo_region_union(base, other); break;
    case RGN_XOR: cairo_region_xor(base, other); break;
    case RGN_DIFF: cairo_region_subtract(base, other); break;
    default: cairo_region_destroy(base); return RGN_ERROR;
  }
  clip = gfx_detail::MakeRegion(base);
  return ClipResult(impl);
}

cairo_region_t* LogicalRect(const DCImpl& impl, int left, int top, int right, int bottom) {
  CRect r(left, top, right, bottom);
  r.NormalizeRect();
  r.OffsetRect(impl.state.viewportOrg);
  const cairo_rectangle_int_t rect{r.left, r.top, r.Width(), r.Height()};
  return cairo_region_create_rectangle(&rect);
}

}  // namespace

int CDC::SelectClipRgn(CRgn* rgn) { return SelectClipRgn(rgn, RGN_COPY); }

// The region is in device coordinates: from the window's client origin.
int CDC::SelectClipRgn(CRgn* rgn, int mode) {
  if (rgn && !rgn->IsCreated()) return RGN_ERROR;
  if (!rgn) return CombineClip(*m_impl, nullptr, mode);
  cairo_region_t* onSurface = cairo_region_copy(rgn->Data()->region);
  cairo_region_translate(onSurface, m_impl->deviceOrg.x, m_impl->deviceOrg.y);
  const int result = CombineClip(*m_impl, onSurface, mode);
  cairo_region_destroy(onSurface);
  return result;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  cairo_region_t* r = LogicalRect(*m_impl, left, top, right, bottom);
  const int result = CombineClip(*m_impl, r, RGN_AND);
  cairo_region_destroy(r);
  return result;
}
int CDC::IntersectClipRect(const RECT* rect) {
  return rect ? IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom) : RGN_ERROR;
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
  cairo_region_t* r = LogicalRect(*m_impl, left, top, right, bottom);
  const int result = CombineClip(*m_impl, r, RGN_DIFF);
  cairo_region_destroy(r);
  return result;
}
int CDC::ExcludeClipRect(const RECT* rect) {
  return rect ? ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom) : RGN_ERROR;
}

int CDC::GetClipBox(RECT* rect) const {
  if (!rect || !m_impl->valid) return RGN_ERROR;
  cairo_region_t* v = m_impl->VisibleRegion();
  cairo_rectangle_int_t e;
  cairo_region_get_extents(v, &e);
  const int result = cairo_region_is_empty(v) ? NULLREGION
                     : cairo_region_num_rectangles(v) == 1 ? SIMPLEREGION
                                                          : COMPLEXREGION;
  cairo_region_destroy(v);
  const CPoint o = m_impl->state.viewportOrg;
  *rect = result == NULLREGION ? RECT{0, 0, 0, 0} : RECT{e.x - o.x, e.y - o.y, e.x + e.width - o.x, e.y + e.height - o.y};
  return result;
}

BOOL CDC::PtVisible(int x, int y) const {
  cairo_region_t* v = m_impl->VisibleRegion();
  const BOOL in = cairo_region_contains_point(v, x + m_impl->state.viewportOrg.x, y + m_impl->state.viewportOrg.y);
  cairo_region_destroy(v);
  return in;
}

BOOL CDC::RectVisible(const RECT* rect) const {
  if (!rect) return FALSE;
  cairo_region_t* v = m_impl->VisibleRegion();
  cairo_region_t* r = LogicalRect(*m_impl, rect->left, rect->top, rect->right, rect->bottom);
  cairo_region_intersect(r, v);
  const BOOL any = !cairo_region_is_empty(r);
  cairo_region_destroy(r);
  cairo_region_destroy(v);
  return any;
}
