// The non-screen records olvane-mkcapture writes: cursor records (position,
// monochrome shape, click state), camera pictures (JPEG) and sound blocks
// (PCM as stored, or GSM 06.10 frames).
#pragma once

#include <string>
#include <vector>

#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureAudio.h"

class CCaptureCursor;
class CCaptureData;
class CCaptureVideo;

// A monochrome cursor: AND mask then XOR mask, rows of 1-bit pixels (most
// significant bit first) padded to 4 bytes, top row first.
struct CursorShape {
  WORD width = 32;
  WORD height = 32;
  int hotX = 0;
  int hotY = 0;
  std::vector<BYTE> masks;
};

// Builds a shape from text rows: 'X' black, '.' white, ' ' transparent.
CursorShape MakeCursorShape(const std::vector<const char*>& rows, int hotX, int hotY);
const CursorShape& ArrowCursor();
const CursorShape& TextCursor();

// A cursor record with the parts named by flags (CCaptureCursor::kHasPosition,
// kHasShape, kHasClick). The position is the pointer's (the hot spot's); the
// record stores the shape's top-left corner. Header flag bit 0 marks records
// that change only part of the cursor state.
CCaptureCursor* MakeCursorRecord(DWORD time, BYTE flags, int pointerX, int pointerY, const CursorShape& shape,
                                 BYTE click);

// A camera picture record holding a JPEG frame of a 24-bit picture.
CCaptureVideo* MakeCameraRecord(DWORD time, const std::vector<BYTE>& jpeg, int width, int height);

// Cuts PCM bytes (as stored, in `format`) into audio blocks of blockMs each,
// at times from 0, each with its stream byte position and an anchor that maps
// its time to that position. With format.codec GSM the PCM must be 8000 Hz
// 16-bit mono; it is encoded frame by frame (the last frame padded with
// silence). Appends one reference per block to `blocks`.
bool MakeSoundBlocks(const std::vector<BYTE>& pcm, const CaptureAudioFormat& format, DWORD blockMs,
                     std::vector<CCaptureData*>& blocks, std::string& error);
