#include "pravex/support/SafeNames.h"

#include "pravex/support/SupportSettings.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>

namespace {

std::string Touch(const std::string& path) {
  EXPECT_TRUE(testenv::WriteFile(path, "x")) << path;
  return path;
}

// Puts the save details back as they were when the test ends.
struct SaveDetailsGuard {
  SaveDetailsGuard() { GetCaptureSaveDetails(a, b, c, d); }
  ~SaveDetailsGuard() { SetCaptureSaveDetails(a, b, c, d); }
  std::string a, b, c, d;
};

}  // namespace

TEST(SafeNames, OldNumberIsDiscardedNotIncremented) {
  const std::string dir = testenv::MakeTempDir("safe") + "/";
  Touch(dir + "Clip_0000.cpt");
  EXPECT_EQ(GetSafeName(dir, "Clip_0003", "cpt"), "Clip_0001.cpt");
  EXPECT_EQ(GetSafeName(dir, "  Clip_0003 ", "cpt"), "Clip_0001.cpt");
  // Only "_" and exactly four digits count as a number suffix.
  EXPECT_EQ(GetSafeName(dir, "Clip_003", "cpt"), "Clip_003_0000.cpt");
  EXPECT_EQ(GetSafeName(dir, "Clip_12345", "cpt"), "Clip_12345_0000.cpt");
  // Without an extension no dot is added; a dangling link counts as taken.
  ASSERT_EQ(symlink("/nonexistent/target", (dir + "Shot_0000").c_str()), 0);
  EXPECT_EQ(GetSafeName(dir, "Shot", ""), "Shot_0001");
  // The folder is joined to the candidate as given: ".../Cl" + "ip_0000.cpt" is taken.
  EXPECT_EQ(GetSafeName(dir + "Cl", "ip", "cpt"), "ip_0001.cpt");
}

TEST(SafeNames, CrowdedFolderGivesTheFirstGap) {
  const std::string dir = testenv::MakeTempDir("crowd") + "/";
  for (int n = 0; n < 300; ++n)
    Touch(dir + "Take_" + (n < 10 ? "000" : n < 100 ? "00" : "0") + std::to_string(n) + ".cpt");
  EXPECT_EQ(GetSafeName(dir, "Take", "cpt"), "Take_0300.cpt");
  std::filesystem::remove(dir + "Take_0150.cpt");
  EXPECT_EQ(GetSafeName(dir, "Take", "cpt"), "Take_0150.cpt");
  EXPECT_EQ(GetSafeName(dir, "Take", "zeph"), "Take_0000.zeph");
}

TEST(SafeNames, BadInputGivesAnEmptyName) {
  EXPECT_EQ(GetSafeName(std::string(5000, 'f'), "x", "cpt"), "");
  EXPECT_EQ(GetSafeName("/", std::string(4094, 'x'), "cpt"), "");
  // A missing folder holds nothing: the first number is free.
  EXPECT_EQ(GetSafeName("/no/such/folder/", "x", "cpt"), "x_0000.cpt");
}

TEST(SafeNames, CaptureNamesGoToTheOutputFolder) {
  const std::string project = testenv::MakeTempDir("project");
  SetProjectFolder(project);
  SetProjectName("Talk");
  std::filesystem::create_directories(project + "/Talk");
  Touch(project + "/Talk/Capture_0000.cpt");
  EXPECT_EQ(GetCaptureName(), "Capture_0001.cpt");
  SetCapturePrefix("Demo");
  EXPECT_EQ(GetCaptureName(), "Demo_0000.cpt");
  EXPECT_EQ(GetSafeCaptureName("Capture_0042"), "Capture_0001.cpt");
  SetCapturePrefix("");
  SetProjectName("");
  SetProjectFolder("");
  EXPECT_EQ(GetSafeInstallName("Set:up.sh"), "Set_up_0000.sh");
}

TEST(SafeNames, RecordNamesContinueTheLargestNumber) {
  SaveDetailsGuard guard;
  std::string name = "x", path = "x";
  SetCaptureSaveDetails("", "", "", "");
  EXPECT_FALSE(GetGoodRecordName(name, path));
  EXPECT_EQ(name, "");
  EXPECT_EQ(path, "");

  SetCaptureSaveDetails("", "", "/no/such/folder", "");
  EXPECT_FALSE(GetGoodRecordName(name, path));
  EXPECT_EQ(path, "/no/such/folder");

  const std::string dir = testenv::MakeTempDir("records");
  SetCaptureSaveDetails("", "", dir, "");
  EXPECT_TRUE(GetGoodRecordName(name, path));
  EXPECT_EQ(name, "Capture_0001");
  EXPECT_EQ(path, dir + "/Capture_0001.zeph");

  for (const char* f : {"Capture_0002.zeph", "capture_0007.ZEPH", "Capture_0009.cpt", "Other_0010.zeph"}) {
    Touch(dir + "/" + f);
  }
  EXPECT_TRUE(GetGoodRecordName(name, path));
  EXPECT_EQ(name, "Capture_0008");
  EXPECT_EQ(path, dir + "/Capture_0008.zeph");

  SetCaptureSaveDetails("", "", dir + "/", "Take-");
  Touch(dir + "/Take-12.zeph");
  Touch(dir + "/Take-99999999999999.zeph");  // too many digits: read as at most nine
  EXPECT_TRUE(GetGoodRecordName(name, path));
  EXPECT_EQ(name, "Take-1000000000");
  EXPECT_EQ(path, dir + "/Take-1000000000.zeph");
}
