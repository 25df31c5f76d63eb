// bench-lib: pravex
// Screen decoding, one thread: a 30-second desktop session (300 pictures at
// 10 a second, 16-bit 5-6-5) written with CCaptureFileWriter as run-length +
// zlib key pictures every 10 seconds and deltas between, then decoded from
// the first record to the last by a fresh CScreenCodec in share mode, each
// decoded record released before the next (as the renderer does).
//
// The pictures come from the desktop-session generator that the FFmpeg
// comparison uses: OLVANE_BENCH_GENERATOR names its program (scripts/bench
// builds it), which is run as `GEN -s WxH -p rgb565le -C -n 300`. Without it
// the benchmark is skipped.
//
// Counters: pictures/s and MP/s (decoded pictures and megapixels a second),
// key_ms and delta_ms (mean decode time of a key picture and of a delta),
// file_KB (the capture), decoder_MB (the picture plus the largest inflated
// record) and peak_rss_MB (of the whole process).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenCodec.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPictures = 300;
constexpr DWORD kIntervalMs = 100;
constexpr int kKeyEvery = 100;  // 10 s

// One stored screen record, kept so that every iteration decodes fresh copies.
struct StoredScreen {
  DWORD time = 0;
  WORD encoding = 0;
  WORD compression = 0;
  DWORD uncompressed = 0;
  std::vector<BYTE> data;
};

struct Session {
  std::vector<StoredScreen> records;
  std::vector<BYTE> lastPicture;  // the generator's last picture, to check the decoding against
  std::uint64_t fileBytes = 0;
  std::string error;
};

struct PipeCloser {
  void operator()(std::FILE* f) const { pclose(f); }
};

// Runs the generator and writes its pictures as a capture at `path`.
bool WriteSession(const std::string& path, int width, int height, std::vector<BYTE>& picture, std::string& error) {
  const char* generator = std::getenv("OLVANE_BENCH_GENERATOR");
  if (!generator || !*generator) {
    error = "OLVANE_BENCH_GENERATOR is not set (run scripts/bench)";
    return false;
  }
  const std::string command = std::string(generator) + " -s " + std::to_string(width) + "x" + std::to_string(height) +
                              " -p rgb565le -C -n " + std::to_string(kPictures);
  std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
  if (!pipe) {
    error = "cannot run " + command;
    return false;
  }
  CCaptureFileWriter writer;
  if (!writer.Create(path) || !writer.AddStream(capture::kStreamScreen, width, height)) {
    error = "cannot write " + path;
    return false;
  }
  picture.assign(static_cast<std::size_t>(width) * height * 2, 0);  // no row padding at these widths
  for (int i = 0; i < kPictures; ++i) {
    if (std::fread(picture.data(), 1, picture.size(), pipe.get()) != picture.size()) {
      error = "the generator gave fewer pictures than asked";
      return false;
    }
    if (!writer.AddScreenPicture(static_cast<DWORD>(i) * kIntervalMs, picture.data(), width, height, 16,
                                 i % kKeyEvery == 0)) {
      error = "writing the capture failed";
      return false;
    }
  }
  if (!writer.Finish()) error = "writing the capture's trailer failed";
  return error.empty();
}

bool LoadSession(const std::string& path, Session& session) {
  CCaptureFileReader reader;
  if (!reader.Open(path)) return false;
  reader.SeekToTime(0);
  for (;;) {
    CCaptureData* record = reader.ReadRecord(true);
    const bool screen = record->GetRecordType() == capture::kRecordScreen;
    const bool end =
        record->GetRecordType() == capture::kRecordEndOfStream || record->GetStreamType() == capture::kStreamTrailer;
    if (screen) {
      const auto& s = static_cast<const CCaptureScreen&>(*record);
      StoredScreen stored{s.GetTime(), s.GetEncoding(), s.GetCompression(), s.GetUncompressedLength(), {}};
      stored.data.assign(s.GetDataBytes(), s.GetDataBytes() + s.GetDataLength());
      session.records.push_back(std::move(stored));
    }
    record->Release();
    if (end) break;
  }
  session.fileBytes = static_cast<std::uint64_t>(fs::file_size(path));
  return session.records.size() == kPictures;
}

const Session& GetSession(int width, int height) {
  static std::map<std::pair<int, int>, Session> sessions;
  auto found = sessions.find({width, height});
  if (found != sessions.end()) return found->second;
  Session& session = sessions[{width, height}];
  const std::string path = (fs::temp_directory_path() /
                            ("olvane-bench-desktop-" + std::to_string(width) + "x" + std::to_string(height) + ".zeph"))
                               .string();
  if (WriteSession(path, width, height, session.lastPicture, session.error) && !LoadSession(path, session)) {
    session.error = "the written capture does not read back as " + std::to_string(kPictures) + " pictures";
  }
  std::error_code ignored;
  fs::remove(path, ignored);
  return session;
}

CCaptureScreen* MakeRecord(const StoredScreen& stored, int width, int height) {
  auto* record = new CCaptureScreen();
  record->SetTime(stored.time);
  record->SetGeometry(width, height, 16);
  record->SetEncoding(stored.encoding);
  record->SetCompression(stored.compression, stored.uncompressed);
  record->SetDataCopy(stored.data.data(), static_cast<DWORD>(stored.data.size()));
  return record;
}

double PeakRssMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_ScreenDecode(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const Session& session = GetSession(width, height);
  if (!session.error.empty()) {
    state.SkipWithError(session.error.c_str());
    return;
  }
  std::vector<CCaptureScreen*> records(session.records.size());
  double keySeconds = 0, deltaSeconds = 0;
  std::uint64_t keys = 0, deltas = 0, largest = 0;
  for (const StoredScreen& s : session.records) largest = std::max<std::uint64_t>(largest, s.uncompressed);
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < records.size(); ++i) records[i] = MakeRecord(session.records[i], width, height);
    state.ResumeTiming();
    CScreenCodec codec(false, true);
    for (CCaptureScreen* record : records) {
      const bool key =
          record->GetEncoding() != capture::kScreenDelta && record->GetEncoding() != capture::kScreenUnchanged;
      const auto start = std::chrono::steady_clock::now();
      if (!codec.Decode(*record)) state.SkipWithError("a screen record did not decode");
      record->Release();
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      (key ? keySeconds : deltaSeconds) += seconds;
      ++(key ? keys : deltas);
    }
    benchmark::DoNotOptimize(codec.GetPicture());
    if (codec.GetPictureSize() != session.lastPicture.size() ||
        std::memcmp(codec.GetPicture(), session.lastPicture.data(), session.lastPicture.size()) != 0) {
      state.SkipWithError("the last decoded picture differs from the generator's");
      break;
    }
  }
  const double pictures = static_cast<double>(state.iterations()) * kPictures;
  state.counters["pictures/s"] = benchmark::Counter(pictures, benchmark::Counter::kIsRate);
  state.counters["MP/s"] = benchmark::Counter(pictures * width * height / 1e6, benchmark::Counter::kIsRate);
  state.counters["key_ms"] = keys ? keySeconds * 1e3 / keys : 0;
  state.counters["delta_ms"] = deltas ? deltaSeconds * 1e3 / deltas : 0;
  state.counters["file_KB"] = session.fileBytes / 1024.0;
  state.counters["decoder_MB"] = (static_cast<double>(width) * height * 2 + largest) / (1 << 20);
  state.counters["peak_rss_MB"] = PeakRssMB();
}

}  // namespace

BENCHMARK(BM_ScreenDecode)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
