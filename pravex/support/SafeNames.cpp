#include "pravex/support/SafeNames.h"

#include "platform/base/Strings.h"
#include "pravex/support/PathNames.h"
#include "pravex/support/PathRules.h"
#include "pravex/support/StandardFolders.h"
#include "pravex/support/SupportSettings.h"

#include <dirent.h>
#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

using support::kMaxPathBytes;

namespace {

constexpr int kLastSafeNumber = 99998;

bool AllDigits(std::string_view s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string Candidate(const std::string& base, int n, const std::string& extension) {
  return extension.empty() ? str::Format("%s_%.4d", base.c_str(), n)
                           : str::Format("%s_%.4d.%s", base.c_str(), n, extension.c_str());
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

// Numbers n for which "<stem>_<n>[.<extension>]" is already in `dir`; a hint
// that spares a look-up per number, confirmed by a look-up for the pick.
std::vector<bool> TakenNumbers(const std::string& dir, const std::string& stem, const std::string& extension) {
  std::vector<bool> taken(kLastSafeNumber + 1, false);
  DirPtr d(opendir(dir.c_str()));
  if (!d) return taken;
  const std::string head = stem + "_";
  const std::string tail = extension.empty() ? std::string() : "." + extension;
  while (const dirent* e = readdir(d.get())) {
    const std::string_view entry(e->d_name);
    if (entry.size() < head.size() + tail.size() + 4 || entry.substr(0, head.size()) != head ||
        entry.substr(entry.size() - tail.size()) != tail) {
      continue;
    }
    const std::string_view digits = entry.substr(head.size(), entry.size() - head.size() - tail.size());
    if (digits.size() > 5 || !AllDigits(digits)) continue;
    const int n = std::stoi(std::string(digits));
    if (n <= kLastSafeNumber && str::Format("%.4d", n) == digits) taken[static_cast<std::size_t>(n)] = true;
  }
  return taken;
}

}  // namespace

std::string GetSafeName(const std::string& folder, const std::string& name, const std::string& extension) {
  std::string base = str::Trim(name);
  if (base.size() >= 5 && base[base.size() - 5] == '_' && AllDigits(std::string_view(base).substr(base.size() - 4))) {
    base.resize(base.size() - 5);
  }
  // Longest candidate: "_99998" and the dot.
  if (folder.size() + base.size() + extension.size() + 7 > kMaxPathBytes) return {};
  const std::string prefix = folder + base;
  const std::size_t slash = prefix.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : prefix.substr(0, slash + 1);
  const std::string stem = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
  const std::vector<bool> taken = TakenNumbers(dir, stem, extension);
  for (int n = 0; n <= kLastSafeNumber; ++n) {
    if (taken[static_cast<std::size_t>(n)]) continue;
    const std::string candidate = Candidate(base, n, extension);
    if (!support::PathExists(folder + candidate)) return candidate;
  }
  return {};
}

std::string GetSafeCaptureName(const std::string& name) { return GetSafeName(GetOutputFolder(), name, "cpt"); }

std::string GetCaptureName() { return GetSafeCaptureName(GetCapturePrefix()); }

std::string GetSafeInstallName(const std::string& name) {
  const std::string good = GetGoodFilename(name);
  return GetSafeName(GetInstallFolder(), ClearExtension(good), GetExtension(good));
}

namespace {

// The number after `prefix` in a record file name: up to nine digits, so the
// next number always fits an int; 0 when no digit follows.
int RecordNumber(std::string_view entry, std::size_t prefixSize) {
  int n = 0;
  for (std::size_t i = prefixSize; i < entry.size() && i < prefixSize + 9; ++i) {
    const unsigned char c = static_cast<unsigned char>(entry[i]);
    if (!std::isdigit(c)) break;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

BOOL GetGoodRecordName(std::string& name, std::string& path) {
  name.clear();
  path.clear();
  std::string first, second, folder, prefix;
  GetCaptureSaveDetails(first, second, folder, prefix);
  if (folder.empty() || folder.size() > kMaxPathBytes) return FALSE;
  if (!support::IsDirectory(folder)) {
    path = folder;
    return FALSE;
  }
  if (prefix.empty()) prefix = "Capture_";
  int largest = 0;
  DirPtr d(opendir(folder.c_str()));
  if (!d) {
    path = folder;
    return FALSE;
  }
  while (const dirent* e = readdir(d.get())) {
    const std::string_view entry(e->d_name);
    if (!str::StartsWithNoCase(entry, prefix) || !str::EqualsNoCase(GetExtension(std::string(entry)), "zeph")) {
      continue;
    }
    largest = std::max(largest, RecordNumber(entry, prefix.size()));
  }
  std::string dir = folder;
  AppendSlash(dir);
  name = prefix + str::Format("%.4d", largest + 1);
  path = dir + name + ".zeph";
  if (path.size() > kMaxPathBytes) {
    name.clear();
    path.clear();
    return FALSE;
  }
  return TRUE;
}
