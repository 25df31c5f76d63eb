// Pixel-level helpers shared by the block transfers and the raster operations.
#include "platform/gfx/detail/GfxInternal.h"

#include <algorithm>

namespace gfx_detail {

BitmapData::~BitmapData() {
  if (surface) cairo_surface_destroy(surface);
}

std::shared_ptr<BitmapData> MakeBitmap(int width, int height, int bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  cairo_format_t format;
  PixelKind kind;
  switch (bitsPerPixel) {
    case 1: format = CAIRO_FORMAT_A1; kind = PixelKind::Mono; break;
    case 16: format = CAIRO_FORMAT_RGB16_565; kind = PixelKind::Rgb565; break;
    case 24:
    case 32: format = CAIRO_FORMAT_RGB24; kind = PixelKind::Xrgb; break;
    default: return nullptr;
  }
  // Refuse sizes whose pixel block would not fit comfortably (over 1 GiB).
  const long long stride = cairo_format_stride_for_width(format, width);
  if (stride <= 0 || stride * height > (1LL << 30)) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(format, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  auto data = std::make_shared<BitmapData>();
  data->surface = surface;
  data->width = width;
  data->height = height;
  data->bitsPerPixel = bitsPerPixel;
  data->kind = kind;
  // New bitmaps are black: ink for monochrome, zero for colour.
  if (kind == PixelKind::Mono) {
    cairo_surface_flush(surface);
    unsigned char* p = cairo_image_surface_get_data(surface);
    std::fill(p, p + stride * height, static_cast<unsigned char>(0xFF));
    cairo_surface_mark_dirty(surface);
  }
  return data;
}

std::uint32_t ReadPixel(cairo_surface_t* surface, PixelKind kind, int x, int y) {
  return ReadRowPixel(
      cairo_image_surface_get_data(surface) + static_cast<long>(y) * cairo_image_surface_get_stride(surface), kind, x);
}

void WritePixel(cairo_surface_t* surface, PixelKind kind, int x, int y, std::uint32_t value) {
  WriteRowPixel(cairo_image_surface_get_data(surface) + static_cast<long>(y) * cairo_image_surface_get_stride(surface),
                kind, x, value);
}

void FillRow(unsigned char* row, PixelKind kind, int x0, int x1, std::uint32_t value) {
  if (x0 >= x1) return;
  switch (kind) {
    case PixelKind::Mono: {
      // Whole bytes at once between the partial bytes at either end.
      const bool paper = (value & 0xFFFFFF) == 0xFFFFFF;
      int x = x0;
      for (; x < x1 && (x & 7); ++x) WriteRowPixel(row, kind, x, value);
      const int whole = (x1 - x) / 8;
      if (whole > 0) std::fill(row + x / 8, row + x / 8 + whole, static_cast<unsigned char>(paper ? 0x00 : 0xFF));
      for (x += 8 * whole; x < x1; ++x) WriteRowPixel(row, kind, x, value);
      break;
    }
    case PixelKind::Rgb565: {
      auto* p = reinterpret_cast<std::uint16_t*>(row);
      std::fill(p + x0, p + x1, PackRgb565(value));
      break;
    }
    case PixelKind::Xrgb: {
      auto* p = reinterpret_cast<std::uint32_t*>(row);
      std::fill(p + x0, p + x1, 0xFF000000u | (value & 0xFFFFFF));
      break;
    }
  }
}

void SetSourceColour(cairo_t* cr, PixelKind kind, COLORREF c) {
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  if (kind == PixelKind::Mono) {
    // Ink is an opaque bit, paper a clear one.
    cairo_set_source_rgba(cr, 0, 0, 0, IsPaper(c) ? 0.0 : 1.0);
    return;
  }
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

std::uint32_t ApplyRop3(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (rop) {
    case SRCCOPY: return s;
    case SRCPAINT: return s | d;
    case SRCAND: return s & d;
    case SRCINVERT: return s ^ d;
    case PATCOPY: return p;
    case PATINVERT: return p ^ d;
    case DSTINVERT: return ~d & 0xFFFFFF;
    case BLACKNESS: return 0;
    case WHITENESS: return 0xFFFFFF;
    default: break;
  }
  // Any other operation from its truth table: bit i of the code's third byte is
  // the result for pattern, source and destination bits (i >> 2, i >> 1, i) & 1.
  const unsigned table = (rop >> 16) & 0xFF;
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!((table >> i) & 1)) continue;
    const std::uint32_t pp = (i & 4) ? p : ~p, ss = (i & 2) ? s : ~s, dd = (i & 1) ? d : ~d;
    result |= pp & ss & dd;
  }
  return result & 0xFFFFFF;
}

}  // namespace gfx_detail
