#include "CaptureTestUtil.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>

#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "tests/common/TestEnvironment.h"

namespace capturetest {

std::vector<BYTE> RandomPicture(DWORD width, DWORD height, WORD bits, unsigned seed) {
  std::vector<BYTE> picture(DibImageSize(width, height, bits));
  std::mt19937 rng(seed);
  // Mostly short runs of equal bytes, so that every code kind appears.
  for (std::size_t i = 0; i < picture.size();) {
    const BYTE value = static_cast<BYTE>(rng());
    std::size_t run = (rng() % 4 == 0) ? 1 + rng() % 40 : 1;
    for (; run > 0 && i < picture.size(); --run) picture[i++] = value;
  }
  return picture;
}

std::vector<BYTE> DesktopPicture(DWORD width, DWORD height, WORD bits, int frame) {
  const std::size_t stride = DibStride(width, bits);
  const int bytes = bits / 8;
  std::vector<BYTE> picture(stride * height, 0);
  auto put = [&](DWORD x, DWORD y, DWORD colour) {
    if (x >= width || y >= height) return;
    BYTE* p = picture.data() + y * stride + x * bytes;
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<BYTE>(colour >> (8 * i));
  };
  auto box = [&](DWORD l, DWORD t, DWORD r, DWORD b, DWORD colour) {
    for (DWORD y = t; y < b; ++y)
      for (DWORD x = l; x < r; ++x) put(x, y, colour);
  };
  box(0, 0, width, height, 0x3A6EA5);
  const DWORD wx = 4 + static_cast<DWORD>(frame) % 7, wy = 3;
  box(wx, wy, wx + width / 2, wy + height / 2, 0xFFFFFF);
  box(wx, wy, wx + width / 2, wy + 3, 0x000080);
  for (int c = 0; c < frame % 9; ++c) box(wx + 2 + c * 3, wy + 5, wx + 4 + c * 3, wy + 7, 0x101010);
  for (DWORD y = height - 4; y < height; ++y)
    for (DWORD x = width - 6; x < width; ++x) put(x, y, (x * 2654435761u + y * 40503u + frame) & 0xFFFFFF);
  return picture;
}

bool SamePixels(const BYTE* a, const BYTE* b, DWORD width, DWORD height, WORD bits) {
  const std::size_t stride = DibStride(width, bits);
  const std::size_t row = static_cast<std::size_t>(width) * (bits / 8);
  for (DWORD y = 0; y < height; ++y) {
    if (std::memcmp(a + y * stride, b + y * stride, row) != 0) return false;
  }
  return true;
}

CCaptureData* MakePlainRecord(DWORD type, WORD stream, DWORD time, const std::vector<BYTE>& payload) {
  auto* record = new CCaptureData(type, stream, time);
  record->SetDataCopy(payload.data(), static_cast<DWORD>(payload.size()));
  return record;
}

std::vector<BYTE> ScreenPayload::Bytes() const {
  std::vector<BYTE> out;
  CByteWriter w(out);
  w.PutLE16(headerSize);
  w.PutLE16(version);
  w.PutLE32(storedLength == 0xFFFFFFFF ? static_cast<DWORD>(data.size()) : storedLength);
  w.PutLE32(uncompressed);
  w.PutLE16(compression);
  w.PutLE32(width);
  w.PutLE32(height);
  w.PutLE16(bits);
  w.PutLE32(0);
  w.PutLE16(encoding);
  w.PutLE16(0);
  w.PutLE16(static_cast<WORD>(width));
  w.PutLE16(0);
  w.PutLE16(static_cast<WORD>(height));
  while (out.size() < headerSize) out.push_back(0);
  w.PutBytes(data.data(), data.size());
  return out;
}

std::string WriteSimpleCapture(const std::string& dir, const std::vector<DWORD>& times, DWORD width, DWORD height,
                               int keyEvery) {
  const std::string path = dir + "/simple.zeph";
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(capture::kStreamScreen, width, height);
  for (std::size_t i = 0; i < times.size(); ++i) {
    const auto picture = DesktopPicture(width, height, 16, static_cast<int>(i));
    writer.AddScreenPicture(times[i], picture.data(), width, height, 16, i % keyEvery == 0);
  }
  writer.AddInfo("CaptureFile_Version|2;Title|Simple", false);
  writer.Finish();
  return path;
}

std::vector<BYTE> ReadBytes(const std::string& path) {
  const std::string s = testenv::ReadFile(path);
  return std::vector<BYTE>(s.begin(), s.end());
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
  testenv::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

CCaptureAudio* MakeAudioBlock(WORD codec, DWORD time, DWORD position, const std::vector<BYTE>& data, DWORD decoded,
                              DWORD rate, WORD bits, WORD channels) {
  auto* block = new CCaptureAudio;
  block->SetTime(time);
  block->SetFormat(CaptureAudioFormat{codec, rate, bits, channels});
  block->SetStreamPosition(position);
  block->SetDecodedLength(decoded);
  block->SetAnchor(0, 0);
  block->SetDataCopy(data.data(), static_cast<DWORD>(data.size()));
  return block;
}

std::vector<BYTE> TonePcm16(DWORD first, DWORD count, double hertz, DWORD rate, double amplitude) {
  std::vector<BYTE> pcm(static_cast<std::size_t>(count) * 2);
  for (DWORD i = 0; i < count; ++i) {
    const auto s = static_cast<short>(std::lround(amplitude * std::sin(2 * M_PI * hertz * (first + i) / rate)));
    pcm[2 * i] = static_cast<BYTE>(s & 0xFF);
    pcm[2 * i + 1] = static_cast<BYTE>((s >> 8) & 0xFF);
  }
  return pcm;
}

bool WriteToneCapture(const std::string& path, DWORD blocks, DWORD toneFrom, DWORD toneTo) {
  CCaptureFileWriter writer;
  if (!writer.Create(path)) return false;
  writer.AddStream(capture::kStreamScreen, 16, 8);
  writer.AddStream(capture::kStreamAudio);
  const auto picture = DesktopPicture(16, 8, 16, 0);
  if (!writer.AddScreenPicture(0, picture.data(), 16, 8, 16, true)) return false;
  for (DWORD b = 0; b < blocks; ++b) {
    const bool sounding = b >= toneFrom && b < toneTo;
    CCaptureAudio* block = MakeAudioBlock(CCaptureAudio::kCodecPcm, b * 100, b * 1600,
                                          TonePcm16(b * 800, 800, 440, 8000, sounding ? 10000 : 0), 1600);
    const bool written = writer.WriteRecord(*block);
    block->Release();
    if (!written) return false;
  }
  return writer.AddScreenPicture(blocks * 100, picture.data(), 16, 8, 16, false) && writer.Finish();
}

void PutLE32At(std::vector<BYTE>& bytes, std::size_t offset, DWORD value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<BYTE>(value >> (8 * i));
}

void PutLE16At(std::vector<BYTE>& bytes, std::size_t offset, WORD value) {
  bytes.at(offset) = static_cast<BYTE>(value);
  bytes.at(offset + 1) = static_cast<BYTE>(value >> 8);
}

}  // namespace capturetest
