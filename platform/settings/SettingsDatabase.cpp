#include "platform/settings/SettingsDatabase.h"

#include "platform/base/Strings.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

namespace settings {
namespace {

// Long enough for another process to finish a burst of writes, short enough
// that a wedged process does not hang the caller for ever.
constexpr int kBusyTimeoutMs = 30000;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " fold TEXT NOT NULL,"
    " UNIQUE(parent, fold));"
    "CREATE TABLE IF NOT EXISTS vals("
    " key INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " fold TEXT NOT NULL,"
    " type INTEGER NOT NULL,"
    " str TEXT,"
    " num INTEGER,"
    " PRIMARY KEY(key, fold)) WITHOUT ROWID;"
    "PRAGMA user_version = 1;";

bool IsDamage(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string EnvValue(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// The free name "<path>.damaged-<UTC time>[-n]" for a file set aside.
std::string AsideName(const std::string& path) {
  char stamp[32] = "unknown";
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (gmtime_r(&now, &tm)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  std::string name = path + ".damaged-" + stamp;
  for (int n = 1; FileExists(name) && n < 1000; ++n) name = path + ".damaged-" + stamp + "-" + std::to_string(n);
  return name;
}

int Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

// Runs the integrity check that catches a file that is not a database or whose
// pages are broken; SQLITE_CORRUPT when it finds a fault.
int QuickCheck(sqlite3* db) {
  CStatement check(db, "PRAGMA quick_check(1)");
  if (check.PrepareResult() != SQLITE_OK) return check.PrepareResult();
  const int rc = check.Step();
  if (rc != SQLITE_ROW) return rc;
  return check.ColumnText(0) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
}

}  // namespace

std::string FoldName(const std::string& name) { return str::ToLower(name); }

CStatement::CStatement(sqlite3* db, const char* sql) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }

CStatement::~CStatement() { sqlite3_finalize(m_stmt); }

void CStatement::Bind(int index, std::int64_t value) {
  if (m_stmt) sqlite3_bind_int64(m_stmt, index, value);
}

void CStatement::Bind(int index, const std::string& value) {
  if (m_stmt) sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

int CStatement::Step() { return m_stmt ? sqlite3_step(m_stmt) : m_rc; }

std::int64_t CStatement::ColumnInt(int column) const { return sqlite3_column_int64(m_stmt, column); }

std::string CStatement::ColumnText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
  const int size = sqlite3_column_bytes(m_stmt, column);
  return text && size > 0 ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

CSettingsDatabase& CSettingsDatabase::Instance() {
  // Never destroyed: settings may be written from static destructors.
  static CSettingsDatabase* instance = new CSettingsDatabase;
  return *instance;
}

std::string CSettingsDatabase::ResolvePath() {
  std::string file = EnvValue("OLVANE_SETTINGS_FILE");
  if (!file.empty()) return file;
  std::string config = EnvValue("XDG_CONFIG_HOME");
  if (config.empty() || config[0] != '/') {
    std::string home = EnvValue("HOME");
    if (home.empty()) {
      if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir ? pw->pw_dir : "";
    }
    if (home.empty()) return std::string();
    config = home + "/.config";
  }
  return config + "/kalvo/settings.db";
}

void CSettingsDatabase::Report(const std::string& message) {
  if (m_reported) return;
  m_reported = true;
  std::fprintf(stderr, "settings: %s\n", message.c_str());
}

int CSettingsDatabase::OpenFile(const std::string& path, sqlite3** out) {
  *out = nullptr;
  struct stat st {};
  const bool existed = ::stat(path.c_str(), &st) == 0;
  m_inode = existed ? st.st_ino : 0;
  m_device = existed ? st.st_dev : 0;
  // A file we cannot read counts as damaged: it is kept aside, never overwritten.
  if (existed && ::access(path.c_str(), R_OK) != 0) return SQLITE_NOTADB;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    rc = Exec(db, "PRAGMA journal_mode=WAL");
  }
  if (rc == SQLITE_OK) rc = Exec(db, "PRAGMA synchronous=NORMAL");
  if (rc == SQLITE_OK) rc = QuickCheck(db);
  if (rc == SQLITE_OK) rc = Exec(db, "BEGIN IMMEDIATE");
  if (rc == SQLITE_OK) {
    rc = Exec(db, kSchema);
    rc = rc == SQLITE_OK ? Exec(db, "COMMIT") : rc;
    if (rc != SQLITE_OK) Exec(db, "ROLLBACK");
  }
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(db);
    return rc;
  }
  if (!existed && ::stat(path.c_str(), &st) == 0) {
    m_inode = st.st_ino;
    m_device = st.st_dev;
  }
  *out = db;
  return SQLITE_OK;
}

void CSettingsDatabase::SetAside(const std::string& path, const char* why) {
  if (m_db) {
    sqlite3_close_v2(m_db);
    m_db = nullptr;
  }
  // Serialise with other processes that found the same damage; only the file
  // that was inspected is moved, never a fresh one another process just made.
  const std::string lockPath = path + ".lock";
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd >= 0) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_ino == m_inode && st.st_dev == m_device) {
    const std::string aside = AsideName(path);
    if (::rename(path.c_str(), aside.c_str()) == 0) {
      ::rename((path + "-wal").c_str(), (aside + "-wal").c_str());
      ::unlink((path + "-shm").c_str());
      Report("the settings file " + path + " is damaged (" + why + "); it was kept as " + aside +
             " and new, empty settings were started");
    } else {
      Report("the settings file " + path + " is damaged (" + why + ") and cannot be moved aside (" +
             std::strerror(errno) + "); settings are not saved");
    }
  }
  if (fd >= 0) ::close(fd);
}

sqlite3* CSettingsDatabase::Connection() {
  const pid_t pid = ::getpid();
  if (m_db && m_pid != pid) {
    // A forked child must never use its parent's connection; the handle is
    // kept reachable and left alone.
    Abandon();
  }
  if (m_db) return m_db;
  m_path = ResolvePath();
  if (m_path.empty()) {
    Report("no folder for the settings file (HOME is not set); settings are not saved");
    return nullptr;
  }
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
  sqlite3* db = nullptr;
  int rc = OpenFile(m_path, &db);
  if (IsDamage(rc)) {
    // Moved aside (or left in place when it could not be moved): try once more,
    // which gives a fresh database or fails again without touching the file.
    SetAside(m_path, sqlite3_errstr(rc));
    rc = OpenFile(m_path, &db);
  }
  if (rc != SQLITE_OK || !db) {
    Report("cannot open the settings file " + m_path + " (" + sqlite3_errstr(rc) + "); settings are not saved");
    return nullptr;
  }
  m_db = db;
  m_pid = pid;
  return m_db;
}

bool CSettingsDatabase::Run(const Body& body, const char* begin) {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  sqlite3* db = Connection();
  if (!db) return false;
  int rc = Exec(db, begin);
  if (rc == SQLITE_OK) {
    try {
      rc = body(db);
    } catch (...) {
      rc = SQLITE_NOMEM;
    }
    if (rc == SQLITE_OK) rc = Exec(db, "COMMIT");
  }
  if (rc != SQLITE_OK && !sqlite3_get_autocommit(db)) Exec(db, "ROLLBACK");
  if (IsDamage(rc)) SetAside(m_path, sqlite3_errstr(rc));
  return rc == SQLITE_OK;
}

bool CSettingsDatabase::Read(const Body& body) { return Run(body, "BEGIN"); }

bool CSettingsDatabase::Write(const Body& body) { return Run(body, "BEGIN IMMEDIATE"); }

void CSettingsDatabase::Abandon() {
  static auto* abandoned = new std::vector<sqlite3*>;
  abandoned->push_back(m_db);
  m_db = nullptr;
}

void CSettingsDatabase::Close() {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  if (m_db && m_pid != ::getpid()) Abandon();
  if (m_db) sqlite3_close_v2(m_db);
  m_db = nullptr;
  m_reported = false;
}

}  // namespace settings
