// The process's connection to the settings database, the stand-in for the
// current user's registry. Private to platform/settings: callers use
// CSettingsKey (SettingsKey.h).
//
// One connection per process, opened on first use and again after fork() (a
// child never uses its parent's connection). Writes run in BEGIN IMMEDIATE
// transactions with a busy timeout, the journal is WAL, so several processes
// can share the file. A damaged file is reported once, moved aside under a new
// name and replaced by a fresh, empty database.
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace settings {

// Id of the root key (the current user's root); it has no row of its own.
constexpr std::int64_t kRootKeyId = 0;

// A prepared statement that finalises itself.
class CStatement {
 public:
  CStatement(sqlite3* db, const char* sql);
  ~CStatement();
  CStatement(const CStatement&) = delete;
  CStatement& operator=(const CStatement&) = delete;

  int PrepareResult() const { return m_rc; }
  void Bind(int index, std::int64_t value);
  void Bind(int index, const std::string& value);
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  std::int64_t ColumnInt(int column) const;
  std::string ColumnText(int column) const;

 private:
  sqlite3_stmt* m_stmt = nullptr;
  int m_rc;
};

class CSettingsDatabase {
 public:
  using Body = std::function<int(sqlite3*)>;

  static CSettingsDatabase& Instance();

  // Runs body in a read transaction; body returns SQLITE_OK on success.
  bool Read(const Body& body);
  // Runs body in an immediate write transaction, committed when body returns
  // SQLITE_OK and rolled back otherwise.
  bool Write(const Body& body);
  // Closes the connection; the next use opens the file named at that time.
  void Close();
  // The file the next connection opens.
  static std::string ResolvePath();

 private:
  CSettingsDatabase() = default;
  bool Run(const Body& body, const char* begin);
  sqlite3* Connection();
  int OpenFile(const std::string& path, sqlite3** out);
  void SetAside(const std::string& path, const char* why);
  void Report(const std::string& message);
  // Drops a connection inherited through fork() without using it.
  void Abandon();

  std::recursive_mutex m_lock;
  sqlite3* m_db = nullptr;
  pid_t m_pid = 0;
  std::string m_path;
  ino_t m_inode = 0;
  dev_t m_device = 0;
  bool m_reported = false;
};

// Lower-cased name used to compare key and value names without case.
std::string FoldName(const std::string& name);

}  // namespace settings
