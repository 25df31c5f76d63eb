// The player's snapshot: the replay picture exactly as the view shows it (at
// the window's scale, with cursor and annotations), saved as a PNG file named
// after the clip and the replay time in the user's pictures folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

class CWnd;

namespace snapshot {

// "<clip name> <HH-MM-SS.cc>" (no extension) for a clip path and a replay time.
std::string FileBaseName(const std::string& clipPath, DWORD timeMs);
// The XDG pictures folder, else the home folder.
std::string PicturesFolder();
// Creates folder/base.png, or "base (2).png", "base (3).png" ... when taken:
// an existing file is never replaced. The path written, or empty.
std::string WriteNewFile(const std::string& folder, const std::string& base, const std::vector<std::uint8_t>& bytes);
// Grabs what `view` shows (pending painting done first) and writes it as a
// PNG; the path written, or empty.
std::string SaveView(CWnd* view, const std::string& folder, const std::string& base);

}  // namespace snapshot
