// Picking names for new files that do not overwrite existing ones.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

// Trims `name`, drops a "_NNNN" suffix (four digits) it already has, and
// returns the first of name_0000.ext, name_0001.ext ... name_99998.ext (no
// ".ext" when `extension` is empty) for which folder + candidate does not
// exist; empty when all are taken or the result would be too long. The folder
// is listed once, so a crowded folder costs one pass, not 99999 look-ups.
std::string GetSafeName(const std::string& folder, const std::string& name, const std::string& extension);
// GetSafeName in the output folder with the extension "cpt".
std::string GetSafeCaptureName(const std::string& name);
// GetSafeCaptureName of the capture prefix.
std::string GetCaptureName();
// GetSafeName in the install folder for the cleaned name (GetGoodFilename),
// keeping its extension after the number ("Setup.sh" gives "Setup_0000.sh").
std::string GetSafeInstallName(const std::string& name);

// The next record name in the saved capture folder (third save detail): the
// files there named prefix + number + ".zeph" (prefix: the fourth save detail,
// "Capture_" when empty) are read and `name` = prefix + the largest number + 1
// as four digits, `path` = folder + "/" + name + ".zeph"; returns 1. With no
// saved folder returns 0 with both empty; with a folder that does not exist
// returns 0 with `path` set to the folder.
BOOL GetGoodRecordName(std::string& name, std::string& path);
