// Building, splitting, checking and cleaning file names. Names are split at
// the last "/" or "\"; "/" is what gets written. Strings are 8-bit and
// multi-byte safe (only ASCII letters are case-folded). Paths longer than 4096
// bytes give the empty or zero result.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

// Splits a path into folder (everything up to and including the last
// separator), name and extension (without its dot). Double quotes around the
// path are dropped first.
void SplitPath(const std::string& path, std::string& drivePlusDir, std::string& name, std::string& extension);
std::string SplitGetPath(const std::string& path);
std::string SplitGetName(const std::string& path);
std::string SplitGetExtension(const std::string& path);
std::string SplitGetFullName(const std::string& path);  // name + "." + extension

// Text after the last "." of the final name; empty when there is none.
std::string GetExtension(const std::string& path);
// Text before the last "." of the final name; unchanged when there is none.
std::string ClearExtension(const std::string& name);
// The final name without its extension.
std::string GetFilenameFromPath(const std::string& path);
// Whether the path's extension is `ext`, ignoring case.
BOOL TestExtension(const std::string& path, const std::string& ext);

// 1-based position of `ext` in a comma-separated list ("zeph,cpt"), ignoring
// case; 0 when it is not there.
int CheckExtension(const std::string& ext, const std::string& list);
// Splits a comma-separated list into at most `max` entries (blanks trimmed,
// empty entries skipped); returns the count.
int CreateExtensionList(std::vector<std::string>& array, const std::string& list, int max);
// Whether `ext` is one of the first `count` entries, ignoring case.
BOOL ValidExtension(const std::vector<std::string>& array, const std::string& ext, int count);

// Trims trailing white space and ends a non-empty folder name with "/" unless
// it already ends in "/" or "\". An empty name stays empty (it must not turn
// into the root folder).
void AppendSlash(std::string& folder);

// Trims the name and replaces each of " # % * / : ; < > ? \ | by "_".
std::string GetGoodFilename(const std::string& name);
// Like GetGoodFilename, but when the name had to change asks the user whether
// to use the cleaned name; empty when the answer is No.
std::string GoodFilename(const std::string& name);

// Shortens a path for display to about `maxChars` characters by replacing
// folders in the middle with "...".
std::string AbbreviatePathName(const std::string& path, int maxChars);

// The canonical absolute form of a path; when the file does not exist
// `longPath` is the path unchanged and 0 is returned.
BOOL ShortToLongPath(const std::string& shortPath, std::string& longPath);
// Replaces the path by its canonical absolute form when the file exists.
BOOL GetGoodPathName(std::string& path);
