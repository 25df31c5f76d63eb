#include "ExportOptions.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

const char kExportUsage[] =
    "usage: olvane-export CAPTURE -o DIR [options]\n"
    "       olvane-export CAPTURE -o FILE.mp4|FILE.webm|FILE.gif [options]\n"
    "       olvane-export CAPTURE --single MS -o FILE.png [options]\n"
    "\n"
    "Writes the replayed pictures of a capture as numbered PNG frames (frame_000000.png, ...)\n"
    "and, when the capture has sound, its decoded sound as a WAV file; or as one video file:\n"
    "MP4 (H.264 and AAC sound), WebM (VP9 and Opus sound) or GIF (no sound).\n"
    "\n"
    "  -o, --output PATH      folder for the frames (created if missing), the video file,\n"
    "                         or the PNG file with --single\n"
    "  --fps N                frames per second of capture time (1 to 1000; default 10 for\n"
    "                         frames and GIF, the capture's picture rate for MP4 and WebM)\n"
    "  --size WxH             frame size (default: the picture's size; for video files the\n"
    "                         first picture's, made even); pictures of another size are\n"
    "                         scaled into it keeping their aspect ratio, centred on black\n"
    "  --crf N                video quality, 0 (best) to 63 (default 20 for MP4, 32 for WebM)\n"
    "  --preset NAME          H.264 speed preset (ultrafast ... veryslow, default superfast)\n"
    "  --from MS, --to MS     time range in milliseconds (default: the whole capture)\n"
    "  --single MS            write only the frame at MS\n"
    "  --no-annotations       leave the annotations out\n"
    "  --no-cursor            leave the mouse cursor out\n"
    "  --quality plain|smooth scaling of frames of another size (default smooth)\n"
    "  --audio FILE.wav       where to write the sound (default DIR/audio.wav)\n"
    "  --help                 show this text\n"
    "  --version              show the program's version\n"
    "\n"
    "One frame is written per 1/N second of the range, a frame falling exactly on its end\n"
    "included. A progress line (frames done, total, percent, speed as a multiple of real\n"
    "time) goes to standard error. A failed run leaves no partial output file.\n"
    "\n"
    "Exit codes: 0 ok, 1 unreadable capture or write failure, 2 usage.\n";

namespace {

bool ParseNumber(const char* text, std::int64_t low, std::int64_t high, std::int64_t& value) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text, &end, 10);
  if (errno || *end || v < low || v > high) return false;
  value = v;
  return true;
}

bool ParseSize(const char* text, int& width, int& height) {
  const char* x = text ? std::strchr(text, 'x') : nullptr;
  if (!x) return false;
  std::int64_t w = 0, h = 0;
  const std::string first(text, x);
  if (!ParseNumber(first.c_str(), 1, 16384, w) || !ParseNumber(x + 1, 1, 16384, h)) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool KnownPreset(const char* name) {
  for (const char* p : {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium", "slow", "slower", "veryslow"})
    if (!std::strcmp(name, p)) return true;
  return false;
}

// The file name's extension in lower case ("" when it has none).
std::string Extension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot + 1 == path.size() ||
      dot == (slash == std::string::npos ? 0 : slash + 1))
    return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// Sets the output kind from -o; false with a message for an extension that
// names no format this program writes (a folder that exists keeps any name).
bool ChooseKind(ExportOptions& o, std::string& error) {
  const std::string ext = Extension(o.output);
  struct stat st {};
  const bool folder = stat(o.output.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (o.single >= 0) {
    o.kind = ExportKind::Single;
    if (ext != "png" || folder) error = "--single writes a .png file";
  } else if (folder || ext.empty()) {
    o.kind = ExportKind::Frames;
  } else if (ext == "mp4") {
    o.kind = ExportKind::Mp4;
  } else if (ext == "webm") {
    o.kind = ExportKind::Webm;
  } else if (ext == "gif") {
    o.kind = ExportKind::Gif;
  } else {
    error = "unknown output type ." + ext + " (write a folder of PNG frames, .mp4, .webm or .gif)";
  }
  if (error.empty() && (o.kind == ExportKind::Mp4 || o.kind == ExportKind::Webm) && o.width &&
      (o.width % 2 || o.height % 2))
    error = "--size must be even in both directions for MP4 and WebM";
  if (!o.fpsGiven && o.kind == ExportKind::Gif) o.fps = 10;
  return error.empty();
}

// Options that take a value; true when `arg` was one (value in `value`).
bool TakeValue(int argc, char** argv, int& i, const char* name, const char*& value, std::string& error) {
  if (std::strcmp(argv[i], name)) return false;
  if (i + 1 >= argc) {
    error = std::string(name) + " needs a value";
    value = nullptr;
    return true;
  }
  value = argv[++i];
  return true;
}

bool ParseValueOption(int argc, char** argv, int& i, ExportOptions& o, std::string& error, bool& known) {
  const char* v = nullptr;
  std::int64_t n = 0;
  known = true;
  constexpr std::int64_t kMaxMs = 0xFFFFFFFFll;
  if (TakeValue(argc, argv, i, "-o", v, error) || TakeValue(argc, argv, i, "--output", v, error)) {
    if (v) o.output = v;
  } else if (TakeValue(argc, argv, i, "--fps", v, error)) {
    if (v && !ParseNumber(v, 1, 1000, n)) error = "--fps takes a whole number from 1 to 1000";
    o.fps = static_cast<unsigned>(n);
    o.fpsGiven = true;
  } else if (TakeValue(argc, argv, i, "--crf", v, error)) {
    if (v && !ParseNumber(v, 0, 63, n)) error = "--crf takes a whole number from 0 to 63";
    o.crf = static_cast<int>(n);
  } else if (TakeValue(argc, argv, i, "--preset", v, error)) {
    if (v) o.preset = v;
    if (v && !KnownPreset(v)) error = std::string("unknown --preset ") + v;
  } else if (TakeValue(argc, argv, i, "--size", v, error)) {
    if (v && !ParseSize(v, o.width, o.height)) error = "--size takes WxH, each from 1 to 16384";
  } else if (TakeValue(argc, argv, i, "--from", v, error)) {
    if (v && !ParseNumber(v, 0, kMaxMs, o.from)) error = "--from takes milliseconds";
  } else if (TakeValue(argc, argv, i, "--to", v, error)) {
    if (v && !ParseNumber(v, 0, kMaxMs, o.to)) error = "--to takes milliseconds";
  } else if (TakeValue(argc, argv, i, "--single", v, error)) {
    if (v && !ParseNumber(v, 0, kMaxMs, o.single)) error = "--single takes milliseconds";
  } else if (TakeValue(argc, argv, i, "--audio", v, error)) {
    if (v) o.audio = v;
  } else if (TakeValue(argc, argv, i, "--quality", v, error)) {
    if (v && !std::strcmp(v, "plain"))
      o.smooth = false;
    else if (v && !std::strcmp(v, "smooth"))
      o.smooth = true;
    else if (v)
      error = "--quality takes plain or smooth";
  } else {
    known = false;
  }
  return error.empty();
}

}  // namespace

bool ParseExportOptions(int argc, char** argv, ExportOptions& o, std::string& error) {
  for (int i = 1; i < argc && error.empty(); ++i) {
    const char* arg = argv[i];
    bool known = false;
    if (!ParseValueOption(argc, argv, i, o, error, known)) return false;
    if (known) continue;
    if (!std::strcmp(arg, "--no-annotations"))
      o.annotations = false;
    else if (!std::strcmp(arg, "--no-cursor"))
      o.cursor = false;
    else if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h"))
      o.help = true;
    else if (!std::strcmp(arg, "--version"))
      o.version = true;
    else if (arg[0] == '-' && arg[1])
      error = std::string("unknown option ") + arg;
    else if (o.capture.empty())
      o.capture = arg;
    else
      error = std::string("more than one capture given: ") + arg;
  }
  if (!error.empty() || o.help || o.version) return error.empty();
  if (o.capture.empty())
    error = "no capture file given";
  else if (o.output.empty())
    error = "no output given (-o)";
  else if (o.to >= 0 && o.to <= o.from)
    error = "--to must be later than --from";
  else
    ChooseKind(o, error);
  return error.empty();
}
