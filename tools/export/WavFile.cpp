#include "WavFile.h"

#include <algorithm>
#include <vector>

namespace {

void PutLE(BYTE* p, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

}  // namespace

CWavWriter::~CWavWriter() { Close(); }

bool CWavWriter::Create(const std::string& path, DWORD rate, WORD bits, WORD channels) {
  Close();
  m_file = std::fopen(path.c_str(), "wb");
  if (!m_file) return false;
  m_length = 0;
  m_bits = bits;
  BYTE header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  const WORD block = static_cast<WORD>(channels * (bits / 8));
  PutLE(header + 16, 16, 4);
  PutLE(header + 20, 1, 2);  // PCM
  PutLE(header + 22, channels, 2);
  PutLE(header + 24, rate, 4);
  PutLE(header + 28, rate * block, 4);
  PutLE(header + 32, block, 2);
  PutLE(header + 34, bits, 2);
  header[36] = 'd';
  header[37] = 'a';
  header[38] = 't';
  header[39] = 'a';
  return std::fwrite(header, 1, sizeof(header), m_file) == sizeof(header);
}

bool CWavWriter::Write(const BYTE* bytes, std::size_t length) {
  if (!m_file) return false;
  if (length && std::fwrite(bytes, 1, length, m_file) != length) return false;
  m_length += length;
  return true;
}

bool CWavWriter::PadTo(std::uint64_t length) {
  const std::vector<BYTE> silence(4096, m_bits == 8 ? 0x80 : 0);
  while (m_length < length) {
    const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(silence.size(), length - m_length));
    if (!Write(silence.data(), part)) return false;
  }
  return true;
}

bool CWavWriter::Close() {
  if (!m_file) return true;
  bool ok = true;
  if (m_length & 1) ok = std::fputc(0, m_file) != EOF;  // chunks are word aligned
  BYTE size[4];
  const std::uint32_t data = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_length, 0xFFFFFFD0u));
  PutLE(size, 36 + data + (data & 1), 4);
  ok = ok && std::fseek(m_file, 4, SEEK_SET) == 0 && std::fwrite(size, 1, 4, m_file) == 4;
  PutLE(size, data, 4);
  ok = ok && std::fseek(m_file, 40, SEEK_SET) == 0 && std::fwrite(size, 1, 4, m_file) == 4;
  ok = std::fclose(m_file) == 0 && ok;
  m_file = nullptr;
  return ok;
}
