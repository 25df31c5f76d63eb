#include "WavFile.h"

#include <cstring>

#include "platform/base/ByteReader.h"
#include "platform/base/File.h"

namespace {

// WAV files larger than this are refused (sound beside a screen capture).
constexpr std::int64_t kMaxWavBytes = 512ll << 20;

bool ReadWhole(const std::string& path, std::vector<BYTE>& bytes, std::string& error) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) {
    error = "cannot open " + path + ": " + std::strerror(file.GetLastError());
    return false;
  }
  const std::int64_t length = file.GetLength();
  if (length < 0 || length > kMaxWavBytes) {
    error = path + ": not a WAV file this tool reads (size)";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(length));
  if (length > 0 && file.Read(bytes.data(), static_cast<std::uint32_t>(length)) != length) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}

}  // namespace

bool ReadWavFile(const std::string& path, WavSound& sound, std::string& error) {
  std::vector<BYTE> bytes;
  if (!ReadWhole(path, bytes, error)) return false;
  CByteReader reader(bytes.data(), bytes.size());
  char riff[4] = {}, wave[4] = {};
  reader.GetBytes(riff, 4);
  reader.GetLE32();
  reader.GetBytes(wave, 4);
  if (reader.HasOverrun() || std::memcmp(riff, "RIFF", 4) || std::memcmp(wave, "WAVE", 4)) {
    error = path + ": not a WAV file (no RIFF/WAVE header)";
    return false;
  }
  bool haveFormat = false;
  while (reader.GetRemaining() >= 8) {
    char id[4];
    reader.GetBytes(id, 4);
    const DWORD size = reader.GetLE32();
    if (size > reader.GetRemaining()) {
      error = path + ": chunk '" + std::string(id, 4) + "' runs past the end of the file";
      return false;
    }
    CByteReader chunk(reader.GetCurrent(), size);
    reader.Skip(size + (size & 1 && reader.GetRemaining() > size ? 1 : 0));
    if (!std::memcmp(id, "fmt ", 4)) {
      const WORD tag = chunk.GetLE16();
      sound.channels = chunk.GetLE16();
      sound.samplesPerSecond = chunk.GetLE32();
      chunk.GetLE32();
      chunk.GetLE16();
      sound.bitsPerSample = chunk.GetLE16();
      if (chunk.HasOverrun() || tag != 1) {
        error = path + ": only uncompressed PCM WAV files can be used";
        return false;
      }
      haveFormat = true;
    } else if (!std::memcmp(id, "data", 4)) {
      if (!haveFormat) break;
      sound.data.assign(chunk.GetCurrent(), chunk.GetCurrent() + size);
      const bool usable = (sound.bitsPerSample == 8 || sound.bitsPerSample == 16) &&
                          (sound.channels == 1 || sound.channels == 2) && sound.samplesPerSecond >= 1000 &&
                          sound.samplesPerSecond <= 192000;
      if (!usable) {
        error = path + ": WAV format not supported (8 or 16 bits, 1 or 2 channels, 1000-192000 Hz)";
        return false;
      }
      const DWORD block = sound.channels * (sound.bitsPerSample / 8u);
      sound.data.resize(sound.data.size() - sound.data.size() % block);
      return true;
    }
  }
  error = path + ": WAV file without a format and data chunk";
  return false;
}
