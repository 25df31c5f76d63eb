#include "olvane/ResumeStore.h"

#include <algorithm>

#include "platform/settings/SettingsKey.h"

namespace {

// "<position> <path>"; false for anything else (the store is not trusted).
bool ParseLine(const std::string& line, DWORD& position, std::string& path) {
  std::size_t pos = 0;
  unsigned long long value = 0;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
    value = value * 10 + static_cast<unsigned>(line[pos] - '0');
    if (value > 0xFFFFFFFFull) return false;
    ++pos;
  }
  if (pos == 0 || pos + 1 >= line.size() || line[pos] != ' ') return false;
  position = static_cast<DWORD>(value);
  path = line.substr(pos + 1);
  return true;
}

bool Storable(const std::string& path) { return !path.empty() && path.find_first_of("\r\n") == std::string::npos; }

}  // namespace

CResumeStore::CResumeStore(std::string keyPath) : m_keyPath(std::move(keyPath)), m_mutex(kMutexName) {}

std::vector<CResumeStore::Entry> CResumeStore::Read() {
  std::vector<Entry> entries;
  CSettingsKey key;
  std::string text;
  if (!key.Open(m_keyPath) || !key.QueryString(kValueName, text)) return entries;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    Entry e;
    if (ParseLine(text.substr(start, end - start), e.position, e.path)) {
      // A path listed twice counts once, at its newest place.
      entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const Entry& o) { return o.path == e.path; }),
                    entries.end());
      entries.push_back(std::move(e));
    }
    start = end + 1;
  }
  if (entries.size() > static_cast<std::size_t>(kMaximum)) entries.erase(entries.begin(), entries.end() - kMaximum);
  return entries;
}

bool CResumeStore::Write(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& e : entries) text += std::to_string(e.position) + ' ' + e.path + '\n';
  CSettingsKey key;
  return key.Create(m_keyPath) && key.SetString(kValueName, text);
}

bool CResumeStore::Save(const std::string& path, DWORD positionMs) {
  if (!Storable(path)) return false;
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked()) return false;
  std::vector<Entry> entries = Read();
  entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.path == path; }),
                entries.end());
  entries.push_back(Entry{positionMs, path});
  // Oldest first: what passes the limit goes from the front.
  if (entries.size() > static_cast<std::size_t>(kMaximum)) entries.erase(entries.begin(), entries.end() - kMaximum);
  return Write(entries);
}

bool CResumeStore::Lookup(const std::string& path, DWORD& positionMs) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked() || !Storable(path)) return false;
  for (const Entry& e : Read())
    if (e.path == path) {
      positionMs = e.position;
      return true;
    }
  return false;
}

bool CResumeStore::Remove(const std::string& path) {
  CNamedMutexLock lock(m_mutex);
  if (!lock.IsLocked() || !Storable(path)) return false;
  std::vector<Entry> entries = Read();
  const auto gone = std::remove_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.path == path; });
  if (gone == entries.end()) return false;
  entries.erase(gone, entries.end());
  return Write(entries);
}

std::vector<std::string> CResumeStore::Paths() {
  CNamedMutexLock lock(m_mutex);
  std::vector<std::string> paths;
  if (!lock.IsLocked()) return paths;
  for (const Entry& e : Read()) paths.push_back(e.path);
  return paths;
}
