// bench-lib: pravex
// Picking a free capture name in a crowded folder: one listing of the folder
// plus one look-up, however many numbers are taken.
#include "pravex/support/SafeNames.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

static void BM_GetSafeNameCrowded(benchmark::State& state) {
  const int taken = static_cast<int>(state.range(0));
  std::string dir = (fs::temp_directory_path() / "olvane-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  dir += "/";
  char name[32];
  for (int n = 0; n < taken; ++n) {
    std::snprintf(name, sizeof name, "Clip_%.4d.cpt", n);
    std::ofstream(dir + name).put('x');
  }
  for (auto _ : state) benchmark::DoNotOptimize(GetSafeName(dir, "Clip", "cpt"));
  fs::remove_all(dir);
}
BENCHMARK(BM_GetSafeNameCrowded)->Arg(0)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
