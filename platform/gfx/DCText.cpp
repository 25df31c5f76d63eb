// Device context: text output and measuring through Pango.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/DC.h"
#include "platform/gfx/detail/GfxInternal.h"
#include "platform/gfx/detail/TextLayout.h"

using gfx_detail::CTextLayout;
using gfx_detail::DCImpl;
using gfx_detail::FontData;
using gfx_detail::PixelKind;

namespace gfx_detail {

namespace {

void ApplyFontOptions(PangoContext* context, bool crisp) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, crisp ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, crisp ? CAIRO_HINT_STYLE_FULL : CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
}

}  // namespace

PangoContext* NewMeasuringContext(bool crisp) {
  PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  ApplyFontOptions(context, crisp);
  return context;
}

std::string ToUtf8(const char* text, size_t length) {
  if (!text) return std::string();
  if (g_utf8_validate(text, static_cast<gssize>(length), nullptr)) return std::string(text, length);
  std::string out;
  out.reserve(length * 2);
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

CTextLayout::CTextLayout(const FontData& font, bool crisp, cairo_t* cr, const std::string& utf8) {
  if (cr) {
    m_layout = pango_cairo_create_layout(cr);
    ApplyFontOptions(pango_layout_get_context(m_layout), crisp);
    pango_layout_context_changed(m_layout);
  } else {
    m_context = NewMeasuringContext(crisp);
    m_layout = pango_layout_new(m_context);
  }
  pango_layout_set_font_description(m_layout, font.Description());
  pango_layout_set_text(m_layout, utf8.c_str(), static_cast<int>(utf8.size()));
  m_attributes = pango_attr_list_new();
  if (font.logFont.lfUnderline) pango_attr_list_insert(m_attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.logFont.lfStrikeOut) pango_attr_list_insert(m_attributes, pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(m_layout, m_attributes);
}

CTextLayout::~CTextLayout() {
  if (m_attributes) pango_attr_list_unref(m_attributes);
  if (m_layout) g_object_unref(m_layout);
  if (m_context) g_object_unref(m_context);
}

CSize CTextLayout::Size() const {
  int w = 0, h = 0;
  pango_layout_get_pixel_size(m_layout, &w, &h);
  return CSize(w, h);
}

CRect CTextLayout::Extents() const {
  PangoRectangle logical;
  pango_layout_get_pixel_extents(m_layout, nullptr, &logical);
  return CRect(logical.x, logical.y, logical.x + logical.width, logical.y + logical.height);
}

void CTextLayout::UnderlineAt(int index) {
  PangoAttribute* a = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
  const char* text = pango_layout_get_text(m_layout);
  const char* next = g_utf8_next_char(text + index);
  a->start_index = static_cast<guint>(index);
  a->end_index = static_cast<guint>(next - text);
  pango_attr_list_insert(m_attributes, a);
  pango_layout_set_attributes(m_layout, m_attributes);
}

}  // namespace gfx_detail

namespace {

const FontData& CurrentFont(const DCImpl& impl) {
  return impl.state.font ? *impl.state.font : *gfx_detail::DefaultFont();
}

bool Crisp(const DCImpl& impl) {
  const FontData& f = CurrentFont(impl);
  return impl.Kind() == PixelKind::Mono || f.logFont.lfQuality == NONANTIALIASED_QUALITY;
}

// The symbol face of caption buttons has no installed equivalent: its few
// glyphs are drawn as figures in a square cell of the font's height.
int SymbolCell(const FontData& f) {
  const long h = f.logFont.lfHeight < 0 ? -f.logFont.lfHeight : f.logFont.lfHeight;
  return static_cast<int>(std::clamp<long>(h == 0 ? 13 : h, 1, 2000));
}

void DrawSymbols(DCImpl& impl, const std::string& text, int x, int y) {
  const int cell = SymbolCell(CurrentFont(impl));
  cairo_t* cr = impl.Begin();
  if (!cr) return;
  gfx_detail::SetSourceColour(cr, impl.Kind(), impl.state.textColour);
  const double line = std::max(1, cell / 8);
  cairo_set_line_width(cr, line);
  for (size_t i = 0; i < text.size(); ++i) {
    const double l = x + static_cast<double>(i) * cell, inset = cell * 0.25;
    const double a = l + inset, b = l + cell - inset, t = y + inset, u = y + cell - inset;
    switch (text[i]) {
      case 'r':  // close: a cross
        cairo_move_to(cr, a, t);
        cairo_line_to(cr, b, u);
        cairo_move_to(cr, b, t);
        cairo_line_to(cr, a, u);
        cairo_stroke(cr);
        break;
      case '0':  // minimise: a bar at the bottom
        cairo_rectangle(cr, a, u - line * 2, b - a, line * 2);
        cairo_fill(cr);
        break;
      case '1':  // maximise: a frame with a thick top
        cairo_rectangle(cr, a, t, b - a, u - t);
        cairo_stroke(cr);
        cairo_rectangle(cr, a, t, b - a, line * 2);
        cairo_fill(cr);
        break;
      default: break;
    }
  }
  cairo_destroy(cr);
}

void FillBackground(DCImpl& impl, const CRect& r) {
  if (impl.state.bkMode != OPAQUE || r.IsRectEmpty()) return;
  cairo_t* cr = impl.Begin();
  if (!cr) return;
  cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
  gfx_detail::SetSourceColour(cr, impl.Kind(), impl.state.bkColour);
  cairo_fill(cr);
  cairo_destroy(cr);
}

}  // namespace

BOOL CDC::TextOut(int x, int y, const char* text, int length) {
  if (!m_impl->valid || !text || length < 0) return FALSE;
  const std::string utf8 = gfx_detail::ToUtf8(text, static_cast<size_t>(length));
  const FontData& font = CurrentFont(*m_impl);
  if (font.symbolFace) {
    const int cell = SymbolCell(font);
    FillBackground(*m_impl, CRect(x, y, x + cell * static_cast<int>(utf8.size()), y + cell));
    DrawSymbols(*m_impl, utf8, x, y);
    return TRUE;
  }
  cairo_t* cr = m_impl->Begin();
  if (!cr) return FALSE;
  {
    CTextLayout layout(font, Crisp(*m_impl), cr, utf8);
    const CSize size = layout.Size();
    const double angle = -font.logFont.lfEscapement / 10.0 * M_PI / 180.0;
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    if (m_impl->state.bkMode == OPAQUE) {
      cairo_rectangle(cr, 0, 0, size.cx, size.cy);
      gfx_detail::SetSourceColour(cr, m_impl->Kind(), m_impl->state.bkColour);
      cairo_fill(cr);
    }
    gfx_detail::SetSourceColour(cr, m_impl->Kind(), m_impl->state.textColour);
    cairo_move_to(cr, 0, 0);
    pango_cairo_update_layout(cr, layout.Get());
    pango_cairo_show_layout(cr, layout.Get());
  }
  cairo_destroy(cr);
  return TRUE;
}

CSize CDC::GetTextExtent(const char* text, int length) const {
  SIZE size{0, 0};
  GetTextExtentPoint32(text, length, &size);
  return CSize(size);
}

BOOL CDC::GetTextExtentPoint32(const char* text, int length, SIZE* size) const {
  if (!size || (!text && length > 0) || length < 0) return FALSE;
  const std::string utf8 = gfx_detail::ToUtf8(text ? text : "", static_cast<size_t>(length));
  const FontData& font = CurrentFont(*m_impl);
  if (font.symbolFace) {
    const int cell = SymbolCell(font);
    *size = SIZE{cell * static_cast<int>(utf8.size()), cell};
    return TRUE;
  }
  CTextLayout layout(font, Crisp(*m_impl), nullptr, utf8);
  const CSize s = layout.Size();
  // A rotated font measures along its baseline, as unrotated.
  *size = SIZE{utf8.empty() ? 0 : s.cx, s.cy};
  return TRUE;
}

BOOL CDC::GetTextMetrics(TEXTMETRICA* metrics) const {
  if (!metrics) return FALSE;
  const FontData& font = CurrentFont(*m_impl);
  PangoContext* context = gfx_detail::NewMeasuringContext(Crisp(*m_impl));
  PangoFontMetrics* m = pango_context_get_metrics(context, font.Description(), nullptr);
  const int ascent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(m));
  const int descent = PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(m));
  const int average = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(m));
  const int digit = PANGO_PIXELS(pango_font_metrics_get_approximate_digit_width(m));
  pango_font_metrics_unref(m);
  g_object_unref(context);
  const int size = static_cast<int>(pango_font_description_get_size(font.Description()) / PANGO_SCALE);
  *metrics = TEXTMETRICA{};
  metrics->tmAscent = ascent;
  metrics->tmDescent = descent;
  metrics->tmHeight = ascent + descent;
  metrics->tmInternalLeading = std::max(0, ascent + descent - size);
  metrics->tmAveCharWidth = average;
  metrics->tmMaxCharWidth = std::max(average, digit) * 2;
  metrics->tmWeight = font.logFont.lfWeight == 0 ? FW_NORMAL : font.logFont.lfWeight;
  metrics->tmItalic = font.logFont.lfItalic;
  metrics->tmUnderlined = font.logFont.lfUnderline;
  metrics->tmStruckOut = font.logFont.lfStrikeOut;
  return TRUE;
}

namespace {

// The text as drawn: line ends normalised (or flattened for single lines) and
// mnemonic prefixes removed; the byte index of the underlined character or -1.
std::string PrepareText(const std::string& in, UINT format, int& underline) {
  std::string out;
  out.reserve(in.size());
  underline = -1;
  for (size_t i = 0; i < in.size(); ++i) {
    char c = in[i];
    if (c == '\r' || c == '\n') {
      if (format & DT_SINGLELINE) {
        out.push_back(' ');
        if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
      } else {
        out.push_back('\n');
        if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
      }
      continue;
    }
    if (c == '&' && !(format & DT_NOPREFIX)) {
      if (i + 1 < in.size() && in[i + 1] == '&') {
        out.push_back('&');
        ++i;
        continue;
      }
      if (i + 1 < in.size()) underline = static_cast<int>(out.size());
      continue;
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace

namespace {

// Alignment, wrapping and ellipsis of a DrawText layout; true when the layout
// got the rectangle's width (it then aligns its lines inside it).
bool ConfigureLayout(CTextLayout& layout, UINT format, const CRect& r, bool measuring) {
  PangoLayout* pl = layout.Get();
  const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
  const bool ellipsis = (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) && !wrap;
  pango_layout_set_alignment(
      pl, (format & DT_CENTER) ? PANGO_ALIGN_CENTER : (format & DT_RIGHT) ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT);
  const bool widthSet = (wrap || (ellipsis && !measuring)) && r.Width() > 0;
  if (widthSet) {
    pango_layout_set_width(pl, r.Width() * PANGO_SCALE);
    if (wrap) pango_layout_set_wrap(pl, PANGO_WRAP_WORD);
    else pango_layout_set_ellipsize(pl, PANGO_ELLIPSIZE_END);
  }
  return widthSet;
}

// Logical extents of the text relative to the layout origin.
CRect TextExtents(const FontData& font, const CTextLayout& layout, const std::string& utf8) {
  if (!font.symbolFace) return layout.Extents();
  const int cell = SymbolCell(font);
  return CRect(0, 0, cell * static_cast<int>(utf8.size()), cell);
}

// The layout origin for the format within r.
CPoint PlaceText(UINT format, const CRect& r, const CRect& ext, bool widthSet) {
  int y = r.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = r.top + (r.Height() - ext.Height()) / 2;
    else if (format & DT_BOTTOM) y = r.bottom - ext.Height();
  }
  if (widthSet) return CPoint(r.left, y);
  if (format & DT_CENTER) return CPoint(r.left + (r.Width() - ext.Width()) / 2 - ext.left, y);
  if (format & DT_RIGHT) return CPoint(r.right - ext.Width() - ext.left, y);
  return CPoint(r.left - ext.left, y);
}

}  // namespace

int CDC::DrawText(const char* text, int length, RECT* rect, UINT format) {
  if (!rect || !text) return 0;
  if (length < 0) length = static_cast<int>(std::strlen(text));
  int underline = -1;
  const std::string utf8 = PrepareText(gfx_detail::ToUtf8(text, static_cast<size_t>(length)), format, underline);
  const FontData& font = CurrentFont(*m_impl);
  const CRect r(rect);
  const bool measuring = (format & DT_CALCRECT) != 0;
  cairo_t* cr = measuring || !m_impl->valid ? nullptr : m_impl->Begin();
  CTextLayout layout(font, Crisp(*m_impl), cr, utf8);
  if (underline >= 0) layout.UnderlineAt(underline);
  const bool widthSet = ConfigureLayout(layout, format, r, measuring);
  const CRect ext = TextExtents(font, layout, utf8);
  if (measuring) {
    rect->right = rect->left + ext.Width();  // wrapped text: its widest line
    rect->bottom = rect->top + ext.Height();
    return ext.Height();
  }
  if (!cr) return 0;
  const CPoint at = PlaceText(format, r, ext, widthSet);
  if (!(format & DT_NOCLIP)) {
    cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
    cairo_clip(cr);
  }
  if (m_impl->state.bkMode == OPAQUE) {
    cairo_rectangle(cr, at.x + ext.left, at.y, ext.Width(), ext.Height());
    gfx_detail::SetSourceColour(cr, m_impl->Kind(), m_impl->state.bkColour);
    cairo_fill(cr);
  }
  if (font.symbolFace) {
    cairo_destroy(cr);
    DrawSymbols(*m_impl, utf8, at.x, at.y);
  } else {
    gfx_detail::SetSourceColour(cr, m_impl->Kind(), m_impl->state.textColour);
    cairo_move_to(cr, at.x, at.y - ext.top);
    pango_cairo_update_layout(cr, layout.Get());
    pango_cairo_show_layout(cr, layout.Get());
    cairo_destroy(cr);
  }
  const bool placed = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
  return placed ? (at.y - r.top) + ext.Height() : ext.Height();
}
