#include "pravex/support/FolderOperations.h"

#include "platform/base/Strings.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Shell.h"
#include "pravex/support/PathNames.h"
#include "pravex/support/PathRules.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <limits>
#include <memory>

using support::IsUsablePath;
using support::kMaxPathBytes;

namespace {

// Deeper trees than this are not walked (a guard against runaway recursion).
constexpr int kMaxFolderDepth = 256;

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

// The names in a folder except "." and ".."; empty (and `error` set to the
// errno) when it cannot be read.
std::vector<std::string> ReadNames(const std::string& folder, int* error = nullptr) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, DirCloser> d(opendir(folder.c_str()));
  if (error) *error = d ? 0 : errno;
  if (!d) return names;
  while (const dirent* e = readdir(d.get())) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  return names;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool MakeLevel(const std::string& level) {
  if (mkdir(level.c_str(), 0777) == 0) return true;
  return errno == EEXIST && support::IsDirectory(level);
}

}  // namespace

BOOL CheckAccess(const std::string& path) {
  return IsUsablePath(path) && access(path.c_str(), F_OK) == 0 ? TRUE : FALSE;
}

BOOL IsFolderThere(const std::string& path) {
  if (!IsUsablePath(path)) return FALSE;
  std::string p = path;
  bool hadSeparator = false;
  while (!p.empty() && (support::IsSeparator(p.back()) || std::isspace(static_cast<unsigned char>(p.back())))) {
    hadSeparator = hadSeparator || support::IsSeparator(p.back());
    p.pop_back();
  }
  if (p.empty()) return hadSeparator ? TRUE : FALSE;
  struct stat st {};
  return stat(p.c_str(), &st) == 0 ? TRUE : FALSE;
}

BOOL CreateAFolder(const char* path, BOOL report) { return path ? CreateAFolder(std::string(path), report) : FALSE; }

BOOL CreateAFolder(const std::string& path, BOOL report) {
  if (!IsUsablePath(path)) return FALSE;
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  if (p[0] != '/') {
    char cwd[kMaxPathBytes + 1];
    if (!getcwd(cwd, sizeof cwd)) return FALSE;
    p = JoinPath(cwd, p);
  }
  while (!p.empty() && p.back() == '/') p.pop_back();
  bool ok = true;
  for (std::size_t i = p.find('/', 1); ok && i != std::string::npos; i = p.find('/', i + 1)) {
    if (p[i - 1] != '/') ok = MakeLevel(p.substr(0, i));
  }
  if (ok && !p.empty()) ok = MakeLevel(p);
  if (!ok && report) MessageBox(str::Format("Unable to create the folder %s", path.c_str()), "", MB_OK | MB_ICONERROR);
  return ok ? TRUE : FALSE;
}

BOOL CreateFolder(const std::string& path) {
  return support::IsDirectory(path) || CreateAFolder(path, TRUE) ? TRUE : FALSE;
}

BOOL CreateSystemFolder(const std::string& path) { return CreateFolder(path); }

BOOL DeleteSystemFolder(const std::string& path) { return support::IsDirectory(path) ? TRUE : FALSE; }

BOOL SetFileStatus(const std::string& path, BYTE attributes) {
  struct stat st {};
  if (!IsUsablePath(path) || stat(path.c_str(), &st) != 0) return FALSE;
  mode_t mode = st.st_mode & 07777;
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  } else {
    mode |= S_IWUSR;
  }
  if (mode == (st.st_mode & 07777)) return TRUE;
  return chmod(path.c_str(), mode) == 0 ? TRUE : FALSE;
}

BOOL HideFile(const std::string& path) { return CheckAccess(path); }

int CreateFileList(std::vector<std::string>& array, const std::string& folderAndPrefix, const std::string& extensions,
                   BOOL stripExtension) {
  array.clear();
  if (!IsUsablePath(folderAndPrefix) || extensions.size() > kMaxPathBytes) return 0;
  const std::size_t slash = folderAndPrefix.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : folderAndPrefix.substr(0, slash + 1);
  const std::string prefix = slash == std::string::npos ? folderAndPrefix : folderAndPrefix.substr(slash + 1);
  const bool everyExtension = !extensions.empty() && extensions[0] == '*';
  std::vector<std::string> wanted;
  const int count = everyExtension ? 0 : CreateExtensionList(wanted, extensions, 20);
  for (const std::string& name : ReadNames(folder)) {
    struct stat st {};
    if (!str::StartsWithNoCase(name, prefix) || stat(JoinPath(folder, name).c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode)) {
      continue;
    }
    if (!everyExtension && !ValidExtension(wanted, GetExtension(name), count)) continue;
    array.push_back(stripExtension ? ClearExtension(name) : name);
  }
  std::sort(array.begin(), array.end());
  return static_cast<int>(array.size());
}

int CreateFolderList(std::vector<std::string>& array, const std::string& folder) {
  array.clear();
  if (!IsUsablePath(folder)) return 0;
  for (const std::string& name : ReadNames(folder)) {
    if (support::IsDirectory(JoinPath(folder, name))) array.push_back(name);
  }
  std::sort(array.begin(), array.end());
  return static_cast<int>(array.size());
}

namespace {

void AddFolderSize(const std::string& folder, int depth, ULONGLONG& bytes, int& files) {
  if (depth > kMaxFolderDepth) return;
  for (const std::string& name : ReadNames(folder)) {
    const std::string path = JoinPath(folder, name);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      if (name[0] != '.') AddFolderSize(path, depth + 1, bytes, files);
    } else if (S_ISREG(st.st_mode)) {
      const ULONGLONG size = static_cast<ULONGLONG>(st.st_size);
      bytes =
          size > std::numeric_limits<ULONGLONG>::max() - bytes ? std::numeric_limits<ULONGLONG>::max() : bytes + size;
      if (files < std::numeric_limits<int>::max()) ++files;
    }
  }
}

}  // namespace

int GetFolderSize(const std::string& folder, ULONGLONG& bytes) {
  bytes = 0;
  int files = 0;
  if (IsUsablePath(folder)) AddFolderSize(folder, 0, bytes, files);
  return files;
}

namespace {

// Deletes what matches in `folder` and below; false when something stayed.
// With `report` the first sub-folder that cannot be removed is reported and
// the walk stops.
bool DestroyIn(const std::string& folder, const std::string& pattern, bool report, int depth) {
  if (depth > kMaxFolderDepth) return false;
  int error = 0;
  const std::vector<std::string> names = ReadNames(folder, &error);
  if (error != 0) return error == ENOENT;
  bool ok = true;
  for (const std::string& name : names) {
    const std::string path = JoinPath(folder, name);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      if (name[0] == '.') continue;
      const bool inner = DestroyIn(path, pattern, report, depth + 1);
      if (!inner && report) return false;
      if (rmdir(path.c_str()) != 0) {
        if (report) {
          MessageBox(str::Format("Unable to remove %s from the output folder ", path.c_str()), "",
                     MB_OK | MB_ICONERROR);
          return false;
        }
        ok = false;
      }
    } else if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
      if (S_ISREG(st.st_mode)) chmod(path.c_str(), S_IRUSR | S_IWUSR);
      if (unlink(path.c_str()) != 0) ok = false;
    }
  }
  return ok;
}

}  // namespace

BOOL DestroyFolder(const std::string& folder, const std::string& pattern, BOOL report) {
  if (!IsUsablePath(folder) || pattern.size() > kMaxPathBytes) return FALSE;
  const std::string dir = WithoutTrailingSlashes(folder);
  if (dir == "/" || os::CanonicalPath(dir) == "/") return FALSE;
  const std::string glob = pattern.empty() || pattern == "*.*" ? "*" : pattern;
  return DestroyIn(dir, glob, report != FALSE, 0) ? TRUE : FALSE;
}
