#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace testenv {
namespace {

std::string g_root;
pid_t g_owner = 0;

// Removes the process's temporary folder at exit; forked children leave it.
void RemoveTempDir() {
  if (g_root.empty() || getpid() != g_owner || std::getenv("OLVANE_KEEP_TEST_FILES")) return;
  std::error_code ec;
  // Files and folders made read-only by tests must not stop the clean-up.
  for (auto it = std::filesystem::recursive_directory_iterator(g_root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
  }
  std::filesystem::remove_all(g_root, ec);
}

}  // namespace

void SetDefault(const char* name, const char* value) { setenv(name, value, 0); }

const std::string& ProcessTempDir() {
  if (g_root.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "olvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    g_root = pattern;
    g_owner = getpid();
    std::atexit(RemoveTempDir);
    for (const char* sub : {"home", "config", "data", "cache", "runtime"}) {
      std::filesystem::create_directories(g_root + "/" + sub);
    }
    std::filesystem::permissions(g_root + "/runtime", std::filesystem::perms::owner_all);
    setenv("HOME", (g_root + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_root + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (g_root + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (g_root + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (g_root + "/runtime").c_str(), 1);
    setenv("OLVANE_SETTINGS_FILE", (g_root + "/config/settings.db").c_str(), 1);
  }
  return g_root;
}

std::string MakeTempDir(const std::string& hint) {
  static std::atomic<int> counter{0};
  const std::string dir = ProcessTempDir() + "/" + hint + "-" + std::to_string(counter++);
  std::filesystem::create_directories(dir);
  return dir;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string BinDir() {
  const char* dir = std::getenv("OLVANE_BIN_DIR");
  return dir ? dir : OLVANE_BINARY_DIR "/bin";
}

std::string SourceDir() { return OLVANE_SOURCE_DIR; }

}  // namespace testenv

// Sanitizer settings built into every test program, so that they hold however
// the program is started. The suppressed leaks are process-lifetime caches of
// the font, desktop and media libraries, not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libgio-2.0.so\n"
         "leak:libSDL2-2.0.so\n"
         "leak:libdbus-1.so\n"
         "leak:libX11.so\n";
}
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

int main(int argc, char** argv) {
  testenv::SetDefault("SDL_VIDEODRIVER", "dummy");
  testenv::SetDefault("SDL_AUDIODRIVER", "dummy");
  // Tests run in parallel processes: on a desktop they would take the user's
  // clipboard from each other. Tests of the desktop clipboard run under their
  // own Xvfb server (DesktopSession.h), which switches this back off.
  testenv::SetDefault("OLVANE_PRIVATE_CLIPBOARD", "1");
  setenv("LC_ALL", "C", 1);
  testenv::SetDefault("OLVANE_TEST_DATA", OLVANE_SOURCE_DIR "/tests/data");
  testenv::SetDefault("OLVANE_BIN_DIR", OLVANE_BINARY_DIR "/bin");
  testenv::ProcessTempDir();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
