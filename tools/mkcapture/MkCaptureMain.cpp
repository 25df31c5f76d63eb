// olvane-mkcapture: writes capture files, either the synthetic demo session
// or a folder of PNG frames with an optional WAV file.
// Exit codes: 0 written, 1 bad input (unreadable frames or sound, file that
// cannot be written), 2 usage.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DemoCapture.h"
#include "platform/base/Strings.h"
#include "pravex/PravexVersion.h"

namespace {

const char kUsage[] =
    "usage: olvane-mkcapture demo OUTPUT [options]\n"
    "       olvane-mkcapture frames FOLDER OUTPUT [--wav FILE] [options]\n"
    "\n"
    "Writes a capture file.\n"
    "  demo    a synthetic desktop session: windows, text being typed, a dragged dialog,\n"
    "          a moving cursor with clicks, a camera picture and sound\n"
    "  frames  the .png files of FOLDER in name order, one picture each, all of one size;\n"
    "          --wav adds the sound of an uncompressed PCM WAV file\n"
    "\n"
    "Options:\n"
    "  --size WxH        picture size of the demo (default 640x400; 320x240 to 4096x4096)\n"
    "  --bits N          8, 16 or 24 bits per pixel (default 16)\n"
    "  --seconds S       length of the demo in seconds (default 5; at most 3600)\n"
    "  --fps N           pictures a second (default 10; 1 to 60)\n"
    "  --sound KIND      demo sound: gsm (default), pcm or none\n"
    "  --no-camera       no camera picture in the demo\n"
    "  --no-cursor       no cursor records in the demo\n"
    "  --key-every S     a complete, indexed picture every S seconds (default 2; 0 only the first)\n"
    "  --still FROM-TO   the demo holds still from second FROM to second TO: screen, cursor and\n"
    "                    camera stay as they were, the sound is silent; the session goes on after\n"
    "                    it (at least one second of it must be left)\n"
    "  --title TEXT      the capture's title (information string \"Title\")\n"
    "  --quiet           print nothing when all went well\n"
    "  --help            show this text\n"
    "  --version         show the program's version\n"
    "\n"
    "Exit codes: 0 written, 1 bad input or output file not writable, 2 usage.\n";

struct Arguments {
  std::string mode;
  std::vector<std::string> paths;
  std::string wav;
  CaptureOptions options;
  bool quiet = false;
  bool help = false;
  bool version = false;
};

bool ParseNumber(const std::string& text, long min, long max, long& value) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || v < min || v > max) return false;
  value = v;
  return true;
}

bool ParseSize(const std::string& text, CaptureOptions& options) {
  const std::size_t x = text.find('x');
  long w = 0, h = 0;
  if (x == std::string::npos || !ParseNumber(text.substr(0, x), 320, 4096, w) ||
      !ParseNumber(text.substr(x + 1), 240, 4096, h)) {
    return false;
  }
  options.width = static_cast<int>(w);
  options.height = static_cast<int>(h);
  return true;
}

// One option with its value; false with `error` set when it is not valid.
bool ParseOption(const std::string& name, const std::string& value, Arguments& args, std::string& error) {
  CaptureOptions& o = args.options;
  long n = 0;
  bool ok = true;
  if (name == "--size") {
    ok = ParseSize(value, o);
  } else if (name == "--bits") {
    ok = ParseNumber(value, 8, 24, n) && (n == 8 || n == 16 || n == 24);
    o.bits = static_cast<WORD>(n);
  } else if (name == "--seconds") {
    ok = ParseNumber(value, 1, 3600, n);
    o.lengthMs = static_cast<DWORD>(n) * 1000;
  } else if (name == "--fps") {
    ok = ParseNumber(value, 1, 60, n);
    o.fps = static_cast<DWORD>(n);
  } else if (name == "--key-every") {
    ok = ParseNumber(value, 0, 3600, n);
    o.keyEveryMs = static_cast<DWORD>(n) * 1000;
  } else if (name == "--still") {
    const std::size_t dash = value.find('-');
    long from = 0, to = 0;
    ok = dash != std::string::npos && ParseNumber(value.substr(0, dash), 0, 3600, from) &&
         ParseNumber(value.substr(dash + 1), 0, 3600, to) && from < to;
    o.stillFromMs = static_cast<DWORD>(from) * 1000;
    o.stillToMs = static_cast<DWORD>(to) * 1000;
  } else if (name == "--title") {
    o.title = value;
  } else if (name == "--wav") {
    args.wav = value;
  } else if (name == "--sound") {
    ok = value == "gsm" || value == "pcm" || value == "none";
    o.sound = value == "gsm" ? SoundKind::Gsm : value == "pcm" ? SoundKind::Pcm : SoundKind::None;
  } else {
    error = "unknown option " + name;
    return false;
  }
  if (!ok) error = "bad value for " + name + ": " + value;
  return ok;
}

bool ParseArguments(int argc, char** argv, Arguments& args, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h")
      args.help = true;
    else if (arg == "--version")
      args.version = true;
    else if (arg == "--quiet")
      args.quiet = true;
    else if (arg == "--no-camera")
      args.options.camera = false;
    else if (arg == "--no-cursor")
      args.options.cursor = false;
    else if (arg.size() > 1 && arg[0] == '-') {
      static const char* const kValued[] = {"--size",  "--bits", "--seconds", "--fps",  "--key-every",
                                            "--title", "--wav",  "--sound",   "--still"};
      if (std::find(std::begin(kValued), std::end(kValued), arg) == std::end(kValued)) {
        error = "unknown option " + arg;
        return false;
      }
      if (i + 1 >= argc) {
        error = "option " + arg + " needs a value";
        return false;
      }
      if (!ParseOption(arg, argv[++i], args, error)) return false;
    } else if (args.mode.empty()) {
      args.mode = arg;
    } else {
      args.paths.push_back(arg);
    }
  }
  if (args.help || args.version) return true;
  const std::size_t wanted = args.mode == "demo" ? 1 : args.mode == "frames" ? 2 : 0;
  if (wanted == 0)
    error = args.mode.empty() ? "no mode given (demo or frames)" : "unknown mode " + args.mode;
  else if (args.paths.size() != wanted)
    error = args.mode + str::Format(" takes %zu path(s)", wanted);
  else if (args.mode == "demo" && !args.wav.empty())
    error = "--wav is for frames";
  else if (args.mode != "demo" && args.options.stillToMs)
    error = "--still is for demo";
  else if (args.options.stillToMs &&
           (args.options.stillToMs > args.options.lengthMs ||
            args.options.lengthMs - (args.options.stillToMs - args.options.stillFromMs) < 1000))
    error = "--still must end within --seconds and leave at least one second of the session";
  return error.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, args, error)) {
    std::fprintf(stderr, "olvane-mkcapture: %s\n\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::printf("olvane-mkcapture %s\n", GetPravexVersion());
    return 0;
  }
  CaptureSummary summary;
  const std::string& output = args.paths.back();
  const bool ok = args.mode == "demo"
                      ? WriteDemoCapture(output, args.options, summary, error)
                      : WriteFramesCapture(output, args.paths[0], args.wav, args.options, summary, error);
  if (!ok) {
    std::remove(output.c_str());
    std::fprintf(stderr, "olvane-mkcapture: %s\n", error.c_str());
    return 1;
  }
  if (!args.quiet) {
    std::printf("%s: %u pictures (%u key), %u cursor, %u camera, %u sound records\n", output.c_str(), summary.pictures,
                summary.keyPictures, summary.cursorRecords, summary.cameraRecords, summary.soundRecords);
  }
  return 0;
}
