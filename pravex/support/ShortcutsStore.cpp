#include "pravex/support/ShortcutsStore.h"

#include "platform/base/Strings.h"
#include "platform/settings/SettingsKey.h"
#include "pravex/support/RecentFileStore.h"

#include <set>

namespace {

std::string ReadString(const CSettingsKey& key, const char* name, const char* missing) {
  std::string value;
  return key.QueryString(name, value) ? value : std::string(missing);
}

bool UsableID(const std::string& id) {
  return !id.empty() && id.find('\\') == std::string::npos && !str::Trim(id).empty();
}

}  // namespace

CShortcutsStore::CShortcutsStore(const char* keyPath) : m_mutex(CRecentFileStore::kMutexName) {
  if (keyPath) Load(keyPath);
}

bool CShortcutsStore::OpenStoreKey(CSettingsKey& key, bool create) const {
  if (m_keyPath.empty()) return false;  // never the root itself
  return create ? key.Create(m_keyPath) : key.Open(m_keyPath);
}

int CShortcutsStore::FindID(const std::string& id) const {
  for (int i = 0; i < static_cast<int>(m_shortcuts.size()); ++i) {
    if (str::EqualsNoCase(m_shortcuts[static_cast<std::size_t>(i)].GetID(), id)) return i;
  }
  return -1;
}

int CShortcutsStore::Load(const char* keyPath) {
  CNamedMutexLock lock(m_mutex);
  if (keyPath) m_keyPath = keyPath;
  m_shortcuts.clear();
  m_defaultID.clear();
  if (!lock.IsLocked()) return 0;
  CSettingsKey store;
  std::vector<std::string> ids;
  if (!OpenStoreKey(store, false) || !store.EnumSubKeys(ids)) return 1;
  for (const std::string& id : ids) {
    CSettingsKey sub;
    if (!sub.Open(store, id)) continue;
    CShortcut s;
    s.SetID(id);
    s.SetName(ReadString(sub, "Name", "!Error"));
    s.SetTarget(ReadString(sub, "Target", "!Error"));
    s.SetDescription(ReadString(sub, "Description", ""));
    s.SetFilePrefix(ReadString(sub, "FilePrefix", ""));
    s.SetDefaultComment(ReadString(sub, "DefaultComment", ""));
    auto at = m_shortcuts.begin();
    while (at != m_shortcuts.end() && str::CompareNoCase(at->GetName(), s.GetName()) <= 0) ++at;
    m_shortcuts.insert(at, s);
  }
  m_defaultID = ReadString(store, "DefaultShortcut", "");
  return 1;
}

bool CShortcutsStore::UpdateShortcutReg(const CShortcut& shortcut, bool create) {
  CSettingsKey store;
  CSettingsKey sub;
  if (!UsableID(shortcut.GetID()) || !OpenStoreKey(store, create)) return false;
  if (!sub.Open(store, shortcut.GetID()) && !(create && sub.Create(store, shortcut.GetID()))) return false;
  return sub.SetStrings({{"Name", shortcut.GetName()},
                         {"Target", shortcut.GetTarget()},
                         {"Description", shortcut.GetDescription()},
                         {"FilePrefix", shortcut.GetFilePrefix()},
                         {"DefaultComment", shortcut.GetDefaultComment()}});
}

std::string CShortcutsStore::GenerateUniqueID(const std::string& name) {
  CNamedMutexLock lock(m_mutex);
  std::string base = name;
  str::Replace(base, "\\", "_");
  if (str::Trim(base).empty()) base = "Shortcut";
  CSettingsKey store;
  std::vector<std::string> ids;
  if (OpenStoreKey(store, false)) store.EnumSubKeys(ids);
  std::set<std::string> taken;
  for (const std::string& id : ids) taken.insert(str::ToLower(id));
  std::string candidate = base;
  for (int n = 1; taken.count(str::ToLower(candidate)) != 0; ++n) candidate = str::Format("%s-%d", base.c_str(), n);
  return candidate;
}

int CShortcutsStore::CreateShortcut(CShortcut& shortcut) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return 0;
  shortcut.SetID(GenerateUniqueID(shortcut.GetName()));
  if (!UpdateShortcutReg(shortcut, true)) return 0;
  m_shortcuts.push_back(shortcut);
  return 1;
}

int CShortcutsStore::UpdateShortcut(const CShortcut& shortcut) {
  CNamedMutexLock lock(m_mutex);
  const int index = FindID(shortcut.GetID());
  if (!lock.IsLocked() || index < 0) return 0;
  m_shortcuts[static_cast<std::size_t>(index)] = shortcut;
  return UpdateShortcutReg(shortcut, false) ? 1 : 0;
}

int CShortcutsStore::DeleteShortcut(const std::string& id) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return 0;
  CSettingsKey store;
  if (UsableID(id) && OpenStoreKey(store, false)) store.DeleteSubKey(id);
  const int index = FindID(id);
  if (index >= 0) m_shortcuts.erase(m_shortcuts.begin() + index);
  if (!m_defaultID.empty() && str::EqualsNoCase(m_defaultID, id)) SetDefaultShortcutID("");
  return 1;
}

int CShortcutsStore::SetDefaultShortcutID(const std::string& id) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return 0;
  m_defaultID = id;
  CSettingsKey store;
  return OpenStoreKey(store, true) && store.SetString("DefaultShortcut", id) ? 1 : 0;
}

CShortcut* CShortcutsStore::GetDefaultShortcutPtr() {
  CNamedMutexLock lock(m_mutex);
  const int index = m_defaultID.empty() ? -1 : FindID(m_defaultID);
  return index >= 0 ? &m_shortcuts[static_cast<std::size_t>(index)] : nullptr;
}

int CShortcutsStore::GetShortcutFromName(const std::string& name, CShortcut& shortcut) const {
  CNamedMutexLock lock(m_mutex);
  for (const CShortcut& s : m_shortcuts) {
    if (str::EqualsNoCase(s.GetName(), name)) {
      shortcut = s;
      return 1;
    }
  }
  return 0;
}

int CShortcutsStore::GetShortcut(const std::string& id, CShortcut& shortcut) const {
  CNamedMutexLock lock(m_mutex);
  const int index = FindID(id);
  if (index < 0) return 0;
  shortcut = m_shortcuts[static_cast<std::size_t>(index)];
  return 1;
}

int CShortcutsStore::GetCount() const {
  CNamedMutexLock lock(m_mutex);
  return static_cast<int>(m_shortcuts.size());
}

CShortcut CShortcutsStore::GetShortcut(int index) const {
  CNamedMutexLock lock(m_mutex);
  return index >= 0 && index < static_cast<int>(m_shortcuts.size()) ? m_shortcuts[static_cast<std::size_t>(index)]
                                                                    : CShortcut();
}

CShortcut* CShortcutsStore::GetShortcutPtr(int index) {
  CNamedMutexLock lock(m_mutex);
  return index >= 0 && index < static_cast<int>(m_shortcuts.size()) ? &m_shortcuts[static_cast<std::size_t>(index)]
                                                                    : nullptr;
}

bool CShortcutsStore::VerifyUniqueName(const CShortcut& shortcut) {
  CNamedMutexLock lock(m_mutex);
  CSettingsKey store;
  std::vector<std::string> ids;
  if (!OpenStoreKey(store, false) || !store.EnumSubKeys(ids)) return true;
  for (const std::string& id : ids) {
    if (str::EqualsNoCase(id, shortcut.GetID())) continue;
    CSettingsKey sub;
    std::string name;
    if (sub.Open(store, id) && sub.QueryString("Name", name) && str::EqualsNoCase(name, shortcut.GetName())) {
      return false;
    }
  }
  return true;
}
