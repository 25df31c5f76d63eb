// olvane: plays a capture file or a play script named on the command line;
// with none, the play script "PlayScript.tvsf" beside the program.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "olvane/PlayerApp.h"
#include "olvane/PlayerOptions.h"
#include "olvane/TerminationSignals.h"

int main(int argc, char** argv) {
  termination::WatchSignals();
  const player::PlayerOptions options = player::ParsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case player::PlayerOptions::Action::kHelp:
      std::fputs(player::UsageText().c_str(), stdout);
      return 0;
    case player::PlayerOptions::Action::kVersion:
      std::fputs(player::VersionText().c_str(), stdout);
      return 0;
    case player::PlayerOptions::Action::kRefused:
      std::fprintf(stderr, "olvane: %s\nTry 'olvane --help' for more information.\n", options.error.c_str());
      return player::kExitUsage;
    case player::PlayerOptions::Action::kRun:
      break;
  }
  if (!std::getenv("SDL_VIDEODRIVER") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::fprintf(stderr,
                 "olvane: no display to show the player on; use olvane-export to replay a capture into "
                 "picture and sound files instead\n");
    return 1;
  }
  CPlayerApp app(options);
  return app.Run();
}
