#include "PngFile.h"

#include <libdeflate.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

void Put32(std::string& out, std::uint32_t v) {
  const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                         static_cast<char>(v)};
  out.append(bytes, 4);
}

void PutChunk(std::string& out, const char* type, const BYTE* data, std::size_t length) {
  Put32(out, static_cast<std::uint32_t>(length));
  const std::size_t start = out.size();
  out.append(type, 4);
  if (length) out.append(reinterpret_cast<const char*>(data), length);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(length + 4));
  Put32(out, static_cast<std::uint32_t>(crc));
}

// Filter byte 2 ("up") and RGB bytes per row, top row first.
void FilterRows(const BYTE* pixels, int width, int height, std::size_t stride, std::vector<BYTE>& out) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  out.resize((rowBytes + 1) * static_cast<std::size_t>(height));
  std::vector<BYTE> previous(rowBytes, 0), current(rowBytes);
  BYTE* o = out.data();
  for (int r = 0; r < height; ++r) {
    const BYTE* s = pixels + static_cast<std::size_t>(height - 1 - r) * stride;
    for (int x = 0; x < width; ++x) {
      current[3 * x] = s[3 * x + 2];
      current[3 * x + 1] = s[3 * x + 1];
      current[3 * x + 2] = s[3 * x];
    }
    *o++ = 2;
    for (std::size_t i = 0; i < rowBytes; ++i) o[i] = static_cast<BYTE>(current[i] - previous[i]);
    o += rowBytes;
    current.swap(previous);
  }
}

struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

bool Deflate(const std::vector<BYTE>& in, std::vector<BYTE>& out, PngDeflate how) {
  if (how == PngDeflate::Libdeflate) {
    thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(1));
    if (!compressor) return false;
    out.resize(libdeflate_zlib_compress_bound(compressor.get(), in.size()));
    const std::size_t n = libdeflate_zlib_compress(compressor.get(), in.data(), in.size(), out.data(), out.size());
    out.resize(n);
    return n > 0;
  }
  if (in.size() > std::numeric_limits<uLong>::max() / 2) return false;
  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, how == PngDeflate::ZlibRle ? Z_RLE : Z_DEFAULT_STRATEGY) != Z_OK)
    return false;
  out.resize(deflateBound(&z, static_cast<uLong>(in.size())));
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return result == Z_STREAM_END;
}

}  // namespace

bool EncodePng(const BYTE* pixels, int width, int height, std::size_t stride, std::string& png, PngDeflate how) {
  png.clear();
  if (!pixels || width <= 0 || height <= 0 || stride < static_cast<std::size_t>(width) * 3) return false;
  // One IDAT chunk: its length must fit in 31 bits.
  if ((static_cast<std::uint64_t>(width) * 3 + 1) * static_cast<std::uint64_t>(height) > 0x7F000000u) return false;
  thread_local std::vector<BYTE> filtered, compressed;
  FilterRows(pixels, width, height, stride, filtered);
  if (!Deflate(filtered, compressed, how)) return false;
  return WrapPng(width, height, compressed.data(), compressed.size(), png);
}

bool WrapPng(int width, int height, const BYTE* compressed, std::size_t length, std::string& png) {
  png.clear();
  if (width <= 0 || height <= 0 || length > 0x7FFFFFFFu) return false;
  png.reserve(length + 64);
  png.append("\x89PNG\r\n\x1a\n", 8);
  BYTE header[13] = {};
  for (int i = 0; i < 4; ++i) {
    header[i] = static_cast<BYTE>(static_cast<std::uint32_t>(width) >> (24 - 8 * i));
    header[4 + i] = static_cast<BYTE>(static_cast<std::uint32_t>(height) >> (24 - 8 * i));
  }
  header[8] = 8;  // bits per component
  header[9] = 2;  // RGB
  PutChunk(png, "IHDR", header, sizeof header);
  PutChunk(png, "IDAT", compressed, length);
  PutChunk(png, "IEND", nullptr, 0);
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    error = "cannot write " + path;
    std::remove(path.c_str());
    return false;
  }
  return true;
}

bool WritePngFrame(const std::string& path, const BYTE* pixels, int width, int height, std::size_t stride,
                   std::string& error) {
  std::string png;
  if (!EncodePng(pixels, width, height, stride, png, PngDeflate::ZlibFast)) {
    error = "cannot encode " + path;
    return false;
  }
  return WriteWholeFile(path, png, error);
}
