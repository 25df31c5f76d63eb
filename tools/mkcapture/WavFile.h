// Reads the sound of a WAV file: uncompressed PCM, 8 or 16 bits, one or two
// channels. Everything else (compressed formats, broken chunk sizes) is
// refused with a message.
#pragma once

#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

struct WavSound {
  DWORD samplesPerSecond = 0;
  WORD bitsPerSample = 0;
  WORD channels = 0;
  std::vector<BYTE> data;  // the PCM bytes as stored
};

bool ReadWavFile(const std::string& path, WavSound& sound, std::string& error);
