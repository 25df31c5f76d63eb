// The settings store: the stand-in for the current user's registry. Keys form a
// tree below one root and are named by backslash-separated paths such as
// "Software\Kalvo\Positions"; each key holds named string and 32-bit number
// values. Key and value names compare without regard to case, as in the
// registry, and keep the spelling they were created with.
//
// The store is one SQLite file, "$XDG_CONFIG_HOME/kalvo/settings.db", or the
// file named by the environment variable OLVANE_SETTINGS_FILE. Every write is
// one transaction; any number of threads and processes may use it at once.
// Failures (a missing key or value, a damaged or unreachable file) are false
// results, never exceptions.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class CSettingsKey {
 public:
  CSettingsKey() = default;
  CSettingsKey(const CSettingsKey&) = default;
  CSettingsKey& operator=(const CSettingsKey&) = default;

  // Opens the key at path below the root, creating every missing level.
  // An empty path is the root itself.
  bool Create(const std::string& path);
  // Opens an existing key; false when any level is missing.
  bool Open(const std::string& path);
  // The same, for a path below an open key.
  bool Create(const CSettingsKey& parent, const std::string& subPath);
  bool Open(const CSettingsKey& parent, const std::string& subPath);
  void Close();
  bool IsOpen() const { return m_id >= 0; }
  // The path the key was opened with, as given.
  const std::string& GetPath() const { return m_path; }

  // False when the value is missing or has the other type.
  bool QueryString(const std::string& name, std::string& value) const;
  bool QueryDWORD(const std::string& name, DWORD& value) const;
  // Create or replace a value (its type may change).
  bool SetString(const std::string& name, const std::string& value);
  bool SetDWORD(const std::string& name, DWORD value);
  // Writes several string values in one transaction.
  bool SetStrings(const std::vector<std::pair<std::string, std::string>>& values);
  // False when the value did not exist.
  bool DeleteValue(const std::string& name);

  // Names of the direct sub-keys, sorted without regard to case (a stable order).
  bool EnumSubKeys(std::vector<std::string>& names) const;
  // Names of the values, in the same order.
  bool EnumValues(std::vector<std::string>& names) const;
  bool HasSubKey(const std::string& name) const;
  // Deletes the sub-key at subPath with everything below it; false when it
  // does not exist. An empty path is refused (it would name this key).
  bool DeleteSubKey(const std::string& subPath);

  // Deletes the key at path below the root with all its sub-keys.
  static bool DeleteKey(const std::string& path);
  // Closes this process's connection; the next use opens the file named by
  // the environment at that time (tests switch files this way).
  static void CloseStore();
  // The database file the store uses.
  static std::string StorePath();

 private:
  bool OpenFrom(std::int64_t base, const std::string& basePath, const std::string& subPath, bool create);

  // Row id of the key in the store; -1 when closed, 0 for the root.
  std::int64_t m_id = -1;
  std::string m_path;
};
