#include "tests/common/DesktopSession.h"

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace testenv {

namespace {
constexpr const char* kSessionVariable = "OLVANE_XVFB_SESSION";

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
}  // namespace

bool InXvfbSession() {
  const char* flag = std::getenv(kSessionVariable);
  const char* display = std::getenv("DISPLAY");
  return flag && std::string(flag) == "1" && display && *display;
}

bool HaveProgram(const std::string& name) {
  std::string ignored;
  return RunCapture("command -v " + Quoted(name) + " >/dev/null 2>&1", ignored) == 0;
}

int RunCapture(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunSelfUnderXvfb(const std::string& filter, std::string& log) {
  char exe[PATH_MAX] = {};
  if (readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) return -1;
  std::ostringstream command;
  command << kSessionVariable << "=1 OLVANE_PRIVATE_CLIPBOARD=0 xvfb-run -a -s '-screen 0 1024x768x24' " << Quoted(exe)
          << " --gtest_filter=" << Quoted(filter) << " 2>&1";
  return RunCapture(command.str(), log);
}

bool AllPassed(const std::string& log) {
  return log.find("[  PASSED  ]") != std::string::npos && log.find("[  SKIPPED ]") == std::string::npos &&
         log.find("[  FAILED  ]") == std::string::npos;
}

}  // namespace testenv
