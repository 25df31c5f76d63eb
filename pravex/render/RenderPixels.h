// Pixel access shared by the overlays (cursor, click indicator, camera
// blend): they work in 5-6-5 values and write them into 16-bit pictures as
// they are and into 24-bit pictures as their expanded components. Pictures of
// other depths get no overlays.
#pragma once

#include <cstdint>

#include "platform/base/WinTypes.h"

namespace renderpx {

inline bool HasOverlays(int bits) { return bits == 16 || bits == 24; }

inline WORD Get565(const BYTE* row, int x, int bits) {
  if (bits == 16) {
    const BYTE* p = row + 2 * x;
    return static_cast<WORD>(p[0] | (p[1] << 8));
  }
  const BYTE* p = row + 3 * x;
  return static_cast<WORD>(((p[2] & 0xF8) << 8) | ((p[1] & 0xFC) << 3) | (p[0] >> 3));
}

inline void Put565(BYTE* row, int x, int bits, WORD v) {
  if (bits == 16) {
    BYTE* p = row + 2 * x;
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
    return;
  }
  BYTE* p = row + 3 * x;
  p[0] = static_cast<BYTE>((v << 3) & 0xF8);
  p[1] = static_cast<BYTE>((v >> 3) & 0xFC);
  p[2] = static_cast<BYTE>((v >> 8) & 0xF8);
}

// Bitwise inversion of the stored pixel.
inline void Invert(BYTE* row, int x, int bits) {
  const int n = bits / 8;
  BYTE* p = row + n * x;
  for (int i = 0; i < n; ++i) p[i] = static_cast<BYTE>(~p[i]);
}

}  // namespace renderpx
