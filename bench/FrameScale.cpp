// bench-lib: pravex
// ScaleFrameBuffer's smooth halving of a 1920x1080 16-bit picture (3 x 3
// block averages) into 960x540, 24-bit and 16-bit, and plain sampling for
// comparison.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderDirect.h"

namespace {

void Halve(benchmark::State& state, bool smooth, WORD outBits) {
  constexpr int kW = 1920, kH = 1080;
  std::vector<BYTE> source(DibStride(kW, 16) * kH);
  std::mt19937 random(1);
  for (BYTE& b : source) b = static_cast<BYTE>(random());
  BITMAPINFO info{};
  info.bmiHeader.biWidth = kW;
  info.bmiHeader.biHeight = -kH;
  info.bmiHeader.biBitCount = 16;
  BITMAPINFOHEADER frame{};
  frame.biWidth = kW / 2;
  frame.biHeight = kH / 2;
  frame.biBitCount = outBits;
  frame.biSizeImage = static_cast<DWORD>(DibStride(kW / 2, outBits) * (kH / 2));
  std::vector<BYTE> out(frame.biSizeImage);
  for (auto _ : state) {
    renderscale::Scale(out.data(), frame, source.data(), info, CRect(0, 0, kW, kH), smooth);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_SmoothHalving24(benchmark::State& state) { Halve(state, true, 24); }
void BM_SmoothHalving16(benchmark::State& state) { Halve(state, true, 16); }
void BM_PlainHalving24(benchmark::State& state) { Halve(state, false, 24); }

}  // namespace

BENCHMARK(BM_SmoothHalving24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothHalving16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainHalving24)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
