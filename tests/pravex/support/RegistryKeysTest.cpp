#include "pravex/support/RegistryKeys.h"

#include "platform/settings/SettingsKey.h"

#include <gtest/gtest.h>

TEST(GetRegKey, ReadsDefaultValuesUnderTheStoredRoots) {
  CSettingsKey key;
  ASSERT_TRUE(key.Create("Software\\Classes\\.htm\\shell\\open\\command"));
  ASSERT_TRUE(key.SetString("", "browser \"%1\""));
  ASSERT_TRUE(key.Create("Software\\Kalvo\\Player"));
  ASSERT_TRUE(key.SetString("Other", "x"));  // a named value is not the default one

  std::string value;
  EXPECT_EQ(GetRegKey(HKEY_CLASSES_ROOT, ".htm\\shell\\open\\command", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "browser \"%1\"");
  EXPECT_EQ(GetRegKey(HKEY_CURRENT_USER, "Software\\Classes\\.htm\\shell\\open\\command", value), ERROR_SUCCESS);
  EXPECT_EQ(GetRegKey(HKEY_CURRENT_USER, "Software\\Kalvo\\Player", value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetRegKey(HKEY_CLASSES_ROOT, ".missing", value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetRegKey(HKEY_LOCAL_MACHINE, "Software", value), ERROR_FILE_NOT_FOUND);
}
