// Where the player finds the files it ships with (the demo play script and
// its clips, the help page): beside the program, as in a build tree, or else
// in the installed data folder, share/olvane/ beside the program's bin/.
#pragma once

#include <string>

// The installed data folder for a program in programFolder ("/usr/bin/" gives
// "/usr/share/olvane/"); empty when the folder has no parent.
std::string InstalledDataFolder(const std::string& programFolder);

// programFolder + name when that exists, else the installed data folder's
// file when that exists, else programFolder + name (so that a message about
// a missing file names the first place looked).
std::string FindPlayerDataFile(const std::string& programFolder, const std::string& name);
