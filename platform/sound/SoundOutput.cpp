#include "platform/sound/SoundOutput.h"

#include "platform/base/Clock.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

struct CSoundOutput::Impl {
  SDL_AudioDeviceID device = 0;
  bool audioInit = false;
  std::vector<BYTE> buffer;
  mutable std::recursive_mutex mutex;  // guards everything below and the buffer
  DWORD readPos = 0;                   // next byte the device callback takes
  ULONGLONG takenSincePosition = 0;    // bytes taken since play start or cursor set
  // Bytes heard since play start or cursor set, as last reported: the cursor
  // never reports less, so it cannot step back between device buffers.
  mutable ULONGLONG heardSincePosition = 0;
  ULONGLONG consumed = 0;
  DWORD deviceLatency = 0;  // bytes the device holds ahead of what is heard
  DWORD frameBytes = 1;
  DWORD bytesPerSecond = 0;
  std::uint32_t lastFillTick = 0;  // monotonic ms of the last buffer taken while playing
  bool playing = false;
  int volume = kVolumeFull;
  // The volume as a 16.16 amplitude factor (65536 at full volume, 0 silent).
  std::uint32_t gain = 65536;
  bool eightBit = false;
  BYTE silence = 0;
  std::string lastError;
  // Set for an output without a device: bytes are taken only by Pull, and
  // time comes from this clock.
  std::uint32_t (*manualClock)() = nullptr;

  std::uint32_t Now() const { return manualClock ? manualClock() : timeGetTime(); }

  // A new reference point for the cursor: nothing taken or heard since.
  void ResetPosition() {
    takenSincePosition = 0;
    heardSincePosition = 0;
  }

  static void Callback(void* user, Uint8* stream, int len) { static_cast<Impl*>(user)->Fill(stream, len); }

  void Fill(Uint8* stream, int len) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    const DWORD want = static_cast<DWORD>(len);
    if (!playing || buffer.empty()) {
      std::memset(stream, silence, want);
      return;
    }
    DWORD done = 0;
    const DWORD size = static_cast<DWORD>(buffer.size());
    while (done < want) {
      const DWORD n = std::min(want - done, size - readPos);
      if (volume <= kVolumeMin) {
        std::memset(stream + done, silence, n);
      } else {
        std::memcpy(stream + done, buffer.data() + readPos, n);
        if (gain < 65536) Scale(stream + done, n);
      }
      done += n;
      readPos = (readPos + n) % size;
    }
    takenSincePosition += want;
    consumed += want;
    lastFillTick = Now();
  }

  // Scales samples already copied to the device by the gain, in place (towards
  // zero, so a sample and its negation stay symmetric). The
  // buffer keeps the samples as written, so a volume change applies to what
  // the device takes next, not to what was queued.
  void Scale(Uint8* bytes, DWORD n) const {
    if (eightBit) {
      for (DWORD i = 0; i < n; ++i) {
        const int centred = static_cast<int>(bytes[i]) - 128;
        bytes[i] = static_cast<Uint8>(128 + centred * static_cast<std::int64_t>(gain) / 65536);
      }
      return;
    }
    // 16-bit little-endian samples; a sample split by the loop's wrap cannot
    // occur because the buffer holds whole sample frames.
    for (DWORD i = 0; i + 1 < n; i += 2) {
      const auto sample = static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8));
      const auto scaled = static_cast<std::int16_t>(sample * static_cast<std::int64_t>(gain) / 65536);
      bytes[i] = static_cast<Uint8>(scaled & 0xFF);
      bytes[i + 1] = static_cast<Uint8>((scaled >> 8) & 0xFF);
    }
  }

  void Close() {
    if (device) {
      SDL_CloseAudioDevice(device);
      device = 0;
    }
    if (audioInit) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      audioInit = false;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    buffer.clear();
    readPos = 0;
    ResetPosition();
    consumed = 0;
    playing = false;
    manualClock = nullptr;
  }
};

namespace {
std::uint32_t (*g_manualClock)() = nullptr;
DWORD g_manualDeviceBytes = 0;
}  // namespace

void CSoundOutput::UseManualDevice(std::uint32_t (*clock)(), DWORD deviceBytes) {
  g_manualClock = clock;
  g_manualDeviceBytes = deviceBytes;
}

CSoundOutput::CSoundOutput() : m_impl(std::make_unique<Impl>()) {}

CSoundOutput::~CSoundOutput() { Release(); }

bool CSoundOutput::Create(DWORD rate, WORD bits, WORD channels, DWORD bufferBytes) {
  Release();
  Impl& d = *m_impl;
  if ((bits != 8 && bits != 16) || (channels != 1 && channels != 2) || rate < 1000 || rate > 192000) {
    d.lastError = "unsupported sound format";
    return false;
  }
  d.frameBytes = static_cast<DWORD>(bits / 8) * channels;
  d.bytesPerSecond = d.frameBytes * rate;
  if (bufferBytes < d.frameBytes * 64 || bufferBytes > (64u << 20) || bufferBytes % d.frameBytes) {
    d.lastError = "unusable sound buffer size";
    return false;
  }
  if (g_manualClock) {
    std::lock_guard<std::recursive_mutex> lock(d.mutex);
    d.buffer.assign(bufferBytes, bits == 8 ? 0x80 : 0);
    d.silence = bits == 8 ? 0x80 : 0;
    d.eightBit = bits == 8;
    d.readPos = 0;
    d.ResetPosition();
    d.consumed = 0;
    d.playing = false;
    d.manualClock = g_manualClock;
    d.deviceLatency = g_manualDeviceBytes - g_manualDeviceBytes % d.frameBytes;
    d.lastFillTick = d.Now();
    return true;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    d.lastError = SDL_GetError();
    return false;
  }
  d.audioInit = true;
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = static_cast<Uint8>(channels);
  // A device buffer of about 25 ms keeps the play cursor fine-grained: it only
  // moves when the device takes a buffer.
  Uint16 samples = 256;
  while (samples < 4096 && samples * 2u <= rate / 40) samples = static_cast<Uint16>(samples * 2);
  want.samples = samples;
  want.callback = &Impl::Callback;
  want.userdata = &d;
  SDL_AudioSpec have{};
  {
    std::lock_guard<std::recursive_mutex> lock(d.mutex);
    d.buffer.assign(bufferBytes, bits == 8 ? 0x80 : 0);
    d.silence = bits == 8 ? 0x80 : 0;
    d.eightBit = bits == 8;
    d.readPos = 0;
    d.ResetPosition();
    d.consumed = 0;
    d.playing = false;
  }
  // No format changes allowed: SDL converts to whatever the device needs, so
  // the callback always sees our own format.
  d.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!d.device) {
    d.lastError = SDL_GetError();
    d.Close();
    return false;
  }
  d.deviceLatency = have.size ? have.size : static_cast<DWORD>(have.samples) * d.frameBytes;
  SDL_PauseAudioDevice(d.device, 0);  // the callback runs and plays silence while stopped
  return true;
}

void CSoundOutput::Release() { m_impl->Close(); }

bool CSoundOutput::IsCreated() const {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  return m_impl->device != 0 || m_impl->manualClock != nullptr;
}

void CSoundOutput::Pull(BYTE* out, DWORD bytes) {
  if (out && bytes) m_impl->Fill(out, static_cast<int>(std::min<DWORD>(bytes, 1u << 30)));
}

DWORD CSoundOutput::GetBufferSize() const {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  return static_cast<DWORD>(m_impl->buffer.size());
}

const char* CSoundOutput::GetLastError() const { return m_impl->lastError.c_str(); }

bool CSoundOutput::Lock(DWORD offset, DWORD bytes, BYTE** part1, DWORD* size1, BYTE** part2, DWORD* size2) {
  Impl& d = *m_impl;
  if (!part1 || !size1) return false;
  d.mutex.lock();
  const DWORD size = static_cast<DWORD>(d.buffer.size());
  if (size == 0 || offset >= size || bytes > size) {
    d.mutex.unlock();
    return false;
  }
  const DWORD first = std::min(bytes, size - offset);
  *part1 = d.buffer.data() + offset;
  *size1 = first;
  if (part2) *part2 = first < bytes ? d.buffer.data() : nullptr;
  if (size2) *size2 = bytes - first;
  return true;
}

void CSoundOutput::Unlock() { m_impl->mutex.unlock(); }

DWORD CSoundOutput::GetPlayCursor() const {
  const Impl& d = *m_impl;
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  const DWORD size = static_cast<DWORD>(d.buffer.size());
  if (size == 0) return 0;
  // What the device took in its last buffer is still to be heard; it plays
  // out at the sample rate between two buffers.
  ULONGLONG ahead = std::min<ULONGLONG>(d.deviceLatency, d.takenSincePosition);
  if (d.playing && ahead) {
    const ULONGLONG played = static_cast<ULONGLONG>(d.Now() - d.lastFillTick) * d.bytesPerSecond / 1000;
    ahead -= std::min(ahead, played);
    ahead -= ahead % d.frameBytes;
  }
  // The estimate between buffers can run ahead of the next buffer's; what
  // was once reported as heard stays heard.
  d.heardSincePosition = std::max(d.heardSincePosition, d.takenSincePosition - ahead);
  const ULONGLONG start = (d.readPos + size - d.takenSincePosition % size) % size;
  return static_cast<DWORD>((start + d.heardSincePosition) % size);
}

void CSoundOutput::SetPlayCursor(DWORD position) {
  Impl& d = *m_impl;
  std::lock_guard<std::recursive_mutex> lock(d.mutex);
  if (d.buffer.empty()) return;
  position -= position % d.frameBytes;
  d.readPos = position % static_cast<DWORD>(d.buffer.size());
  d.ResetPosition();
}

ULONGLONG CSoundOutput::GetBytesConsumed() const {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  return m_impl->consumed;
}

void CSoundOutput::Play() {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  if (!m_impl->playing) {
    m_impl->playing = true;
    m_impl->ResetPosition();
  }
}

void CSoundOutput::Stop() {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  if (!m_impl->playing) return;
  // What the device took but did not play yet is played again on the next
  // start: the cursor stays on the sample being heard when it stopped.
  const DWORD cursor = GetPlayCursor();
  m_impl->playing = false;
  m_impl->readPos = cursor;
  m_impl->ResetPosition();
}

bool CSoundOutput::IsPlaying() const {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  return m_impl->playing;
}

void CSoundOutput::SetVolume(int hundredthsOfDb) {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  Impl& d = *m_impl;
  d.volume = std::clamp(hundredthsOfDb, kVolumeMin, kVolumeFull);
  // Decibels to an amplitude factor: 20 dB is a factor of 10.
  d.gain =
      d.volume <= kVolumeMin ? 0 : static_cast<std::uint32_t>(std::lround(65536.0 * std::pow(10.0, d.volume / 2000.0)));
}

int CSoundOutput::GetVolume() const {
  std::lock_guard<std::recursive_mutex> lock(m_impl->mutex);
  return m_impl->volume;
}
