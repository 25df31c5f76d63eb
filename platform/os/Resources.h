// The built-in resources compiled into the libraries (resources/data), looked
// up by type and id. Types: "BITMAP" (.bmp files), "ICON" and "CURSOR" (.bmp
// files; a cursor's hot spot is kept in the file header's reserved words,
// x then y, so 0 means its top-left pixel), "MENU" (menu text, see
// platform/ui/Menu.h) and "STRINGS" (string tables).
//
// A string table is text, one string per line: a decimal id, one space or tab,
// then the text to the end of the line, with the escapes \n, \t and \\.
// Empty lines and lines starting with '#' are ignored. A later table's entry
// replaces an earlier one with the same id.
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/WinTypes.h"

struct CResourceBlock {
  const unsigned char* data = nullptr;  // followed by one zero byte
  std::size_t size = 0;
};

// The resource of that type and id, or an empty block (data null) when none.
CResourceBlock FindResourceData(const char* type, UINT id);
// The string of that id from the string tables; FALSE (and an empty text) when none.
BOOL LoadResourceString(UINT id, std::string& text);
// Copies the string into `buffer` (cut to maxCount - 1 bytes, always
// terminated); returns the number of bytes copied, 0 when there is no string.
int LoadString(UINT id, char* buffer, int maxCount);
// Parses one string table; for tests and tools.
void ParseStringTable(const char* text, std::size_t size, void (*add)(void* ctx, UINT id, std::string text),
                      void* ctx);
