#include "ToolRun.h"

#include <sys/wait.h>

#include <cstdio>

#include "tests/common/TestEnvironment.h"

std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

ToolRun RunTool(const std::string& program, const std::string& args, const std::string& prefix) {
  const std::string command = prefix + (prefix.empty() ? "" : " ") + ShellQuote(testenv::BinDir() + "/" + program) + " " + args + " 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
