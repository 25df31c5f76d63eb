// bench-lib: pravex
// The inflate of the screen codec's key pictures: zlib's uncompress against
// libdeflate (whole-buffer, the decoded size being known from the picture),
// on the zlib-compressed key pictures of the 1920x1080 and 1024x768 16-bit
// demo sessions written by olvane-mkcapture. Counter "MB_per_s" = decoded
// megabytes a second.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"

namespace {

struct KeyPicture {
  std::vector<BYTE> compressed;
  DWORD decoded = 0;
};

// The zlib-compressed key pictures of a demo session; empty when none.
std::vector<KeyPicture> KeyPictures(int width, int height) {
  char pattern[] = "/tmp/olvane-inflate-XXXXXX";
  if (!mkdtemp(pattern)) return {};
  const std::string path = std::string(pattern) + "/demo.zeph";
  const std::string command = std::string(OLVANE_BINARY_DIR) + "/bin/olvane-mkcapture demo '" + path + "' --size " +
                              std::to_string(width) + "x" + std::to_string(height) +
                              " --bits 16 --sound none --no-camera --quiet --seconds 10 --key-every 1";
  std::vector<KeyPicture> keys;
  if (std::system(command.c_str()) == 0) {
    CCaptureFileReader reader;
    if (reader.Open(path)) {
      reader.GetSource().SeekTo(reader.GetDataStart());
      for (;;) {
        CCaptureData* record = reader.ReadRecord(true);
        const DWORD type = record->GetRecordType();
        auto* screen = type == capture::kRecordScreen ? dynamic_cast<CCaptureScreen*>(record) : nullptr;
        if (screen && screen->GetCompression() == capture::kCompressionZlib && screen->GetDataBytes()) {
          keys.push_back({std::vector<BYTE>(screen->GetDataBytes(), screen->GetDataBytes() + screen->GetDataLength()),
                          screen->GetUncompressedLength()});
        }
        record->Release();
        if (type == capture::kRecordEndOfStream) break;
      }
    }
  }
  std::remove(path.c_str());
  rmdir(pattern);
  return keys;
}

void Inflate(benchmark::State& state, bool libdeflate) {
  const std::vector<KeyPicture> keys = KeyPictures(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (keys.empty()) return state.SkipWithError("no key pictures");
  std::vector<BYTE> out;
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  double bytes = 0;
  for (auto _ : state) {
    for (const KeyPicture& k : keys) {
      out.resize(k.decoded);
      bool ok;
      if (libdeflate) {
        ok = libdeflate_zlib_decompress(d, k.compressed.data(), k.compressed.size(), out.data(), out.size(), nullptr) ==
             LIBDEFLATE_SUCCESS;
      } else {
        uLongf length = k.decoded;
        ok = uncompress(out.data(), &length, k.compressed.data(), k.compressed.size()) == Z_OK;
      }
      if (!ok) return state.SkipWithError("inflate failed");
      bytes += k.decoded;
    }
  }
  libdeflate_free_decompressor(d);
  state.counters["MB_per_s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
  state.counters["keys"] = static_cast<double>(keys.size());
}

void BM_KeyInflateZlib(benchmark::State& state) { Inflate(state, false); }
void BM_KeyInflateLibdeflate(benchmark::State& state) { Inflate(state, true); }

}  // namespace

BENCHMARK(BM_KeyInflateZlib)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KeyInflateLibdeflate)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
