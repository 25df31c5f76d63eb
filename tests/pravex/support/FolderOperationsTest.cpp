#include "pravex/support/FolderOperations.h"

#include "platform/os/MessageBox.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

void Touch(const std::string& path, std::size_t bytes = 1) {
  fs::create_directories(fs::path(path).parent_path());
  ASSERT_TRUE(testenv::WriteFile(path, std::string(bytes, 'x'))) << path;
}

// Collects the texts of the message boxes shown while it lives.
struct MessageRecorder {
  std::vector<std::string> texts;
  CScopedMessageBoxHook hook{[this](const std::string& text, const std::string&, unsigned) {
    texts.push_back(text);
    return IDOK;
  }};
};

}  // namespace

TEST(FolderOperations, CreateAFolderMakesEveryLevel) {
  const std::string dir = testenv::MakeTempDir("create");
  MessageRecorder messages;
  EXPECT_TRUE(CreateAFolder(dir + "/a/b/c//", TRUE));
  EXPECT_TRUE(fs::is_directory(dir + "/a/b/c"));
  EXPECT_TRUE(CreateAFolder(dir + "/a/b/c", TRUE));  // existing levels are fine
  EXPECT_TRUE(CreateAFolder(dir + "\\win\\style", TRUE));
  EXPECT_TRUE(fs::is_directory(dir + "/win/style"));
  EXPECT_TRUE(CreateAFolder("/", TRUE));
  EXPECT_TRUE(CreateAFolder("\\", TRUE));
  EXPECT_FALSE(CreateAFolder("", TRUE));
  EXPECT_FALSE(CreateAFolder(static_cast<const char*>(nullptr), TRUE));
  EXPECT_FALSE(CreateAFolder(std::string(5000, 'd'), TRUE));
  EXPECT_TRUE(messages.texts.empty());

  // A level that is a file stops it; the message names the path asked for.
  Touch(dir + "/file");
  EXPECT_FALSE(CreateAFolder(dir + "/file", FALSE));
  EXPECT_FALSE(CreateAFolder(dir + "/file/sub", FALSE));
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_FALSE(CreateAFolder(dir + "/file/sub", TRUE));
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "Unable to create the folder " + dir + "/file/sub");
  EXPECT_TRUE(CreateFolder(dir + "/x/y"));
  EXPECT_TRUE(CreateSystemFolder(dir + "/sys"));
  EXPECT_TRUE(DeleteSystemFolder(dir + "/sys"));
  EXPECT_FALSE(DeleteSystemFolder(dir + "/none"));
}

TEST(FolderOperations, FolderAndAccessChecks) {
  const std::string dir = testenv::MakeTempDir("there");
  struct Case {
    std::string path;
    BOOL there;
  } const cases[] = {
      {"/", TRUE},        {"//", TRUE},         {"\\", TRUE}, {dir, TRUE},    {dir + "/ ", TRUE},
      {dir + "\\", TRUE}, {dir + "/no", FALSE}, {"", FALSE},  {"   ", FALSE}, {std::string(5000, '/'), FALSE},
  };
  for (const Case& c : cases) EXPECT_EQ(IsFolderThere(c.path), c.there) << '"' << c.path << '"';
  Touch(dir + "/f");
  EXPECT_TRUE(CheckAccess(dir + "/f"));
  EXPECT_FALSE(CheckAccess(dir + "/g"));
  std::string withNul = dir + "/f";
  withNul += '\0';
  EXPECT_FALSE(CheckAccess(withNul + "tail"));  // never cut short to ".../f"
}

TEST(FolderOperations, DestroyFolderEmptiesANestedTree) {
  const std::string top = testenv::MakeTempDir("destroy");
  Touch(top + "/a.cpt");
  Touch(top + "/b.txt");
  Touch(top + "/sub1/c.cpt");
  Touch(top + "/sub1/sub2/d.CPT");
  Touch(top + "/.hidden/e.cpt");
  ASSERT_EQ(chmod((top + "/sub1/c.cpt").c_str(), 0444), 0);

  // Only matching files go; sub-folders emptied by that go with them.
  EXPECT_TRUE(DestroyFolder(top, "*.cpt", FALSE));
  EXPECT_FALSE(fs::exists(top + "/a.cpt"));
  EXPECT_TRUE(fs::exists(top + "/b.txt"));
  EXPECT_FALSE(fs::exists(top + "/sub1"));
  EXPECT_TRUE(fs::exists(top + "/.hidden/e.cpt"));  // dot folders are left alone

  // A sub-folder that keeps a file is reported and stops the walk.
  Touch(top + "/keep/notes.txt");
  MessageRecorder messages;
  EXPECT_FALSE(DestroyFolder(top, "*.cpt", TRUE));
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "Unable to remove " + top + "/keep from the output folder ");
  EXPECT_FALSE(DestroyFolder(top, "*.cpt", FALSE));  // quietly, still a failure

  EXPECT_TRUE(DestroyFolder(top + "/"));
  EXPECT_TRUE(fs::exists(top));
  EXPECT_FALSE(fs::exists(top + "/keep"));
  EXPECT_FALSE(fs::exists(top + "/b.txt"));
  EXPECT_TRUE(DestroyFolder(top + "/missing"));
  EXPECT_FALSE(DestroyFolder("/"));
  EXPECT_FALSE(DestroyFolder(top + "/../../../../../../../../../../.."));
  EXPECT_FALSE(DestroyFolder(""));
}

TEST(FolderOperations, DestroyFolderDoesNotFollowLinks) {
  const std::string top = testenv::MakeTempDir("destroylinks");
  const std::string outside = testenv::MakeTempDir("outside");
  Touch(outside + "/precious.cpt");
  fs::create_directory_symlink(outside, top + "/link");
  EXPECT_TRUE(DestroyFolder(top));
  EXPECT_FALSE(fs::exists(fs::symlink_status(top + "/link")));
  EXPECT_TRUE(fs::exists(outside + "/precious.cpt"));
}

TEST(FolderOperations, ListsAndSizes) {
  const std::string dir = testenv::MakeTempDir("lists");
  Touch(dir + "/Capture_1.zeph", 3);
  Touch(dir + "/capture_2.CPT", 5);
  Touch(dir + "/Capture_3.txt");
  Touch(dir + "/Other.zeph");
  Touch(dir + "/Capture_dir.zeph/inner.cpt", 11);
  Touch(dir + "/.cache/skip.bin", 7);
  std::vector<std::string> names{"stale"};
  EXPECT_EQ(CreateFileList(names, dir + "/Capture", "zeph,cpt", TRUE), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"Capture_1", "capture_2"}));
  EXPECT_EQ(CreateFileList(names, dir + "/capture", "*", FALSE), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"Capture_1.zeph", "Capture_3.txt", "capture_2.CPT"}));
  EXPECT_EQ(CreateFileList(names, "", "*", FALSE), 0);
  EXPECT_EQ(CreateFolderList(names, dir), 2);
  EXPECT_EQ(names, (std::vector<std::string>{".cache", "Capture_dir.zeph"}));

  ULONGLONG bytes = 99;
  EXPECT_EQ(GetFolderSize(dir, bytes), 5);
  EXPECT_EQ(bytes, 3u + 5u + 1u + 1u + 11u);
  EXPECT_EQ(GetFolderSize(dir + "/missing", bytes), 0);
  EXPECT_EQ(bytes, 0u);
}

TEST(FolderOperations, FileStatusMapsReadOnlyToWriteBits) {
  const std::string file = testenv::MakeTempDir("status") + "/f";
  Touch(file);
  ASSERT_EQ(chmod(file.c_str(), 0664), 0);
  struct stat st {};
  EXPECT_TRUE(SetFileStatus(file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_TRUE(SetFileStatus(file, FILE_ATTRIBUTE_NORMAL));
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  EXPECT_TRUE(HideFile(file));
  EXPECT_TRUE(fs::exists(file));  // hiding never renames
  EXPECT_FALSE(SetFileStatus(file + ".missing", FILE_ATTRIBUTE_NORMAL));
  EXPECT_FALSE(HideFile(file + ".missing"));
}
