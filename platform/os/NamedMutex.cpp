#include "platform/os/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

namespace os {

// One per name and process, shared by every CNamedMutex of that name.
struct NamedMutexState {
  std::mutex mutex;
  std::condition_variable released;
  std::thread::id owner;
  int count = 0;  // recursion depth of the owner; 0 when free
  int fd = -1;    // the lock file, opened by this process
  pid_t pid = 0;  // process that opened fd
  std::string path;
};

}  // namespace os

namespace {

using Clock = std::chrono::steady_clock;
// How often a timed wait polls the lock file held by another process.
constexpr auto kPollInterval = std::chrono::milliseconds(2);

std::string SafeFileName(const std::string& name) {
  std::string out;
  for (char c : name) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    out += ok ? c : '_';
  }
  if (out.empty() || out[0] == '.') out.insert(out.begin(), '_');
  return out;
}

// A folder that is ours alone: created 0700, refused when it is a link or belongs to someone else.
bool PrivateFolder(const std::string& dir) {
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (runtime && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
    return std::string(runtime) + "/kalvo-locks";
  }
  const char* tmp = std::getenv("TMPDIR");
  const std::string base = (tmp && tmp[0] == '/') ? tmp : "/tmp";
  return base + "/kalvo-locks-" + std::to_string(::getuid());
}

std::shared_ptr<os::NamedMutexState> StateFor(const std::string& name) {
  static std::mutex tableLock;
  static auto* table = new std::map<std::string, std::shared_ptr<os::NamedMutexState>>;
  std::lock_guard<std::mutex> guard(tableLock);
  auto& slot = (*table)[name];
  if (!slot) slot = std::make_shared<os::NamedMutexState>();
  return slot;
}

// Makes the state usable by this process: a child of fork() forgets its
// parent's holder and opens the lock file anew (the inherited descriptor
// shares the parent's lock). Called with state.mutex held.
void AdoptInProcess(os::NamedMutexState& s, const std::string& name) {
  const pid_t pid = ::getpid();
  if (s.fd >= 0 && s.pid == pid) return;
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
  s.owner = std::thread::id();
  s.count = 0;
  s.pid = pid;
  s.path = CNamedMutex::LockFilePath(name);
  const std::size_t slash = s.path.rfind('/');
  if (slash == std::string::npos || !PrivateFolder(s.path.substr(0, slash))) return;
  s.fd = ::open(s.path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool FlockUntil(int fd, bool forever, Clock::time_point deadline) {
  for (;;) {
    if (::flock(fd, forever ? LOCK_EX : LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || forever || Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace

CNamedMutex::CNamedMutex(const std::string& name) : m_name(name), m_state(StateFor(name)) {}

CNamedMutex::~CNamedMutex() = default;

std::string CNamedMutex::LockFilePath(const std::string& name) {
  return LockFolder() + "/" + SafeFileName(name) + ".lock";
}

bool CNamedMutex::Lock(std::uint32_t timeoutMs) {
  os::NamedMutexState& s = *m_state;
  const bool forever = timeoutMs == INFINITE;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(s.mutex);
  AdoptInProcess(s, m_name);
  if (s.count > 0 && s.owner == self) {
    ++s.count;
    return true;
  }
  // First wait for the other threads of this process, then for other processes.
  while (s.count > 0) {
    if (forever) {
      s.released.wait(lock);
    } else if (s.released.wait_until(lock, deadline) == std::cv_status::timeout && s.count > 0) {
      return false;
    }
  }
  if (s.fd < 0) return false;
  s.owner = self;
  s.count = 1;
  const int fd = s.fd;
  lock.unlock();
  const bool held = FlockUntil(fd, forever, deadline);
  lock.lock();
  if (!held) {
    s.owner = std::thread::id();
    s.count = 0;
    s.released.notify_one();
  }
  return held;
}

void CNamedMutex::Unlock() {
  os::NamedMutexState& s = *m_state;
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.count == 0 || s.owner != std::this_thread::get_id() || s.pid != ::getpid()) return;
  if (--s.count > 0) return;
  ::flock(s.fd, LOCK_UN);
  s.owner = std::thread::id();
  s.released.notify_one();
}
