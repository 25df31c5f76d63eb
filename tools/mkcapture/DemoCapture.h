// Writes captures for olvane-mkcapture: the demo scene (DemoScene.h) at a
// chosen size, depth, length and frame rate, or a folder of PNG frames with
// an optional WAV file.
#pragma once

#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

enum class SoundKind { None, Gsm, Pcm };

struct CaptureOptions {
  int width = 640;
  int height = 400;
  WORD bits = 16;
  DWORD lengthMs = 5000;
  DWORD fps = 10;
  SoundKind sound = SoundKind::Gsm;
  bool camera = true;
  bool cursor = true;
  // A complete, indexed picture every this many ms (and the first picture).
  DWORD keyEveryMs = 2000;
  std::string title = "Olvane demo";
  // The demo holds still over [stillFromMs, stillToMs) (none when equal):
  // the scene's own time stops there and goes on afterwards.
  DWORD stillFromMs = 0;
  DWORD stillToMs = 0;
};

// What was written, for the summary line.
struct CaptureSummary {
  unsigned pictures = 0;
  unsigned keyPictures = 0;
  unsigned cursorRecords = 0;
  unsigned cameraRecords = 0;
  unsigned soundRecords = 0;
};

// The information strings of a capture written by this tool.
std::vector<std::string> CaptureInfoStrings(const CaptureOptions& options, const char* source);

bool WriteDemoCapture(const std::string& path, const CaptureOptions& options, CaptureSummary& summary,
                      std::string& error);
// PNG frames (all of one size; the size of the first is taken) at options.fps,
// with the WAV file's sound as PCM when wavPath is not empty.
bool WriteFramesCapture(const std::string& path, const std::string& folder, const std::string& wavPath,
                        const CaptureOptions& options, CaptureSummary& summary, std::string& error);
