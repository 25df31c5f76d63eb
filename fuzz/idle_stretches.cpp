// Fuzz target: the idle-stretch finder reads a capture from start to end
// (screen records decoded and compared, cursor shapes compared, sound
// decoded); whatever the file holds, the stretches it gives back must be
// ascending, disjoint, at least the minimum long and within the list's bound.
#include "fuzz/ScratchFile.h"

#include <cstdint>
#include <cstdlib>

#include "pravex/capture/IdleStretches.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20) || !fuzz::WriteScratch("idle", data, size)) return 0;
  // The minimum length comes from the input's size, so short ones are tried too.
  const DWORD minLength = 1 + static_cast<DWORD>(size % 3) * 500;
  IdleStretchResult result;
  if (!CIdleStretchFinder::Find(fuzz::ScratchPath("idle"), minLength, result)) return 0;
  if (result.stretches.size() > CIdleStretchList::kMaxStretches) std::abort();
  for (std::size_t i = 0; i < result.stretches.size(); ++i) {
    const IdleStretch& s = result.stretches[i];
    if (s.end <= s.start || s.Length() < minLength) std::abort();
    if (i && result.stretches[i - 1].end > s.start) std::abort();
  }
  return 0;
}
