#include "pravex/capture/CaptureAudio.h"

namespace {

// Rounds num / den (den > 0) to the nearest integer, halves away from zero,
// and clamps the result into [0, UINT32_MAX].
DWORD RoundedClamped(__int128 num, __int128 den) {
  const bool negative = num < 0;
  const __int128 magnitude = negative ? -num : num;
  const __int128 q = (magnitude + den / 2) / den;
  if (negative) return 0;
  return q > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<DWORD>(q);
}

}  // namespace

CCaptureAudio::CCaptureAudio() : CCapturePayloadRecord(capture::kRecordAudio, capture::kStreamAudio, 1) {
  UpdateTotalLength();
}

void CCaptureAudio::ParseFields(CByteReader& reader, WORD) {
  m_decodedLength = reader.GetLE32();
  m_format.codec = reader.GetLE16();
  m_format.samplesPerSecond = reader.GetLE32();
  m_format.bitsPerSample = reader.GetLE16();
  m_format.channels = reader.GetLE16();
  m_streamPosition = reader.GetLE32();
  m_anchorBytes = reader.GetLE32();
  m_anchorTime = reader.GetLE32();
}

void CCaptureAudio::WriteFields(CByteWriter& writer) const {
  writer.PutLE32(m_decodedLength);
  writer.PutLE16(m_format.codec);
  writer.PutLE32(m_format.samplesPerSecond);
  writer.PutLE16(m_format.bitsPerSample);
  writer.PutLE16(m_format.channels);
  writer.PutLE32(m_streamPosition);
  writer.PutLE32(m_anchorBytes);
  writer.PutLE32(m_anchorTime);
}

DWORD CCaptureAudio::BytesAtTime(DWORD time) const {
  const __int128 bytesPerSecond = static_cast<__int128>(m_format.samplesPerSecond) * GetBlockSize();
  if (bytesPerSecond == 0) return 0;
  const __int128 delta = static_cast<__int128>(time) - m_anchorTime;
  return RoundedClamped(static_cast<__int128>(m_anchorBytes) * 1000 + delta * bytesPerSecond, 1000);
}

DWORD CCaptureAudio::TimeAtBytes(DWORD bytes) const {
  const __int128 bytesPerSecond = static_cast<__int128>(m_format.samplesPerSecond) * GetBlockSize();
  if (bytesPerSecond == 0) return 0;
  const __int128 delta = static_cast<__int128>(bytes) - m_anchorBytes;
  return RoundedClamped(static_cast<__int128>(m_anchorTime) * bytesPerSecond + delta * 1000, bytesPerSecond);
}

bool CCaptureAudio::IsPlayableFormat(const CaptureAudioFormat& f) {
  if (f.samplesPerSecond < kMinRate || f.samplesPerSecond > kMaxRate) return false;
  if (f.codec == kCodecGsm) return f.bitsPerSample == 16 && f.channels == 1;
  if (f.codec != kCodecPcm) return false;
  const bool width = f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 24 || f.bitsPerSample == 32;
  return width && f.channels >= 1 && f.channels <= kMaxChannels;
}
