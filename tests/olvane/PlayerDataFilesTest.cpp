// Finding the demo script and the help page beside the program (a build tree)
// or in the installed data folder (share/olvane/ beside bin/).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "olvane/PlayerDataFiles.h"
#include "tests/common/TestEnvironment.h"

namespace {

// A prefix with bin/ and share/olvane/help/, as an installed tree has them.
struct InstalledTree {
  std::string prefix = testenv::MakeTempDir("prefix");
  std::string bin = prefix + "/bin/";
  std::string data = prefix + "/share/olvane/";

  InstalledTree() {
    for (const std::string& folder : {bin, prefix + "/share/", data, data + "help/"}) mkdir(folder.c_str(), 0755);
  }
};

}  // namespace

TEST(PlayerDataFiles, InstalledDataFolderIsBesideTheProgramsFolder) {
  EXPECT_EQ(InstalledDataFolder("/usr/bin/"), "/usr/share/olvane/");
  EXPECT_EQ(InstalledDataFolder("/opt/x/bin"), "/opt/x/share/olvane/");
  EXPECT_EQ(InstalledDataFolder("/opt/x/bin//"), "/opt/x/share/olvane/");
  EXPECT_EQ(InstalledDataFolder("/bin/"), "/share/olvane/");
  EXPECT_EQ(InstalledDataFolder("/"), "");
  EXPECT_EQ(InstalledDataFolder(""), "");
  EXPECT_EQ(InstalledDataFolder("bin/"), "");
}

TEST(PlayerDataFiles, BesideTheProgramFirstThenInstalledThenTheFirstPlaceNamed) {
  InstalledTree tree;
  // Neither place has it: the name beside the program, for the message.
  EXPECT_EQ(FindPlayerDataFile(tree.bin, "PlayScript.tvsf"), tree.bin + "PlayScript.tvsf");

  ASSERT_TRUE(testenv::WriteFile(tree.data + "PlayScript.tvsf", "x"));
  ASSERT_TRUE(testenv::WriteFile(tree.data + "help/Olvane.html", "x"));
  EXPECT_EQ(FindPlayerDataFile(tree.bin, "PlayScript.tvsf"), tree.data + "PlayScript.tvsf");
  EXPECT_EQ(FindPlayerDataFile(tree.prefix + "/bin", "help/Olvane.html"), tree.data + "help/Olvane.html");

  ASSERT_TRUE(testenv::WriteFile(tree.bin + "PlayScript.tvsf", "x"));
  EXPECT_EQ(FindPlayerDataFile(tree.bin, "PlayScript.tvsf"), tree.bin + "PlayScript.tvsf");
}
