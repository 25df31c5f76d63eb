// A file over POSIX calls standing in for the framework's file class. Every
// failure is a false or zero result; nothing throws.
#pragma once

#include <cstdint>
#include <string>

class CFile {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  CFile(CFile&& other) noexcept;
  CFile& operator=(CFile&& other) noexcept;

  // Opens with the flags above; modeCreate truncates unless modeNoTruncate.
  bool Open(const std::string& path, unsigned flags);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }

  // Reads up to count bytes; returns the number read (0 at the end or on error).
  std::uint32_t Read(void* buffer, std::uint32_t count);
  // Writes all count bytes; false when the file took fewer.
  bool Write(const void* buffer, std::uint32_t count);
  // Moves the position; returns the new position or -1 on failure.
  std::int64_t Seek(std::int64_t offset, SeekPosition from);
  std::int64_t SeekToBegin() { return Seek(0, begin); }
  std::int64_t SeekToEnd() { return Seek(0, end); }
  std::int64_t GetPosition() const;
  // File length in bytes, -1 when not open.
  std::int64_t GetLength() const;
  bool SetLength(std::int64_t length);
  bool Flush();

  const std::string& GetFilePath() const { return m_path; }
  // errno of the last failure, 0 when none.
  int GetLastError() const { return m_lastError; }

 private:
  int m_fd = -1;
  std::string m_path;
  int m_lastError = 0;
};
