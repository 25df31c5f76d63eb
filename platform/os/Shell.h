// The desktop services a program reaches through the shell: the trash, the
// default application for a file or link, the user's special folders, the
// recently-used list and the program's own file. Implemented over GIO (the
// freedesktop.org conventions), which is an implementation detail: no GLib type
// appears here. Paths are 8-bit strings in the file-system encoding.
#pragma once

#include <string>

namespace os {

// The user's special folders of the XDG user-directories convention.
enum class SpecialDir { Desktop, Documents, Download, Music, Pictures, PublicShare, Templates, Videos };

// Moves a file or folder into the user's trash (restorable). On failure returns
// false, leaves the item where it was and, when `error` is given, says why.
bool MoveToTrash(const std::string& path, std::string* error = nullptr);
// Deletes a file, or a folder with everything in it; symbolic links are
// removed, never followed. False when something could not be deleted.
bool DeletePath(const std::string& path, std::string* error = nullptr);
// Opens a path or a URL (anything with a scheme, "https://...", "mailto:...")
// with the user's default application. Returns once the application is started.
bool LaunchDefault(const std::string& pathOrUrl, std::string* error = nullptr);
// Starts the default application for a MIME type ("text/html") on a path or URL.
bool LaunchDefaultForType(const std::string& mimeType, const std::string& pathOrUrl, std::string* error = nullptr);

// The special folder, without a trailing "/". When the user has none set up the
// conventional $HOME/<Name> is used if it exists, else the home folder.
std::string UserSpecialDir(SpecialDir which);
std::string HomeDir();
std::string UserConfigDir();  // $XDG_CONFIG_HOME or ~/.config
std::string UserDataDir();    // $XDG_DATA_HOME or ~/.local/share
std::string UserCacheDir();   // $XDG_CACHE_HOME or ~/.cache

// Adds (or refreshes) the file in the XDG recently-used list
// ($XDG_DATA_HOME/recently-used.xbel), as desktop file choosers show it.
// A list that exists but cannot be read is left untouched and false returned.
bool AddRecentFile(const std::string& path, std::string* error = nullptr);
// The path of the recently-used list.
std::string RecentFilesList();

// The canonical absolute path (symbolic links, "." and ".." resolved); empty
// when the path does not exist.
std::string CanonicalPath(const std::string& path);
// The running program's file, from /proc/self/exe; empty if it cannot be read.
std::string ModuleFile();

}  // namespace os
