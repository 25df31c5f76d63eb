// For fuzz targets whose code under test opens files by name: each input is
// written to one scratch file per process, removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace fuzz {

// The scratch file's path for this process; `tag` tells targets apart.
inline const std::string& ScratchPath(const char* tag) {
  struct ScratchFile {
    std::string path;
    ~ScratchFile() { unlink(path.c_str()); }
  };
  static const ScratchFile file{std::string("/tmp/olvane-fuzz-") + tag + "-" + std::to_string(getpid()) + ".zeph"};
  return file.path;
}

// Writes the input to the scratch file; false when it cannot be written.
inline bool WriteScratch(const char* tag, const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(ScratchPath(tag).c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace fuzz
