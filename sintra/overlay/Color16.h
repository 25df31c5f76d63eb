// A colour as the annotation drawing uses it: the colour reference together
// with its 16-bit 5-6-5 value and its three 8-bit components, and the blend of
// one 5-6-5 pixel with such a colour.
#pragma once

#include "platform/base/WinTypes.h"

class Color16 {
 public:
  Color16() = default;
  Color16(DWORD colorRef) { Set(colorRef); }  // NOLINT: converts like a colour reference
  Color16& operator=(const DWORD& colorRef) {
    Set(colorRef);
    return *this;
  }
  Color16(const Color16&) = default;
  Color16& operator=(const Color16&) = default;

  // The 5-6-5 value.
  operator WORD() const { return m_wColor; }

  // Sets this colour to the mix of a and b: each component is
  // (percent x a + (100 - percent) x b) / 100; percent is held to 0..100.
  void Blend(const Color16& a, const Color16& b, int percent);

  DWORD GetColorRef() const { return m_colorRef; }
  WORD GetWColor() const { return m_wColor; }
  BYTE GetRed() const { return m_red; }
  BYTE GetGreen() const { return m_green; }
  BYTE GetBlue() const { return m_blue; }

  // The 5-6-5 value of a colour reference: top 5 bits of red, 6 of green, 5 of blue.
  static WORD To565(DWORD colorRef) {
    return static_cast<WORD>(((colorRef >> 3) << 11) | (((colorRef >> 10) << 5) & 0x7E0) | ((colorRef >> 19) & 0x1F));
  }

 private:
  void Set(DWORD colorRef);

  DWORD m_colorRef = 0;
  WORD m_wColor = 0;
  BYTE m_red = 0;
  BYTE m_green = 0;
  BYTE m_blue = 0;
};

// Blends one 5-6-5 pixel with colour: alpha (0-255) is the weight of the existing
// pixel; 0 writes the colour exactly, 255 keeps the pixel apart from its lowest
// green bit, which the expansion drops.
// Inline: the drawers call it for every pixel they cover.
inline WORD BlendPixel565(WORD pixel, BYTE alpha, const Color16& colour) {
  if (alpha == 0) return colour.GetWColor();
  const unsigned r = (pixel >> 8) & 0xF8, g = (pixel >> 3) & 0xF8, b = (pixel & 0x1F) << 3;
  const unsigned inv = 255u - alpha;
  // At most 255 x 255 / 255: no component exceeds 255.
  const unsigned r2 = (r * alpha + colour.GetRed() * inv) / 255;
  const unsigned g2 = (g * alpha + colour.GetGreen() * inv) / 255;
  const unsigned b2 = (b * alpha + colour.GetBlue() * inv) / 255;
  return static_cast<WORD>(((r2 & 0xF8) << 8) | ((g2 >> 2) << 5) | (b2 >> 3));
}

inline void PutFramePixel(BYTE* pixel, int bytesPerPixel, const Color16& colour);

// The same blend over a 24-bit pixel (blue, green, red bytes), with the
// components kept at 8 bits.
inline void BlendPixel888(BYTE* pixel, BYTE alpha, const Color16& colour) {
  if (alpha == 0) {
    PutFramePixel(pixel, 3, colour);
    return;
  }
  const unsigned inv = 255u - alpha;
  pixel[0] = static_cast<BYTE>((pixel[0] * alpha + colour.GetBlue() * inv) / 255);
  pixel[1] = static_cast<BYTE>((pixel[1] * alpha + colour.GetGreen() * inv) / 255);
  pixel[2] = static_cast<BYTE>((pixel[2] * alpha + colour.GetRed() * inv) / 255);
}

// Pixels of the frames annotations are drawn into: 2 bytes (5-6-5) or 3
// bytes (blue, green, red) each.
inline void BlendFramePixel(BYTE* pixel, int bytesPerPixel, BYTE alpha, const Color16& colour) {
  if (bytesPerPixel == 3) {
    BlendPixel888(pixel, alpha, colour);
    return;
  }
  const WORD v = BlendPixel565(static_cast<WORD>(pixel[0] | (pixel[1] << 8)), alpha, colour);
  pixel[0] = static_cast<BYTE>(v);
  pixel[1] = static_cast<BYTE>(v >> 8);
}

inline void PutFramePixel(BYTE* pixel, int bytesPerPixel, const Color16& colour) {
  if (bytesPerPixel == 3) {
    pixel[0] = colour.GetBlue();
    pixel[1] = colour.GetGreen();
    pixel[2] = colour.GetRed();
    return;
  }
  pixel[0] = static_cast<BYTE>(colour.GetWColor());
  pixel[1] = static_cast<BYTE>(colour.GetWColor() >> 8);
}

// Blends pixels x0..x1 of a frame row with one colour and weight, the depth
// decided once for the row. The 5-6-5 loop is BlendPixel565 written for the
// compiler's vectoriser: the colour's share is worked out once, and every
// sum stays within 255 x 255.
inline void BlendFrameSpan(BYTE* row, int x0, int x1, int bytesPerPixel, BYTE alpha, const Color16& colour) {
  if (bytesPerPixel == 3) {
    for (int x = x0; x < x1; ++x) BlendPixel888(row + 3 * x, alpha, colour);
    return;
  }
  if (alpha == 0) {
    for (int x = x0; x < x1; ++x) {
      row[2 * x] = static_cast<BYTE>(colour.GetWColor());
      row[2 * x + 1] = static_cast<BYTE>(colour.GetWColor() >> 8);
    }
    return;
  }
  const unsigned inv = 255u - alpha;
  const unsigned red = colour.GetRed() * inv, green = colour.GetGreen() * inv, blue = colour.GetBlue() * inv;
  for (int x = x0; x < x1; ++x) {
    WORD p;
    __builtin_memcpy(&p, row + 2 * x, 2);
    const unsigned r = (((p >> 8) & 0xF8u) * alpha + red) / 255;
    const unsigned g = (((p >> 3) & 0xF8u) * alpha + green) / 255;
    const unsigned b = (((p & 0x1Fu) << 3) * alpha + blue) / 255;
    p = static_cast<WORD>(((r & 0xF8) << 8) | ((g >> 2) << 5) | (b >> 3));
    __builtin_memcpy(row + 2 * x, &p, 2);
  }
}
