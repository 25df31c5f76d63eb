// Runs one of the built programs (from testenv::BinDir()) and collects its
// exit code and output (stdout and stderr together).
#pragma once

#include <string>

struct ToolRun {
  int code = -1;
  std::string out;
};

// `args` is appended to the program's path as shell words; `prefix`, shell
// words put before it (an environment, a time limit).
ToolRun RunTool(const std::string& program, const std::string& args, const std::string& prefix = "");
// Quotes a path for the shell.
std::string ShellQuote(const std::string& text);
