#include "pravex/support/FileTransfer.h"

#include "pravex/support/PathRules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

using support::IsUsablePath;

namespace {

constexpr std::size_t kCopyChunk = 1 << 20;

class CFd {
 public:
  explicit CFd(int fd) : m_fd(fd) {}
  ~CFd() { Close(); }
  CFd(const CFd&) = delete;
  CFd& operator=(const CFd&) = delete;
  int Get() const { return m_fd; }
  bool Close() {
    const int fd = m_fd;
    m_fd = -1;
    return fd < 0 || close(fd) == 0;
  }

 private:
  int m_fd;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies the open source into the open destination; false on an error or when
// the progress routine cancels.
bool CopyData(int in, int out, ULONGLONG total, const CopyProgressRoutine& progress) {
  std::vector<char> buffer(kCopyChunk);
  ULONGLONG done = 0;
  if (progress && !progress(0, total)) return false;
  for (;;) {
    const ssize_t n = read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) return false;
    done += static_cast<ULONGLONG>(n);
    if (progress && !progress(done, std::max(total, done))) return false;
  }
}

// Puts the finished temporary file in place; without `replace` an existing
// destination makes it fail (atomically where the file system can link).
bool PlaceFile(const std::string& temp, const std::string& to, bool replace) {
  if (replace) return rename(temp.c_str(), to.c_str()) == 0;
  if (link(temp.c_str(), to.c_str()) == 0) {
    unlink(temp.c_str());
    return true;
  }
  if (errno == EEXIST || access(to.c_str(), F_OK) == 0) return false;
  return rename(temp.c_str(), to.c_str()) == 0;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

BOOL NTCopyFileEx(const std::string& from, const std::string& to, const CopyProgressRoutine& progress, DWORD flags) {
  if (!IsUsablePath(from) || !IsUsablePath(to) || to.size() + 12 > support::kMaxPathBytes) return FALSE;
  CFd in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat source {};
  if (in.Get() < 0 || fstat(in.Get(), &source) != 0 || !S_ISREG(source.st_mode)) return FALSE;
  struct stat target {};
  if (stat(to.c_str(), &target) == 0) {
    if ((flags & COPY_FILE_FAIL_IF_EXISTS) || SameFile(source, target) || S_ISDIR(target.st_mode)) return FALSE;
  }
  std::string temp = to + ".part-XXXXXX";
  CFd out(mkostemp(temp.data(), O_CLOEXEC));
  if (out.Get() < 0) return FALSE;
  const bool copied = CopyData(in.Get(), out.Get(), static_cast<ULONGLONG>(source.st_size), progress) &&
                      fchmod(out.Get(), source.st_mode & 07777) == 0;
  if (!out.Close() || !copied || !PlaceFile(temp, to, !(flags & COPY_FILE_FAIL_IF_EXISTS))) {
    unlink(temp.c_str());
    return FALSE;
  }
  return TRUE;
}

namespace {

bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot refuse atomically: look first.
  struct stat st {};
  if (lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

BOOL NTMoveFileWithProgress(const std::string& from, const std::string& to, const CopyProgressRoutine& progress,
                            DWORD flags) {
  struct stat source {};
  if (!IsUsablePath(from) || !IsUsablePath(to) || lstat(from.c_str(), &source) != 0) return FALSE;
  const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  const bool renamed = replace ? rename(from.c_str(), to.c_str()) == 0 : RenameNoReplace(from, to);
  if (renamed) {
    const ULONGLONG size = S_ISREG(source.st_mode) ? static_cast<ULONGLONG>(source.st_size) : 0;
    if (progress) progress(size, size);
    return TRUE;
  }
  if (errno != EXDEV || !(flags & MOVEFILE_COPY_ALLOWED) || !S_ISREG(source.st_mode)) return FALSE;
  if (!NTCopyFileEx(from, to, progress, replace ? 0 : COPY_FILE_FAIL_IF_EXISTS)) return FALSE;
  if (unlink(from.c_str()) != 0) {
    // The original cannot go: undo the copy rather than leave two of it.
    unlink(to.c_str());
    return FALSE;
  }
  return TRUE;
}
