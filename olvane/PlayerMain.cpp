// olvane: plays a capture file or a play script named on the command line;
// with none, the play script "PlayScript.tvsf" beside the program.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "olvane/PlayerApp.h"
#include "olvane/TerminationSignals.h"

int main(int argc, char** argv) {
  termination::WatchSignals();
  if (!std::getenv("SDL_VIDEODRIVER") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::fprintf(stderr,
                 "olvane: no display to show the player on; use olvane-export to replay a capture into "
                 "picture and sound files instead\n");
    return 1;
  }
  // The command line is one path; the words of an unquoted path with blanks belong together.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  CPlayerApp app(commandLine);
  return app.Run();
}
