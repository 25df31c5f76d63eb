// Shared set-up for every test program: headless drivers, the C locale and a
// private temporary home so that tests never touch the user's files.
#pragma once

#include <string>

namespace testenv {

// The temporary folder this test process owns (removed at exit).
const std::string& ProcessTempDir();
// A fresh, empty folder inside ProcessTempDir().
std::string MakeTempDir(const std::string& hint = "t");
// Writes bytes to a file, creating it; false on failure.
bool WriteFile(const std::string& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Folder of the built programs (olvane-probe and friends).
std::string BinDir();
// The source tree's root folder (for resources and corpora the tests read).
std::string SourceDir();
// Sets an environment variable unless it is already set.
void SetDefault(const char* name, const char* value);

}  // namespace testenv
