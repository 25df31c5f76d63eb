#include "pravex/support/RegistryKeys.h"

#include "platform/settings/SettingsKey.h"

LONG GetRegKey(HKEY root, const std::string& subKey, std::string& value) {
  std::string base;
  if (root == HKEY_CLASSES_ROOT) base = "Software\\Classes";
  else if (root != HKEY_CURRENT_USER) return ERROR_FILE_NOT_FOUND;
  std::string path = base;
  if (!subKey.empty()) path += (path.empty() ? "" : "\\") + subKey;
  CSettingsKey key;
  if (!key.Open(path)) return ERROR_FILE_NOT_FOUND;
  return key.QueryString("", value) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}
