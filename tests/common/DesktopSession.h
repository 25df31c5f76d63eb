// Tests that need a real X display start this test program once more under
// xvfb-run, with a filter that picks the tests to run there; those tests skip
// everywhere else. Also: running a command and capturing its output.
#pragma once

#include <string>

namespace testenv {

// True in a test process started by RunSelfUnderXvfb.
bool InXvfbSession();
// Whether a program can be found on PATH.
bool HaveProgram(const std::string& name);
// Runs a shell command with standard output captured as bytes; returns its
// exit status (-1 when it could not be run).
int RunCapture(const std::string& command, std::string& output);
// Runs this test program under `xvfb-run -a` with --gtest_filter=filter;
// returns its exit status, with its output (both streams) in `log`.
int RunSelfUnderXvfb(const std::string& filter, std::string& log);
// Whether a run's log shows every test it selected passed (none skipped).
bool AllPassed(const std::string& log);

}  // namespace testenv
