// Constants of the capture file format: record framing, stream and record
// types, screen encodings, and the bounds every reader applies to lengths
// read from a file.
#pragma once

#include <cstdint>

#include "platform/base/WinTypes.h"

namespace capture {

// Every record starts with these eight bytes (no terminator).
inline constexpr char kSignature[8] = {'#', 'k', 'a', 'l', 'v', 'o', '#', '1'};
inline constexpr DWORD kSignatureSize = 8;
// The fixed record header: u16 size, u16 version, u32 type, u32 time,
// u16 stream, u32 reserved, u32 total length, u32 flags.
inline constexpr WORD kRecordHeaderSize = 26;
inline constexpr WORD kRecordHeaderVersion = 1;
// Every record but the end-of-headers marker ends with its u32 total length.
inline constexpr DWORD kRecordTrailerSize = 4;
// Total length of a record with an empty payload: signature, header, trailer.
inline constexpr DWORD kRecordOverhead = kSignatureSize + kRecordHeaderSize + kRecordTrailerSize;

// No single block read from a file, inflated or decoded is allowed to exceed
// this; anything larger is refused before allocating.
inline constexpr std::uint64_t kMaxBlockSize = 256ull << 20;

// Stream types.
enum : WORD {
  kStreamHeader = 10,
  kStreamTrailer = 11,
  kStreamScreen = 100,
  kStreamCursor = 101,
  kStreamVideo = 104,
  kStreamAudio = 105,
};

// Record types. 0 and 1 are never stored: they are what a read returns for a
// skipped record and for a failed read or the end of the file. 3 to 9 and 50
// are control records made by the replay side.
enum : DWORD {
  kRecordSkipped = 0,
  kRecordEndOfStream = 1,
  kRecordEndOfHeaders = 2,
  kRecordReset = 3,
  kRecordBeginPreroll = 4,
  kRecordEndPreroll = 5,
  kRecordStart = 6,
  kRecordPaused = 7,
  kRecordPlaying = 8,
  kRecordStopped = 9,
  kRecordStreamInfo = 10,
  kRecordIndex = 11,
  kRecordInfo = 12,
  kRecordFrameTick = 50,
  kRecordAudio = 100,
  kRecordVideo = 101,
  kRecordScreen = 102,
  kRecordCursor = 103,
  kRecordBlock = 104,   // in the trailer: the annotation archive
  kRecordBlock2 = 105,
  kRecordChunk = 106,
};
// A read failure is reported through the same record type as the end of data.
inline constexpr DWORD kRecordReadFailed = kRecordEndOfStream;

// Header flag bits.
enum : DWORD {
  kFlagDelta = 0x1,     // clear on complete pictures and merged cursors
  kFlagComplete = 0x2,  // set on records built as a complete picture
};

// Screen record encodings.
enum : WORD {
  kScreenRaw = 0,
  kScreenDelta = 1,
  kScreenRunLength = 2,
  kScreenUnchanged = 3,
  kScreenDecoded = 4,
};
// Screen, information: compression code of zlib-compressed data.
inline constexpr WORD kCompressionZlib = 3;

}  // namespace capture
