#include "pravex/capture/CaptureInfo.h"

#include <algorithm>

#include "platform/base/Strings.h"
#include "pravex/capture/CaptureInfoRecord.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Pairs of hex digits, one byte each; decoding stops at a pair that is not
// two hex digits (and a lone last digit is ignored).
std::string DecodeHex(std::string_view digits) {
  std::string out;
  out.reserve(digits.size() / 2);
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    const int hi = HexValue(digits[i]);
    const int lo = HexValue(digits[i + 1]);
    if (hi < 0 || lo < 0) break;
    out.push_back(static_cast<char>(hi * 16 + lo));
  }
  return out;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Standard alphabet; any other character ("=" included) is ignored; a final
// group of two or three characters yields one or two bytes.
std::string DecodeBase64(std::string_view text) {
  std::string out;
  unsigned group = 0;
  int count = 0;
  for (char c : text) {
    const int v = Base64Value(c);
    if (v < 0) continue;
    group = (group << 6) | static_cast<unsigned>(v);
    if (++count == 4) {
      out.push_back(static_cast<char>(group >> 16));
      out.push_back(static_cast<char>(group >> 8));
      out.push_back(static_cast<char>(group));
      group = 0;
      count = 0;
    }
  }
  if (count == 2) out.push_back(static_cast<char>(group >> 4));
  if (count == 3) {
    out.push_back(static_cast<char>(group >> 10));
    out.push_back(static_cast<char>(group >> 2));
  }
  return out;
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

}  // namespace

std::string CCaptureInfo::DecodeText(std::string_view text) {
  if (!text.empty() && text[0] == ':') return DecodeHex(text.substr(1));
  if (!text.empty() && text[0] == '#') return str::Trim(DecodeBase64(WithoutLineBreaks(text.substr(1))));
  return WithoutLineBreaks(text);
}

void CCaptureInfo::Set(const std::string& key, const std::string& value) {
  for (auto& pair : m_pairs) {
    if (str::EqualsNoCase(pair.first, key)) {
      pair.second = value;
      return;
    }
  }
  // The table grows by an eighth of its size, 4 to 1024 pairs at a time.
  if (m_pairs.size() == m_pairs.capacity()) {
    const std::size_t step = std::clamp<std::size_t>(m_pairs.size() / 8, 4, 1024);
    m_pairs.reserve(m_pairs.size() + step);
  }
  m_pairs.emplace_back(key, value);
}

std::string CCaptureInfo::Lookup(std::string_view key, const std::string& defaultValue) const {
  for (const auto& pair : m_pairs) {
    if (str::EqualsNoCase(pair.first, key)) return pair.second;
  }
  return defaultValue;
}

void CCaptureInfo::Parse(std::string_view text, bool clear) {
  if (clear) Clear();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view piece = text.substr(start, end - start);
    const std::size_t bar = piece.find('|');
    if (bar != std::string_view::npos) Set(DecodeText(piece.substr(0, bar)), DecodeText(piece.substr(bar + 1)));
    start = end + 1;
  }
}

bool CCaptureInfo::ApplyRecord(const CCaptureInfoRecord& record) {
  if (!record.GetDataLength()) return false;
  if (record.GetEncoding() == CCaptureInfoRecord::kEncodingZlib && record.GetUncompressedLength() == 0) {
    Clear();
    return true;
  }
  std::string text;
  if (!record.GetText(text)) return false;
  Parse(text, false);
  return true;
}
