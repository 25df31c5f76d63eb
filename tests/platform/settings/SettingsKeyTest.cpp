#include "platform/settings/SettingsKey.h"

#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

// Points the store at a fresh file for one test and back afterwards.
class SettingsFileScope {
 public:
  explicit SettingsFileScope(const std::string& file) : m_saved(std::getenv("OLVANE_SETTINGS_FILE")) {
    setenv("OLVANE_SETTINGS_FILE", file.c_str(), 1);
    CSettingsKey::CloseStore();
  }
  ~SettingsFileScope() {
    setenv("OLVANE_SETTINGS_FILE", m_saved.c_str(), 1);
    CSettingsKey::CloseStore();
  }

 private:
  std::string m_saved;
};

std::vector<std::string> SubKeys(const CSettingsKey& key) {
  std::vector<std::string> names;
  EXPECT_TRUE(key.EnumSubKeys(names));
  return names;
}

}  // namespace

TEST(CSettingsKey, ValuesRoundTripWithNamesComparedWithoutCase) {
  CSettingsKey key;
  ASSERT_TRUE(key.Create("Software\\Kalvo\\RoundTrip"));
  EXPECT_TRUE(key.SetString("Name", "caf\xC3\xA9 \"quoted\"\r\n"));
  EXPECT_TRUE(key.SetDWORD("Count", 0xFFFFFFFFu));

  CSettingsKey again;
  ASSERT_TRUE(again.Open("software\\KALVO\\roundtrip"));
  std::string text;
  DWORD number = 0;
  EXPECT_TRUE(again.QueryString("NAME", text));
  EXPECT_EQ(text, "caf\xC3\xA9 \"quoted\"\r\n");
  EXPECT_TRUE(again.QueryDWORD("count", number));
  EXPECT_EQ(number, 0xFFFFFFFFu);
  // A value of the other type reads as missing, and the output stays untouched.
  text = "keep";
  EXPECT_FALSE(again.QueryString("Count", text));
  EXPECT_EQ(text, "keep");
  EXPECT_FALSE(again.QueryDWORD("Name", number));
  // Rewriting with another type replaces the value.
  EXPECT_TRUE(again.SetString("count", "now text"));
  EXPECT_TRUE(key.QueryString("Count", text));
  EXPECT_EQ(text, "now text");
  EXPECT_TRUE(key.DeleteValue("COUNT"));
  EXPECT_FALSE(key.DeleteValue("Count"));
  std::vector<std::string> values;
  EXPECT_TRUE(key.EnumValues(values));
  EXPECT_EQ(values, std::vector<std::string>{"Name"});
  EXPECT_FALSE(CSettingsKey().Open("Software\\Kalvo\\Missing"));
}

TEST(CSettingsKey, SubKeysEnumerateSortedAndDeleteRecursively) {
  CSettingsKey store;
  ASSERT_TRUE(store.Create("Software\\Kalvo\\Tree"));
  for (const char* name : {"b", "A", "10", "2", "c\\deep\\deeper"}) {
    CSettingsKey sub;
    ASSERT_TRUE(sub.Create(store, name));
    EXPECT_TRUE(sub.SetString("v", name));
  }
  // Creating an existing key with other case opens it; its spelling stays.
  CSettingsKey same;
  ASSERT_TRUE(same.Create(store, "B"));
  EXPECT_EQ(SubKeys(store), (std::vector<std::string>{"10", "2", "A", "b", "c"}));

  EXPECT_TRUE(store.DeleteSubKey("C"));
  EXPECT_FALSE(store.HasSubKey("c"));
  EXPECT_FALSE(CSettingsKey().Open("Software\\Kalvo\\Tree\\c\\deep"));
  EXPECT_FALSE(store.DeleteSubKey("c"));
  EXPECT_FALSE(store.DeleteSubKey(""));
  EXPECT_FALSE(store.DeleteSubKey("\\\\"));

  // A re-created key starts empty: nothing of the deleted tree survives.
  CSettingsKey reborn;
  ASSERT_TRUE(reborn.Create(store, "c\\deep\\deeper"));
  std::string text;
  EXPECT_FALSE(reborn.QueryString("v", text));

  // A handle to a deleted key refuses writes instead of leaving stray values.
  EXPECT_TRUE(CSettingsKey::DeleteKey("Software\\Kalvo\\Tree"));
  EXPECT_FALSE(same.SetString("v", "x"));
  EXPECT_FALSE(same.SetDWORD("n", 1));
  EXPECT_TRUE(SubKeys(store).empty());
  EXPECT_FALSE(CSettingsKey::DeleteKey(""));
}

TEST(CSettingsKey, DamagedFileIsKeptAsideAndReportedOnce) {
  const std::string dir = testenv::MakeTempDir("damaged");
  const std::string file = dir + "/settings.db";
  const std::string garbage(4096, '\x5A');
  ASSERT_TRUE(testenv::WriteFile(file, garbage));
  SettingsFileScope scope(file);

  testing::internal::CaptureStderr();
  CSettingsKey key;
  EXPECT_FALSE(key.Open("Software\\Kalvo"));  // treated as empty
  ASSERT_TRUE(key.Create("Software\\Kalvo"));
  EXPECT_TRUE(key.SetDWORD("MaximumFiles", 7));
  const std::string messages = testing::internal::GetCapturedStderr();

  EXPECT_NE(messages.find("damaged"), std::string::npos) << messages;
  EXPECT_EQ(messages.find("settings:"), messages.rfind("settings:")) << "reported more than once: " << messages;
  std::string aside;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("settings.db.damaged-", 0) == 0) aside = entry.path().string();
  }
  ASSERT_FALSE(aside.empty());
  EXPECT_EQ(testenv::ReadFile(aside), garbage);
  DWORD value = 0;
  EXPECT_TRUE(key.QueryDWORD("maximumfiles", value));
  EXPECT_EQ(value, 7u);
}

TEST(CSettingsKey, BrokenPagesAreFoundWhenTheFileIsOpened) {
  const std::string dir = testenv::MakeTempDir("broken");
  const std::string file = dir + "/settings.db";
  SettingsFileScope scope(file);
  CSettingsKey key;
  ASSERT_TRUE(key.Create("Software\\Kalvo\\Many"));
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(key.SetString("value" + std::to_string(i), std::string(100, 'v')));
  CSettingsKey::CloseStore();  // checkpoints the journal into the file
  std::string bytes = testenv::ReadFile(file);
  ASSERT_GT(bytes.size(), 3u * 4096u);
  for (std::size_t i = 4096; i < 3 * 4096; ++i) bytes[i] = '\x41';
  ASSERT_TRUE(testenv::WriteFile(file, bytes));

  testing::internal::CaptureStderr();
  std::string text;
  EXPECT_FALSE(CSettingsKey().Open("Software\\Kalvo\\Many"));
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_NE(messages.find("damaged"), std::string::npos) << messages;
  ASSERT_TRUE(key.Create("Software\\Kalvo\\Many"));
  EXPECT_TRUE(key.SetString("fresh", "yes"));
  EXPECT_TRUE(key.QueryString("fresh", text));
}

TEST(CSettingsKey, ForkedChildUsesItsOwnConnection) {
  CSettingsKey key;
  ASSERT_TRUE(key.Create("Software\\Kalvo\\Fork"));
  ASSERT_TRUE(key.SetString("from", "parent"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CSettingsKey inChild;
    const bool ok = inChild.Open("Software\\Kalvo\\Fork") && inChild.SetString("from", "child");
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::string text;
  EXPECT_TRUE(key.QueryString("from", text));
  EXPECT_EQ(text, "child");
}
