// Screen pictures composed from the windows' own surfaces, written as PNG.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/ui/Headless.h"
#include "platform/ui/UiCore.h"

namespace ui {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

constexpr int kMaxShotSide = 16384;

}  // namespace

BOOL WritePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxShotSide || height > kMaxShotSide ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return FALSE;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return FALSE;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    return FALSE;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  // libpng reports errors by longjmp; nothing with a destructor is created
  // between here and the end of the writing.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return FALSE;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = pixels.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<png_byte>(src[x] >> 16);
      row[x * 3 + 1] = static_cast<png_byte>(src[x] >> 8);
      row[x * 3 + 2] = static_cast<png_byte>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return TRUE;
}

BOOL SaveScreenshotPng(const std::string& path, int margin, COLORREF background) {
  std::vector<CWnd*> windows;
  for (CWnd* top : uicore::Get().topLevels)
    if (top->IsWindowVisible() && top->Native()) windows.push_back(top);
  std::stable_partition(windows.begin(), windows.end(),
                        [](CWnd* w) { return !(w->GetExStyle() & WS_EX_TOPMOST); });
  if (windows.empty()) return FALSE;
  CRect area;
  for (CWnd* w : windows) {
    CRect r;
    w->GetClientRectWithBars(&r);
    w->ClientToScreen(&r);
    area = area.IsRectEmpty() ? r : (area | r);
  }
  margin = std::clamp(margin, 0, 256);
  area.InflateRect(margin, margin);
  const int width = std::min(area.Width(), kMaxShotSide);
  const int height = std::min(area.Height(), kMaxShotSide);
  const std::uint32_t fill = (std::uint32_t{GetRValue(background)} << 16) | (std::uint32_t{GetGValue(background)} << 8) |
                             GetBValue(background);
  std::vector<std::uint32_t> canvas(static_cast<std::size_t>(width) * height, fill);
  for (CWnd* w : windows) {
    std::vector<std::uint32_t> pixels;
    int pw = 0, ph = 0;
    if (!ReadWindowPixels(w->m_hWnd, pixels, pw, ph)) continue;
    CPoint origin(0, 0);
    w->ClientToScreen(&origin);
    for (int y = 0; y < ph; ++y) {
      const int cy = origin.y - area.top + y;
      if (cy < 0 || cy >= height) continue;
      for (int x = 0; x < pw; ++x) {
        const int cx = origin.x - area.left + x;
        if (cx < 0 || cx >= width) continue;
        canvas[static_cast<std::size_t>(cy) * width + cx] = pixels[static_cast<std::size_t>(y) * pw + x];
      }
    }
  }
  return WritePng(path, canvas, width, height);
}

}  // namespace ui
