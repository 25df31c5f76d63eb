// Conversions between the picture formats the clipboard deals in: packed
// device-independent pictures (a BITMAPINFOHEADER, its colour table or masks,
// then the rows, as one block), BMP files and PNG data. Everything read is
// treated as hostile: sizes are checked before use and pictures are limited
// to kMaxPictureSide per side and kMaxPicturePixels in all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace os {

constexpr int kMaxPictureSide = 32768;
constexpr std::size_t kMaxPicturePixels = std::size_t{1} << 26;

// A picture as 0x00RRGGBB pixels, rows top-down.
struct CRgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// A packed picture of 1, 4, 8, 16, 24 or 32 bits (BI_RGB, or BI_BITFIELDS at
// 16 and 32 bits; either row order; headers of 40 bytes or longer). FALSE for
// anything malformed, truncated or too large.
bool ReadPackedDib(const void* data, std::size_t size, CRgbPicture& out);
// A packed 24-bit bottom-up BI_RGB picture; empty for an invalid picture.
std::vector<std::uint8_t> WritePackedDib24(const CRgbPicture& picture);

// A BMP file: the 14-byte file header followed by a packed picture.
bool ReadBmpFile(const void* data, std::size_t size, CRgbPicture& out);
std::vector<std::uint8_t> WriteBmpFile(const CRgbPicture& picture);

// PNG data of any colour type and depth; transparency is composed over white.
bool ReadPngData(const void* data, std::size_t size, CRgbPicture& out);
// 8-bit RGB PNG data; empty for an invalid picture.
std::vector<std::uint8_t> WritePngData(const CRgbPicture& picture);

// True when the picture's size is within the limits and matches its pixels.
bool IsValidPicture(const CRgbPicture& picture);

}  // namespace os
