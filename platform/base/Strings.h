// Small helpers for the 8-bit counted strings the system passes around.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>
#include <vector>

namespace str {

// Trimming removes blanks, tabs, CR, LF, vertical tab and form feed.
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string Trim(std::string_view s);

// ASCII case folding; bytes above 127 are left alone (multi-byte safe).
std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);
// <0, 0, >0 like strcmp, comparing ASCII letters without case.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
// Position of needle in hay ignoring case, or npos.
std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from = 0);

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args);

// Splits on one separator character; empty pieces are kept.
std::vector<std::string> Split(std::string_view s, char separator);
// Replaces every occurrence of `from` (non-empty) with `to`; returns the count.
int Replace(std::string& s, std::string_view from, std::string_view to);

}  // namespace str
