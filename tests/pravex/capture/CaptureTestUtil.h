// Helpers for the capture tests: pictures with known content, captures
// written with CCaptureFileWriter, and hand-made payload bytes for records
// that no well-behaved writer produces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/ByteReader.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileWriter.h"

namespace capturetest {

// Random bytes in every pixel (padding included), reproducible per seed.
std::vector<BYTE> RandomPicture(DWORD width, DWORD height, WORD bits, unsigned seed);
// A flat desktop with a window, a title bar, "text" strokes and noise in one
// corner, drawn according to frame (things move with it).
std::vector<BYTE> DesktopPicture(DWORD width, DWORD height, WORD bits, int frame);

// Pixel bytes only (row padding ignored) of two pictures compare equal.
bool SamePixels(const BYTE* a, const BYTE* b, DWORD width, DWORD height, WORD bits);

// A plain record of the given type whose payload is exactly `payload`.
CCaptureData* MakePlainRecord(DWORD type, WORD stream, DWORD time, const std::vector<BYTE>& payload);

// Payload of a screen record written by hand.
struct ScreenPayload {
  WORD headerSize = 38;
  WORD version = 1;
  DWORD storedLength = 0xFFFFFFFF;  // 0xFFFFFFFF: the data's real length
  DWORD uncompressed = 0;
  WORD compression = 0;
  DWORD width = 4;
  DWORD height = 2;
  WORD bits = 16;
  WORD encoding = 0;
  std::vector<BYTE> data;
  std::vector<BYTE> Bytes() const;
};

// Writes a capture with one screen stream of width x height 16-bit pictures:
// `times` pictures (the first a seek point, then every `keyEvery`-th), an
// info string, and closes it. Returns the file's path.
std::string WriteSimpleCapture(const std::string& dir, const std::vector<DWORD>& times, DWORD width = 32,
                               DWORD height = 24, int keyEvery = 3);

// A sound block of the given stored bytes at `time`, anchored at (0, 0).
CCaptureAudio* MakeAudioBlock(WORD codec, DWORD time, DWORD position, const std::vector<BYTE>& data, DWORD decoded,
                              DWORD rate = 8000, WORD bits = 16, WORD channels = 1);
// 16-bit mono PCM: `count` samples from sample `first` on of a sine of
// `hertz` at `rate` (amplitude 0 gives silence).
std::vector<BYTE> TonePcm16(DWORD first, DWORD count, double hertz, DWORD rate, double amplitude = 10000);
// Writes a capture of a 16 x 8 screen and `blocks` blocks of 100 ms of 8 kHz
// 16-bit mono PCM: a 440 Hz tone in blocks [toneFrom, toneTo), silence in the
// others; the screen's last picture is at blocks x 100 ms. False on failure.
bool WriteToneCapture(const std::string& path, DWORD blocks, DWORD toneFrom, DWORD toneTo);

// Bytes of a file (for patching) and writing them back.
std::vector<BYTE> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
void PutLE32At(std::vector<BYTE>& bytes, std::size_t offset, DWORD value);
void PutLE16At(std::vector<BYTE>& bytes, std::size_t offset, WORD value);

}  // namespace capturetest
