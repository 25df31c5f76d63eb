// Copying and moving files with progress reports, for exports and installs
// that move large captures around.
#pragma once

#include "platform/base/WinTypes.h"

#include <functional>
#include <string>

// Called with the bytes copied so far and the total; return FALSE to cancel.
using CopyProgressRoutine = std::function<BOOL(ULONGLONG done, ULONGLONG total)>;

constexpr DWORD COPY_FILE_FAIL_IF_EXISTS = 0x1;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;

// Copies a file in 1 MiB steps, reporting after each (and once before the
// first). The copy is written beside the destination under a temporary name
// and put in place only when complete, so a cancelled or failed copy leaves an
// existing destination untouched and no partial file behind. Copying a file
// onto itself fails.
BOOL NTCopyFileEx(const std::string& from, const std::string& to, const CopyProgressRoutine& progress = {},
                  DWORD flags = 0);
// Moves a file or folder by renaming it; across file systems a file is copied
// (with progress) and the original deleted, which needs MOVEFILE_COPY_ALLOWED.
// An existing destination is replaced only with MOVEFILE_REPLACE_EXISTING. A
// rename reports once, complete.
BOOL NTMoveFileWithProgress(const std::string& from, const std::string& to, const CopyProgressRoutine& progress = {},
                            DWORD flags = MOVEFILE_COPY_ALLOWED);
