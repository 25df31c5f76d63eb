#include "pravex/support/RecentFileStore.h"

#include "platform/base/Strings.h"
#include "platform/settings/SettingsKey.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr const char* kMissing = "!Error";

// The number a sub-key name stands for, as the C runtime reads decimals; 64
// bits wide so that large names cannot overflow the next ID.
std::int64_t NumericID(const std::string& id) {
  const long long v = std::strtoll(id.c_str(), nullptr, 10);
  return static_cast<std::int64_t>(v);
}

// A stored item's sub-key name must name exactly one key below the store.
bool UsableID(const std::string& id) {
  return !id.empty() && id.find('\\') == std::string::npos && !str::Trim(id).empty();
}

std::string ReadString(const CSettingsKey& key, const char* name) {
  std::string value;
  return key.QueryString(name, value) ? value : std::string(kMissing);
}

}  // namespace

CRecentFileStore::CRecentFileStore(const char* keyPath) : m_mutex(kMutexName) {
  if (keyPath) Load(keyPath);
}

bool CRecentFileStore::OpenStoreKey(CSettingsKey& key, bool create) const {
  if (m_keyPath.empty()) return false;  // never the root itself
  return create ? key.Create(m_keyPath) : key.Open(m_keyPath);
}

void CRecentFileStore::InsertByID(const CRecentItem& item) {
  const std::int64_t id = NumericID(item.GetID());
  auto at = m_items.begin();
  while (at != m_items.end() && NumericID(at->GetID()) >= id) ++at;
  m_items.insert(at, item);
}

bool CRecentFileStore::WriteItem(const CRecentItem& item) {
  CSettingsKey store;
  CSettingsKey sub;
  if (!UsableID(item.GetID()) || !OpenStoreKey(store, true) || !sub.Create(store, item.GetID())) return false;
  return sub.SetStrings({{"Name", item.GetName()}, {"Target", item.GetTarget()}});
}

bool CRecentFileStore::DeleteItemKey(const std::string& id) {
  CSettingsKey store;
  return UsableID(id) && OpenStoreKey(store, false) && store.DeleteSubKey(id);
}

int CRecentFileStore::Load(const char* keyPath) {
  CNamedMutexLock lock(m_mutex);
  if (keyPath) m_keyPath = keyPath;
  m_items.clear();
  if (!lock.IsLocked()) return 0;
  CSettingsKey store;
  std::vector<std::string> ids;
  if (OpenStoreKey(store, false) && store.EnumSubKeys(ids)) {
    for (const std::string& id : ids) {
      CSettingsKey sub;
      if (!sub.Open(store, id)) continue;
      CRecentItem item(ReadString(sub, "Name"), ReadString(sub, "Target"));
      item.SetID(id);
      InsertByID(item);
    }
  }
  const int maximum = GetMaximumSize();
  while (maximum > 0 && static_cast<int>(m_items.size()) > maximum) {
    DeleteItemKey(m_items.back().GetID());
    m_items.pop_back();
  }
  return 1;
}

int CRecentFileStore::GetMaximumSize() {
  CNamedMutexLock lock(m_mutex);
  CSettingsKey store;
  DWORD value = kDefaultMaximum;
  if (!lock.IsLocked() || !OpenStoreKey(store, false) || !store.QueryDWORD("MaximumFiles", value)) {
    return kDefaultMaximum;
  }
  return static_cast<int>(value);
}

int CRecentFileStore::SetMaximumSize(int maximum) {
  CNamedMutexLock lock(m_mutex);
  CSettingsKey store;
  return lock.IsLocked() && OpenStoreKey(store, true) && store.SetDWORD("MaximumFiles", static_cast<DWORD>(maximum))
             ? 1
             : 0;
}

std::string CRecentFileStore::GenerateUniqueID() {
  CNamedMutexLock lock(m_mutex);
  CSettingsKey store;
  std::vector<std::string> ids;
  if (!lock.IsLocked() || m_keyPath.empty()) return std::string();
  if (OpenStoreKey(store, false) && !store.EnumSubKeys(ids)) return std::string();
  std::int64_t largest = 0;
  for (const std::string& id : ids) largest = std::max(largest, NumericID(id));
  if (largest == INT64_MAX) return std::string();
  return str::Format("%" PRId64, largest + 1);
}

int CRecentFileStore::AddRecentItem(CRecentItem& item) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return 0;
  const int match = FindMatch(item);
  if (match >= 0) RemoveListed(match);
  const std::string id = GenerateUniqueID();
  if (id.empty()) return 0;
  item.SetID(id);
  InsertByID(item);
  return WriteItem(item) ? 1 : 0;
}

int CRecentFileStore::AddRecentItemReg(CRecentItem& item) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return 0;
  const std::string id = GenerateUniqueID();
  if (id.empty()) return 0;
  item.SetID(id);
  return WriteItem(item) ? 1 : 0;
}

int CRecentFileStore::FindMatch(const CRecentItem& item) const {
  for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
    const CRecentItem& listed = m_items[static_cast<std::size_t>(i)];
    const bool sameFile = listed.GetName() == item.GetName() && listed.GetTarget() == item.GetTarget();
    if (sameFile || (!item.GetID().empty() && listed.GetID() == item.GetID())) return i;
  }
  return -1;
}

int CRecentFileStore::RemoveListed(int index) {
  const std::string id = m_items[static_cast<std::size_t>(index)].GetID();
  m_items.erase(m_items.begin() + index);
  return DeleteItemKey(id) ? 1 : 0;
}

int CRecentFileStore::RemoveRecentItem(const CRecentItem& item) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return 0;
  const int match = FindMatch(item);
  return match >= 0 ? RemoveListed(match) : 0;
}

int CRecentFileStore::RemoveRecentItemReg(const std::string& target) {
  CNamedMutexLock lock(m_mutex);
  CSettingsKey store;
  std::vector<std::string> ids;
  if (!lock.IsLocked() || !OpenStoreKey(store, false) || !store.EnumSubKeys(ids)) return 0;
  std::vector<std::string> doomed;
  for (const std::string& id : ids) {
    CSettingsKey sub;
    std::string stored;
    if (sub.Open(store, id) && sub.QueryString("Target", stored) && str::EqualsNoCase(stored, target)) {
      doomed.push_back(id);
    }
  }
  for (const std::string& id : doomed) DeleteItemKey(id);
  return 1;
}

int CRecentFileStore::RemoveRecentItemIDReg(const std::string& id) {
  CNamedMutexLock lock(m_mutex);
  return lock.IsLocked() && DeleteItemKey(id) ? 1 : 0;
}

int CRecentFileStore::UpdateRecentItem(const CRecentItem& item) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked() || item.GetID().empty()) return 0;
  for (CRecentItem& listed : m_items) {
    if (listed.GetID() != item.GetID()) continue;
    listed.SetName(item.GetName());
    listed.SetTarget(item.GetTarget());
    return WriteItem(listed) ? 1 : 0;
  }
  return 0;
}

int CRecentFileStore::UpdateRecentItem(const CRecentItem& oldItem, const CRecentItem& newItem) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return 0;
  const int match = FindMatch(oldItem);
  if (match < 0) return 0;
  CRecentItem& listed = m_items[static_cast<std::size_t>(match)];
  listed.SetName(newItem.GetName());
  listed.SetTarget(newItem.GetTarget());
  return WriteItem(listed) ? 1 : 0;
}

int CRecentFileStore::GetCount() const {
  CNamedMutexLock lock(m_mutex);
  return static_cast<int>(m_items.size());
}

CRecentItem CRecentFileStore::GetRecentItem(int index) const {
  CNamedMutexLock lock(m_mutex);
  return index >= 0 && index < static_cast<int>(m_items.size()) ? m_items[static_cast<std::size_t>(index)]
                                                                : CRecentItem();
}

CRecentItem* CRecentFileStore::GetRecentItemPtr(int index) {
  CNamedMutexLock lock(m_mutex);
  return index >= 0 && index < static_cast<int>(m_items.size()) ? &m_items[static_cast<std::size_t>(index)] : nullptr;
}
