#include "glimra/MemoryArchive.h"

#include <cstring>
#include <new>

CMemoryArchive::CMemoryArchive(DWORD capacity, BOOL own) : m_own(own) {
  m_buffer = new (std::nothrow) BYTE[static_cast<size_t>(capacity) + 1];
  if (m_buffer) {
    m_capacity = capacity;
    m_allocated = TRUE;
  }
}

CMemoryArchive::CMemoryArchive(BYTE* data, DWORD size) : m_buffer(data), m_capacity(data ? size : 0) {}

CMemoryArchive::~CMemoryArchive() { Free(); }

void CMemoryArchive::Free() {
  if (m_allocated) delete[] m_buffer;
  m_buffer = nullptr;
  m_allocated = FALSE;
}

CMemoryArchive& CMemoryArchive::operator=(const CMemoryArchive& other) {
  if (this == &other) return *this;
  Free();
  m_buffer = other.m_buffer;
  m_capacity = other.m_capacity;
  m_position = other.m_position;
  m_own = FALSE;
  return *this;
}

BOOL CMemoryArchive::SetData(const BYTE* data, DWORD size) {
  if (!Fits(size) || (size && !data)) return FALSE;
  if (size) std::memcpy(m_buffer + m_position, data, size);
  m_position += size;
  return TRUE;
}

BOOL CMemoryArchive::GetData(BYTE* data, DWORD size) {
  if (!Fits(size) || (size && !data)) return FALSE;
  if (size) std::memcpy(data, m_buffer + m_position, size);
  m_position += size;
  return TRUE;
}

BOOL CMemoryArchive::SetDWORD(DWORD value) {
  const BYTE b[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                     static_cast<BYTE>(value >> 24)};
  return SetData(b, 4);
}

BOOL CMemoryArchive::GetDWORD(DWORD& value) {
  BYTE b[4];
  if (!GetData(b, 4)) return FALSE;
  value = static_cast<DWORD>(b[0]) | (static_cast<DWORD>(b[1]) << 8) | (static_cast<DWORD>(b[2]) << 16) |
          (static_cast<DWORD>(b[3]) << 24);
  return TRUE;
}

BOOL CMemoryArchive::GetInt(int& value) {
  DWORD v = 0;
  if (!GetDWORD(v)) return FALSE;
  value = static_cast<int>(v);
  return TRUE;
}

BOOL CMemoryArchive::SetFloat(float value) {
  DWORD bits = 0;
  std::memcpy(&bits, &value, 4);
  return SetDWORD(bits);
}

BOOL CMemoryArchive::GetFloat(float& value) {
  DWORD bits = 0;
  if (!GetDWORD(bits)) return FALSE;
  std::memcpy(&value, &bits, 4);
  return TRUE;
}

BOOL CMemoryArchive::SetPoint(const CPoint& pt) { return Fits(8) && SetInt(pt.x) && SetInt(pt.y); }

BOOL CMemoryArchive::GetPoint(CPoint& pt) {
  if (!Fits(8)) return FALSE;
  int x = 0, y = 0;
  GetInt(x);
  GetInt(y);
  pt = CPoint(x, y);
  return TRUE;
}

BOOL CMemoryArchive::SetSize(const CSize& size) { return Fits(8) && SetInt(size.cx) && SetInt(size.cy); }

BOOL CMemoryArchive::GetSize(CSize& size) {
  if (!Fits(8)) return FALSE;
  int cx = 0, cy = 0;
  GetInt(cx);
  GetInt(cy);
  size = CSize(cx, cy);
  return TRUE;
}

BOOL CMemoryArchive::SetRect(const CRect& rect) {
  return Fits(16) && SetInt(rect.left) && SetInt(rect.top) && SetInt(rect.bottom) && SetInt(rect.right);
}

BOOL CMemoryArchive::GetRect(CRect& rect) {
  if (!Fits(16)) return FALSE;
  int l = 0, t = 0, b = 0, r = 0;
  GetInt(l);
  GetInt(t);
  GetInt(b);
  GetInt(r);
  rect.SetRect(l, t, r, b);
  return TRUE;
}

BOOL CMemoryArchive::SetString(const char* text) {
  const size_t len = text ? std::strlen(text) : 0;
  if (len >= 0xFFFFFFFEu) return FALSE;
  const DWORD n = len ? static_cast<DWORD>(len + 1) : 0;
  if (!Fits(4) || static_cast<unsigned long long>(m_position) + 4 + n > m_capacity) return FALSE;
  SetDWORD(n);
  return SetData(reinterpret_cast<const BYTE*>(text), n);
}

BOOL CMemoryArchive::GetString(std::string& text) {
  if (!Fits(4)) return FALSE;
  const DWORD start = m_position;
  DWORD n = 0;
  GetDWORD(n);
  if (!Fits(n)) {
    m_position = start;
    return FALSE;
  }
  const char* p = reinterpret_cast<const char*>(m_buffer + m_position);
  text.assign(p, strnlen(p, n));
  m_position += n;
  return TRUE;
}

BOOL CMemoryArchive::Resize(DWORD n) {
  if (n < m_position) return FALSE;
  if (n < m_capacity) return TRUE;
  if (n == m_capacity) return TRUE;
  if (!m_own || !m_allocated) return FALSE;
  BYTE* grown = new (std::nothrow) BYTE[static_cast<size_t>(n) + 1];
  if (!grown) return FALSE;
  if (m_position) std::memcpy(grown, m_buffer, m_position);
  delete[] m_buffer;
  m_buffer = grown;
  m_capacity = n;
  return TRUE;
}

BOOL CMemoryArchive::EnsureSpace(DWORD n) {
  const unsigned long long need = static_cast<unsigned long long>(m_position) + n;
  if (need <= m_capacity) return TRUE;
  if (need > 0xFFFFFFFEull) return FALSE;
  return Resize(static_cast<DWORD>(need));
}

BOOL CMemoryArchive::InsertData(DWORD pos, const BYTE* data, DWORD n) {
  if (pos > m_position || (n && !data) || !EnsureSpace(n)) return FALSE;
  if (n == 0) return TRUE;
  std::memmove(m_buffer + pos + n, m_buffer + pos, m_position - pos);
  std::memcpy(m_buffer + pos, data, n);
  m_position += n;
  return TRUE;
}
