#include "sintra/skin/ParseSkin.h"

#include "platform/base/File.h"
#include "platform/base/Strings.h"
#include "sintra/skin/Palette.h"

#include <algorithm>
#include <climits>
#include <string_view>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads "%d" at pos the way scanf does (leading white space skipped, digits
// required), clamping instead of overflowing.
bool ScanInt(std::string_view s, std::size_t& pos, int& value) {
  while (pos < s.size() && IsSpace(s[pos])) ++pos;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return false;
  long long v = 0;
  for (; pos < s.size() && s[pos] >= '0' && s[pos] <= '9'; ++pos) {
    v = v * 10 + (s[pos] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
  }
  v = negative ? -v : v;
  value = static_cast<int>(v > INT_MAX ? INT_MAX : v);
  return true;
}

// "%d,%d,..." with count numbers; a comma must follow each number but the last.
bool ScanInts(const std::string& s, int count, int* out) {
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (!ScanInt(s, pos, out[i])) return false;
    if (i + 1 < count && (pos >= s.size() || s[pos++] != ',')) return false;
  }
  return true;
}

enum class NumberResult { kRead, kEnd, kTooLong };

// The next comma-separated region number, blanks inside it skipped.
NumberResult NextNumber(const std::string& s, std::size_t& pos, int& value) {
  if (pos >= s.size()) return NumberResult::kEnd;
  std::string digits;
  while (pos < s.size() && s[pos] != ',') {
    if (!IsSpace(s[pos])) digits += s[pos];
    ++pos;
  }
  if (pos < s.size()) ++pos;  // the comma
  if (digits.size() >= CParseSkin::kMaxNumberChars) return NumberResult::kTooLong;
  std::size_t at = 0;
  if (!ScanInt(digits, at, value)) value = 0;  // atoi of a non-number
  return NumberResult::kRead;
}

}  // namespace

int CParseSkin::ReadFile(const char* path) {
  m_pairs.clear();
  m_index.clear();
  CFile file;
  if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return 0;
  const std::int64_t length = file.GetLength();
  if (length < 0 || length > kMaxFileSize) return 0;
  std::string text(static_cast<std::size_t>(length), '\0');
  if (length > 0 && file.Read(text.data(), static_cast<std::uint32_t>(length)) != length) return 0;
  Parse(text.data(), text.size());
  return 1;
}

void CParseSkin::Parse(const char* text, std::size_t size) {
  m_pairs.clear();
  m_index.clear();
  if (!text) return;
  std::string_view all(text, size);
  all = all.substr(0, all.find('\0'));
  std::size_t start = 0;
  while (start <= all.size()) {
    std::size_t end = all.find("\r\n", start);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view line = all.substr(start, end - start);
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      const std::string key = str::Trim(line.substr(0, eq));
      if (key.compare(0, 2, "//") != 0) Set(key, str::Trim(line.substr(eq + 1)));
    }
    start = end + 2;
  }
}

void CParseSkin::Set(const std::string& key, const std::string& value) {
  const std::string folded = str::ToLower(key);
  const auto found = m_index.find(folded);
  if (found != m_index.end()) {
    m_pairs[found->second].second = value;
    return;
  }
  m_index.emplace(folded, m_pairs.size());
  m_pairs.emplace_back(key, value);
}

const std::string* CParseSkin::Find(const char* name) const {
  if (!name) return nullptr;
  const auto found = m_index.find(str::ToLower(name));
  return found == m_index.end() ? nullptr : &m_pairs[found->second].second;
}

int CParseSkin::GetRGB(const char* name, COLORREF& colour) const {
  const std::string* value = Find(name);
  int c[3];
  if (!value || !ScanInts(*value, 3, c)) return 0;
  colour = PALETTERGB(static_cast<BYTE>(c[0] & 0xFF), static_cast<BYTE>(c[1] & 0xFF), static_cast<BYTE>(c[2] & 0xFF));
  return 1;
}

int CParseSkin::GetSize(const char* name, SIZE& size) const {
  const std::string* value = Find(name);
  int v[2];
  if (!value || !ScanInts(*value, 2, v)) return 0;
  size = SIZE{v[0], v[1]};
  return 1;
}

int CParseSkin::GetPoint(const char* name, POINT& point) const {
  const std::string* value = Find(name);
  int v[2];
  if (!value || !ScanInts(*value, 2, v)) return 0;
  point = POINT{v[0], v[1]};
  return 1;
}

int CParseSkin::GetRect(const char* name, RECT& rect) const {
  const std::string* value = Find(name);
  int v[4];
  if (!value || !ScanInts(*value, 4, v)) return 0;
  rect = RECT{v[0], v[1], v[2], v[3]};
  return 1;
}

int CParseSkin::GetInt(const char* name, int& value) const {
  const std::string* found = Find(name);
  if (!found) return 0;
  std::size_t pos = 0;
  if (!ScanInt(*found, pos, value)) value = 0;  // atoi of a non-number
  return 1;
}

int CParseSkin::GetInt(const char* name) const {
  int value = 0;
  GetInt(name, value);
  return value;
}

std::string CParseSkin::GetString(const char* name, const char* defaultValue) const {
  const std::string* value = Find(name);
  return value ? *value : std::string(defaultValue ? defaultValue : "");
}

int CParseSkin::GetRegion(const char* pointsKey, const char* countKey, POINT* points) const {
  const int count = GetInt(countKey);
  if (count < 0 || count >= kMaxRegionPoints || !points) return 0;
  const std::string text = GetString(pointsKey, "");
  std::vector<POINT> read;
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    int x = 0;
    int y = 0;
    const NumberResult rx = NextNumber(text, pos, x);
    if (rx == NumberResult::kEnd) break;  // ended early: keep what was read
    const NumberResult ry = rx == NumberResult::kRead ? NextNumber(text, pos, y) : rx;
    if (rx == NumberResult::kTooLong || ry != NumberResult::kRead) return 0;
    read.push_back(POINT{x, y});
  }
  std::copy(read.begin(), read.end(), points);
  return count;
}
