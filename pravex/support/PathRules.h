// Rules every path function of the support folder shares: which names are
// usable at all, and which characters separate folders. "/" is written; both
// "/" and "\" are accepted when a name is split, so that names written on
// Windows (play scripts, stored settings) still resolve.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace support {

// Longest path the functions accept or produce (the kernel's PATH_MAX).
constexpr std::size_t kMaxPathBytes = 4096;

inline bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Non-empty, at most kMaxPathBytes and without an embedded NUL (which would
// silently cut the name short when handed to the system).
inline bool IsUsablePath(std::string_view path) {
  return !path.empty() && path.size() <= kMaxPathBytes && path.find('\0') == std::string_view::npos;
}

// Position of the last "/" or "\", or npos.
inline std::size_t LastSeparator(std::string_view path) { return path.find_last_of("/\\"); }

// Existence tests that never follow a name that is not usable.
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);

}  // namespace support
