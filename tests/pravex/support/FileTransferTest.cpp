#include "pravex/support/FileTransfer.h"

#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(i * 7 + i / 4096);
  return s;
}

bool NoPartialFiles(const std::string& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().filename().string().find(".part-") != std::string::npos) return false;
  }
  return true;
}

}  // namespace

TEST(FileTransfer, CopyReportsProgressInSteps) {
  const std::string dir = testenv::MakeTempDir("copy");
  const std::string data = Pattern(2 * 1024 * 1024 + 512 * 1024);
  ASSERT_TRUE(testenv::WriteFile(dir + "/src", data));
  chmod((dir + "/src").c_str(), 0640);
  std::vector<std::pair<ULONGLONG, ULONGLONG>> calls;
  ASSERT_TRUE(NTCopyFileEx(dir + "/src", dir + "/dst", [&](ULONGLONG done, ULONGLONG total) {
    calls.emplace_back(done, total);
    return TRUE;
  }));
  EXPECT_EQ(testenv::ReadFile(dir + "/dst"), data);
  const ULONGLONG total = data.size();
  const std::vector<std::pair<ULONGLONG, ULONGLONG>> expected{
      {0, total}, {1 << 20, total}, {2 << 20, total}, {total, total}};
  EXPECT_EQ(calls, expected);
  struct stat st {};
  ASSERT_EQ(stat((dir + "/dst").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_TRUE(NoPartialFiles(dir));
}

TEST(FileTransfer, CancelledOrRefusedCopiesLeaveTheDestinationAlone) {
  const std::string dir = testenv::MakeTempDir("copycancel");
  ASSERT_TRUE(testenv::WriteFile(dir + "/src", Pattern(3 << 20)));
  ASSERT_TRUE(testenv::WriteFile(dir + "/dst", "old"));
  int calls = 0;
  EXPECT_FALSE(NTCopyFileEx(dir + "/src", dir + "/dst", [&](ULONGLONG, ULONGLONG) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(testenv::ReadFile(dir + "/dst"), "old");
  EXPECT_TRUE(NoPartialFiles(dir));

  EXPECT_FALSE(NTCopyFileEx(dir + "/src", dir + "/dst", {}, COPY_FILE_FAIL_IF_EXISTS));
  EXPECT_EQ(testenv::ReadFile(dir + "/dst"), "old");
  EXPECT_FALSE(NTCopyFileEx(dir + "/src", dir + "/./src"));  // onto itself
  EXPECT_EQ(fs::file_size(dir + "/src"), 3u << 20);
  EXPECT_FALSE(NTCopyFileEx(dir + "/missing", dir + "/x"));
  EXPECT_FALSE(NTCopyFileEx(dir, dir + "/x"));  // folders are not copied
  EXPECT_FALSE(NTCopyFileEx("", dir + "/x"));
  EXPECT_TRUE(NTCopyFileEx(dir + "/src", dir + "/dst"));
  EXPECT_EQ(fs::file_size(dir + "/dst"), 3u << 20);
}

TEST(FileTransfer, MoveRenamesAndRespectsExistingFiles) {
  const std::string dir = testenv::MakeTempDir("move");
  ASSERT_TRUE(testenv::WriteFile(dir + "/a", "A"));
  ASSERT_TRUE(testenv::WriteFile(dir + "/b", "B"));
  ULONGLONG reported = 0;
  auto progress = [&](ULONGLONG done, ULONGLONG) {
    reported = done;
    return TRUE;
  };
  EXPECT_FALSE(NTMoveFileWithProgress(dir + "/a", dir + "/b", progress));
  EXPECT_EQ(testenv::ReadFile(dir + "/a"), "A");
  EXPECT_EQ(testenv::ReadFile(dir + "/b"), "B");
  EXPECT_TRUE(NTMoveFileWithProgress(dir + "/a", dir + "/b", progress, MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(fs::exists(dir + "/a"));
  EXPECT_EQ(testenv::ReadFile(dir + "/b"), "A");
  EXPECT_EQ(reported, 1u);
  EXPECT_TRUE(NTMoveFileWithProgress(dir + "/b", dir + "/c"));
  EXPECT_FALSE(NTMoveFileWithProgress(dir + "/b", dir + "/d"));
}

TEST(FileTransfer, MoveAcrossFileSystemsCopiesAndDeletes) {
  const std::string dir = testenv::MakeTempDir("movefs");
  struct stat here {
  }, shm{};
  if (stat(dir.c_str(), &here) != 0 || stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev ||
      access("/dev/shm", W_OK) != 0) {
    GTEST_SKIP() << "no second writable file system";
  }
  const std::string other = "/dev/shm/olvane-move-" + std::to_string(getpid());
  ASSERT_TRUE(testenv::WriteFile(dir + "/a", "payload"));
  EXPECT_FALSE(NTMoveFileWithProgress(dir + "/a", other, {}, 0));  // copying not allowed
  EXPECT_TRUE(fs::exists(dir + "/a"));
  EXPECT_TRUE(NTMoveFileWithProgress(dir + "/a", other));
  EXPECT_FALSE(fs::exists(dir + "/a"));
  EXPECT_EQ(testenv::ReadFile(other), "payload");
  fs::remove(other);
}
