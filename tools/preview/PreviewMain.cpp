// olvane-preview CAPTURE [--fit | --actual-size]: plays a capture with its
// sound in a preview window. Space pauses and resumes, Ctrl+C copies the
// picture. Exit codes: 0 ok, 1 unreadable capture or no window, 2 usage.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PreviewWindow.h"
#include "platform/ui/App.h"
#include "pravex/PravexVersion.h"
#include "pravex/capture/AudioReplay.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "sintra/skin/SkinData.h"

// The desktop and font libraries keep process-lifetime caches (the sound
// device's among them) that a leak-checking build would report at exit.
// Read only by such builds.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libSDL2-2.0.so\nleak:libfontconfig.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\n"
         "leak:libgio-2.0.so\nleak:libdbus-1.so\nleak:libX11.so\nleak:libpango-1.0.so\nleak:libcairo.so\n";
}

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

namespace {

const char kUsage[] =
    "usage: olvane-preview CAPTURE [--fit | --actual-size] [--copy-at MS] [--close-at-end]\n"
    "\n"
    "Plays a capture in real time with its sound in a preview window.\n"
    "\n"
    "  --fit          fit the picture to the window, keeping its aspect ratio (default)\n"
    "  --actual-size  show the picture at its own size, with scroll bars when the window is smaller\n"
    "  --copy-at MS   copy the picture to the clipboard once the replay reaches MS milliseconds\n"
    "  --close-at-end close the window when the replay has reached the end\n"
    "  --screenshot FILE  with --copy-at: also write a PNG picture of the window then\n"
    "  --help         show this text\n"
    "  --version      show the program's version\n"
    "\n"
    "Keys: Space pauses and resumes, Ctrl+C copies the picture to the clipboard.\n"
    "Exit codes: 0 ok, 1 unreadable capture or no window, 2 usage.\n";

struct Options {
  std::string file;
  bool fit = true;
  unsigned long copyAt = 0;
  bool closeAtEnd = false;
  std::string screenshot;
  bool help = false;
  bool version = false;
};

bool ParseArguments(int argc, char** argv, Options& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--fit")) {
      o.fit = true;
    } else if (!std::strcmp(arg, "--actual-size")) {
      o.fit = false;
    } else if (!std::strcmp(arg, "--close-at-end")) {
      o.closeAtEnd = true;
    } else if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
      o.help = true;
    } else if (!std::strcmp(arg, "--version")) {
      o.version = true;
    } else if (!std::strcmp(arg, "--screenshot")) {
      if (i + 1 >= argc || !argv[i + 1][0]) {
        error = "--screenshot needs a file name";
        return false;
      }
      o.screenshot = argv[++i];
    } else if (!std::strcmp(arg, "--copy-at")) {
      char* end = nullptr;
      if (i + 1 >= argc) {
        error = "--copy-at needs a time in milliseconds";
        return false;
      }
      const char* value = argv[++i];
      o.copyAt = std::strtoul(value, &end, 10);
      if (!*value || *end || value[0] == '-' || o.copyAt > 0x7FFFFFFFul) {
        error = std::string("bad time for --copy-at: ") + value;
        return false;
      }
    } else if (arg[0] == '-' && arg[1]) {
      error = std::string("unknown option ") + arg;
      return false;
    } else if (o.file.empty()) {
      o.file = arg;
    } else {
      error = "only one capture can be previewed";
      return false;
    }
  }
  if (!o.help && !o.version && o.file.empty()) {
    error = "no capture given";
    return false;
  }
  return true;
}

void OnTerminate(int) { CPreviewWindow::s_closeRequested.store(true); }

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::string error;
  if (!ParseArguments(argc, argv, o, error)) {
    std::fprintf(stderr, "olvane-preview: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (o.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (o.version) {
    std::printf("olvane-preview %s\n", GetPravexVersion());
    return 0;
  }
  CCaptureFileReader reader;
  if (!reader.Open(o.file)) {
    std::fprintf(stderr, "olvane-preview: cannot read the capture %s\n", o.file.c_str());
    return 1;
  }
  // The built-in skin gives the window its caption band and colours.
  g_skinData.DefaultSkin();
  CPreviewWindow window(reader, o.fit);
  const std::size_t slash = o.file.find_last_of('/');
  const std::string title = slash == std::string::npos ? o.file : o.file.substr(slash + 1);
  if (!window.Open(title.c_str())) {
    std::fprintf(stderr, "olvane-preview: cannot open a window\n");
    return 1;
  }
  AfxSetMainWnd(&window);
  window.SetCopyAt(static_cast<DWORD>(o.copyAt));
  window.SetCloseAtEnd(o.closeAtEnd);
  window.SetScreenshot(o.screenshot);
  std::signal(SIGTERM, OnTerminate);
  std::signal(SIGINT, OnTerminate);

  CAudioReplay audio;
  audio.SetClock(reader.GetClock());
  reader.AddHandler(&window.View(), capture::kStreamScreen, 0, true);
  reader.AddHandler(&window.View(), capture::kStreamCursor, 0, true);
  reader.AddHandler(&audio, capture::kStreamAudio, 2000, true);
  if (!reader.Start()) {
    std::fprintf(stderr, "olvane-preview: cannot play the capture\n");
    return 1;
  }
  ui::RunMessageLoop();
  reader.Stop();
  reader.ClearHandlers();
  std::printf("played %s; pictures copied: %d\n", o.file.c_str(), window.CopiesMade());
  return 0;
}
