// Translucent fills: a colour laid over the pixels already drawn.
#include <cairo.h>

#include "platform/gfx/DC.h"
#include "platform/gfx/detail/GfxInternal.h"

void CDC::BlendSolidRect(const RECT* rect, COLORREF colour, BYTE alpha) {
  if (!rect || !m_impl->valid || alpha == 0) return;
  const CRect r(rect);
  if (r.IsRectEmpty()) return;
  if (alpha == 255 || m_impl->Kind() == gfx_detail::PixelKind::Mono) {
    if (alpha >= 128) FillSolidRect(&r, colour);
    return;
  }
  cairo_t* cr = m_impl->Begin();
  if (!cr) return;
  cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_rgba(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0,
                        alpha / 255.0);
  cairo_fill(cr);
  cairo_destroy(cr);
}
