#include "PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

void OnPngError(png_structp png, png_const_charp) { std::longjmp(png_jmpbuf(png), 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// Only plain C values live across the jump point.
bool WriteRows(std::FILE* file, int width, int height, png_bytep* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 1);  // frames are many; speed over size
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePngFrame(const std::string& path, const BYTE* pixels, int width, int height, std::size_t stride,
                   std::string& error) {
  FileCloser out{std::fopen(path.c_str(), "wb")};
  if (!out.file) {
    error = "cannot create " + path;
    return false;
  }
  std::vector<BYTE> rgb(static_cast<std::size_t>(width) * 3 * height);
  std::vector<png_bytep> rows(height);
  for (int r = 0; r < height; ++r) {
    const BYTE* source = pixels + static_cast<std::size_t>(height - 1 - r) * stride;
    BYTE* target = rgb.data() + static_cast<std::size_t>(r) * width * 3;
    for (int x = 0; x < width; ++x) {
      target[3 * x] = source[3 * x + 2];
      target[3 * x + 1] = source[3 * x + 1];
      target[3 * x + 2] = source[3 * x];
    }
    rows[r] = target;
  }
  if (!WriteRows(out.file, width, height, rows.data()) || std::fflush(out.file) != 0 || std::ferror(out.file)) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
