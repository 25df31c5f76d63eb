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
WORD BlendPixel565(WORD pixel, BYTE alpha, const Color16& colour);

// The same blend over a 24-bit pixel (blue, green, red bytes), with the
// components kept at 8 bits.
void BlendPixel888(BYTE* pixel, BYTE alpha, const Color16& colour);

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
