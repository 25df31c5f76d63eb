// Where each clip was left, so that reopening it can offer to go on from
// there. Kept in the settings store (by default under
// "Software\Kalvo\Olvo\Resume") as one string value "Places": a line
// "<position ms> <absolute path>" per file, oldest first. At most kMaximum
// files are kept; a save past that drops the oldest. Each change reads and
// rewrites the list while holding the named mutex "Kalvo_Resume", so players
// running at once neither lose each other's entries nor pass the limit, and a
// save costs one read and one write however full the list is.
#pragma once

#include <string>
#include <vector>

#include "platform/base/WinTypes.h"
#include "platform/os/NamedMutex.h"

class CResumeStore {
 public:
  static constexpr int kMaximum = 200;
  static constexpr const char* kDefaultKey = "Software\\Kalvo\\Olvo\\Resume";
  static constexpr const char* kValueName = "Places";
  static constexpr const char* kMutexName = "Kalvo_Resume";

  explicit CResumeStore(std::string keyPath = kDefaultKey);

  // Stores the position of `path` as the newest entry; false when the store
  // cannot be written (or the mutex not taken), or the path is empty or holds
  // a line break (it could not be read back).
  bool Save(const std::string& path, DWORD positionMs);
  // The stored position of `path`; false when there is none.
  bool Lookup(const std::string& path, DWORD& positionMs);
  // Forgets `path`; false when nothing was stored.
  bool Remove(const std::string& path);
  // The stored paths, oldest first.
  std::vector<std::string> Paths();

 private:
  struct Entry {
    DWORD position = 0;
    std::string path;
  };
  // The readable entries, oldest first; lines that do not read are left out
  // (and so dropped by the next write).
  std::vector<Entry> Read();
  bool Write(const std::vector<Entry>& entries);

  std::string m_keyPath;
  CNamedMutex m_mutex;
};
