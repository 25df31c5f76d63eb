// The store of places where clips were left: newest 200 kept, damaged values
// ignored, and two processes saving at once.
#include "olvane/ResumeStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "platform/settings/SettingsKey.h"
#include "tests/common/TestChildren.h"

namespace {

constexpr const char* kSharedKey = "Software\\Kalvo\\Test\\ResumeShared";
constexpr int kSavesPerChild = 150;

std::string ClipPath(const std::string& tag, int i) {
  return "/captures/" + tag + "/clip " + std::to_string(i) + ".zeph";
}

}  // namespace

TEST(Resume, TheStoreKeepsTheNewest200AndMovesAResavedFileToTheFront) {
  CResumeStore store("Software\\Kalvo\\Test\\ResumeLimit");
  for (int i = 0; i < CResumeStore::kMaximum + 5; ++i) ASSERT_TRUE(store.Save(ClipPath("a", i), 1000u + i));
  std::vector<std::string> paths = store.Paths();
  ASSERT_EQ(paths.size(), static_cast<std::size_t>(CResumeStore::kMaximum));
  EXPECT_EQ(paths.front(), ClipPath("a", 5));
  EXPECT_EQ(paths.back(), ClipPath("a", 204));
  DWORD position = 0;
  EXPECT_FALSE(store.Lookup(ClipPath("a", 4), position));
  ASSERT_TRUE(store.Lookup(ClipPath("a", 5), position));
  EXPECT_EQ(position, 1005u);

  // Saving a stored file again replaces its entry and makes it the newest.
  ASSERT_TRUE(store.Save(ClipPath("a", 5), 42));
  paths = store.Paths();
  ASSERT_EQ(paths.size(), static_cast<std::size_t>(CResumeStore::kMaximum));
  EXPECT_EQ(paths.back(), ClipPath("a", 5));
  ASSERT_TRUE(store.Lookup(ClipPath("a", 5), position));
  EXPECT_EQ(position, 42u);
  // Paths differ by case on this system.
  EXPECT_FALSE(store.Lookup("/CAPTURES/A/clip 5.zeph", position));
  EXPECT_TRUE(store.Remove(ClipPath("a", 5)));
  EXPECT_FALSE(store.Remove(ClipPath("a", 5)));
  EXPECT_FALSE(store.Lookup(ClipPath("a", 5), position));
}

TEST(Resume, DamagedListsAreReadAsFarAsTheyGoAndMendedByTheNextSave) {
  const char* path = "Software\\Kalvo\\Test\\ResumeDamaged";
  CResumeStore store(path);
  CSettingsKey key;
  ASSERT_TRUE(key.Create(path));
  // A position past 32 bits, no path, no position, a path twice (the later
  // counts), a line without its end.
  ASSERT_TRUE(key.SetString(CResumeStore::kValueName,
                            "99999999999 /big.zeph\n5000 \n/nothing.zeph\n\n10 /a.zeph\n20 /b.zeph\n30 /a.zeph\n40 /c "
                            "d.zeph"));
  EXPECT_EQ(store.Paths(), (std::vector<std::string>{"/b.zeph", "/a.zeph", "/c d.zeph"}));
  DWORD position = 0;
  ASSERT_TRUE(store.Lookup("/a.zeph", position));
  EXPECT_EQ(position, 30u);
  EXPECT_FALSE(store.Lookup("/big.zeph", position));
  ASSERT_TRUE(store.Save("/e.zeph", 50));
  std::string text;
  ASSERT_TRUE(key.QueryString(CResumeStore::kValueName, text));
  EXPECT_EQ(text, "20 /b.zeph\n30 /a.zeph\n40 /c d.zeph\n50 /e.zeph\n");
  // A number where the list belongs is an empty list; a name with a line
  // break cannot be stored.
  ASSERT_TRUE(key.SetDWORD(CResumeStore::kValueName, 3));
  EXPECT_TRUE(store.Paths().empty());
  EXPECT_FALSE(store.Save("/two\nlines.zeph", 5));
  ASSERT_TRUE(store.Save("/f.zeph", 60));
  EXPECT_EQ(store.Paths(), std::vector<std::string>{"/f.zeph"});
}

// Runs only inside a process started by TwoProcessesSavingAtOnceKeep200.
TEST(ResumeStoreChild, SavesPositionsWhenStartedByTheTwoProcessTest) {
  const char* settings = std::getenv("OLVANE_RESUME_CHILD_SETTINGS");
  const char* runtime = std::getenv("OLVANE_RESUME_CHILD_RUNTIME");
  const char* tag = std::getenv("OLVANE_RESUME_CHILD_TAG");
  if (!settings || !runtime || !tag) GTEST_SKIP() << "started only by the two-process test";
  setenv("OLVANE_SETTINGS_FILE", settings, 1);
  setenv("XDG_RUNTIME_DIR", runtime, 1);
  CSettingsKey::CloseStore();
  CResumeStore store(kSharedKey);
  for (int i = 0; i < kSavesPerChild; ++i) ASSERT_TRUE(store.Save(ClipPath(tag, i), 20000u + i)) << i;
}

TEST(Resume, TwoProcessesSavingAtOnceKeep200) {
  std::vector<std::vector<std::string>> environments;
  for (const char* tag : {"left", "right"})
    environments.push_back({std::string("OLVANE_RESUME_CHILD_SETTINGS=") + std::getenv("OLVANE_SETTINGS_FILE"),
                            std::string("OLVANE_RESUME_CHILD_RUNTIME=") + std::getenv("XDG_RUNTIME_DIR"),
                            std::string("OLVANE_RESUME_CHILD_TAG=") + tag});
  EXPECT_EQ(RunTestChildrenAtOnce("ResumeStoreChild.*", environments), (std::vector<int>{0, 0}));
  CSettingsKey::CloseStore();
  CResumeStore store(kSharedKey);
  const std::vector<std::string> paths = store.Paths();
  EXPECT_EQ(paths.size(), static_cast<std::size_t>(CResumeStore::kMaximum));
  EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), paths.size());
  // Whatever the interleaving, each process's last save is among the newest 200.
  DWORD position = 0;
  EXPECT_TRUE(store.Lookup(ClipPath("left", kSavesPerChild - 1), position));
  EXPECT_EQ(position, 20000u + kSavesPerChild - 1);
  EXPECT_TRUE(store.Lookup(ClipPath("right", kSavesPerChild - 1), position));
  // Within each process the order of its own saves is kept.
  for (const char* tag : {"left", "right"}) {
    int last = -1;
    for (const std::string& p : paths)
      if (p.find(std::string("/") + tag + "/") != std::string::npos) {
        const int i = std::atoi(p.substr(p.rfind(' ') + 1).c_str());
        EXPECT_GT(i, last) << p;
        last = i;
      }
  }
}
