#include "platform/os/Shell.h"

#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(Shell, DeleteRemovesTreesWithoutFollowingLinksAndTrashFailuresSayWhy) {
  const std::string dir = testenv::MakeTempDir("delete");
  const std::string keep = testenv::MakeTempDir("keep");
  ASSERT_TRUE(testenv::WriteFile(keep + "/precious", "x"));
  fs::create_directories(dir + "/a/b");
  ASSERT_TRUE(testenv::WriteFile(dir + "/a/b/f", "y"));
  fs::create_directory_symlink(keep, dir + "/a/link");
  EXPECT_TRUE(os::DeletePath(dir + "/a"));
  EXPECT_FALSE(fs::exists(dir + "/a"));
  EXPECT_TRUE(fs::exists(keep + "/precious"));
  EXPECT_FALSE(os::DeletePath(dir + "/a"));
  EXPECT_FALSE(os::DeletePath(""));

  // What cannot be trashed stays, with the reason given.
  std::string error;
  EXPECT_FALSE(os::MoveToTrash(dir + "/missing", &error));
  EXPECT_FALSE(error.empty());
}

TEST(Shell, RecentListGetsOneEntryPerFileAndCorruptListsAreLeftAlone) {
  const std::string file = testenv::MakeTempDir("recent") + "/clip.cpt";
  ASSERT_TRUE(testenv::WriteFile(file, "c"));
  std::string error;
  ASSERT_TRUE(os::AddRecentFile(file, &error)) << error;
  ASSERT_TRUE(os::AddRecentFile(file, &error)) << error;
  const std::string list = os::RecentFilesList();
  EXPECT_EQ(list, std::string(std::getenv("XDG_DATA_HOME")) + "/recently-used.xbel");
  const std::string xbel = testenv::ReadFile(list);
  const std::string uri = "file://" + file;
  const std::size_t first = xbel.find(uri);
  ASSERT_NE(first, std::string::npos) << xbel;
  EXPECT_EQ(xbel.find(uri, first + 1), std::string::npos);

  ASSERT_TRUE(testenv::WriteFile(list, "<xbel garbage"));
  EXPECT_FALSE(os::AddRecentFile(file, &error));
  EXPECT_EQ(testenv::ReadFile(list), "<xbel garbage");
  fs::remove(list);
}

TEST(Shell, SpecialFoldersFallBackToTheHomeFolder) {
  const std::string home = std::getenv("HOME");
  EXPECT_EQ(os::HomeDir(), home);
  EXPECT_EQ(os::UserDataDir(), std::string(std::getenv("XDG_DATA_HOME")));
  EXPECT_EQ(os::UserCacheDir(), std::string(std::getenv("XDG_CACHE_HOME")));
  EXPECT_EQ(os::UserSpecialDir(os::SpecialDir::Videos), home);
  fs::create_directory(home + "/Videos");
  EXPECT_EQ(os::UserSpecialDir(os::SpecialDir::Videos), home + "/Videos");
  fs::remove(home + "/Videos");
}

TEST(Shell, CanonicalPathResolvesLinksAndDots) {
  const std::string dir = os::CanonicalPath(testenv::MakeTempDir("canon"));
  ASSERT_FALSE(dir.empty());
  fs::create_directories(dir + "/real/sub");
  ASSERT_TRUE(testenv::WriteFile(dir + "/real/sub/f.txt", ""));
  fs::create_directory_symlink(dir + "/real", dir + "/alias");
  EXPECT_EQ(os::CanonicalPath(dir + "/alias/sub/../sub/./f.txt"), dir + "/real/sub/f.txt");
  EXPECT_EQ(os::CanonicalPath(dir + "/nothing"), "");
  EXPECT_EQ(os::CanonicalPath(""), "");
  const std::string module = os::ModuleFile();
  EXPECT_EQ(module.substr(module.rfind('/') + 1), "test_platform");
}
