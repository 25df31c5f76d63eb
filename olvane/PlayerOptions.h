// The player's command line: the few options it understands, and the one
// path (a capture or a play script) that everything else makes up.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

namespace player {

struct PlayerOptions {
  enum class Action {
    kRun,      // bring up the player on `commandLine`
    kHelp,     // print the usage text, exit 0
    kVersion,  // print the version, exit 0
    kRefused,  // print `error` and the hint, exit 2
  };
  Action action = Action::kRun;
  // The path as the player has always read it: the words that are not
  // options joined by one blank (an unquoted path with blanks stays whole).
  std::string commandLine;
  // --start: where the first clip starts, in milliseconds, without asking to resume.
  std::optional<DWORD> startMs;
  // --skip-idle: the longest stretch without change that is played at its
  // own pace, in milliseconds.
  std::optional<DWORD> skipIdleMs;
  std::string error;
};

// Reads argv[1...]. Options start with "-"; "--" ends them. Values follow as
// the next word or after "=" ("--start=1:30").
PlayerOptions ParsePlayerOptions(const std::vector<std::string>& args);

// A time as seconds ("95", "95.5"), MM:SS or HH:MM:SS, each with an optional
// fraction; minutes and seconds after the first field are below 60. False
// for anything else, a negative time or one beyond 24 days.
bool ParseTimeMs(const std::string& text, DWORD& ms);

// The usage text, and what `olvane --version` prints (both end in a newline).
std::string UsageText();
std::string VersionText();

// Exit codes.
constexpr int kExitUsage = 2;

}  // namespace player
