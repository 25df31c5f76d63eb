#include "platform/base/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFile::~CFile() { Close(); }

CFile::CFile(CFile&& other) noexcept : m_fd(other.m_fd), m_path(std::move(other.m_path)), m_lastError(other.m_lastError) {
  other.m_fd = -1;
}

CFile& CFile::operator=(CFile&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = other.m_fd;
    m_path = std::move(other.m_path);
    m_lastError = other.m_lastError;
    other.m_fd = -1;
  }
  return *this;
}

bool CFile::Open(const std::string& path, unsigned flags) {
  Close();
  m_lastError = 0;
  if (path.empty()) {
    m_lastError = ENOENT;
    return false;
  }
  int oflags = O_CLOEXEC;
  if (flags & modeReadWrite) oflags |= O_RDWR;
  else if (flags & modeWrite) oflags |= O_WRONLY;
  else oflags |= O_RDONLY;
  if (flags & modeCreate) {
    oflags |= O_CREAT;
    if (!(flags & modeNoTruncate)) oflags |= O_TRUNC;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), oflags, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    m_lastError = errno;
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    m_lastError = EISDIR;
    return false;
  }
  m_fd = fd;
  m_path = path;
  return true;
}

void CFile::Close() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
}

std::uint32_t CFile::Read(void* buffer, std::uint32_t count) {
  if (m_fd < 0 || !buffer) return 0;
  std::uint32_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    const ssize_t n = ::read(m_fd, out + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      m_lastError = errno;
      break;
    }
    if (n == 0) break;
    done += static_cast<std::uint32_t>(n);
  }
  return done;
}

bool CFile::Write(const void* buffer, std::uint32_t count) {
  if (m_fd < 0 || (!buffer && count)) return false;
  std::uint32_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < count) {
    const ssize_t n = ::write(m_fd, in + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      m_lastError = errno;
      return false;
    }
    done += static_cast<std::uint32_t>(n);
  }
  return true;
}

std::int64_t CFile::Seek(std::int64_t offset, SeekPosition from) {
  if (m_fd < 0) return -1;
  const int whence = from == begin ? SEEK_SET : (from == current ? SEEK_CUR : SEEK_END);
  const off_t r = ::lseek(m_fd, static_cast<off_t>(offset), whence);
  if (r < 0) {
    m_lastError = errno;
    return -1;
  }
  return static_cast<std::int64_t>(r);
}

std::int64_t CFile::GetPosition() const {
  if (m_fd < 0) return -1;
  return static_cast<std::int64_t>(::lseek(m_fd, 0, SEEK_CUR));
}

std::int64_t CFile::GetLength() const {
  if (m_fd < 0) return -1;
  struct stat st {};
  if (::fstat(m_fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool CFile::SetLength(std::int64_t length) {
  if (m_fd < 0 || length < 0) return false;
  if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0) {
    m_lastError = errno;
    return false;
  }
  return true;
}

bool CFile::Flush() { return m_fd >= 0 && ::fsync(m_fd) == 0; }
