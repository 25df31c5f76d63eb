#include "PngBands.h"

#include <zlib.h>

#include <limits>
#include <memory>

#include "PngFile.h"

namespace {

// One raw deflate stream per thread, reset for every band.
struct BandStream {
  z_stream z{};
  bool ready = false;
  BandStream() { ready = deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK; }
  ~BandStream() {
    if (ready) deflateEnd(&z);
  }
  BandStream(const BandStream&) = delete;
  BandStream& operator=(const BandStream&) = delete;
};

// Blue-green-red to red-green-blue, one packed row.
void ToRgb(const BYTE* bgr, int width, BYTE* rgb) {
  for (int x = 0; x < width; ++x) {
    rgb[3 * x] = bgr[3 * x + 2];
    rgb[3 * x + 1] = bgr[3 * x + 1];
    rgb[3 * x + 2] = bgr[3 * x];
  }
}

}  // namespace

bool DeflatePngBand(const BYTE* above, const BYTE* rows, int width, int count, PngBand& band) {
  band = PngBand();
  if (!rows || width <= 0 || count <= 0) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  const std::uint64_t length = (rowBytes + 1) * static_cast<std::uint64_t>(count);
  if (length > std::numeric_limits<uInt>::max() / 2) return false;
  thread_local std::vector<BYTE> filtered, previous, current;
  filtered.resize(static_cast<std::size_t>(length));
  previous.assign(rowBytes, 0);
  current.resize(rowBytes);
  if (above) ToRgb(above, width, previous.data());
  BYTE* out = filtered.data();
  for (int r = 0; r < count; ++r) {
    ToRgb(rows + static_cast<std::size_t>(r) * rowBytes, width, current.data());
    *out++ = 2;  // "up"
    for (std::size_t i = 0; i < rowBytes; ++i) out[i] = static_cast<BYTE>(current[i] - previous[i]);
    out += rowBytes;
    current.swap(previous);
  }
  thread_local BandStream stream;
  if (!stream.ready || deflateReset(&stream.z) != Z_OK) return false;
  z_stream& z = stream.z;
  // Room for the worst case and the flush's empty block.
  band.deflated.resize(deflateBound(&z, static_cast<uLong>(length)) + 16);
  z.next_in = filtered.data();
  z.avail_in = static_cast<uInt>(length);
  z.next_out = reinterpret_cast<Bytef*>(band.deflated.data());
  z.avail_out = static_cast<uInt>(band.deflated.size());
  // A sync flush ends on a byte boundary and leaves the stream open: the next
  // band's bytes follow on directly.
  const int result = deflate(&z, Z_SYNC_FLUSH);
  if (result != Z_OK || z.avail_in != 0 || z.avail_out == 0) return false;
  band.deflated.resize(band.deflated.size() - z.avail_out);
  band.adler = static_cast<std::uint32_t>(adler32(1, filtered.data(), static_cast<uInt>(length)));
  band.length = length;
  return true;
}

bool AssemblePng(int width, int height, const std::vector<const PngBand*>& bands, std::string& png) {
  png.clear();
  if (width <= 0 || height <= 0 || bands.empty()) return false;
  std::uint64_t length = 0, total = 0;
  uLong adler = 1;
  for (const PngBand* band : bands) {
    if (!band || band->length == 0) return false;
    adler = adler32_combine(adler, band->adler, static_cast<z_off_t>(band->length));
    length += band->deflated.size();
    total += band->length;
  }
  // The filtered rows the bands hold must be the picture's, and fit one chunk.
  if (total != (static_cast<std::uint64_t>(width) * 3 + 1) * static_cast<std::uint64_t>(height) ||
      length > 0x7F000000u)
    return false;
  thread_local std::vector<BYTE> zlib;
  zlib.clear();
  zlib.reserve(static_cast<std::size_t>(length) + 11);
  zlib.push_back(0x78);  // deflate, 32 KB window
  zlib.push_back(0x01);  // fastest; the header's check
  for (const PngBand* band : bands) zlib.insert(zlib.end(), band->deflated.begin(), band->deflated.end());
  // The last block: empty, stored, final.
  static const BYTE kClose[5] = {0x01, 0x00, 0x00, 0xFF, 0xFF};
  zlib.insert(zlib.end(), kClose, kClose + 5);
  for (int shift = 24; shift >= 0; shift -= 8) zlib.push_back(static_cast<BYTE>(adler >> shift));
  return WrapPng(width, height, zlib.data(), zlib.size(), png);
}
