// Audio block (record type 100, audio stream): PCM as stored or GSM 06.10
// full-rate frames (33 bytes -> 160 samples), with the stream byte position
// of its first decoded byte and an anchor pair that maps replay times to
// stream byte positions and back.
#pragma once

#include <cstdint>

#include "pravex/capture/CaptureData.h"

struct CaptureAudioFormat {
  WORD codec = 0;  // CCaptureAudio::kCodecPcm or kCodecGsm
  DWORD samplesPerSecond = 0;
  WORD bitsPerSample = 16;
  WORD channels = 1;
};

class CCaptureAudio : public CCapturePayloadRecord {
 public:
  static constexpr WORD kCodecPcm = 0;
  static constexpr WORD kCodecGsm = 1;
  static constexpr DWORD kGsmFrameBytes = 33;
  static constexpr DWORD kGsmFrameSamples = 160;

  CCaptureAudio();

  DWORD GetDecodedLength() const { return m_decodedLength; }
  void SetDecodedLength(DWORD length) { m_decodedLength = length; }
  const CaptureAudioFormat& GetFormat() const { return m_format; }
  void SetFormat(const CaptureAudioFormat& format) { m_format = format; }
  DWORD GetStreamPosition() const { return m_streamPosition; }
  void SetStreamPosition(DWORD position) { m_streamPosition = position; }
  DWORD GetAnchorBytes() const { return m_anchorBytes; }
  DWORD GetAnchorTime() const { return m_anchorTime; }
  void SetAnchor(DWORD bytes, DWORD time) {
    m_anchorBytes = bytes;
    m_anchorTime = time;
  }
  // Bytes per sample frame: channels x bits / 8.
  DWORD GetBlockSize() const { return static_cast<DWORD>(m_format.channels) * (m_format.bitsPerSample / 8); }

  // Largest channel count and rate range a capture's sound may have and still
  // be played.
  static constexpr WORD kMaxChannels = 64;
  static constexpr DWORD kMinRate = 1000;
  static constexpr DWORD kMaxRate = 192000;
  // Whether sound of this format can be played: PCM of 8, 16, 24 or 32 bits
  // (8 unsigned, the others signed little-endian) with 1 to kMaxChannels
  // channels, or GSM (16-bit mono), at a rate in [kMinRate, kMaxRate]. The
  // output takes PCM as 8 or 16 bits with one or two channels; wider samples
  // and more channels are converted for it.
  static bool IsPlayableFormat(const CaptureAudioFormat& format);

  // Stream byte position at replay time t, through the anchor pair: rounded to
  // the nearest byte, 0 when it would fall before the start, saturated at the
  // largest u32; 0 when the format has no rate or block size.
  DWORD BytesAtTime(DWORD time) const;
  // Replay time of stream byte position b, the inverse mapping.
  DWORD TimeAtBytes(DWORD bytes) const;

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 34 : 0; }
  void ParseFields(CByteReader& reader, WORD version) override;
  void WriteFields(CByteWriter& writer) const override;

 private:
  DWORD m_decodedLength = 0;
  CaptureAudioFormat m_format;
  DWORD m_streamPosition = 0;
  DWORD m_anchorBytes = 0;
  DWORD m_anchorTime = 0;
};
