// bench-lib: pravex
// Frame extraction speed as a multiple of real time: demo captures written by
// olvane-mkcapture (1024x768 and 1920x1080, 16-bit, camera, 10 s) extracted at
// 10 frames a second into 24-bit frames of the picture size, with and without
// writing each frame as PNG. Counter "x_realtime" = capture seconds / wall seconds.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderFrames.h"
#include "tools/export/PngFile.h"

namespace {

constexpr unsigned kSeconds = 10;

// Writes the demo capture of a size once per run; empty when it cannot.
std::string DemoCapture(int width, int height) {
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/olvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return {};
    folder = pattern;
  }
  const std::string path = folder + "/demo-" + std::to_string(width) + "x" + std::to_string(height) + ".zeph";
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return path;
  const std::string command = std::string(OLVANE_BINARY_DIR) + "/bin/olvane-mkcapture demo '" + path + "' --size " +
                              std::to_string(width) + "x" + std::to_string(height) +
                              " --bits 16 --sound none --quiet --seconds " + std::to_string(kSeconds);
  return std::system(command.c_str()) == 0 ? path : std::string();
}

void Extract(benchmark::State& state, bool png) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::string capture = DemoCapture(width, height);
  if (capture.empty()) {
    state.SkipWithError("olvane-mkcapture could not write the demo capture");
    return;
  }
  BITMAPINFOHEADER header{};
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = 24;
  const std::size_t stride = DibStride(width, 24);
  header.biSizeImage = static_cast<DWORD>(stride * height);
  std::vector<BYTE> frame(header.biSizeImage);
  const std::string pngPath = capture + ".png";
  double mediaSeconds = 0, wallSeconds = 0;
  std::size_t frames = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    CRenderFrames extractor;
    extractor.Open(capture.c_str(), 10);
    extractor.Start(0);
    std::size_t n = 0;
    std::string error;
    while (extractor.GetFrame(frame.data(), &header, CRect(0, 0, width, height))) {
      if (png) WritePngFrame(pngPath, frame.data(), width, height, stride, error);
      ++n;
    }
    extractor.Close();
    wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    mediaSeconds += n / 10.0;
    frames += n;
  }
  std::remove(pngPath.c_str());
  state.counters["x_realtime"] = wallSeconds > 0 ? mediaSeconds / wallSeconds : 0;
  state.counters["frames_per_s"] = wallSeconds > 0 ? frames / wallSeconds : 0;
}

void BM_Extract(benchmark::State& state) { Extract(state, false); }
void BM_ExtractPng(benchmark::State& state) { Extract(state, true); }

}  // namespace

BENCHMARK(BM_Extract)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExtractPng)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
