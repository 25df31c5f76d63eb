#include "pravex/support/ShortcutsStore.h"

#include "platform/settings/SettingsKey.h"

#include <gtest/gtest.h>

namespace {

CShortcut Shortcut(const std::string& name, const std::string& target = "/caps") {
  CShortcut s;
  s.SetName(name);
  s.SetTarget(target);
  s.SetDescription("about " + name);
  s.SetFilePrefix(name + "_");
  s.SetDefaultComment("made by " + name);
  return s;
}

std::string Stored(const std::string& path, const char* value) {
  CSettingsKey key;
  std::string text = "<missing>";
  if (key.Open(path)) key.QueryString(value, text);
  return text;
}

}  // namespace

TEST(CShortcutsStore, IDsComeFromNamesAndStayUnique) {
  const std::string path = "Software\\Kalvo\\Test\\ShortcutIDs";
  CShortcutsStore store(path.c_str());
  const struct {
    const char* name;
    const char* id;
  } cases[] = {{"Intro", "Intro"}, {"Intro", "Intro-1"}, {"intro", "intro-2"}, {"a\\b", "a_b"}, {"", "Shortcut"}};
  for (const auto& c : cases) {
    CShortcut s = Shortcut(c.name);
    ASSERT_TRUE(store.CreateShortcut(s)) << c.name;
    EXPECT_EQ(s.GetID(), c.id);
  }
  EXPECT_EQ(store.GetCount(), 5);
  EXPECT_EQ(store.GetShortcut(1).GetID(), "Intro-1");  // appended, not re-sorted
  EXPECT_EQ(Stored(path + "\\Intro-1", "FilePrefix"), "Intro_");
  EXPECT_EQ(Stored(path + "\\a_b", "Name"), "a\\b");

  CShortcut copy = Shortcut("Intro");
  copy.SetID("Intro-1");
  EXPECT_FALSE(store.VerifyUniqueName(copy));  // "Intro" and "intro" are stored under other IDs
  CShortcut fresh = Shortcut("Outro");
  EXPECT_TRUE(store.VerifyUniqueName(fresh));
  CShortcut self = Shortcut("a\\b");
  self.SetID("A_B");
  EXPECT_TRUE(store.VerifyUniqueName(self));
}

TEST(CShortcutsStore, LoadSortsByNameAndDefaultsMissingValues) {
  const std::string path = "Software\\Kalvo\\Test\\ShortcutLoad";
  CSettingsKey key;
  ASSERT_TRUE(key.Create(path + "\\bare"));
  {
    CShortcutsStore store(path.c_str());
    for (const char* name : {"delta", "Alpha", "charlie"}) {
      CShortcut s = Shortcut(name);
      ASSERT_TRUE(store.CreateShortcut(s));
    }
    ASSERT_TRUE(store.SetDefaultShortcutID("charlie"));
  }
  CShortcutsStore store(path.c_str());
  ASSERT_EQ(store.GetCount(), 4);
  EXPECT_EQ(store.GetShortcut(0).GetName(), "!Error");  // '!' sorts first
  EXPECT_EQ(store.GetShortcut(0).GetTarget(), "!Error");
  EXPECT_EQ(store.GetShortcut(0).GetDescription(), "");
  EXPECT_EQ(store.GetShortcut(1).GetName(), "Alpha");
  EXPECT_EQ(store.GetShortcut(2).GetName(), "charlie");
  EXPECT_EQ(store.GetShortcut(3).GetName(), "delta");
  ASSERT_NE(store.GetDefaultShortcutPtr(), nullptr);
  EXPECT_EQ(store.GetDefaultShortcutPtr()->GetDefaultComment(), "made by charlie");
  CShortcut found;
  EXPECT_TRUE(store.GetShortcutFromName("ALPHA", found));
  EXPECT_EQ(found.GetID(), "Alpha");
  EXPECT_TRUE(store.GetShortcut(std::string("delta"), found));
  EXPECT_FALSE(store.GetShortcut(std::string("echo"), found));
  EXPECT_EQ(store.GetShortcutPtr(4), nullptr);
}

TEST(CShortcutsStore, UpdateAndDeleteIncludingTheDefault) {
  const std::string path = "Software\\Kalvo\\Test\\ShortcutDelete";
  CShortcutsStore store(path.c_str());
  CShortcut intro = Shortcut("Intro");
  CShortcut demo = Shortcut("Demo");
  ASSERT_TRUE(store.CreateShortcut(intro));
  ASSERT_TRUE(store.CreateShortcut(demo));
  ASSERT_TRUE(store.SetDefaultShortcutID(intro.GetID()));

  intro.SetTarget("/elsewhere");
  EXPECT_TRUE(store.UpdateShortcut(intro));
  EXPECT_EQ(Stored(path + "\\Intro", "Target"), "/elsewhere");
  CShortcut unknown = Shortcut("Nobody");
  unknown.SetID("Nobody");
  EXPECT_FALSE(store.UpdateShortcut(unknown));
  EXPECT_FALSE(CSettingsKey().Open(path + "\\Nobody"));  // not created by an update

  EXPECT_TRUE(store.DeleteShortcut(intro));
  EXPECT_EQ(store.GetDefaultShortcutID(), "");
  EXPECT_EQ(store.GetDefaultShortcutPtr(), nullptr);
  EXPECT_EQ(Stored(path, "DefaultShortcut"), "");
  EXPECT_FALSE(CSettingsKey().Open(path + "\\Intro"));
  EXPECT_EQ(store.GetCount(), 1);
  EXPECT_TRUE(store.DeleteShortcut(std::string("")));  // nothing named: the store stays
  EXPECT_TRUE(CSettingsKey().Open(path + "\\Demo"));
  CShortcutsStore reloaded(path.c_str());
  EXPECT_EQ(reloaded.GetCount(), 1);
  EXPECT_EQ(reloaded.GetDefaultShortcutID(), "");
}
