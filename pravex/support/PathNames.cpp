#include "pravex/support/PathNames.h"

#include "platform/base/Strings.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Shell.h"
#include "pravex/support/PathRules.h"

#include <algorithm>
#include <cctype>
#include <string_view>

using support::IsSeparator;
using support::kMaxPathBytes;
using support::LastSeparator;

namespace {

// Position of the extension's dot within the final name, or npos.
std::size_t ExtensionDot(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return dot;
  const std::size_t sep = LastSeparator(path);
  return sep != std::string_view::npos && sep > dot ? std::string_view::npos : dot;
}

std::string_view StripQuotes(std::string_view s) {
  while (!s.empty() && s.front() == '"') s.remove_prefix(1);
  while (!s.empty() && s.back() == '"') s.remove_suffix(1);
  return s;
}

}  // namespace

void SplitPath(const std::string& path, std::string& drivePlusDir, std::string& name, std::string& extension) {
  drivePlusDir.clear();
  name.clear();
  extension.clear();
  if (path.size() > kMaxPathBytes) return;
  const std::string_view p = StripQuotes(path);
  const std::size_t sep = LastSeparator(p);
  const std::string_view file = sep == std::string_view::npos ? p : p.substr(sep + 1);
  if (sep != std::string_view::npos) drivePlusDir.assign(p.substr(0, sep + 1));
  const std::size_t dot = file.rfind('.');
  name.assign(file.substr(0, dot));
  if (dot != std::string_view::npos) extension.assign(file.substr(dot + 1));
}

std::string SplitGetPath(const std::string& path) {
  std::string dir, name, ext;
  SplitPath(path, dir, name, ext);
  return dir;
}

std::string SplitGetName(const std::string& path) {
  std::string dir, name, ext;
  SplitPath(path, dir, name, ext);
  return name;
}

std::string SplitGetExtension(const std::string& path) {
  std::string dir, name, ext;
  SplitPath(path, dir, name, ext);
  return ext;
}

std::string SplitGetFullName(const std::string& path) {
  std::string dir, name, ext;
  SplitPath(path, dir, name, ext);
  return name + "." + ext;
}

std::string GetExtension(const std::string& path) {
  if (path.size() > kMaxPathBytes) return {};
  const std::size_t dot = ExtensionDot(path);
  return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string ClearExtension(const std::string& name) {
  if (name.size() > kMaxPathBytes) return {};
  const std::size_t dot = ExtensionDot(name);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string GetFilenameFromPath(const std::string& path) {
  if (path.size() > kMaxPathBytes) return {};
  const std::size_t sep = LastSeparator(path);
  const std::size_t start = sep == std::string::npos ? 0 : sep + 1;
  const std::size_t dot = ExtensionDot(path);
  return path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

BOOL TestExtension(const std::string& path, const std::string& ext) {
  if (path.empty() || path.size() > kMaxPathBytes) return FALSE;
  return str::EqualsNoCase(GetExtension(path), ext) ? TRUE : FALSE;
}

int CheckExtension(const std::string& ext, const std::string& list) {
  if (ext.empty() || ext.size() > kMaxPathBytes || list.size() > kMaxPathBytes) return 0;
  int position = 0;
  for (const std::string& entry : str::Split(list, ',')) {
    ++position;
    if (str::EqualsNoCase(str::Trim(entry), ext)) return position;
  }
  return 0;
}

int CreateExtensionList(std::vector<std::string>& array, const std::string& list, int max) {
  array.clear();
  if (max <= 0 || list.size() > kMaxPathBytes) return 0;
  for (const std::string& entry : str::Split(list, ',')) {
    if (static_cast<int>(array.size()) >= max) break;
    std::string trimmed = str::Trim(entry);
    if (!trimmed.empty()) array.push_back(std::move(trimmed));
  }
  return static_cast<int>(array.size());
}

BOOL ValidExtension(const std::vector<std::string>& array, const std::string& ext, int count) {
  const std::size_t n = count <= 0 ? 0 : std::min(array.size(), static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < n; ++i) {
    if (str::EqualsNoCase(array[i], ext)) return TRUE;
  }
  return FALSE;
}

void AppendSlash(std::string& folder) {
  folder = str::TrimRight(folder);
  if (!folder.empty() && !IsSeparator(folder.back())) folder += '/';
}

std::string GetGoodFilename(const std::string& name) {
  if (name.size() > kMaxPathBytes) return {};
  std::string good = str::Trim(name);
  for (char& c : good) {
    if (std::string_view("\"#%*/:;<>?\\|").find(c) != std::string_view::npos) c = '_';
  }
  return good;
}

std::string GoodFilename(const std::string& name) {
  const std::string good = GetGoodFilename(name);
  if (good == name) return good;
  const std::string question = str::Format(
      "The name entered contains invalid characters.\r\nWould you like to use \"%s\" instead.", good.c_str());
  return MessageBox(question, "", MB_YESNO | MB_ICONQUESTION) == IDNO ? std::string() : good;
}

BOOL ShortToLongPath(const std::string& shortPath, std::string& longPath) {
  if (!support::IsUsablePath(shortPath)) {
    longPath.clear();
    return FALSE;
  }
  const std::string canonical = os::CanonicalPath(shortPath);
  longPath = canonical.empty() ? shortPath : canonical;
  return canonical.empty() ? FALSE : TRUE;
}

BOOL GetGoodPathName(std::string& path) {
  std::string longPath;
  if (!ShortToLongPath(path, longPath)) return FALSE;
  path = longPath;
  return TRUE;
}

namespace {

// The first `n` bytes of `s`, shortened so that no multi-byte character is cut.
std::string_view HeadOf(std::string_view s, std::size_t n) {
  if (n >= s.size()) return s;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

// The form used when even the name alone is too long: the path's first three
// characters, "...", as much of the name as fits and "...".
std::string AbbreviateLongName(const std::string& path, std::string_view name, std::size_t limit) {
  const std::size_t keep = limit > 10 ? std::min(name.size(), limit - 10) : 0;
  return std::string(HeadOf(path, 3)) + "..." + std::string(HeadOf(name, keep)) + "...";
}

// Where the part kept at the front ends: after "//server/share", after a drive
// ("C:"), before the first separator otherwise ("" for "/home/...").
std::size_t LeadingPartEnd(const std::string& path) {
  if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    const std::size_t server = path.find_first_of("/\\", 2);
    if (server == std::string::npos) return path.size();
    const std::size_t share = path.find_first_of("/\\", server + 1);
    return share == std::string::npos ? path.size() : share;
  }
  const std::size_t first = path.find_first_of("/\\");
  return first == std::string::npos ? path.size() : first;
}

}  // namespace

std::string AbbreviatePathName(const std::string& path, int maxChars) {
  if (path.size() > kMaxPathBytes) return {};
  const std::size_t limit = maxChars < 0 ? 0 : static_cast<std::size_t>(maxChars);
  if (path.size() <= limit) return path;
  const std::size_t last = LastSeparator(path);
  const std::string_view whole(path);
  const std::string_view name = last == std::string::npos ? whole : whole.substr(last + 1);
  if (name.size() > limit || last == std::string::npos) return AbbreviateLongName(path, name, limit);

  // Separators from the end of the leading part to the name.
  std::vector<std::size_t> seps;
  for (std::size_t i = LeadingPartEnd(path); i <= last; ++i) {
    if (IsSeparator(path[i])) seps.push_back(i);
  }
  const std::string ellipsis = std::string(1, path[last]) + "...";
  if (seps.empty()) seps.push_back(last);
  // Keep the first folder too when there are folders enough to drop after it.
  for (std::size_t keep = seps.size() >= 3 ? 1 : 0;; --keep) {
    const std::string lead = path.substr(0, seps[keep]);
    for (std::size_t k = keep + 1; k < seps.size(); ++k) {
      if (lead.size() + ellipsis.size() + (path.size() - seps[k]) <= limit) {
        return lead + ellipsis + path.substr(seps[k]);
      }
    }
    if (keep == 0) break;
  }
  const std::string shortest = ellipsis + path.substr(last);
  return shortest.size() <= limit ? shortest : AbbreviateLongName(path, name, limit);
}
