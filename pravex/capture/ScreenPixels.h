// Pixel helpers shared by the screen codec's per-depth loops: B is the number
// of bytes per pixel (1, 2 or 3). Internal to pravex/capture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/base/WinTypes.h"

namespace screenpixels {

// Writes `count` copies of the pixel at `pixel` to dest.
template <int B>
inline void FillPixels(BYTE* dest, const BYTE* pixel, std::size_t count) {
  if constexpr (B == 1) {
    std::memset(dest, pixel[0], count);
  } else if constexpr (B == 2) {
    std::uint16_t value;
    std::memcpy(&value, pixel, 2);
    for (std::size_t i = 0; i < count; ++i) std::memcpy(dest + 2 * i, &value, 2);
  } else {
    const BYTE b0 = pixel[0], b1 = pixel[1], b2 = pixel[2];
    for (std::size_t i = 0; i < count; ++i, dest += 3) {
      dest[0] = b0;
      dest[1] = b1;
      dest[2] = b2;
    }
  }
}

template <int B>
inline bool PixelsEqual(const BYTE* a, const BYTE* b) {
  if constexpr (B == 1) {
    return a[0] == b[0];
  } else if constexpr (B == 2) {
    std::uint16_t x, y;
    std::memcpy(&x, a, 2);
    std::memcpy(&y, b, 2);
    return x == y;
  } else {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
  }
}

}  // namespace screenpixels
