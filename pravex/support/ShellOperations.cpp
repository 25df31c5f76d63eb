#include "pravex/support/ShellOperations.h"

#include "platform/os/Shell.h"
#include "platform/ui/App.h"
#include "pravex/support/FolderOperations.h"
#include "pravex/support/PathRules.h"
#include "pravex/support/StandardFolders.h"
#include "sintra/toolkit/ProgressDlg.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

using support::IsUsablePath;

namespace {

BOOL RecycleOne(const std::string& path, BOOL allowUndo) {
  if (!IsUsablePath(path)) return FALSE;
  return (allowUndo ? os::MoveToTrash(path) : os::DeletePath(path)) ? TRUE : FALSE;
}

}  // namespace

BOOL Recycle(const std::vector<std::string>& paths, BOOL allowUndo, CProgressDlg* progress) {
  if (paths.empty()) return FALSE;
  const int count = static_cast<int>(std::min<std::size_t>(paths.size(), INT32_MAX));
  if (progress) progress->SetRange(0, count);
  BOOL all = TRUE;
  for (int i = 0; i < count; ++i) {
    if (progress) {
      progress->SetText(paths[static_cast<std::size_t>(i)].c_str());
      if (!progress->Step(i)) return FALSE;
    }
    if (!RecycleOne(paths[static_cast<std::size_t>(i)], allowUndo)) all = FALSE;
  }
  if (progress && !progress->Step(count)) return FALSE;
  return all;
}

BOOL Recycle(const std::vector<std::string>& paths, BOOL allowUndo) {
  if (paths.size() < 2) return Recycle(paths, allowUndo, nullptr);
  CProgressDlg dialog;
  const char* title = allowUndo ? "Moving to the trash" : "Deleting";
  const bool shown = dialog.Create(title, AfxGetMainWnd()) != FALSE;
  return Recycle(paths, allowUndo, shown ? &dialog : nullptr);
}

BOOL Recycle(const std::string& pathOrList, BOOL allowUndo) {
  std::vector<std::string> paths;
  std::string_view rest(pathOrList);
  while (!rest.empty() && rest.front() != '\0') {
    const std::size_t end = rest.find('\0');
    paths.emplace_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  return Recycle(paths, allowUndo);
}

BOOL Explorer(const std::string& target) {
  if (!IsUsablePath(target)) return FALSE;
  if (os::LaunchDefault(target)) return TRUE;
  return os::LaunchDefaultForType("text/html", target) ? TRUE : FALSE;
}

BOOL AddToRecent(const std::string& path) { return IsUsablePath(path) && os::AddRecentFile(path) ? TRUE : FALSE; }

BOOL RemovePlayerEXD() {
  std::vector<std::string> bases{os::UserCacheDir()};
  std::string local;
  if (SHGetSpecialFolder(local, CSIDL_LOCAL_APPDATA)) {
    const std::size_t slash = local.rfind('/');
    if (slash != std::string::npos && slash > 0) bases.push_back(local.substr(0, slash) + "/temp");
  }
  BOOL deleted = FALSE;
  for (const std::string& base : bases) {
    std::vector<std::string> subs;
    CreateFolderList(subs, base);
    for (const std::string& sub : subs) {
      const std::string file = base + "/" + sub + "/weskel.exd";
      if (unlink(file.c_str()) == 0) deleted = TRUE;
    }
  }
  return deleted;
}
