// Little-endian in-memory reader and writer of the annotation archive. Every put
// and get checks the room left first and moves nothing when the bytes do not fit,
// so a damaged archive can never make a loader read outside its buffer.
#pragma once

#include <string>

#include "platform/base/Point.h"
#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

class CMemoryArchive {
 public:
  // An archive over a fresh buffer of capacity bytes (one spare byte allocated
  // behind it). own: the archive may grow the buffer (Resize); the buffer made
  // here is always freed by the archive. A failed allocation leaves capacity 0.
  CMemoryArchive(DWORD capacity, BOOL own);
  // An archive over a caller's buffer; never freed or grown by the archive.
  CMemoryArchive(BYTE* data, DWORD size);
  ~CMemoryArchive();
  CMemoryArchive(const CMemoryArchive&) = delete;
  // Takes the other archive's buffer, capacity and position as a view: the
  // result never owns (frees or grows) the buffer, so two archives never free it twice.
  CMemoryArchive& operator=(const CMemoryArchive& other);

  BYTE* GetBuffer() const { return m_buffer; }
  // The position: bytes written so far, or bytes consumed when reading.
  DWORD GetBufferSize() const { return m_position; }
  DWORD GetCapacity() const { return m_capacity; }
  DWORD GetRemaining() const { return m_capacity - m_position; }
  BOOL IsOwner() const { return m_own; }
  void Reset() { m_position = 0; }

  BOOL SetDWORD(DWORD value);
  BOOL GetDWORD(DWORD& value);
  BOOL SetInt(int value) { return SetDWORD(static_cast<DWORD>(value)); }
  BOOL GetInt(int& value);
  BOOL SetFloat(float value);
  BOOL GetFloat(float& value);
  BOOL SetPoint(const CPoint& pt);
  BOOL GetPoint(CPoint& pt);
  BOOL SetSize(const CSize& size);
  BOOL GetSize(CSize& size);
  // Rectangles are stored left, top, bottom, right.
  BOOL SetRect(const CRect& rect);
  BOOL GetRect(CRect& rect);
  // A length n (characters plus the NUL, which is stored; 0 alone for an empty
  // string) followed by n bytes.
  BOOL SetString(const char* text);
  BOOL SetString(const std::string& text) { return SetString(text.c_str()); }
  BOOL GetString(std::string& text);
  BOOL SetData(const BYTE* data, DWORD size);
  BOOL GetData(BYTE* data, DWORD size);

  // Grows an owning archive to n bytes when n is at least the capacity; FALSE
  // when n is below the position or the archive cannot grow.
  BOOL Resize(DWORD n);
  // Makes room for n more bytes after the position.
  BOOL EnsureSpace(DWORD n);
  // Inserts n bytes at pos, moving the bytes from pos up to the position higher.
  BOOL InsertData(DWORD pos, const BYTE* data, DWORD n);

  // The bytes a stored string of this text takes.
  static DWORD StringSize(const std::string& text) {
    return text.empty() ? 4 : 4 + static_cast<DWORD>(text.size()) + 1;
  }

 private:
  BOOL Fits(DWORD n) const { return static_cast<unsigned long long>(m_position) + n <= m_capacity; }
  void Free();

  BYTE* m_buffer = nullptr;
  DWORD m_capacity = 0;
  DWORD m_position = 0;
  BOOL m_own = FALSE;
  BOOL m_allocated = FALSE;  // the buffer was made here and is freed here
};
