#include "sintra/overlay/Color16.h"

void Color16::Set(DWORD colorRef) {
  m_colorRef = colorRef;
  m_wColor = To565(colorRef);
  m_red = GetRValue(colorRef);
  m_green = GetGValue(colorRef);
  m_blue = GetBValue(colorRef);
}

void Color16::Blend(const Color16& a, const Color16& b, int percent) {
  const int p = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
  const int r = (p * a.m_red + (100 - p) * b.m_red) / 100;
  const int g = (p * a.m_green + (100 - p) * b.m_green) / 100;
  const int bl = (p * a.m_blue + (100 - p) * b.m_blue) / 100;
  m_red = static_cast<BYTE>(r);
  m_green = static_cast<BYTE>(g);
  m_blue = static_cast<BYTE>(bl);
  m_colorRef = RGB(m_red, m_green, m_blue);
  m_wColor = static_cast<WORD>((((g >> 2) << 5) & 0x7FF) | (bl >> 3) | ((r >> 3) << 11));
}

WORD BlendPixel565(WORD pixel, BYTE alpha, const Color16& colour) {
  if (alpha == 0) return colour.GetWColor();
  const unsigned r = (pixel >> 8) & 0xF8, g = (pixel >> 3) & 0xF8, b = (pixel & 0x1F) << 3;
  const unsigned inv = 255u - alpha;
  unsigned r2 = (r * alpha + colour.GetRed() * inv) / 255;
  unsigned g2 = (g * alpha + colour.GetGreen() * inv) / 255;
  unsigned b2 = (b * alpha + colour.GetBlue() * inv) / 255;
  if (r2 > 255) r2 = 255;
  if (g2 > 255) g2 = 255;
  if (b2 > 255) b2 = 255;
  return static_cast<WORD>(((r2 & 0xF8) << 8) | ((g2 >> 2) << 5) | (b2 >> 3));
}

void BlendPixel888(BYTE* pixel, BYTE alpha, const Color16& colour) {
  if (alpha == 0) {
    PutFramePixel(pixel, 3, colour);
    return;
  }
  const unsigned inv = 255u - alpha;
  pixel[0] = static_cast<BYTE>((pixel[0] * alpha + colour.GetBlue() * inv) / 255);
  pixel[1] = static_cast<BYTE>((pixel[1] * alpha + colour.GetGreen() * inv) / 255);
  pixel[2] = static_cast<BYTE>((pixel[2] * alpha + colour.GetRed() * inv) / 255);
}
