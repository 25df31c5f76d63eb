// GSM 06.10 full-rate speech frames: 33 bytes stand for 160 16-bit samples
// (320 bytes) at 8000 samples per second.
#pragma once

#include <memory>

#include "platform/base/WinTypes.h"

class CGsmCodec {
 public:
  static constexpr DWORD kFrameBytes = 33;
  static constexpr DWORD kFrameSamples = 160;
  static constexpr DWORD kDecodedFrameBytes = kFrameSamples * 2;

  CGsmCodec();
  ~CGsmCodec();
  CGsmCodec(const CGsmCodec&) = delete;
  CGsmCodec& operator=(const CGsmCodec&) = delete;

  bool IsValid() const;
  // Decodes one 33-byte frame into 160 samples; false for a frame whose
  // signature nibble is wrong (the samples are then silence).
  bool DecodeFrame(const BYTE* frame, short* samples);
  // Encodes 160 samples into one 33-byte frame.
  void EncodeFrame(const short* samples, BYTE* frame);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
