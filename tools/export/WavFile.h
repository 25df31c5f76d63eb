// A PCM WAV file written as the sound arrives; the header's lengths are
// filled in when it is closed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/base/WinTypes.h"

class CWavWriter {
 public:
  ~CWavWriter();
  bool Create(const std::string& path, DWORD rate, WORD bits, WORD channels);
  bool Write(const BYTE* bytes, std::size_t length);
  // Pads with silence up to `length` data bytes.
  bool PadTo(std::uint64_t length);
  bool Close();
  std::uint64_t GetDataLength() const { return m_length; }
  WORD GetBits() const { return m_bits; }

 private:
  std::FILE* m_file = nullptr;
  std::uint64_t m_length = 0;
  WORD m_bits = 16;
};
