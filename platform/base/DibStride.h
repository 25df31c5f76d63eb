// Row stride and pixel-block size of the device-independent pictures the
// system passes around: rows are bytes-per-pixel x width rounded up to a
// multiple of 4 bytes. Stored screen pictures are laid out this way, and every
// part that walks picture rows (codec, renderers, annotation drawing, scaling)
// must compute the stride here, so that no two parts disagree about a picture
// they share. Arithmetic is 64-bit; callers check the result against their own
// bound before allocating.
#pragma once

#include <cstdint>

// Stride in bytes of a row of `width` pixels of `bitsPerPixel` bits.
constexpr std::uint64_t DibStride(std::uint32_t width, std::uint16_t bitsPerPixel) {
  return ((static_cast<std::uint64_t>(width) * bitsPerPixel + 31u) / 32u) * 4u;
}

// Bytes of a picture of width x height pixels (stride x height); saturates at
// UINT64_MAX instead of wrapping.
constexpr std::uint64_t DibImageSize(std::uint32_t width, std::uint32_t height, std::uint16_t bitsPerPixel) {
  const std::uint64_t stride = DibStride(width, bitsPerPixel);
  if (stride != 0 && height > UINT64_MAX / stride) return UINT64_MAX;
  return stride * height;
}

static_assert(DibStride(3, 24) == 12);
static_assert(DibStride(5, 16) == 12);
static_assert(DibStride(1, 8) == 4);
static_assert(DibImageSize(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFF) == UINT64_MAX);
