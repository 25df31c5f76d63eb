// Every program answers --version with one "PROGRAM VERSION" line and lists
// the option in its --help text.
#include <gtest/gtest.h>

#include <regex>

#include "pravex/PravexVersion.h"
#include "tests/common/ToolRun.h"

TEST(ToolVersion, EveryToolPrintsItsNameAndTheProjectVersion) {
  const std::string version = GetPravexVersion();
  EXPECT_TRUE(std::regex_match(version, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << version;
  for (const char* tool : {"olvane-probe", "olvane-export", "olvane-mkcapture", "olvane-mkskin", "olvane-preview"}) {
    SCOPED_TRACE(tool);
    const ToolRun run = RunTool(tool, "--version");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, std::string(tool) + " " + version + "\n");
    const ToolRun help = RunTool(tool, "--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
  }
}
