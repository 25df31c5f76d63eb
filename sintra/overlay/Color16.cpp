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
