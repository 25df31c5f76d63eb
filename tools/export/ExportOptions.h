// The command line of olvane-export.
#pragma once

#include <cstdint>
#include <string>

// What -o names: a folder of PNG frames, one PNG file (--single) or a video file.
enum class ExportKind { Frames, Single, Mp4, Webm, Gif };

struct ExportOptions {
  std::string capture;
  std::string output;  // folder of frames, or the PNG file with --single
  std::string audio;   // WAV path; empty: audio.wav in the output folder
  ExportKind kind = ExportKind::Frames;
  unsigned fps = 10;
  bool fpsGiven = false;
  int crf = -1;        // -1: the format's default
  std::string preset;  // empty: the format's default
  int width = 0;       // 0: the capture's picture size
  int height = 0;
  std::int64_t from = 0;
  std::int64_t to = -1;      // -1: the end of the capture
  std::int64_t single = -1;  // time of the one frame to write, or -1
  bool annotations = true;
  bool cursor = true;
  bool smooth = true;
  bool help = false;
  bool version = false;
};

extern const char kExportUsage[];

// False with a message on bad usage.
bool ParseExportOptions(int argc, char** argv, ExportOptions& options, std::string& error);
