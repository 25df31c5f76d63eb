// Runs one of the built programs (from testenv::BinDir()) and collects its
// exit code and output (stdout and stderr together).
#pragma once

#include <string>

struct ToolRun {
  int code = -1;
  std::string out;
};

// `args` is appended to the program's path as shell words.
ToolRun RunTool(const std::string& program, const std::string& args);
// Quotes a path for the shell.
std::string ShellQuote(const std::string& text);
