#include "pravex/support/ShellOperations.h"

#include "pravex/support/StandardFolders.h"
#include "pravex/support/SupportSettings.h"
#include "sintra/toolkit/ProgressDlg.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

TEST(ShellOperations, RecycleMovesToTheTrashAndCanBeUndone) {
  const std::string dir = testenv::MakeTempDir("recycle");
  const std::string file = dir + "/take.cpt";
  ASSERT_TRUE(testenv::WriteFile(file, "frames"));
  ASSERT_TRUE(Recycle(file, TRUE));
  EXPECT_FALSE(fs::exists(file));
  const std::string trashed = Env("XDG_DATA_HOME") + "/Trash/files/take.cpt";
  ASSERT_TRUE(fs::exists(trashed));
  EXPECT_TRUE(fs::exists(Env("XDG_DATA_HOME") + "/Trash/info/take.cpt.trashinfo"));
  fs::rename(trashed, file);
  EXPECT_EQ(testenv::ReadFile(file), "frames");
}

TEST(ShellOperations, RecycleTakesListsAndReportsItemsLeft) {
  const std::string dir = testenv::MakeTempDir("recyclelist");
  for (const char* f : {"a", "b", "c"}) ASSERT_TRUE(testenv::WriteFile(dir + "/" + f, f));
  fs::create_directories(dir + "/tree/inner");
  // A double-NUL-terminated buffer, as callers build them.
  const std::string list = dir + "/a" + '\0' + dir + "/tree" + '\0' + '\0';
  EXPECT_TRUE(Recycle(list, FALSE));
  EXPECT_FALSE(fs::exists(dir + "/a"));
  EXPECT_FALSE(fs::exists(dir + "/tree"));
  EXPECT_FALSE(fs::exists(Env("XDG_DATA_HOME") + "/Trash/files/a"));  // deleted, not trashed

  // A missing item fails the whole call but the others still go.
  EXPECT_FALSE(Recycle(std::vector<std::string>{dir + "/b", dir + "/missing", dir + "/c"}, FALSE));
  EXPECT_FALSE(fs::exists(dir + "/b"));
  EXPECT_FALSE(fs::exists(dir + "/c"));
  EXPECT_FALSE(Recycle(std::string(), TRUE));
  EXPECT_FALSE(Recycle(std::string(1, '\0'), TRUE));
  EXPECT_FALSE(Recycle(std::string(5000, 'p'), TRUE));
}

TEST(ShellOperations, AddToRecentWritesTheRecentlyUsedList) {
  const std::string file = testenv::MakeTempDir("recentop") + "/lesson.zeph";
  ASSERT_TRUE(testenv::WriteFile(file, "z"));
  ASSERT_TRUE(AddToRecent(file));
  EXPECT_NE(testenv::ReadFile(Env("XDG_DATA_HOME") + "/recently-used.xbel").find("file://" + file), std::string::npos);
  EXPECT_FALSE(AddToRecent(""));
}

TEST(ShellOperations, RemovePlayerEXDClearsCacheSubFolders) {
  const std::string cache = Env("XDG_CACHE_HOME");
  for (const char* sub : {"p1", "p2"}) {
    fs::create_directories(cache + "/" + sub);
    ASSERT_TRUE(testenv::WriteFile(cache + "/" + sub + "/weskel.exd", "x"));
  }
  fs::create_directories(cache + "/p3");
  ASSERT_TRUE(testenv::WriteFile(cache + "/p3/other.exd", "x"));
  EXPECT_TRUE(RemovePlayerEXD());
  EXPECT_FALSE(fs::exists(cache + "/p1/weskel.exd"));
  EXPECT_FALSE(fs::exists(cache + "/p2/weskel.exd"));
  EXPECT_TRUE(fs::exists(cache + "/p3/other.exd"));
  EXPECT_FALSE(RemovePlayerEXD());
}

TEST(StandardFolders, ProgramFoldersEndInSlash) {
  const std::string module = GetModuleFolder();
  EXPECT_EQ(module, fs::read_symlink("/proc/self/exe").parent_path().string() + "/");
  EXPECT_EQ(GetShapesFolder(), module + "Shapes/");
  EXPECT_EQ(GetInstallFolder(), module + "Installs/");
  EXPECT_EQ(GetTemplateFolder(), module + "Templates/");
  EXPECT_EQ(GetExportAVIFolder(), module + "Exports/AVI/");
  EXPECT_EQ(GetExportQuilletFolder(), module + "Exports/Quillet/");
  EXPECT_EQ(GetExportPowerPointFolder(), module + "Exports/PowerPoint/");
  EXPECT_EQ(GetTempFolder(), module + "Temp/");
  EXPECT_EQ(GetSkinFolder(), module + "Skin/");
  EXPECT_FALSE(fs::exists(GetShapesFolder()));  // nothing is created
}

TEST(StandardFolders, OutputFolderAndDriveFollowTheProject) {
  EXPECT_EQ(GetCapturePrefix(), "Capture");
  EXPECT_EQ(GetProjectName(), "Default");
  SetProjectFolder("/data/projects");
  SetProjectName("Talk");
  EXPECT_EQ(GetOutputFolder(), "/data/projects/Talk/");
  EXPECT_EQ(GetProjectDrive(), "/");
  SetProjectFolder(static_cast<const char*>(nullptr));  // keeps the value
  EXPECT_EQ(GetProjectFolder(), "/data/projects");
  SetProjectFolder("relative/");
  EXPECT_EQ(GetOutputFolder(), "relative/Talk/");
  EXPECT_EQ(GetProjectDrive(), "");
  SetProjectFolder("");
  SetProjectName("");
  EXPECT_EQ(GetOutputFolder(), "Default/");

  SetCaptureLoadDetails("1", "2", "3", "4", "5");
  std::string a, b, c, d, e;
  GetCaptureLoadDetails(a, b, c, d, e);
  EXPECT_EQ(a + b + c + d + e, "12345");
}

TEST(StandardFolders, SpecialFoldersComeFromTheXdgFolders) {
  std::string out = "junk";
  EXPECT_TRUE(SHGetSpecialFolder(out, CSIDL_APPDATA));
  EXPECT_EQ(out, Env("XDG_CONFIG_HOME"));
  EXPECT_TRUE(SHGetSpecialFolder(out, CSIDL_LOCAL_APPDATA));
  EXPECT_EQ(out, Env("XDG_DATA_HOME"));
  EXPECT_TRUE(SHGetSpecialFolder(out, CSIDL_PROFILE));
  EXPECT_EQ(out, Env("HOME"));
  EXPECT_FALSE(SHGetSpecialFolder(out, 0x7777));
  EXPECT_EQ(out, "");
  // Documents: the conventional folder when it exists, else the home folder.
  EXPECT_EQ(MyDocuments(), Env("HOME"));
  fs::create_directory(Env("HOME") + "/Documents");
  EXPECT_EQ(MyDocuments(), Env("HOME") + "/Documents");
  fs::remove(Env("HOME") + "/Documents");
}

// Cancel in the progress window stops a list before its next item: what went
// is gone, the rest stays, and the result reports the abort.
TEST(ShellOperations, RecycleStopsWhenItsProgressWindowIsCancelled) {
  const std::string dir = testenv::MakeTempDir("recyclecancel");
  std::vector<std::string> paths;
  for (const char* f : {"a", "b", "c"}) {
    ASSERT_TRUE(testenv::WriteFile(dir + "/" + f, f));
    paths.push_back(dir + "/" + f);
  }
  CProgressDlg dlg;
  ASSERT_TRUE(dlg.Create("Deleting"));
  // Handled by the first step, before the first item goes.
  dlg.PostMessage(WM_COMMAND, MAKEWPARAM(CProgressDlg::kCancelId, BN_CLICKED), 0);
  EXPECT_FALSE(Recycle(paths, FALSE, &dlg));
  for (const std::string& p : paths) EXPECT_TRUE(fs::exists(p));

  CProgressDlg dlg2;
  ASSERT_TRUE(dlg2.Create("Deleting"));
  EXPECT_TRUE(Recycle(paths, FALSE, &dlg2));
  EXPECT_EQ(dlg2.GetPos(), 3);
  for (const std::string& p : paths) EXPECT_FALSE(fs::exists(p));
}
