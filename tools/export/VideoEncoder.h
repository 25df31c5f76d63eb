// Writes frames (bottom-up 24-bit blue-green-red rows) and interleaved PCM
// sound into one video file through FFmpeg's libraries: MP4 (H.264 yuv420p,
// AAC, index at the front), WebM (VP9, Opus) or GIF (one palette made for the
// whole clip, no sound). The file is written under a temporary name beside
// the target and renamed into place by Finish; anything else removes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/base/WinTypes.h"

class CVideoEncoder {
 public:
  enum class Format { Mp4, Webm, Gif };
  struct Settings {
    Format format = Format::Mp4;
    int width = 0;  // even for MP4 and WebM
    int height = 0;
    unsigned fps = 10;
    int crf = -1;        // -1: the format's default
    std::string preset;  // H.264 speed preset; empty: superfast
    // Sound: rate 0 for none (GIF never has any). 8-bit samples are unsigned,
    // 16-bit signed little-endian, channels interleaved.
    unsigned rate = 0;
    unsigned bits = 16;
    unsigned channels = 1;
  };

  CVideoEncoder();
  ~CVideoEncoder();
  CVideoEncoder(const CVideoEncoder&) = delete;
  CVideoEncoder& operator=(const CVideoEncoder&) = delete;

  bool Open(const std::string& path, const Settings& settings, std::string& error);
  // GIF: every frame is first shown to the palette maker, then EndPalette,
  // then the frames again through AddFrame.
  bool NeedsPalettePass() const;
  bool AddPaletteFrame(const BYTE* bottomUpBgr, std::size_t stride, std::string& error);
  bool EndPalette(std::string& error);
  bool AddFrame(const BYTE* bottomUpBgr, std::size_t stride, std::string& error);
  // Whole sample frames of the settings' format.
  bool AddAudio(const BYTE* pcm, std::size_t bytes, std::string& error);
  // Flushes the encoders, writes the file's end and renames it into place.
  bool Finish(std::string& error);
  // Removes the partial file (also done on destruction without Finish).
  void Abandon();

 private:
  struct State;
  std::unique_ptr<State> m;
};
