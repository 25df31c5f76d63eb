// Reader of skin text files: lines of "key = value", split at CR LF pairs
// (a file with bare line feeds is one line). The first "=" splits a line;
// key and value are trimmed; lines without "=" and keys starting with "//"
// are ignored; a repeated key (compared without case) takes the new value.
#pragma once

#include "platform/base/WinTypes.h"

#include <map>
#include <string>
#include <vector>

class CParseSkin {
 public:
  // Skin files are small; larger ones are refused.
  static constexpr long kMaxFileSize = 1 << 20;
  // Capacity of a region; counts must stay below it.
  static constexpr int kMaxRegionPoints = 1024;
  // A region number this long or longer makes the region fail.
  static constexpr std::size_t kMaxNumberChars = 19;

  // Reads the whole file (up to its first zero byte); 0 when it cannot be read.
  int ReadFile(const char* path);
  // Parses text held in memory, replacing what was read before.
  void Parse(const char* text, std::size_t size);
  int GetCount() const { return static_cast<int>(m_pairs.size()); }

  // Typed getters: 1 on success; 0 when the key is missing or the value does
  // not parse, with the output left unchanged. Colours are "r,g,b" (each taken
  // modulo 256, stored with the palette-relative flag), sizes and points
  // "a,b", rectangles "left,top,right,bottom", integers as atoi reads them.
  int GetRGB(const char* name, COLORREF& colour) const;
  int GetSize(const char* name, SIZE& size) const;
  int GetPoint(const char* name, POINT& point) const;
  int GetRect(const char* name, RECT& rect) const;
  int GetInt(const char* name, int& value) const;
  // The integer, 0 when missing.
  int GetInt(const char* name) const;
  std::string GetString(const char* name, const char* defaultValue) const;
  // Reads up to the count held by countKey (0 <= count < 1024) points from
  // the comma-separated numbers of pointsKey into points (room for
  // kMaxRegionPoints). Returns the count, or 0 when the count is out of range,
  // a number is too long or a point lacks its y. When the numbers end early
  // the points read so far are stored and the count is still returned.
  int GetRegion(const char* pointsKey, const char* countKey, POINT* points) const;

 private:
  const std::string* Find(const char* name) const;
  void Set(const std::string& key, const std::string& value);

  std::vector<std::pair<std::string, std::string>> m_pairs;  // in file order
  std::map<std::string, std::size_t> m_index;                // lower-cased key -> m_pairs slot
};
