// bench-lib: pravex
// Screen decoding, one thread: a 30-second desktop session (300 pictures at
// 10 a second, 16-bit 5-6-5) written with CCaptureFileWriter as run-length +
// zlib key pictures every 10 seconds and deltas between, then decoded from
// the first record to the last by a fresh CScreenCodec in share mode, each
// decoded record released before the next (as the renderer does).
//
// The pictures come from the desktop-session generator that the FFmpeg
// comparison uses: OLVANE_BENCH_GENERATOR names its program (scripts/bench
// builds it), which is run as `GEN -s WxH -p rgb565le -C -n 300` (-C: the
// pointer is left out, since captures carry the cursor as records of its
// own). Without it the benchmarks are skipped. Before timing, every decoded
// picture is checked against the generator's picture.
//
// BM_ScreenDecode times the codec alone (the records are made between timed
// runs); BM_ScreenReadAndDecode also reads them from the capture file.
// Counters: pictures/s and MP/s (decoded pictures and megapixels a second),
// key_ms and delta_ms (mean decode time of a key picture and of a delta),
// file_KB (the capture), decoder_MB (the picture plus the largest inflated
// record) and peak_rss_MB (of the whole process).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
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

// The capture of one size: its file (removed at exit), its screen records
// and a hash of every generated picture.
struct Session {
  std::string path;
  std::vector<StoredScreen> records;
  std::vector<std::uint64_t> pictureHashes;
  std::uint64_t fileBytes = 0;
  std::string error;
  ~Session() {
    std::error_code ignored;
    if (!path.empty()) fs::remove(path, ignored);
  }
};

std::uint64_t Hash(const BYTE* bytes, std::size_t size) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    h = (h ^ word) * 0x100000001b3ull;
  }
  for (; i < size; ++i) h = (h ^ bytes[i]) * 0x100000001b3ull;
  return h;
}

struct PipeCloser {
  void operator()(std::FILE* f) const { pclose(f); }
};

// Runs the generator and writes its pictures as a capture at session.path.
bool WriteSession(Session& session, int width, int height) {
  const char* generator = std::getenv("OLVANE_BENCH_GENERATOR");
  if (!generator || !*generator) {
    session.error = "OLVANE_BENCH_GENERATOR is not set (run scripts/bench)";
    return false;
  }
  const std::string command = std::string(generator) + " -s " + std::to_string(width) + "x" + std::to_string(height) +
                              " -p rgb565le -C -n " + std::to_string(kPictures);
  std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
  CCaptureFileWriter writer;
  if (!pipe || !writer.Create(session.path) || !writer.AddStream(capture::kStreamScreen, width, height)) {
    session.error = "cannot run " + command + " or write " + session.path;
    return false;
  }
  std::vector<BYTE> picture(static_cast<std::size_t>(width) * height * 2);  // no row padding at these widths
  for (int i = 0; i < kPictures; ++i) {
    if (std::fread(picture.data(), 1, picture.size(), pipe.get()) != picture.size()) {
      session.error = "the generator gave fewer pictures than asked";
      return false;
    }
    session.pictureHashes.push_back(Hash(picture.data(), picture.size()));
    if (!writer.AddScreenPicture(static_cast<DWORD>(i) * kIntervalMs, picture.data(), width, height, 16,
                                 i % kKeyEvery == 0)) {
      session.error = "writing the capture failed";
      return false;
    }
  }
  if (!writer.Finish()) session.error = "writing the capture's trailer failed";
  return session.error.empty();
}

// Reads the screen records back and checks that each decodes to its picture.
bool LoadSession(Session& session) {
  CCaptureFileReader reader;
  if (!reader.Open(session.path)) return false;
  CScreenCodec codec(false, false);
  reader.SeekToTime(0);
  for (;;) {
    CCaptureData* record = reader.ReadRecord(true);
    if (record->GetRecordType() != capture::kRecordScreen) {
      record->Release();
      break;
    }
    auto& s = static_cast<CCaptureScreen&>(*record);
    StoredScreen stored{s.GetTime(), s.GetEncoding(), s.GetCompression(), s.GetUncompressedLength(), {}};
    stored.data.assign(s.GetDataBytes(), s.GetDataBytes() + s.GetDataLength());
    const std::size_t index = session.records.size();
    const bool same = codec.Decode(s) && index < session.pictureHashes.size() &&
                      Hash(s.GetDataBytes(), s.GetDataLength()) == session.pictureHashes[index];
    record->Release();
    if (!same) {
      session.error = "picture " + std::to_string(index) + " does not decode to the generator's picture";
      return false;
    }
    session.records.push_back(std::move(stored));
  }
  session.fileBytes = static_cast<std::uint64_t>(fs::file_size(session.path));
  if (session.records.size() != kPictures) session.error = "the capture does not hold every picture";
  return session.error.empty();
}

const Session& GetSession(int width, int height) {
  static std::map<std::pair<int, int>, Session> sessions;
  auto found = sessions.find({width, height});
  if (found != sessions.end()) return found->second;
  Session& session = sessions[{width, height}];
  session.path = (fs::temp_directory_path() / ("olvane-bench-desktop-" + std::to_string(width) + "x" +
                                               std::to_string(height) + "-" + std::to_string(getpid()) + ".zeph"))
                     .string();
  if (WriteSession(session, width, height)) LoadSession(session);
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

void ReportCounters(benchmark::State& state, const Session& session, int width, int height) {
  const double pictures = static_cast<double>(state.iterations()) * kPictures;
  std::uint64_t largest = 0;
  for (const StoredScreen& s : session.records) largest = std::max<std::uint64_t>(largest, s.uncompressed);
  state.counters["pictures/s"] = benchmark::Counter(pictures, benchmark::Counter::kIsRate);
  state.counters["MP/s"] = benchmark::Counter(pictures * width * height / 1e6, benchmark::Counter::kIsRate);
  state.counters["file_KB"] = session.fileBytes / 1024.0;
  state.counters["decoder_MB"] = (static_cast<double>(width) * height * 2 + largest) / (1 << 20);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = usage.ru_maxrss / 1024.0;
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
  std::uint64_t keys = 0, deltas = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < records.size(); ++i) records[i] = MakeRecord(session.records[i], width, height);
    state.ResumeTiming();
    CScreenCodec codec(false, true);
    for (CCaptureScreen* record : records) {
      const bool delta =
          record->GetEncoding() == capture::kScreenDelta || record->GetEncoding() == capture::kScreenUnchanged;
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(codec.Decode(*record));
      record->Release();
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      (delta ? deltaSeconds : keySeconds) += seconds;
      ++(delta ? deltas : keys);
    }
    benchmark::DoNotOptimize(codec.GetPicture());
  }
  ReportCounters(state, session, width, height);
  state.counters["key_ms"] = keys ? keySeconds * 1e3 / keys : 0;
  state.counters["delta_ms"] = deltas ? deltaSeconds * 1e3 / deltas : 0;
}

void BM_ScreenReadAndDecode(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const Session& session = GetSession(width, height);
  CCaptureFileReader reader;
  if (!session.error.empty() || !reader.Open(session.path)) {
    state.SkipWithError(session.error.empty() ? "the capture does not open" : session.error.c_str());
    return;
  }
  for (auto _ : state) {
    CScreenCodec codec(false, true);
    reader.SeekToTime(0);
    for (;;) {
      CCaptureData* record = reader.ReadRecord(true);
      const bool screen = record->GetRecordType() == capture::kRecordScreen;
      if (screen) benchmark::DoNotOptimize(codec.Decode(*static_cast<CCaptureScreen*>(record)));
      record->Release();
      if (!screen) break;
    }
  }
  ReportCounters(state, session, width, height);
}

}  // namespace

BENCHMARK(BM_ScreenDecode)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScreenReadAndDecode)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
