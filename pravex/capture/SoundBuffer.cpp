#include "pravex/capture/SoundBuffer.h"

#include <atomic>
#include <cstring>

#include "platform/base/Clock.h"

namespace {

std::atomic<int> g_openAttempts{8};
std::atomic<DWORD> g_openDelayMs{500};

// Marks a write in progress so that a pause waits for it to finish.
class WriteScope {
 public:
  explicit WriteScope(std::atomic<bool>& flag) : m_flag(flag) { m_flag = true; }
  ~WriteScope() { m_flag = false; }

 private:
  std::atomic<bool>& m_flag;
};

}  // namespace

void CSoundBuffer::SetOpenRetry(int attempts, DWORD delayMs) {
  g_openAttempts = attempts < 1 ? 1 : attempts;
  g_openDelayMs = delayMs;
}

BOOL CSoundBuffer::Create(DWORD rate, WORD bits, WORD channels, void* /*window*/) {
  Release();
  const std::uint64_t bytesPerSecond = static_cast<std::uint64_t>(bits) * channels * rate / 8;
  const std::uint64_t size = bytesPerSecond * 10;
  if (bytesPerSecond == 0 || size > 0xFFFFFFFFu) return FALSE;
  const int attempts = g_openAttempts;
  for (int i = 0; i < attempts; ++i) {
    if (m_output.Create(rate, bits, channels, static_cast<DWORD>(size))) break;
    // A format the device layer refuses will not open on a retry either.
    if (!std::strcmp(m_output.GetLastError(), "unsupported sound format") ||
        !std::strcmp(m_output.GetLastError(), "unusable sound buffer size"))
      return FALSE;
    Sleep(g_openDelayMs);
  }
  if (!m_output.IsCreated()) return FALSE;
  m_rate = rate;
  m_bits = bits;
  m_channels = channels;
  m_bufferSize = static_cast<DWORD>(size);
  m_writePos = 0;
  m_paused = FALSE;
  m_savedPlayPos = 0;
  m_hasData = FALSE;
  m_enabled = TRUE;
  ApplyVolume();
  return TRUE;
}

void CSoundBuffer::Release() {
  m_output.Release();
  m_enabled = FALSE;
  m_bufferSize = 0;
  m_writePos = 0;
}

BOOL CSoundBuffer::Write(const BYTE* bytes, DWORD length) {
  if (!length || !m_enabled || !bytes) return TRUE;
  WriteScope scope(m_writing);
  BYTE *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (!m_output.Lock(m_writePos, length, &p1, &n1, &p2, &n2)) return FALSE;
  std::memcpy(p1, bytes, n1);
  if (p2 && n2) std::memcpy(p2, bytes + n1, n2);
  m_output.Unlock();
  m_writePos = static_cast<DWORD>((static_cast<std::uint64_t>(m_writePos) + length) % m_bufferSize);
  m_hasData = TRUE;
  return TRUE;
}

BOOL CSoundBuffer::WriteSilence(DWORD length) {
  if (!length || !m_enabled) return TRUE;
  WriteScope scope(m_writing);
  BYTE *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (!m_output.Lock(m_writePos, length, &p1, &n1, &p2, &n2)) return FALSE;
  std::memset(p1, 0, n1);
  if (p2 && n2) std::memset(p2, 0, n2);
  m_output.Unlock();
  return TRUE;
}

void CSoundBuffer::WaitForWrite() {
  while (m_writing) Sleep(10);
}

void CSoundBuffer::Pause(BOOL paused) {
  if (!m_enabled) return;
  paused = paused ? TRUE : FALSE;
  if (paused == m_paused) return;
  if (paused) {
    WaitForWrite();
    // Stop first: the output keeps the sample being heard when it stops, and
    // resuming from exactly there never steps back.
    m_output.Stop();
    m_savedPlayPos = m_output.GetPlayCursor();
  } else {
    m_output.SetPlayCursor(m_savedPlayPos);
    m_output.Play();
    ApplyVolume();
  }
  m_paused = paused;
}

void CSoundBuffer::Arm() {
  m_savedPlayPos = 0;
  m_paused = TRUE;
}

void CSoundBuffer::StopAndRewind() {
  if (!m_enabled) return;
  WaitForWrite();
  m_output.Stop();
  m_output.SetPlayCursor(0);
  m_writePos = 0;
  m_hasData = FALSE;
  m_savedPlayPos = 0;
}

DWORD CSoundBuffer::QueuedBytes() {
  if (!m_enabled) return 0;
  const DWORD play = m_output.GetPlayCursor();
  return play < m_writePos ? m_writePos - play : m_writePos + m_bufferSize - play;
}

void CSoundBuffer::SetMute(BOOL mute) {
  m_mute = mute ? TRUE : FALSE;
  if (m_enabled) ApplyVolume();
}

void CSoundBuffer::SetVolume(int hundredthsOfDb) {
  m_volume = hundredthsOfDb;
  if (m_enabled) ApplyVolume();
}

void CSoundBuffer::ApplyVolume() { m_output.SetVolume(m_mute ? CSoundOutput::kVolumeMin : m_volume.load()); }
