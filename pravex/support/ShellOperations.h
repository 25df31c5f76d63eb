// Operations handed to the desktop: the trash, opening a file or link in the
// user's default application, the recently-used list, and clearing the
// player's leftover extraction files.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

class CProgressDlg;

// Moves files or folders to the trash (`allowUndo`, restorable from the
// desktop's trash) or deletes them for good. `pathOrList` is one path or a
// list of paths each ended by a NUL, the list ended by a second NUL
// (std::string(buffer, size) keeps the NULs). A list of more than one item
// shows a progress window (when windows can be shown) whose Cancel stops the
// operation before the next item; what went stays gone. Returns non-zero
// when every item went: zero when cancelled or when an item could not go (an
// item that cannot be trashed is left in place, never deleted instead).
BOOL Recycle(const std::string& pathOrList, BOOL allowUndo);
BOOL Recycle(const std::vector<std::string>& paths, BOOL allowUndo);
// The same reporting to a progress window the caller made (null: none).
BOOL Recycle(const std::vector<std::string>& paths, BOOL allowUndo, CProgressDlg* progress);

// Opens a file, folder or URL with the user's default application; when no
// application takes it, hands it to the default web browser (the handler of
// "text/html"). Non-zero when an application was started.
BOOL Explorer(const std::string& target);

// Adds the file to the desktop's recently-used list.
BOOL AddToRecent(const std::string& path);

// Deletes the player's "weskel.exd" files from every sub-folder of the user's
// cache folder ($XDG_CACHE_HOME) and of the "temp/" folder beside the local
// data folder; non-zero when at least one was deleted.
BOOL RemovePlayerEXD();
