// Name handling on untrusted names (play scripts and stored settings carry
// paths written on other systems): the pure string functions must never
// crash, and splitting must give back every character it was given.
#include "pravex/support/PathNames.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Unquoted(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == '"') ++b;
  while (e > b && s[e - 1] == '"') --e;
  return s.substr(b, e - b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int limit = data[0];
  const std::string path(reinterpret_cast<const char*>(data + 1), size - 1);

  std::string dir, name, ext;
  SplitPath(path, dir, name, ext);
  if (path.size() <= 4096) {
    const std::string joined =
        dir + name +
        (ext.empty() && Unquoted(path).find('.', dir.size()) == std::string::npos ? std::string() : "." + ext);
    if (joined != Unquoted(path)) std::abort();
  }
  const std::string shortened = AbbreviatePathName(path, limit);
  if (limit >= 10 && shortened.size() > static_cast<std::size_t>(limit)) std::abort();

  GetExtension(path);
  ClearExtension(path);
  GetFilenameFromPath(path);
  CheckExtension(name, path);
  std::vector<std::string> list;
  if (CreateExtensionList(list, path, limit) > limit) std::abort();
  ValidExtension(list, ext, limit);
  std::string folder = path;
  AppendSlash(folder);
  const std::string good = GetGoodFilename(path);
  if (good.find_first_of("\"#%*/:;<>?\\|") != std::string::npos) std::abort();
  return 0;
}
