#include "platform/os/PackedDib.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>

#include "platform/base/DibStride.h"
#include "platform/base/WinTypes.h"
#include "platform/gfx/detail/DibSource.h"

namespace os {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

bool SizeAllowed(long long width, long long height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         static_cast<unsigned long long>(width * height) <= kMaxPicturePixels;
}

// Decodes a picture whose header (with its colour table or masks) starts at
// `header` and whose rows start at `bits`; both spans are bounded.
bool DecodeDib(const std::uint8_t* header, std::size_t headerSize, const std::uint8_t* bits, std::size_t bitsSize,
               CRgbPicture& out) {
  if (headerSize < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFO info{};
  std::memcpy(&info.bmiHeader, header, sizeof(BITMAPINFOHEADER));
  const BITMAPINFOHEADER& h = info.bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > headerSize || h.biPlanes != 1) return false;
  const long long width = h.biWidth, height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  if (!SizeAllowed(width, height)) return false;
  const int bpp = h.biBitCount;
  if (bpp <= 8) {
    std::size_t colours = h.biClrUsed == 0 ? (std::size_t{1} << bpp) : h.biClrUsed;
    if (colours > (std::size_t{1} << bpp)) return false;
    if (headerSize - h.biSize < colours * 4) return false;
    std::memcpy(info.bmiColors, header + h.biSize, colours * 4);
    info.bmiHeader.biClrUsed = static_cast<DWORD>(colours);
  } else if (h.biCompression == BI_BITFIELDS) {
    // The masks follow a 40-byte header, or are part of a longer one.
    const std::size_t at = h.biSize >= 52 ? 40 : h.biSize;
    if (headerSize < at + 12) return false;
    std::memcpy(info.bmiColors, header + at, 12);
  }
  gfx_detail::CDibSource source;
  if (!source.Init(&info, bits)) return false;
  const std::uint64_t stride = DibStride(static_cast<std::uint32_t>(width), static_cast<std::uint16_t>(bpp));
  if (stride * static_cast<std::uint64_t>(height) > bitsSize) return false;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.pixels.assign(static_cast<std::size_t>(width * height), 0);
  for (int y = 0; y < out.height; ++y)
    source.ConvertRow(source.Row(y), 0, out.width, out.pixels.data() + static_cast<std::size_t>(y) * out.width);
  return true;
}

// Bytes from the start of a packed picture to its rows, or 0 when the
// header cannot be read.
std::size_t RowsOffset(const std::uint8_t* p, std::size_t size) {
  if (size < sizeof(BITMAPINFOHEADER)) return 0;
  const std::uint32_t headerSize = Le32(p);
  if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > size) return 0;
  const unsigned bpp = p[14] | (p[15] << 8);
  const std::uint32_t compression = Le32(p + 16), used = Le32(p + 32);
  std::uint64_t offset = headerSize;
  if (bpp <= 8)
    offset += 4ull * (used == 0 || bpp == 0 ? (1ull << (bpp > 8 ? 8 : bpp)) : used);
  else if (compression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER))
    offset += 12;
  if (bpp > 8) offset += 4ull * used;  // an optional palette for display devices
  return offset <= size ? static_cast<std::size_t>(offset) : 0;
}

struct PngReadSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at;
};

void PngRead(png_structp png, png_bytep out, png_size_t count) {
  auto* src = static_cast<PngReadSource*>(png_get_io_ptr(png));
  if (count > src->size - src->at) png_error(png, "truncated");
  std::memcpy(out, src->data + src->at, count);
  src->at += count;
}

void PngWrite(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    out->insert(out->end(), data, data + count);
  } catch (const std::bad_alloc&) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void PngFlush(png_structp) {}

}  // namespace

bool IsValidPicture(const CRgbPicture& picture) {
  return SizeAllowed(picture.width, picture.height) &&
         picture.pixels.size() == static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

bool ReadPackedDib(const void* data, std::size_t size, CRgbPicture& out) {
  if (!data) return false;
  const auto* p = static_cast<const std::uint8_t*>(data);
  const std::size_t offset = RowsOffset(p, size);
  if (offset == 0) return false;
  return DecodeDib(p, offset, p + offset, size - offset, out);
}

std::vector<std::uint8_t> WritePackedDib24(const CRgbPicture& picture) {
  std::vector<std::uint8_t> b;
  if (!IsValidPicture(picture)) return b;
  const auto stride = static_cast<std::size_t>(DibStride(static_cast<std::uint32_t>(picture.width), 24));
  const std::size_t image = stride * static_cast<std::size_t>(picture.height);
  b.reserve(sizeof(BITMAPINFOHEADER) + image);
  Put32(b, sizeof(BITMAPINFOHEADER));
  Put32(b, static_cast<std::uint32_t>(picture.width));
  Put32(b, static_cast<std::uint32_t>(picture.height));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, BI_RGB);
  Put32(b, static_cast<std::uint32_t>(image));
  Put32(b, 2835);  // 72 dots per inch
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    const std::uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
    const std::size_t start = b.size();
    for (int x = 0; x < picture.width; ++x) {
      b.push_back(static_cast<std::uint8_t>(row[x]));
      b.push_back(static_cast<std::uint8_t>(row[x] >> 8));
      b.push_back(static_cast<std::uint8_t>(row[x] >> 16));
    }
    b.resize(start + stride, 0);
  }
  return b;
}

bool ReadBmpFile(const void* data, std::size_t size, CRgbPicture& out) {
  if (!data || size < 14 + sizeof(BITMAPINFOHEADER)) return false;
  const auto* p = static_cast<const std::uint8_t*>(data);
  if (p[0] != 'B' || p[1] != 'M') return false;
  const std::uint32_t bitsAt = Le32(p + 10);
  if (bitsAt < 14 + sizeof(BITMAPINFOHEADER) || bitsAt > size) return false;
  return DecodeDib(p + 14, bitsAt - 14, p + bitsAt, size - bitsAt, out);
}

std::vector<std::uint8_t> WriteBmpFile(const CRgbPicture& picture) {
  std::vector<std::uint8_t> dib = WritePackedDib24(picture);
  if (dib.empty()) return dib;
  std::vector<std::uint8_t> b;
  b.reserve(14 + dib.size());
  b.push_back('B');
  b.push_back('M');
  Put32(b, static_cast<std::uint32_t>(14 + dib.size()));
  Put32(b, 0);
  Put32(b, 14 + sizeof(BITMAPINFOHEADER));
  b.insert(b.end(), dib.begin(), dib.end());
  return b;
}

bool ReadPngData(const void* data, std::size_t size, CRgbPicture& out) {
  if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  PngReadSource source{static_cast<const std::uint8_t*>(data), size, 0};
  std::vector<png_byte> row;
  std::vector<png_bytep> rows;
  CRgbPicture picture;
  // libpng reports errors by longjmp; everything with a destructor is made
  // before this point, and only resized (not created) after it.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, PngRead);
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (!SizeAllowed(width, height)) png_error(png, "picture too large");
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) png_error(png, "unexpected layout");
  // Interlaced pictures need every row at hand, so the whole picture is read.
  bool allocated = true;
  try {
    row.resize(static_cast<std::size_t>(width) * height * 4);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    rows.resize(height);
  } catch (const std::bad_alloc&) {
    allocated = false;
  }
  if (!allocated) png_error(png, "out of memory");
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = row.data() + static_cast<std::size_t>(y) * width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const png_byte* s = row.data() + i * 4;
    const unsigned a = s[3];
    const auto over = [a](unsigned c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    picture.pixels[i] = (over(s[0]) << 16) | (over(s[1]) << 8) | over(s[2]);
  }
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  out = std::move(picture);
  return true;
}

std::vector<std::uint8_t> WritePngData(const CRgbPicture& picture) {
  std::vector<std::uint8_t> out;
  if (!IsValidPicture(picture)) return out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    return out;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(picture.width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    out.clear();
    return out;
  }
  png_set_write_fn(png, &out, PngWrite, PngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Pictures of windows compress well already at a fast level; speed matters
  // more here because another program is waiting for the data.
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  for (int y = 0; y < picture.height; ++y) {
    const std::uint32_t* src = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
    for (int x = 0; x < picture.width; ++x) {
      row[x * 3] = static_cast<png_byte>(src[x] >> 16);
      row[x * 3 + 1] = static_cast<png_byte>(src[x] >> 8);
      row[x * 3 + 2] = static_cast<png_byte>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace os
