// Testing, creating, listing, measuring and removing files and folders.
// Paths longer than 4096 bytes, empty paths and names with an embedded NUL
// give the zero result.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

// The attribute byte SetFileStatus takes. Only read-only has a meaning here:
// it clears every write permission, its absence gives the owner write access.
constexpr BYTE FILE_ATTRIBUTE_READONLY = 0x01;
constexpr BYTE FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr BYTE FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr BYTE FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr BYTE FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr BYTE FILE_ATTRIBUTE_NORMAL = 0x80;

// Whether the file or folder exists.
BOOL CheckAccess(const std::string& path);
// Whether the folder (or anything of that name) exists, ignoring trailing
// separators and blanks; "/" (and any name made only of separators) is the
// root, which always exists.
BOOL IsFolderThere(const std::string& path);

// Creates every missing level of a folder path (made absolute, "/" or "\"
// between levels); levels that exist as folders count as success, the root
// needs nothing. When a level cannot be made and `report` is set, says
// "Unable to create the folder <path>". A null or empty path fails.
BOOL CreateAFolder(const char* path, BOOL report);
BOOL CreateAFolder(const std::string& path, BOOL report);
// Success when the folder exists or could be created (reporting failure).
BOOL CreateFolder(const std::string& path);
// The same as CreateFolder: there is no system-folder mark on this platform.
BOOL CreateSystemFolder(const std::string& path);
// Nothing to unmark; success when the folder exists.
BOOL DeleteSystemFolder(const std::string& path);

// Applies an attribute byte to a file's permissions; 0 when the file's status
// cannot be read or written.
BOOL SetFileStatus(const std::string& path, BYTE attributes);
// Files are hidden here only by a leading dot, which would rename the file
// and break whoever holds its name; so this only checks that the file exists.
BOOL HideFile(const std::string& path);

// Lists the plain files in the folder part of `folderAndPrefix` whose names
// begin with its last part (ignoring case) and whose extension is in the
// comma-separated `extensions` (every file when it starts with "*"; the first
// 20 extensions count), sorted, with or without their extension. Returns the
// count; `array` is replaced.
int CreateFileList(std::vector<std::string>& array, const std::string& folderAndPrefix, const std::string& extensions,
                   BOOL stripExtension);
// Lists the sub-folders of a folder, sorted; returns the count.
int CreateFolderList(std::vector<std::string>& array, const std::string& folder);
// Sets `bytes` to the total size of the files under the folder and returns
// their number. Folders whose name starts with "." are skipped, symbolic links
// are not followed.
int GetFolderSize(const std::string& folder, ULONGLONG& bytes);
// Deletes the files matching `pattern` (ignoring case; "*.*" is every file) in
// the folder and, recursively, in its sub-folders not starting with ".",
// removing each emptied sub-folder; the folder itself stays. Read-only files
// are made writable first. When a sub-folder cannot be removed and `report`
// is set, says "Unable to remove <folder> from the output folder " and stops
// with 0; without `report` the rest is still deleted and 0 returned. A missing
// folder counts as done. The root folder is never destroyed.
BOOL DestroyFolder(const std::string& folder, const std::string& pattern = "*.*", BOOL report = FALSE);
