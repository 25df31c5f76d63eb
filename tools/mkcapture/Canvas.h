// A 24-bit colour drawing surface for the synthetic content olvane-mkcapture
// writes: filled and framed rectangles, discs, bevels and a built-in 5x7
// bitmap font, then conversion into the picture layouts captures store
// (top-down screen rows at 8, 16 (5-6-5) or 24 bits).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/base/WinTypes.h"

// 0xRRGGBB.
using Rgb = std::uint32_t;

class CCanvas {
 public:
  CCanvas(int width, int height, Rgb fill = 0);

  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  Rgb GetPixel(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
  void SetPixel(int x, int y, Rgb colour);
  const std::vector<Rgb>& GetPixels() const { return m_pixels; }

  // Every drawing operation clips to the canvas.
  void FillRect(int x, int y, int w, int h, Rgb colour);
  void FrameRect(int x, int y, int w, int h, Rgb colour);
  // A raised (or sunken) 3-D face with light and dark edges.
  void Bevel(int x, int y, int w, int h, Rgb face, bool sunken = false);
  void FillDisc(int cx, int cy, int radius, Rgb colour);
  // Text in the 5x7 font (each glyph 6 x 8 pixels at scale 1); lower-case
  // letters are drawn as capitals. Returns the x after the last glyph.
  int DrawText(int x, int y, std::string_view text, Rgb colour, int scale = 1);
  static int TextWidth(std::string_view text, int scale = 1) { return static_cast<int>(text.size()) * 6 * scale; }

  // Writes the canvas as a screen picture: top-down rows of DibStride bytes;
  // 16 bits as 5-6-5, 24 bits as blue, green, red, 8 bits as indices into
  // the 6x6x6 colour cube (PaletteIndex). `out` is resized to fit.
  void ToScreenPicture(WORD bits, std::vector<BYTE>& out) const;
  // Writes the canvas as rows of red, green, blue bytes, top row first.
  void ToRgbRows(std::vector<BYTE>& out) const;

  // Colour reductions used by ToScreenPicture.
  static WORD To565(Rgb colour);
  static BYTE PaletteIndex(Rgb colour);

 private:
  int m_width;
  int m_height;
  std::vector<Rgb> m_pixels;
};
