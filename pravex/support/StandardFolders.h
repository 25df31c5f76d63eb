// The program's standard folders and the user's special folders. Every folder
// built here from the module folder ends in "/"; nothing is created.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

// Special-folder ids accepted by SHGetSpecialFolder.
constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_PERSONAL = 0x0005;  // the user's documents
constexpr int CSIDL_MYDOCUMENTS = CSIDL_PERSONAL;
constexpr int CSIDL_MYMUSIC = 0x000d;
constexpr int CSIDL_MYVIDEO = 0x000e;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_TEMPLATES = 0x0015;
constexpr int CSIDL_APPDATA = 0x001a;         // $XDG_CONFIG_HOME
constexpr int CSIDL_LOCAL_APPDATA = 0x001c;   // $XDG_DATA_HOME
constexpr int CSIDL_INTERNET_CACHE = 0x0020;  // $XDG_CACHE_HOME
constexpr int CSIDL_MYPICTURES = 0x0027;
constexpr int CSIDL_PROFILE = 0x0028;  // the home folder

// The running program's folder, from /proc/self/exe, ending in "/"; empty when
// it cannot be read.
std::string GetModuleFolder();
std::string GetShapesFolder();            // module folder + "Shapes/"
std::string GetInstallFolder();           // module folder + "Installs/"
std::string GetTemplateFolder();          // module folder + "Templates/"
std::string GetExportAVIFolder();         // module folder + "Exports/AVI/"
std::string GetExportQuilletFolder();     // module folder + "Exports/Quillet/"
std::string GetExportPowerPointFolder();  // module folder + "Exports/PowerPoint/"
std::string GetTempFolder();              // module folder + "Temp/"
std::string GetSkinFolder();              // module folder + "Skin/"

// Project folder + project name + "/" (a "/" is put between the two when the
// project folder lacks one).
std::string GetOutputFolder();
// "/" when the project folder is absolute (the one root), else "".
std::string GetProjectDrive();

// Looks up a special folder (without a trailing "/"). Unknown ids empty `out`
// and give 0.
BOOL SHGetSpecialFolder(std::string& out, int csidl);
// The user's documents folder (XDG documents, else $HOME/Documents, else $HOME).
std::string MyDocuments();
