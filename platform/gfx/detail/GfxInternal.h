// Private state of the drawing layer, shared by its own .cpp files only: the
// Cairo surfaces behind bitmaps and contexts, font and region data, and the
// pixel helpers the block transfers use. Never included outside platform/gfx.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/gfx/DC.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace gfx_detail {

// How pixels of a surface are stored.
enum class PixelKind { Mono, Rgb565, Xrgb };

struct BitmapData {
  BitmapData() = default;
  BitmapData(const BitmapData&) = delete;
  BitmapData& operator=(const BitmapData&) = delete;
  ~BitmapData();

  cairo_surface_t* surface = nullptr;  // owned reference
  int width = 0;
  int height = 0;
  int bitsPerPixel = 1;  // nominal depth: 1, 16, 24 or 32
  PixelKind kind = PixelKind::Mono;
};

// A new bitmap of the given nominal depth, cleared to black; null on failure.
std::shared_ptr<BitmapData> MakeBitmap(int width, int height, int bitsPerPixel);

struct FontData {
  FontData() = default;
  FontData(const FontData&) = delete;
  FontData& operator=(const FontData&) = delete;
  ~FontData();

  // The Pango description, made on first use so that fonts which are only
  // selected (stock fonts, every new context) never load the font configuration.
  PangoFontDescription* Description() const;

  LOGFONTA logFont{};
  bool symbolFace = false;  // the caption-button symbol face, drawn by hand

 private:
  mutable std::once_flag m_once;
  mutable PangoFontDescription* m_description = nullptr;  // owned
};

std::shared_ptr<FontData> MakeFont(const LOGFONTA& logFont);
// The font used while none is selected.
const std::shared_ptr<FontData>& DefaultFont();

struct RegionData {
  RegionData() = default;
  RegionData(const RegionData&) = delete;
  RegionData& operator=(const RegionData&) = delete;
  ~RegionData();

  cairo_region_t* region = nullptr;  // owned
};

std::shared_ptr<RegionData> MakeRegion(cairo_region_t* adopted);
std::shared_ptr<RegionData> CopyRegion(const RegionData& source);

// Attributes and selections that SaveDC keeps.
struct DCState {
  CPen* penObject = nullptr;
  int penStyle = PS_SOLID;
  int penWidth = 1;
  COLORREF penColour = 0;
  CBrush* brushObject = nullptr;
  UINT brushStyle = BS_SOLID;
  COLORREF brushColour = 0xFFFFFF;
  CFont* fontObject = nullptr;
  std::shared_ptr<FontData> font;
  CBitmap* bitmapObject = nullptr;
  std::shared_ptr<BitmapData> bitmap;  // memory contexts only
  std::shared_ptr<RegionData> clip;    // device coordinates; null: none
  COLORREF textColour = 0;
  COLORREF bkColour = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  CPoint position;
  CPoint viewportOrg;
  CPoint brushOrg;
};

struct DCImpl {
  DCImpl() = default;
  DCImpl(const DCImpl&) = delete;
  DCImpl& operator=(const DCImpl&) = delete;
  ~DCImpl();

  bool valid = false;
  bool memory = false;
  cairo_surface_t* external = nullptr;  // over the caller's pixels; owned wrapper
  DCState state;
  std::vector<DCState> saved;
  // A window's context in its top-level surface: where the window's client
  // origin lies (what device coordinates count from) and the part of the
  // surface it may draw into (its visible area less what is not being
  // painted), which no clip selected later widens. Null area: everything.
  CPoint deviceOrg;
  std::shared_ptr<RegionData> windowArea;

  // The surface drawn into, or null.
  cairo_surface_t* Surface() const;
  PixelKind Kind() const;
  int Width() const;
  int Height() const;
  // The visible surface rectangles: the surface within the window area, less
  // what the clip excludes. The caller owns the result.
  cairo_region_t* VisibleRegion() const;
  // A Cairo context ready to draw: clip applied, origin at the viewport origin,
  // no antialiasing. Null without a surface.
  cairo_t* Begin() const;
};

// Colours in the pixel word order of the surfaces: 0x00RRGGBB.
inline std::uint32_t ToXrgb(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF FromXrgb(std::uint32_t v) {
  return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
}
// A colour drawn into a monochrome bitmap is paper when it is light.
inline bool IsPaper(COLORREF c) {
  const unsigned r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return r * 30 + g * 59 + b * 11 >= 128 * 100;
}
inline std::uint16_t PackRgb565(std::uint32_t xrgb) {
  return static_cast<std::uint16_t>(((xrgb >> 8) & 0xF800) | ((xrgb >> 5) & 0x07E0) | ((xrgb >> 3) & 0x001F));
}
inline std::uint32_t Expand565(std::uint16_t p) {
  const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
  return (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

// Reads and writes pixels of a surface as 0x00RRGGBB values; monochrome pixels
// read as black (ink, a set bit) or white (paper, a clear bit) and are written
// as paper for white only.
std::uint32_t ReadPixel(cairo_surface_t* surface, PixelKind kind, int x, int y);
void WritePixel(cairo_surface_t* surface, PixelKind kind, int x, int y, std::uint32_t value);

// The same on a row of the surface's data, for loops over many pixels.
inline std::uint32_t ReadRowPixel(const unsigned char* row, PixelKind kind, int x) {
  switch (kind) {
    case PixelKind::Mono: return ((row[x >> 3] >> (x & 7)) & 1) ? 0x000000u : 0xFFFFFFu;
    case PixelKind::Rgb565: return Expand565(reinterpret_cast<const std::uint16_t*>(row)[x]);
    case PixelKind::Xrgb: return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFFu;
  }
  return 0;
}
inline void WriteRowPixel(unsigned char* row, PixelKind kind, int x, std::uint32_t value) {
  switch (kind) {
    case PixelKind::Mono:
      if ((value & 0xFFFFFF) == 0xFFFFFF)
        row[x >> 3] = static_cast<unsigned char>(row[x >> 3] & ~(1u << (x & 7)));
      else
        row[x >> 3] = static_cast<unsigned char>(row[x >> 3] | (1u << (x & 7)));
      break;
    case PixelKind::Rgb565: reinterpret_cast<std::uint16_t*>(row)[x] = PackRgb565(value); break;
    case PixelKind::Xrgb: reinterpret_cast<std::uint32_t*>(row)[x] = 0xFF000000u | (value & 0xFFFFFF); break;
  }
}
// Writes one value into pixels x0..x1 of a row.
void FillRow(unsigned char* row, PixelKind kind, int x0, int x1, std::uint32_t value);

// Sets the source for drawing colour c into a surface of that kind.
void SetSourceColour(cairo_t* cr, PixelKind kind, COLORREF c);

// Applies a ternary raster operation to one value with pattern p, source s, dest d.
std::uint32_t ApplyRop3(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d);

}  // namespace gfx_detail
