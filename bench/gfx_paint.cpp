// bench-lib: platform
// Painting a 16-bit 5-6-5 screen picture into a 32-bit window surface, as the
// replay view does every frame: 1:1 and stretched smoothly to a larger window.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gfx/DC.h"

namespace {

struct Picture {
  BITMAPINFO info{};
  std::vector<WORD> pixels;
  Picture(int w, int h) : pixels(static_cast<size_t>(w) * h) {
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_BITFIELDS;
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(info.bmiColors, masks, sizeof(masks));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<WORD>(i * 2654435761u >> 7);
  }
};

void Paint(benchmark::State& state, int destW, int destH, int mode) {
  const Picture picture(1920, 1080);
  std::vector<std::uint32_t> surface(static_cast<size_t>(destW) * destH);
  CDC dc;
  dc.AttachPixels(surface.data(), destW, destH, destW * 4);
  dc.SetStretchBltMode(mode);
  for (auto _ : state) {
    dc.StretchDIBits(0, 0, destW, destH, 0, 0, 1920, 1080, picture.pixels.data(), &picture.info, DIB_RGB_COLORS,
                     SRCCOPY);
    benchmark::DoNotOptimize(surface.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * 1920LL * 1080 * 2);
}

void BM_StretchDIBits565_1to1(benchmark::State& state) { Paint(state, 1920, 1080, COLORONCOLOR); }
void BM_StretchDIBits565_To2560x1440Halftone(benchmark::State& state) { Paint(state, 2560, 1440, HALFTONE); }
void BM_StretchDIBits565_To2560x1440Nearest(benchmark::State& state) { Paint(state, 2560, 1440, COLORONCOLOR); }

// High-quality painting as the replay view does it: horizontal bands of
// 100000 / width pixels, each under its own clip region.
void BM_StretchDIBits565_To2560x1440HalftoneInBands(benchmark::State& state) {
  const Picture picture(1920, 1080);
  const int w = 2560, h = 1440, band = 100000 / w;
  std::vector<std::uint32_t> surface(static_cast<size_t>(w) * h);
  CDC dc;
  dc.AttachPixels(surface.data(), w, h, w * 4);
  dc.SetStretchBltMode(HALFTONE);
  for (auto _ : state) {
    for (int top = 0; top < h; top += band) {
      CRgn clip;
      clip.CreateRectRgn(0, top, w, std::min(top + band, h));
      dc.SelectClipRgn(&clip);
      dc.StretchDIBits(0, 0, w, h, 0, 0, 1920, 1080, picture.pixels.data(), &picture.info, DIB_RGB_COLORS, SRCCOPY);
    }
    dc.SelectClipRgn(nullptr);
    benchmark::DoNotOptimize(surface.data());
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_StretchDIBits565_To2560x1440HalftoneInBands)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchDIBits565_1to1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchDIBits565_To2560x1440Halftone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchDIBits565_To2560x1440Nearest)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
