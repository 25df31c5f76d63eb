// The information table of a capture: ordered key/value strings built from
// the trailer's information strings ("key|value;key|value"). Keys compare
// without letter case; setting a key that exists replaces its value in place.
// Keys and values written as ":" + upper-case hex digits or "#" + Base64 are
// decoded; any other text is taken with its CR and LF characters removed.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CCaptureInfoRecord;

class CCaptureInfo {
 public:
  // Parses an information string into the table (cleared first when asked).
  void Parse(std::string_view text, bool clear);
  void Set(const std::string& key, const std::string& value);
  // The value of the first key equal to `key` without case, or the default.
  std::string Lookup(std::string_view key, const std::string& defaultValue = std::string()) const;
  void Clear() { m_pairs.clear(); }
  // Decodes an information record's text (inflating it when compressed) and
  // parses it into the table without clearing. False, with the table
  // unchanged, when the record has no data or cannot be inflated. A
  // compressed record of uncompressed length 0 empties the table.
  bool ApplyRecord(const CCaptureInfoRecord& record);

  std::size_t GetCount() const { return m_pairs.size(); }
  const std::string& GetKey(std::size_t index) const { return m_pairs[index].first; }
  const std::string& GetValue(std::size_t index) const { return m_pairs[index].second; }

  // Decoding of one key or value as stored.
  static std::string DecodeText(std::string_view text);

 private:
  std::vector<std::pair<std::string, std::string>> m_pairs;
};
