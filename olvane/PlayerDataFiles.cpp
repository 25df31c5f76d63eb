#include "olvane/PlayerDataFiles.h"

#include "pravex/support/FolderOperations.h"

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string InstalledDataFolder(const std::string& programFolder) {
  std::string folder = programFolder;
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  const std::size_t slash = folder.rfind('/');
  if (folder.empty() || slash == std::string::npos) return "";
  return folder.substr(0, slash + 1) + "share/olvane/";
}

std::string FindPlayerDataFile(const std::string& programFolder, const std::string& name) {
  const std::string beside = WithSlash(programFolder) + name;
  if (CheckAccess(beside)) return beside;
  const std::string data = InstalledDataFolder(programFolder);
  if (!data.empty() && CheckAccess(data + name)) return data + name;
  return beside;
}
