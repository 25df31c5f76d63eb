// bench-lib: pravex
// Extraction and export speed as a multiple of real time, on demo captures
// written by olvane-mkcapture (1024x768 and 1920x1080, 16-bit, camera, no
// sound, 10 s at 10 pictures a second), at 10 frames a second:
// - BM_ExtractFrame: each frame composed and converted whole into the
//   caller's 24-bit frame (GetFrame);
// - BM_ExtractPicture: the extractor's own 24-bit picture, brought up to date
//   where something changed and handed over without a copy (GetPicture);
// - BM_ExportPng, BM_ExportMp4: olvane-export's whole run into PNG frames and
//   into an MP4 file with the default settings;
// - BM_PngEncode: one 1920x1080 frame of the session compressed by each
//   deflate implementation (0 libdeflate, 1 zlib level 1, 2 zlib run-length).
// Counter "x_realtime" = capture seconds / wall seconds; "cpu_x_realtime" =
// capture seconds / processor seconds of all the process's threads (what one
// processor to itself would give: the build machine is shared, and its wall
// figures fall with its load).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderFrames.h"
#include "tools/export/Exporter.h"
#include "tools/export/PngFile.h"

namespace {

constexpr unsigned kSeconds = 10;

const std::string& Folder() {
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/olvane-bench-XXXXXX";
    if (mkdtemp(pattern)) folder = pattern;
  }
  return folder;
}

// Writes the demo capture of a size once per run; empty when it cannot.
std::string DemoCapture(int width, int height) {
  if (Folder().empty()) return {};
  const std::string path = Folder() + "/demo-" + std::to_string(width) + "x" + std::to_string(height) + ".zeph";
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return path;
  const std::string command = std::string(OLVANE_BINARY_DIR) + "/bin/olvane-mkcapture demo '" + path + "' --size " +
                              std::to_string(width) + "x" + std::to_string(height) +
                              " --bits 16 --sound none --quiet --seconds " + std::to_string(kSeconds);
  return std::system(command.c_str()) == 0 ? path : std::string();
}

// Processor seconds of every thread of this process so far.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Report(benchmark::State& state, double mediaSeconds, double wallSeconds, std::size_t frames, double cpuSeconds) {
  state.counters["cpu_x_realtime"] = cpuSeconds > 0 ? mediaSeconds / cpuSeconds : 0;
  state.counters["x_realtime"] = wallSeconds > 0 ? mediaSeconds / wallSeconds : 0;
  state.counters["frames_per_s"] = wallSeconds > 0 ? frames / wallSeconds : 0;
}

void BM_ExtractFrame(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::string capture = DemoCapture(width, height);
  if (capture.empty()) return state.SkipWithError("olvane-mkcapture could not write the demo capture");
  BITMAPINFOHEADER header{};
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = 24;
  header.biSizeImage = static_cast<DWORD>(DibStride(width, 24) * height);
  std::vector<BYTE> frame(header.biSizeImage);
  double media = 0, wall = 0;
  std::size_t frames = 0;
  const double cpu = CpuSeconds();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    CRenderFrames extractor;
    extractor.Open(capture.c_str(), 10);
    extractor.Start(0);
    std::size_t n = 0;
    while (extractor.GetFrame(frame.data(), &header, CRect(0, 0, width, height))) ++n;
    extractor.Close();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    media += n / 10.0;
    frames += n;
  }
  Report(state, media, wall, frames, CpuSeconds() - cpu);
}

void BM_ExtractPicture(benchmark::State& state) {
  const std::string capture = DemoCapture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (capture.empty()) return state.SkipWithError("olvane-mkcapture could not write the demo capture");
  double media = 0, wall = 0, changed = 0, unchanged = 0;
  std::size_t frames = 0;
  const double cpu = CpuSeconds();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    CRenderFrames extractor;
    extractor.Open(capture.c_str(), 10);
    extractor.Start(0);
    std::size_t n = 0;
    ExtractedPicture picture;
    while (extractor.GetPicture(picture)) {
      benchmark::DoNotOptimize(picture.pixels[0]);
      changed += static_cast<double>(picture.changed.Width()) * picture.changed.Height() /
                 (static_cast<double>(picture.width) * picture.height);
      unchanged += picture.changed.IsRectEmpty();
      ++n;
    }
    extractor.Close();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    media += n / 10.0;
    frames += n;
  }
  Report(state, media, wall, frames, CpuSeconds() - cpu);
  // The share of the picture inside the changed span, and the frames without change.
  state.counters["changed_span"] = frames ? changed / frames : 0;
  state.counters["unchanged_frames"] = frames ? unchanged / frames : 0;
}

void Export(benchmark::State& state, const char* output) {
  const std::string capture = DemoCapture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (capture.empty()) return state.SkipWithError("olvane-mkcapture could not write the demo capture");
  ExportOptions options;
  options.capture = capture;
  options.output = Folder() + "/" + output;
  options.kind = options.output.find(".mp4") != std::string::npos ? ExportKind::Mp4 : ExportKind::Frames;
  double media = 0, wall = 0;
  std::size_t frames = 0;
  const double cpu = CpuSeconds();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (RunExport(options, error) != 0) return state.SkipWithError(error.c_str());
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    media += kSeconds + 0.1;  // the frame at the end included
    frames += kSeconds * 10 + 1;
  }
  Report(state, media, wall, frames, CpuSeconds() - cpu);
}

void BM_ExportPng(benchmark::State& state) { Export(state, "frames"); }
void BM_ExportMp4(benchmark::State& state) { Export(state, "clip.mp4"); }

void BM_PngEncode(benchmark::State& state) {
  const std::string capture = DemoCapture(1920, 1080);
  if (capture.empty()) return state.SkipWithError("olvane-mkcapture could not write the demo capture");
  CRenderFrames extractor;
  extractor.Open(capture.c_str(), 10);
  extractor.SetOneFrameMode();
  extractor.Start(5000);
  ExtractedPicture picture;
  if (!extractor.GetPicture(picture)) return state.SkipWithError("no picture");
  const std::vector<BYTE> frame(picture.pixels, picture.pixels + picture.stride * picture.height);
  extractor.Close();
  const auto how = static_cast<PngDeflate>(state.range(0));
  std::string png;
  for (auto _ : state) EncodePng(frame.data(), 1920, 1080, picture.stride, png, how);
  state.counters["bytes"] = static_cast<double>(png.size());
}

}  // namespace

BENCHMARK(BM_ExtractFrame)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExtractPicture)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportPng)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExportMp4)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PngEncode)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
