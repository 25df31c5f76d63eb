// bench-lib: pravex
// Screen decoding, single thread: the desktop session of the decode-speed
// anchors (generated as raw RGB565 frames by scripts/bench-decode), written
// with CCaptureFileWriter as run-length + zlib key pictures every 100 frames
// (10 s at 10 per second) and deltas between, then decoded by CScreenCodec in
// share mode. "decode" times only the codec (the records are read from the
// file between timed runs), "read+decode" also reads them from the file.
//
// Frames: $OLVANE_BENCH_FRAMES/desktop-WxH.rgb565 (W x H x 2 bytes a frame).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenCodec.h"

namespace {

constexpr int kKeyEvery = 100;
constexpr DWORD kFrameMs = 100;

std::string FramesPath(DWORD width, DWORD height) {
  const char* dir = std::getenv("OLVANE_BENCH_FRAMES");
  return std::string(dir ? dir : "/tmp/olvane-bench") + "/desktop-" + std::to_string(width) + "x" +
         std::to_string(height) + ".rgb565";
}

// Decodes the written capture once and compares every picture with its frame.
bool DecodesToTheFrames(const std::string& capturePath, const std::string& framesPath, DWORD width, DWORD height) {
  CCaptureFileReader reader;
  std::ifstream in(framesPath, std::ios::binary);
  if (!reader.Open(capturePath) || !in) return false;
  std::vector<BYTE> frame(DibImageSize(width, height, 16));
  CScreenCodec codec(false, true);
  reader.SeekToTime(0);
  bool same = true;
  for (;;) {
    CCaptureData* record = reader.ReadRecord(true);
    const bool screen = record->GetRecordType() == capture::kRecordScreen;
    if (screen) {
      same = same && codec.Decode(*static_cast<CCaptureScreen*>(record)) &&
             in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size())) &&
             std::equal(frame.begin(), frame.end(), record->GetDataBytes());
    }
    record->Release();
    if (!screen) break;
  }
  return same;
}

// Writes the capture once per size; returns its path, empty when the frames
// are missing or the capture does not decode to them.
std::string CapturePath(DWORD width, DWORD height, int& frames) {
  static std::map<DWORD, std::pair<std::string, int>> made;
  auto found = made.find(width);
  if (found != made.end()) {
    frames = found->second.second;
    return found->second.first;
  }
  std::ifstream in(FramesPath(width, height), std::ios::binary);
  if (!in) return {};
  const std::size_t frameBytes = DibImageSize(width, height, 16);
  std::vector<BYTE> frame(frameBytes);
  const std::string path = FramesPath(width, height) + ".zeph";
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(capture::kStreamScreen, width, height);
  frames = 0;
  while (in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frameBytes))) {
    writer.AddScreenPicture(frames * kFrameMs, frame.data(), width, height, 16, frames % kKeyEvery == 0);
    ++frames;
  }
  if (!writer.Finish() || !DecodesToTheFrames(path, FramesPath(width, height), width, height)) return {};
  made[width] = {path, frames};
  return path;
}

std::vector<CCaptureScreen*> ReadScreens(CCaptureFileReader& reader) {
  std::vector<CCaptureScreen*> screens;
  reader.SeekToTime(0);
  for (;;) {
    CCaptureData* record = reader.ReadRecord(true);
    if (record->GetRecordType() != capture::kRecordScreen) {
      record->Release();
      break;
    }
    screens.push_back(static_cast<CCaptureScreen*>(record));
  }
  return screens;
}

void ReportCounters(benchmark::State& state, DWORD width, DWORD height, std::int64_t pictures) {
  state.counters["pictures/s"] = benchmark::Counter(static_cast<double>(pictures), benchmark::Counter::kIsRate);
  state.counters["MP/s"] = benchmark::Counter(static_cast<double>(pictures) * width * height / 1e6,
                                              benchmark::Counter::kIsRate);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Decode(benchmark::State& state) {
  const auto width = static_cast<DWORD>(state.range(0));
  const auto height = static_cast<DWORD>(state.range(1));
  int frames = 0;
  const std::string path = CapturePath(width, height, frames);
  CCaptureFileReader reader;
  if (path.empty() || !reader.Open(path)) {
    state.SkipWithError("no frames (run scripts/bench-decode) or the capture does not decode to them");
    return;
  }
  std::int64_t pictures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<CCaptureScreen*> screens = ReadScreens(reader);
    CScreenCodec codec(false, true);
    state.ResumeTiming();
    for (CCaptureScreen* screen : screens) benchmark::DoNotOptimize(codec.Decode(*screen));
    state.PauseTiming();
    pictures += static_cast<std::int64_t>(screens.size());
    for (CCaptureScreen* screen : screens) screen->Release();
    state.ResumeTiming();
  }
  ReportCounters(state, width, height, pictures);
}

void BM_ReadAndDecode(benchmark::State& state) {
  const auto width = static_cast<DWORD>(state.range(0));
  const auto height = static_cast<DWORD>(state.range(1));
  int frames = 0;
  const std::string path = CapturePath(width, height, frames);
  CCaptureFileReader reader;
  if (path.empty() || !reader.Open(path)) {
    state.SkipWithError("no frames (run scripts/bench-decode) or the capture does not decode to them");
    return;
  }
  std::int64_t pictures = 0;
  for (auto _ : state) {
    CScreenCodec codec(false, true);
    reader.SeekToTime(0);
    for (;;) {
      CCaptureData* record = reader.ReadRecord(true);
      const bool screen = record->GetRecordType() == capture::kRecordScreen;
      if (screen) benchmark::DoNotOptimize(codec.Decode(*static_cast<CCaptureScreen*>(record)));
      record->Release();
      if (!screen) break;
      ++pictures;
    }
  }
  ReportCounters(state, width, height, pictures);
}

}  // namespace

BENCHMARK(BM_Decode)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadAndDecode)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
