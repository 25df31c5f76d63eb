#include "pravex/support/RecentFileStore.h"

#include "platform/settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

extern char** environ;

namespace {

std::vector<std::string> StoredIDs(const std::string& path) {
  CSettingsKey key;
  std::vector<std::string> ids;
  if (key.Open(path)) key.EnumSubKeys(ids);
  return ids;
}

std::vector<std::string> ListedIDs(const CRecentFileStore& store) {
  std::vector<std::string> ids;
  for (int i = 0; i < store.GetCount(); ++i) ids.push_back(store.GetRecentItem(i).GetID());
  return ids;
}

CRecentItem Item(const std::string& name, const std::string& target) { return CRecentItem(name, target); }

using Ids = std::vector<std::string>;

}  // namespace

TEST(CRecentFileStore, AddingAListedFileMovesItFirstUnderANewID) {
  const char* path = "Software\\Kalvo\\Test\\RecentAdd";
  CRecentFileStore store(path);
  EXPECT_EQ(store.GetCount(), 0);
  CRecentItem a = Item("A", "/c/a.zeph");
  CRecentItem b = Item("B", "/c/b.zeph");
  ASSERT_TRUE(store.AddRecentItem(a));
  ASSERT_TRUE(store.AddRecentItem(b));
  EXPECT_EQ(a.GetID(), "1");
  EXPECT_EQ(ListedIDs(store), (Ids{"2", "1"}));
  CRecentItem again = Item("A", "/c/a.zeph");
  ASSERT_TRUE(store.AddRecentItem(again));
  EXPECT_EQ(again.GetID(), "3");
  EXPECT_EQ(ListedIDs(store), (Ids{"3", "2"}));
  EXPECT_EQ(StoredIDs(path), (Ids{"2", "3"}));  // the old sub-key is gone
  EXPECT_EQ(store.GetRecentItem(0).GetName(), "A");

  CRecentFileStore other(path);
  EXPECT_EQ(ListedIDs(other), (Ids{"3", "2"}));
  EXPECT_EQ(other.GetRecentItem(1).GetTarget(), "/c/b.zeph");
  EXPECT_EQ(other.GetRecentItemPtr(2), nullptr);
  EXPECT_EQ(other.GetRecentItem(-1).GetID(), "");
}

TEST(CRecentFileStore, LoadKeepsTheNewestUpToTheMaximum) {
  const std::string path = "Software\\Kalvo\\Test\\RecentMax";
  CRecentFileStore store(path.c_str());
  EXPECT_EQ(store.GetMaximumSize(), CRecentFileStore::kDefaultMaximum);
  for (int i = 0; i < 5; ++i) {
    CRecentItem item = Item("n" + std::to_string(i), "t" + std::to_string(i));
    ASSERT_TRUE(store.AddRecentItemReg(item));  // stored only
  }
  EXPECT_EQ(store.GetCount(), 0);
  ASSERT_TRUE(store.SetMaximumSize(3));
  ASSERT_TRUE(store.Load(path.c_str()));
  EXPECT_EQ(ListedIDs(store), (Ids{"5", "4", "3"}));
  EXPECT_EQ(StoredIDs(path), (Ids{"3", "4", "5"}));
  EXPECT_EQ(store.GetMaximumSize(), 3);
}

TEST(CRecentFileStore, RemovesAndUpdatesByMatchOrID) {
  const std::string path = "Software\\Kalvo\\Test\\RecentRemove";
  CRecentFileStore store(path.c_str());
  for (const char* name : {"one", "two", "three", "four"}) {
    CRecentItem item = Item(name, std::string("/Caps/") + name);
    ASSERT_TRUE(store.AddRecentItem(item));
  }
  // By name and target (case matters), then by ID.
  EXPECT_FALSE(store.RemoveRecentItem(Item("ONE", "/Caps/one")));
  EXPECT_TRUE(store.RemoveRecentItem(Item("one", "/Caps/one")));
  CRecentItem byID = Item("x", "y");
  byID.SetID("2");
  EXPECT_TRUE(store.RemoveRecentItem(byID));
  EXPECT_EQ(ListedIDs(store), (Ids{"4", "3"}));
  EXPECT_EQ(StoredIDs(path), (Ids{"3", "4"}));

  CRecentItem renamed = Item("drei", "/caps/3");
  renamed.SetID("3");
  EXPECT_TRUE(store.UpdateRecentItem(renamed));
  EXPECT_TRUE(store.UpdateRecentItem(Item("four", "/Caps/four"), Item("vier", "/caps/4")));
  EXPECT_FALSE(store.UpdateRecentItem(Item("none", "none"), Item("a", "b")));
  CRecentFileStore reloaded(path.c_str());
  EXPECT_EQ(reloaded.GetRecentItem(0).GetName(), "vier");
  EXPECT_EQ(reloaded.GetRecentItem(1).GetTarget(), "/caps/3");

  // The store-only removals leave the list alone.
  EXPECT_TRUE(store.RemoveRecentItemReg("/CAPS/3"));
  EXPECT_EQ(StoredIDs(path), (Ids{"4"}));
  EXPECT_EQ(store.GetCount(), 2);
  EXPECT_TRUE(store.RemoveRecentItemIDReg("4"));
  EXPECT_FALSE(store.RemoveRecentItemIDReg(""));  // would name the store key itself
  EXPECT_FALSE(store.RemoveRecentItemIDReg("\\"));
  EXPECT_TRUE(StoredIDs(path).empty());
  EXPECT_TRUE(CSettingsKey().Open(path));
}

TEST(CRecentFileStore, MissingValuesAndOddKeysLoadSafely) {
  const std::string path = "Software\\Kalvo\\Test\\RecentOdd";
  CSettingsKey key;
  ASSERT_TRUE(key.Create(path + "\\9223372036854775806"));
  ASSERT_TRUE(key.Create(path + "\\notanumber"));
  CRecentFileStore store(path.c_str());
  ASSERT_EQ(store.GetCount(), 2);
  EXPECT_EQ(store.GetRecentItem(0).GetName(), "!Error");
  EXPECT_EQ(store.GetRecentItem(0).GetTarget(), "!Error");
  EXPECT_EQ(store.GenerateUniqueID(), "9223372036854775807");
  ASSERT_TRUE(key.Create(path + "\\9223372036854775807"));
  EXPECT_EQ(store.GenerateUniqueID(), "");  // no room above; no wrap-around
  CRecentItem item = Item("a", "b");
  EXPECT_FALSE(store.AddRecentItem(item));

  CRecentFileStore unnamed;  // no key: nothing is written to the root
  EXPECT_FALSE(unnamed.AddRecentItem(item));
  EXPECT_FALSE(unnamed.SetMaximumSize(5));
  std::vector<std::string> rootKeys;
  ASSERT_TRUE(CSettingsKey().Create("") && key.Create(""));
  key.EnumSubKeys(rootKeys);
  EXPECT_EQ(rootKeys, (Ids{"Software"}));
}

namespace {

constexpr const char* kSharedKey = "Software\\Kalvo\\Test\\RecentShared";
constexpr int kItemsPerProcess = 200;

}  // namespace

// Runs only inside a process started by TwoProcessesAddingAtOnceGetUniqueIDs.
TEST(RecentFileStoreChild, AddsItemsWhenStartedByTheTwoProcessTest) {
  const char* settings = std::getenv("OLVANE_RECENT_CHILD_SETTINGS");
  const char* runtime = std::getenv("OLVANE_RECENT_CHILD_RUNTIME");
  const char* tag = std::getenv("OLVANE_RECENT_CHILD_TAG");
  if (!settings || !runtime || !tag) GTEST_SKIP() << "started only by the two-process test";
  setenv("OLVANE_SETTINGS_FILE", settings, 1);
  setenv("XDG_RUNTIME_DIR", runtime, 1);
  CSettingsKey::CloseStore();
  CRecentFileStore store(kSharedKey);
  for (int i = 0; i < kItemsPerProcess; ++i) {
    CRecentItem item(std::string(tag) + "-" + std::to_string(i), std::string("/captures/") + tag + ".zeph");
    ASSERT_TRUE(store.AddRecentItem(item)) << i;
  }
}

TEST(CRecentFileStore, TwoProcessesAddingAtOnceGetUniqueIDs) {
  CRecentFileStore store(kSharedKey);
  ASSERT_TRUE(store.SetMaximumSize(1000));
  char exe[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  std::vector<pid_t> children;
  for (const char* tag : {"left", "right"}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.push_back(std::string("OLVANE_RECENT_CHILD_SETTINGS=") + std::getenv("OLVANE_SETTINGS_FILE"));
    env.push_back(std::string("OLVANE_RECENT_CHILD_RUNTIME=") + std::getenv("XDG_RUNTIME_DIR"));
    env.push_back(std::string("OLVANE_RECENT_CHILD_TAG=") + tag);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string filter = "--gtest_filter=RecentFileStoreChild.*";
    char* argv[] = {exe, filter.data(), nullptr};
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      execve(exe, argv, envp.data());
      _exit(127);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
  ASSERT_TRUE(store.Load(kSharedKey));
  ASSERT_EQ(store.GetCount(), 2 * kItemsPerProcess);
  std::set<std::string> names;
  std::set<std::string> ids;
  for (int i = 0; i < store.GetCount(); ++i) {
    names.insert(store.GetRecentItem(i).GetName());
    ids.insert(store.GetRecentItem(i).GetID());
  }
  EXPECT_EQ(names.size(), 2u * kItemsPerProcess);
  EXPECT_EQ(ids.size(), 2u * kItemsPerProcess);
  // Serialised by the mutex, the IDs are exactly 1..400, newest first.
  EXPECT_EQ(store.GetRecentItem(0).GetID(), std::to_string(2 * kItemsPerProcess));
  EXPECT_EQ(store.GetRecentItem(store.GetCount() - 1).GetID(), "1");
}
