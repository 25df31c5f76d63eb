#include "pravex/capture/AudioReplay.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"

using namespace capture;

namespace {

// The output plays 8- or 16-bit samples on one or two channels.
WORD OutputBits(WORD bits) { return bits == 8 ? 8 : 16; }
WORD OutputChannels(WORD channels) { return channels > 2 ? 2 : channels; }

}  // namespace

CAudioReplay::CAudioReplay() = default;

CAudioReplay::~CAudioReplay() { m_output.Release(); }

void CAudioReplay::SetMute(BOOL mute) { m_output.SetMute(mute); }

void CAudioReplay::SetTempo(DWORD numerator, DWORD denominator) {
  if (!numerator || !denominator) return;
  const double tempo = static_cast<double>(numerator) / denominator;
  m_requestedTempo = std::clamp(tempo, CTempoStretch::kMinTempo, CTempoStretch::kMaxTempo);
}

bool CAudioReplay::Stretching() const { return !m_memoryMode && m_tempo != 1.0 && m_stretch.IsConfigured(); }

// The stretcher starts empty at a stream position: what it gives from now on
// is counted from there.
void CAudioReplay::StartStretch(DWORD streamPosition) {
  if (m_stretchStarted || !Stretching()) return;
  m_stretch.Clear();
  m_stretchStarted = true;
  m_stretchBase = streamPosition;
  m_stretchedFrames = 0;
}

void CAudioReplay::EnableMemoryMode() {
  std::lock_guard<std::mutex> lock(m_ringLock);
  m_memoryMode = TRUE;
  m_ring.assign(kRingSize, 0);
  m_ringRead = m_ringWrite = 0;
}

BOOL CAudioReplay::GetAudio(BYTE* buffer, int& length) {
  std::lock_guard<std::mutex> lock(m_ringLock);
  if (m_ring.empty() || length < 0 || (!buffer && length > 0)) {
    length = 0;
    return FALSE;
  }
  const DWORD size = static_cast<DWORD>(m_ring.size());
  const DWORD available = (m_ringWrite + size - m_ringRead) % size;
  DWORD n = std::min<DWORD>(static_cast<DWORD>(length), available);
  length = static_cast<int>(n);
  while (n) {
    const DWORD part = std::min(n, size - m_ringRead);
    std::memcpy(buffer, m_ring.data() + m_ringRead, part);
    buffer += part;
    n -= part;
    m_ringRead = (m_ringRead + part) % size;
  }
  return TRUE;
}

void CAudioReplay::ResetState() {
  m_preroll = FALSE;
  m_queuedEnd = 0;
  m_adjustmentTotal = 0;
  m_playing = FALSE;
  // Sound held in the stretcher belongs to the replay that ended.
  m_stretch.Clear();
  m_stretchStarted = false;
  m_stretchedFrames = 0;
}

int CAudioReplay::WriteCaptureData(CCaptureData* record) {
  std::lock_guard<std::mutex> state(m_stateLock);
  switch (record->GetRecordType()) {
    case kRecordEndOfStream:
    case kRecordReset:
    case kRecordStopped:
      if (!m_memoryMode) m_output.StopAndRewind();
      ResetState();
      break;
    case kRecordBeginPreroll:
      m_preroll = TRUE;
      m_formatCheck = TRUE;
      m_startReached = FALSE;
      m_startTime = record->GetTime();
      // A new replay: it plays at the tempo asked for, from an empty stretcher.
      m_tempo = m_requestedTempo.load();
      m_stretch.SetTempo(m_tempo);
      m_stretch.Clear();
      m_stretchStarted = false;
      m_stretchedFrames = 0;
      break;
    case kRecordEndPreroll:
      m_preroll = FALSE;
      break;
    case kRecordStart:
      if (!m_memoryMode) m_output.Arm();
      break;
    case kRecordPaused:
      m_playing = FALSE;
      if (!m_memoryMode) m_output.Pause(TRUE);
      break;
    case kRecordPlaying:
      m_playing = TRUE;
      if (!m_memoryMode) m_output.Pause(FALSE);
      break;
    case kRecordAudio:
      if (m_enabled || m_memoryMode) HandleBlock(*static_cast<CCaptureAudio*>(record));
      break;
    default:
      break;
  }
  record->Release();
  return 1;
}

// Takes the block's format, (re)creating the output for it. Besides the
// format check of a preroll, an output that does not exist yet is created
// for the first block that arrives, so sound that starts later in a capture
// than the preroll reaches is still played.
bool CAudioReplay::CheckFormat(const CCaptureAudio& block) {
  const CaptureAudioFormat& f = block.GetFormat();
  const bool differs = f.samplesPerSecond != m_rate || f.bitsPerSample != m_bits || f.channels != m_channels;
  const bool late = !m_preroll && !m_memoryMode && !m_output.IsCreated();
  if (!((m_preroll && (differs || m_formatCheck)) || late)) return true;
  m_formatCheck = FALSE;
  m_rate = f.samplesPerSecond;
  m_bits = f.bitsPerSample;
  m_channels = f.channels;
  m_sourceBlock = block.GetBlockSize();
  m_outputBlock = static_cast<DWORD>(OutputChannels(m_channels)) * (OutputBits(m_bits) / 8);
  if (m_memoryMode) return true;
  if (!m_output.Create(m_rate, OutputBits(m_bits), OutputChannels(m_channels), m_window)) {
    m_enabled = FALSE;
    return false;
  }
  m_stretch.Configure(m_rate, OutputBits(m_bits), OutputChannels(m_channels));
  m_stretch.SetTempo(m_tempo);
  m_stretchStarted = false;
  if (late) {
    // The block comes ahead of its time by the handler's lead window: lay
    // silence for that gap so that it plays when due, and join the replay.
    const DWORD now = m_clock ? m_clock->Now() : block.GetTime();
    const DWORD gapMs = block.GetTime() > now ? block.GetTime() - now : 0;
    // At another tempo the gap in replay time passes that much faster.
    const double gapBytes = static_cast<double>(gapMs) * m_rate * m_outputBlock / 1000.0 / m_tempo;
    DWORD gap = static_cast<DWORD>(std::min<double>(gapBytes, m_output.GetBufferSize() / 2));
    gap -= gap % m_outputBlock;
    const std::vector<BYTE> silence(gap, m_bits == 8 ? 0x80 : 0);
    m_output.Write(silence.data(), gap);
    m_queuedEnd = block.GetStreamPosition();
    m_output.Arm();
    if (m_playing) m_output.Pause(FALSE);
  }
  return true;
}

// In a preroll, until the block holding the start time is found: false when
// the block ends before the start; otherwise the decoded bytes to skip.
bool CAudioReplay::PrerollSkip(const CCaptureAudio& block, DWORD decodedLength, DWORD& skip) {
  skip = 0;
  if (!m_preroll || m_startReached) return true;
  const std::uint64_t start = block.BytesAtTime(m_startTime);
  const std::uint64_t position = block.GetStreamPosition();
  if (start >= position + decodedLength) return false;
  if (start > position) skip = static_cast<DWORD>(start - position);
  skip -= skip % block.GetBlockSize();
  m_startReached = TRUE;
  return true;
}

// Whole sample frames of the capture's PCM as the output takes them: the
// first two channels, 16-bit samples from the top two bytes of wider ones.
void CAudioReplay::WriteConverted(const BYTE* bytes, DWORD length) {
  const DWORD frames = m_sourceBlock ? length / m_sourceBlock : 0;
  if (!frames || !m_outputBlock) return;
  const WORD channels = OutputChannels(m_channels);
  const DWORD sampleBytes = m_bits / 8u;
  m_converted.resize(static_cast<std::size_t>(frames) * m_outputBlock);
  BYTE* out = m_converted.data();
  for (DWORD i = 0; i < frames; ++i) {
    const BYTE* frame = bytes + static_cast<std::size_t>(i) * m_sourceBlock;
    for (WORD c = 0; c < channels; ++c) {
      const BYTE* sample = frame + static_cast<std::size_t>(c) * sampleBytes;
      if (sampleBytes == 1) {
        *out++ = sample[0];
      } else {
        *out++ = sample[sampleBytes - 2];
        *out++ = sample[sampleBytes - 1];
      }
    }
  }
  WriteOutput(m_converted.data(), static_cast<DWORD>(m_converted.size()));
}

// The output's PCM to the card, through the stretcher at another tempo.
void CAudioReplay::WriteOutput(const BYTE* bytes, DWORD length) {
  if (!Stretching()) {
    m_output.Write(bytes, length);
    return;
  }
  m_stretch.Process(bytes, length, m_stretched);
  if (m_stretched.empty()) return;
  m_stretchedFrames += m_stretched.size() / m_outputBlock;
  m_output.Write(m_stretched.data(), static_cast<DWORD>(m_stretched.size()));
}

void CAudioReplay::HandOver(const BYTE* bytes, DWORD length) {
  if (!length) return;
  if (!m_memoryMode) {
    if (m_sourceBlock == m_outputBlock)
      WriteOutput(bytes, length);
    else
      WriteConverted(bytes, length);
    return;
  }
  std::lock_guard<std::mutex> lock(m_ringLock);
  const DWORD size = static_cast<DWORD>(m_ring.size());
  if (!size) return;
  const DWORD free = m_ringRead == m_ringWrite ? size : (m_ringRead + size - m_ringWrite) % size;
  if (length >= free) return;  // a full ring drops the block
  while (length) {
    const DWORD part = std::min(length, size - m_ringWrite);
    std::memcpy(m_ring.data() + m_ringWrite, bytes, part);
    bytes += part;
    length -= part;
    m_ringWrite = (m_ringWrite + part) % size;
  }
}

// Walks whole 33-byte frames only: a trailing partial frame is not decoded.
void CAudioReplay::DecodeGsm(const CCaptureAudio& block, DWORD skip) {
  const BYTE* data = nullptr;
  DWORD length = 0;
  block.GetData(data, length);
  const DWORD frames = data ? length / CGsmCodec::kFrameBytes : 0;
  short samples[CGsmCodec::kFrameSamples];
  for (DWORD i = 0; i < frames; ++i) {
    const DWORD frameEnd = (i + 1) * CGsmCodec::kDecodedFrameBytes;
    if (frameEnd <= skip) continue;
    m_gsm.DecodeFrame(data + i * CGsmCodec::kFrameBytes, samples);
    const DWORD from = skip > i * CGsmCodec::kDecodedFrameBytes ? skip - i * CGsmCodec::kDecodedFrameBytes : 0;
    HandOver(reinterpret_cast<const BYTE*>(samples) + from, CGsmCodec::kDecodedFrameBytes - from);
  }
  if (!m_memoryMode) m_output.WriteSilence(kSilenceAfterGsm);
}

void CAudioReplay::HandleBlock(const CCaptureAudio& block) {
  // Formats that cannot be played are dropped, so that the byte/time mapping
  // never divides by zero.
  if (!CCaptureAudio::IsPlayableFormat(block.GetFormat())) return;
  if (!CheckFormat(block)) return;
  const BYTE* data = nullptr;
  DWORD stored = 0;
  block.GetData(data, stored);
  if (!data) stored = 0;
  const bool gsm = block.GetFormat().codec == CCaptureAudio::kCodecGsm;
  // What the block really holds decides how much is read, whatever its
  // header claims.
  const DWORD decoded = gsm ? (stored / CGsmCodec::kFrameBytes) * CGsmCodec::kDecodedFrameBytes : stored;
  DWORD skip = 0;
  if (!PrerollSkip(block, decoded, skip)) return;
  if (gsm) {
    if (skip < decoded) StartStretch(block.GetStreamPosition() + skip);
    DecodeGsm(block, skip);
    m_queuedEnd = block.GetStreamPosition() + decoded;
  } else if (skip < stored) {
    StartStretch(block.GetStreamPosition() + skip);
    HandOver(data + skip, stored - skip);
    m_queuedEnd = block.GetStreamPosition() + stored;
  }
  if (!m_preroll && !m_memoryMode) SteerClock(block);
}

// Moves the clock at most 10 ms per block towards the sample being heard.
void CAudioReplay::SteerClock(const CCaptureAudio& block) {
  if (!m_clock || !m_output.IsCreated()) return;
  const std::int64_t heardBytes = std::clamp<std::int64_t>(HeardStreamBytes(), 0, 0xFFFFFFFF);
  const std::int64_t heard = block.TimeAtBytes(static_cast<DWORD>(heardBytes));
  const std::int64_t now = m_clock->Now();
  const std::int64_t d = heard - now;
  const int step = static_cast<int>(std::min<std::int64_t>(std::llabs(d) / 10, kMaxNudgeMs)) * (d < 0 ? -1 : 1);
  if (step) m_clock->Nudge(step);
  m_adjustmentTotal += step;
}

// Stream byte position of the sample being heard: what was queued less what
// the card still holds. The output counts its own bytes, the stream the
// capture's; stretched sound counts tempo source frames per output frame.
std::int64_t CAudioReplay::GetHeardStreamBytes() {
  std::lock_guard<std::mutex> state(m_stateLock);
  return HeardStreamBytes();
}

std::int64_t CAudioReplay::HeardStreamBytes() {
  const DWORD queued = m_output.QueuedBytes();
  if (!m_outputBlock) return 0;
  if (Stretching() && m_stretchStarted) {
    const double queuedFrames = static_cast<double>(queued / m_outputBlock);
    const double heardFrames = (static_cast<double>(m_stretchedFrames) - queuedFrames) * m_tempo;
    return static_cast<std::int64_t>(m_stretchBase) + std::llround(heardFrames) * m_sourceBlock;
  }
  const std::uint64_t source = static_cast<std::uint64_t>(queued) * m_sourceBlock / m_outputBlock;
  return static_cast<std::int64_t>(m_queuedEnd) - static_cast<std::int64_t>(source);
}
