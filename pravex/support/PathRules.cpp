#include "pravex/support/PathRules.h"

#include <sys/stat.h>

namespace support {

// Any directory entry counts, a dangling symbolic link included: a name that
// is taken must never be handed out as free.
bool PathExists(const std::string& path) {
  struct stat st {};
  return IsUsablePath(path) && lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return IsUsablePath(path) && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace support
