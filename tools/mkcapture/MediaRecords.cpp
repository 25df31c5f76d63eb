#include "MediaRecords.h"

#include <algorithm>
#include <cstring>

#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureVideo.h"
#include "pravex/capture/GsmCodec.h"

using namespace capture;

CursorShape MakeCursorShape(const std::vector<const char*>& rows, int hotX, int hotY) {
  CursorShape shape;
  shape.hotX = hotX;
  shape.hotY = hotY;
  const std::size_t stride = static_cast<std::size_t>(CCaptureCursor::MaskRowBytes(shape.width));
  const std::size_t plane = stride * shape.height;
  shape.masks.assign(2 * plane, 0);
  std::fill(shape.masks.begin(), shape.masks.begin() + static_cast<std::ptrdiff_t>(plane), 0xFF);
  for (std::size_t y = 0; y < rows.size() && y < shape.height; ++y) {
    for (std::size_t x = 0; rows[y][x] && x < shape.width; ++x) {
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      const std::size_t at = y * stride + x / 8;
      if (rows[y][x] == ' ') continue;
      shape.masks[at] &= static_cast<BYTE>(~bit);             // opaque
      if (rows[y][x] == '.') shape.masks[plane + at] |= bit;  // white
    }
  }
  return shape;
}

const CursorShape& ArrowCursor() {
  static const CursorShape shape = MakeCursorShape(
      {"X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X", "X.......X", "X........X", "X.....XXXXX",
       "X..X..X", "X.X X..X", "XX  X..X", "X    X..X", "     X..X", "      X..X", "      X..X", "       XX"},
      0, 0);
  return shape;
}

const CursorShape& TextCursor() {
  static const CursorShape shape =
      MakeCursorShape({"XXX.XXX", "...X...", "   X", "   X", "   X", "   X", "   X", "   X", "   X", "   X", "   X",
                       "   X", "   X", "   X", "...X...", "XXX.XXX"},
                      3, 8);
  return shape;
}

CCaptureCursor* MakeCursorRecord(DWORD time, BYTE flags, int pointerX, int pointerY, const CursorShape& shape,
                                 BYTE click) {
  auto* record = new CCaptureCursor();
  record->SetTime(time);
  record->SetFlags(flags == 7 ? DWORD{0} : DWORD{kFlagDelta});
  record->SetContentFlags(flags);
  record->SetPosition(pointerX - shape.hotX, pointerY - shape.hotY, shape.hotX, shape.hotY);
  record->SetClickState(click);
  record->SetShape(false, 0, shape.width, shape.height, 1, static_cast<WORD>(shape.masks.size() / 2));
  if (flags & CCaptureCursor::kHasShape) {
    record->SetDataCopy(shape.masks.data(), static_cast<DWORD>(shape.masks.size()));
  }
  return record;
}

CCaptureVideo* MakeCameraRecord(DWORD time, const std::vector<BYTE>& jpeg, int width, int height) {
  auto* record = new CCaptureVideo();
  record->SetTime(time);
  record->SetEncoding(CCaptureVideo::kEncodingJpeg);
  record->SetGeometry(static_cast<DWORD>(width), static_cast<DWORD>(height), 24);
  record->SetPictureSize(static_cast<DWORD>(DibImageSize(static_cast<DWORD>(width), static_cast<DWORD>(height), 24)));
  record->SetDataCopy(jpeg.data(), static_cast<DWORD>(jpeg.size()));
  return record;
}

namespace {

// GSM frames for a block of 16-bit samples (padded with silence to whole frames).
std::vector<BYTE> EncodeGsm(CGsmCodec& codec, const BYTE* pcm, std::size_t bytes) {
  const std::size_t frames = (bytes + CGsmCodec::kDecodedFrameBytes - 1) / CGsmCodec::kDecodedFrameBytes;
  std::vector<BYTE> out(frames * CGsmCodec::kFrameBytes);
  for (std::size_t f = 0; f < frames; ++f) {
    short samples[CGsmCodec::kFrameSamples] = {};
    const std::size_t offset = f * CGsmCodec::kDecodedFrameBytes;
    std::memcpy(samples, pcm + offset, std::min<std::size_t>(CGsmCodec::kDecodedFrameBytes, bytes - offset));
    codec.EncodeFrame(samples, out.data() + f * CGsmCodec::kFrameBytes);
  }
  return out;
}

}  // namespace

bool MakeSoundBlocks(const std::vector<BYTE>& pcm, const CaptureAudioFormat& format, DWORD blockMs,
                     std::vector<CCaptureData*>& blocks, std::string& error) {
  const bool gsm = format.codec == CCaptureAudio::kCodecGsm;
  if (gsm && (format.samplesPerSecond != 8000 || format.bitsPerSample != 16 || format.channels != 1)) {
    error = "GSM sound must be 8000 Hz, 16-bit, mono";
    return false;
  }
  const std::uint64_t frameBytes = static_cast<std::uint64_t>(format.channels) * (format.bitsPerSample / 8u);
  const std::uint64_t bytesPerSecond = frameBytes * format.samplesPerSecond;
  if (frameBytes == 0 || bytesPerSecond == 0 || blockMs == 0) {
    error = "sound format without samples";
    return false;
  }
  // Whole sample frames per block (GSM: whole 160-sample frames).
  std::uint64_t blockBytes = std::max<std::uint64_t>(bytesPerSecond * blockMs / 1000 / frameBytes, 1) * frameBytes;
  if (gsm)
    blockBytes = std::max<std::uint64_t>(blockBytes / CGsmCodec::kDecodedFrameBytes, 1) * CGsmCodec::kDecodedFrameBytes;
  if (pcm.size() > 0xFFFFFFFFu) {
    error = "sound longer than a capture can address";
    return false;
  }
  CGsmCodec codec;
  for (std::uint64_t position = 0; position < pcm.size(); position += blockBytes) {
    const std::size_t bytes = static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, pcm.size() - position));
    auto* block = new CCaptureAudio();
    const auto time = static_cast<DWORD>((position * 1000 + bytesPerSecond / 2) / bytesPerSecond);
    block->SetTime(time);
    block->SetFormat(format);
    block->SetStreamPosition(static_cast<DWORD>(position));
    block->SetAnchor(static_cast<DWORD>(position), time);
    if (gsm) {
      const std::vector<BYTE> frames = EncodeGsm(codec, pcm.data() + position, bytes);
      block->SetDataCopy(frames.data(), static_cast<DWORD>(frames.size()));
      block->SetDecodedLength(
          static_cast<DWORD>(frames.size() / CGsmCodec::kFrameBytes * CGsmCodec::kDecodedFrameBytes));
    } else {
      block->SetDataCopy(pcm.data() + position, static_cast<DWORD>(bytes));
      block->SetDecodedLength(static_cast<DWORD>(bytes));
    }
    blocks.push_back(block);
  }
  return true;
}
