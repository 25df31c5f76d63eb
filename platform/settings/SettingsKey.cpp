#include "platform/settings/SettingsKey.h"

#include "platform/settings/SettingsDatabase.h"

using settings::CSettingsDatabase;
using settings::CStatement;
using settings::FoldName;

namespace {

// Value types, numbered as the registry numbers them.
constexpr std::int64_t kTypeString = 1;
constexpr std::int64_t kTypeNumber = 4;

// Path components between backslashes; empty components (doubled or outer
// backslashes) are skipped.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string JoinPath(const std::string& base, const std::string& sub) {
  if (base.empty()) return sub;
  if (sub.empty()) return base;
  return base + "\\" + sub;
}

int Done(int rc) { return rc == SQLITE_DONE ? SQLITE_OK : rc; }

// SQLITE_OK when the key exists, SQLITE_NOTFOUND when it was deleted.
int KeyExists(sqlite3* db, std::int64_t id) {
  if (id == settings::kRootKeyId) return SQLITE_OK;
  CStatement q(db, "SELECT 1 FROM keys WHERE id = ?1");
  q.Bind(1, id);
  const int rc = q.Step();
  return rc == SQLITE_ROW ? SQLITE_OK : rc == SQLITE_DONE ? SQLITE_NOTFOUND : rc;
}

int FindChild(sqlite3* db, std::int64_t parent, const std::string& name, std::int64_t& id) {
  CStatement q(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
  q.Bind(1, parent);
  q.Bind(2, FoldName(name));
  const int rc = q.Step();
  if (rc == SQLITE_ROW) {
    id = q.ColumnInt(0);
    return SQLITE_OK;
  }
  return rc == SQLITE_DONE ? SQLITE_NOTFOUND : rc;
}

int InsertChild(sqlite3* db, std::int64_t parent, const std::string& name, std::int64_t& id) {
  CStatement q(db, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)");
  q.Bind(1, parent);
  q.Bind(2, name);
  q.Bind(3, FoldName(name));
  const int rc = q.Step();
  if (rc != SQLITE_DONE) return rc;
  id = sqlite3_last_insert_rowid(db);
  return SQLITE_OK;
}

// Walks the components below base, creating missing ones when asked.
int Resolve(sqlite3* db, std::int64_t base, const std::vector<std::string>& parts, std::size_t count, bool create,
            std::int64_t& id) {
  int rc = KeyExists(db, base);
  id = base;
  for (std::size_t i = 0; rc == SQLITE_OK && i < count; ++i) {
    rc = FindChild(db, id, parts[i], id);
    if (rc == SQLITE_NOTFOUND && create) rc = InsertChild(db, id, parts[i], id);
  }
  return rc;
}

int PutValue(sqlite3* db, std::int64_t key, const std::string& name, std::int64_t type, const std::string* text,
             std::int64_t number) {
  CStatement q(db,
               "INSERT INTO vals(key, name, fold, type, str, num) VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
               "ON CONFLICT(key, fold) DO UPDATE SET name = excluded.name, type = excluded.type, "
               "str = excluded.str, num = excluded.num");
  q.Bind(1, key);
  q.Bind(2, name);
  q.Bind(3, FoldName(name));
  q.Bind(4, type);
  q.Bind(5, text ? *text : std::string());
  q.Bind(6, number);
  return Done(q.Step());
}

// Reads one value of the given type; SQLITE_NOTFOUND when missing or of the other type.
int GetValue(sqlite3* db, std::int64_t key, const std::string& name, std::int64_t type, std::string& text,
             std::int64_t& number) {
  CStatement q(db, "SELECT type, str, num FROM vals WHERE key = ?1 AND fold = ?2");
  q.Bind(1, key);
  q.Bind(2, FoldName(name));
  const int rc = q.Step();
  if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_NOTFOUND : rc;
  if (q.ColumnInt(0) != type) return SQLITE_NOTFOUND;
  text = q.ColumnText(1);
  number = q.ColumnInt(2);
  return SQLITE_OK;
}

int ListNames(sqlite3* db, const char* sql, std::int64_t key, std::vector<std::string>& names) {
  CStatement q(db, sql);
  q.Bind(1, key);
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW) names.push_back(q.ColumnText(0));
  return Done(rc);
}

// Deletes a key, its values and everything below it.
int DeleteTree(sqlite3* db, std::int64_t id) {
  static constexpr const char* kTree =
      "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM keys k JOIN tree ON k.parent = tree.id) ";
  const std::string values = std::string(kTree) + "DELETE FROM vals WHERE key IN (SELECT id FROM tree)";
  const std::string keys = std::string(kTree) + "DELETE FROM keys WHERE id IN (SELECT id FROM tree)";
  CStatement dv(db, values.c_str());
  dv.Bind(1, id);
  int rc = Done(dv.Step());
  if (rc != SQLITE_OK) return rc;
  CStatement dk(db, keys.c_str());
  dk.Bind(1, id);
  return Done(dk.Step());
}

int DeleteBelow(sqlite3* db, std::int64_t base, const std::string& subPath) {
  const std::vector<std::string> parts = SplitPath(subPath);
  if (parts.empty()) return SQLITE_MISUSE;
  std::int64_t id = -1;
  const int rc = Resolve(db, base, parts, parts.size(), false, id);
  return rc == SQLITE_OK ? DeleteTree(db, id) : rc;
}

}  // namespace

bool CSettingsKey::OpenFrom(std::int64_t base, const std::string& basePath, const std::string& subPath, bool create) {
  if (base < 0) return false;
  const std::vector<std::string> parts = SplitPath(subPath);
  std::int64_t id = -1;
  auto body = [&](bool make) {
    return [&, make](sqlite3* db) { return Resolve(db, base, parts, parts.size(), make, id); };
  };
  // Most keys already exist: look first, and take the write lock only to create.
  bool ok = CSettingsDatabase::Instance().Read(body(false));
  if (!ok && create) ok = CSettingsDatabase::Instance().Write(body(true));
  if (!ok) return false;
  m_id = id;
  m_path = JoinPath(basePath, subPath);
  return true;
}

bool CSettingsKey::Create(const std::string& path) { return OpenFrom(settings::kRootKeyId, "", path, true); }

bool CSettingsKey::Open(const std::string& path) { return OpenFrom(settings::kRootKeyId, "", path, false); }

bool CSettingsKey::Create(const CSettingsKey& parent, const std::string& subPath) {
  return OpenFrom(parent.m_id, parent.m_path, subPath, true);
}

bool CSettingsKey::Open(const CSettingsKey& parent, const std::string& subPath) {
  return OpenFrom(parent.m_id, parent.m_path, subPath, false);
}

void CSettingsKey::Close() {
  m_id = -1;
  m_path.clear();
}

bool CSettingsKey::QueryString(const std::string& name, std::string& value) const {
  if (!IsOpen()) return false;
  std::string text;
  std::int64_t number = 0;
  const bool ok = CSettingsDatabase::Instance().Read(
      [&](sqlite3* db) { return GetValue(db, m_id, name, kTypeString, text, number); });
  if (ok) value = text;
  return ok;
}

bool CSettingsKey::QueryDWORD(const std::string& name, DWORD& value) const {
  if (!IsOpen()) return false;
  std::string text;
  std::int64_t number = 0;
  const bool ok = CSettingsDatabase::Instance().Read(
      [&](sqlite3* db) { return GetValue(db, m_id, name, kTypeNumber, text, number); });
  if (ok) value = static_cast<DWORD>(number);
  return ok;
}

bool CSettingsKey::SetString(const std::string& name, const std::string& value) { return SetStrings({{name, value}}); }

bool CSettingsKey::SetStrings(const std::vector<std::pair<std::string, std::string>>& values) {
  if (!IsOpen()) return false;
  return CSettingsDatabase::Instance().Write([&](sqlite3* db) {
    int rc = KeyExists(db, m_id);
    for (std::size_t i = 0; rc == SQLITE_OK && i < values.size(); ++i) {
      rc = PutValue(db, m_id, values[i].first, kTypeString, &values[i].second, 0);
    }
    return rc;
  });
}

bool CSettingsKey::SetDWORD(const std::string& name, DWORD value) {
  if (!IsOpen()) return false;
  return CSettingsDatabase::Instance().Write([&](sqlite3* db) {
    const int rc = KeyExists(db, m_id);
    return rc == SQLITE_OK ? PutValue(db, m_id, name, kTypeNumber, nullptr, value) : rc;
  });
}

bool CSettingsKey::DeleteValue(const std::string& name) {
  if (!IsOpen()) return false;
  return CSettingsDatabase::Instance().Write([&](sqlite3* db) {
    CStatement q(db, "DELETE FROM vals WHERE key = ?1 AND fold = ?2");
    q.Bind(1, m_id);
    q.Bind(2, FoldName(name));
    const int rc = Done(q.Step());
    return rc == SQLITE_OK && sqlite3_changes(db) == 0 ? SQLITE_NOTFOUND : rc;
  });
}

bool CSettingsKey::EnumSubKeys(std::vector<std::string>& names) const {
  names.clear();
  if (!IsOpen()) return false;
  std::vector<std::string> found;
  const bool ok = CSettingsDatabase::Instance().Read([&](sqlite3* db) {
    found.clear();
    return ListNames(db, "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold, name", m_id, found);
  });
  if (ok) names.swap(found);
  return ok;
}

bool CSettingsKey::EnumValues(std::vector<std::string>& names) const {
  names.clear();
  if (!IsOpen()) return false;
  std::vector<std::string> found;
  const bool ok = CSettingsDatabase::Instance().Read([&](sqlite3* db) {
    found.clear();
    return ListNames(db, "SELECT name FROM vals WHERE key = ?1 ORDER BY fold, name", m_id, found);
  });
  if (ok) names.swap(found);
  return ok;
}

bool CSettingsKey::HasSubKey(const std::string& name) const {
  CSettingsKey sub;
  return !SplitPath(name).empty() && sub.Open(*this, name);
}

bool CSettingsKey::DeleteSubKey(const std::string& subPath) {
  if (!IsOpen() || SplitPath(subPath).empty()) return false;
  return CSettingsDatabase::Instance().Write([&](sqlite3* db) { return DeleteBelow(db, m_id, subPath); });
}

bool CSettingsKey::DeleteKey(const std::string& path) {
  if (SplitPath(path).empty()) return false;
  return CSettingsDatabase::Instance().Write([&](sqlite3* db) { return DeleteBelow(db, settings::kRootKeyId, path); });
}

void CSettingsKey::CloseStore() { CSettingsDatabase::Instance().Close(); }

std::string CSettingsKey::StorePath() { return CSettingsDatabase::ResolvePath(); }
