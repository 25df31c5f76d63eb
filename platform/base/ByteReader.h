// Bounds-checked little-endian reading and writing of byte blocks. Every parser
// of stored data goes through CByteReader: a read that would pass the end
// returns 0, pins the position at the end and sets a sticky overrun flag, so a
// corrupt length can never make a parser read outside its block. The unchecked
// accessors exist only for loops that checked the remaining size beforehand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class CByteReader {
 public:
  CByteReader() = default;
  CByteReader(const void* data, std::size_t size)
      : m_data(static_cast<const std::uint8_t*>(data)), m_size(data ? size : 0) {}

  std::size_t GetSize() const { return m_size; }
  std::size_t GetPosition() const { return m_pos; }
  std::size_t GetRemaining() const { return m_size - m_pos; }
  // True once any read or skip asked for more than was there.
  bool HasOverrun() const { return m_overrun; }
  bool IsAtEnd() const { return m_pos == m_size; }
  // Pointer to the current position (valid for GetRemaining() bytes).
  const std::uint8_t* GetCurrent() const { return m_data + m_pos; }

  std::uint8_t GetU8() { return Has(1) ? m_data[m_pos++] : Fail<std::uint8_t>(); }
  std::int8_t GetS8() { return static_cast<std::int8_t>(GetU8()); }
  std::uint16_t GetLE16() {
    if (!Has(2)) return Fail<std::uint16_t>();
    const std::uint16_t v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
  }
  std::uint16_t GetBE16() {
    if (!Has(2)) return Fail<std::uint16_t>();
    const std::uint16_t v = static_cast<std::uint16_t>((m_data[m_pos] << 8) | m_data[m_pos + 1]);
    m_pos += 2;
    return v;
  }
  std::uint32_t GetLE32() {
    if (!Has(4)) return Fail<std::uint32_t>();
    const std::uint32_t v = LoadLE32(m_data + m_pos);
    m_pos += 4;
    return v;
  }
  std::int32_t GetLES32() { return static_cast<std::int32_t>(GetLE32()); }
  std::uint64_t GetLE64() {
    const std::uint64_t lo = GetLE32();
    const std::uint64_t hi = GetLE32();
    return m_overrun ? 0 : (lo | (hi << 32));
  }
  // Copies n bytes out; on overrun nothing is copied and false is returned.
  bool GetBytes(void* out, std::size_t n) {
    if (!Has(n)) return Fail<bool>();
    if (n) std::memcpy(out, m_data + m_pos, n);
    m_pos += n;
    return true;
  }
  // Returns a pointer to the next n bytes and moves past them, or null on overrun.
  const std::uint8_t* Take(std::size_t n) {
    if (!Has(n)) return Fail<const std::uint8_t*>();
    const std::uint8_t* p = m_data + m_pos;
    m_pos += n;
    return p;
  }
  bool Skip(std::size_t n) {
    if (!Has(n)) return Fail<bool>();
    m_pos += n;
    return true;
  }

  static std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }

 private:
  bool Has(std::size_t n) const { return n <= m_size - m_pos; }
  template <typename T>
  T Fail() {
    m_overrun = true;
    m_pos = m_size;
    return T{};
  }

  const std::uint8_t* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_pos = 0;
  bool m_overrun = false;
};

// Appends little-endian (and, where a format asks for it, big-endian) values to
// a growing byte vector.
class CByteWriter {
 public:
  explicit CByteWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
  void PutU8(std::uint8_t v) { m_out.push_back(v); }
  void PutLE16(std::uint16_t v) {
    m_out.push_back(static_cast<std::uint8_t>(v));
    m_out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void PutBE16(std::uint16_t v) {
    m_out.push_back(static_cast<std::uint8_t>(v >> 8));
    m_out.push_back(static_cast<std::uint8_t>(v));
  }
  void PutLE32(std::uint32_t v) {
    PutLE16(static_cast<std::uint16_t>(v));
    PutLE16(static_cast<std::uint16_t>(v >> 16));
  }
  void PutLE64(std::uint64_t v) {
    PutLE32(static_cast<std::uint32_t>(v));
    PutLE32(static_cast<std::uint32_t>(v >> 32));
  }
  void PutBytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (n) m_out.insert(m_out.end(), p, p + n);
  }
  std::size_t GetSize() const { return m_out.size(); }

 private:
  std::vector<std::uint8_t>& m_out;
};
