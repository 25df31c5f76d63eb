#include "pravex/capture/TempoStretch.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

struct CTempoStretch::Impl {
  soundtouch::SoundTouch stretcher;
  WORD bits = 0;
  WORD channels = 0;
  double tempo = 1.0;
  std::vector<float> input;
  std::vector<float> output;

  DWORD FrameBytes() const { return static_cast<DWORD>(channels) * (bits / 8u); }

  // Whole frames of the output's PCM to the stretcher's floating-point samples.
  void ToFloat(const BYTE* bytes, DWORD frames) {
    const std::size_t count = static_cast<std::size_t>(frames) * channels;
    input.resize(count);
    if (bits == 8) {
      for (std::size_t i = 0; i < count; ++i) input[i] = (static_cast<float>(bytes[i]) - 128.0f) / 128.0f;
    } else {
      for (std::size_t i = 0; i < count; ++i) {
        const auto s = static_cast<std::int16_t>(static_cast<unsigned>(bytes[2 * i]) | (bytes[2 * i + 1] << 8));
        input[i] = static_cast<float>(s) / 32768.0f;
      }
    }
  }

  void AppendPcm(const float* samples, std::size_t count, std::vector<BYTE>& out) const {
    const std::size_t at = out.size();
    out.resize(at + count * (bits / 8u));
    BYTE* p = out.data() + at;
    for (std::size_t i = 0; i < count; ++i) {
      const float v = std::clamp(samples[i], -1.0f, 1.0f);
      if (bits == 8) {
        *p++ = static_cast<BYTE>(std::lround(v * 127.0f) + 128);
      } else {
        const long s = std::lround(v * 32767.0f);
        *p++ = static_cast<BYTE>(s & 0xFF);
        *p++ = static_cast<BYTE>((s >> 8) & 0xFF);
      }
    }
  }
};

CTempoStretch::CTempoStretch() : m_impl(std::make_unique<Impl>()) {}

CTempoStretch::~CTempoStretch() = default;

bool CTempoStretch::Configure(DWORD rate, WORD bits, WORD channels) {
  Impl& d = *m_impl;
  d.bits = 0;
  d.channels = 0;
  if ((bits != 8 && bits != 16) || (channels != 1 && channels != 2) || rate < 1000 || rate > 192000) return false;
  d.stretcher.clear();
  d.stretcher.setSampleRate(rate);
  d.stretcher.setChannels(channels);
  d.stretcher.setTempo(d.tempo);
  d.bits = bits;
  d.channels = channels;
  return true;
}

bool CTempoStretch::IsConfigured() const { return m_impl->channels != 0; }

void CTempoStretch::SetTempo(double tempo) {
  if (!std::isfinite(tempo)) tempo = 1.0;
  m_impl->tempo = std::clamp(tempo, kMinTempo, kMaxTempo);
  m_impl->stretcher.setTempo(m_impl->tempo);
}

double CTempoStretch::GetTempo() const { return m_impl->tempo; }

DWORD CTempoStretch::GetFrameBytes() const { return m_impl->FrameBytes(); }

void CTempoStretch::Process(const BYTE* bytes, DWORD length, std::vector<BYTE>& out) {
  Impl& d = *m_impl;
  out.clear();
  const DWORD frameBytes = d.FrameBytes();
  if (!frameBytes || !bytes) return;
  const DWORD frames = length / frameBytes;
  if (!frames) return;
  d.ToFloat(bytes, frames);
  d.stretcher.putSamples(d.input.data(), frames);
  // Everything ready is taken now, so nothing waits in the stretcher's output.
  constexpr unsigned kChunkFrames = 4096;
  d.output.resize(static_cast<std::size_t>(kChunkFrames) * d.channels);
  for (;;) {
    const unsigned got = d.stretcher.receiveSamples(d.output.data(), kChunkFrames);
    if (!got) break;
    d.AppendPcm(d.output.data(), static_cast<std::size_t>(got) * d.channels, out);
  }
}

void CTempoStretch::Clear() { m_impl->stretcher.clear(); }
