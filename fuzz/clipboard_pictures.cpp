// Pictures other programs put on the clipboard: packed pictures, BMP files
// and PNG data (the first byte picks the reader). Whatever is accepted must be
// a consistent picture that survives being written and read back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/os/PackedDib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  const uint8_t* body = data + 1;
  const size_t length = size - 1;
  os::CRgbPicture picture;
  bool ok = false;
  switch (data[0] % 3) {
    case 0:
      ok = os::ReadPackedDib(body, length, picture);
      break;
    case 1:
      ok = os::ReadBmpFile(body, length, picture);
      break;
    default:
      ok = os::ReadPngData(body, length, picture);
      break;
  }
  if (!ok) return 0;
  if (!os::IsValidPicture(picture)) std::abort();
  // Small pictures only: the round trips below are about exactness, not size.
  if (picture.pixels.size() > 4096) return 0;
  const std::vector<uint8_t> dib = os::WritePackedDib24(picture);
  os::CRgbPicture back;
  if (!os::ReadPackedDib(dib.data(), dib.size(), back) || back.pixels != picture.pixels) std::abort();
  const std::vector<uint8_t> png = os::WritePngData(picture);
  if (!os::ReadPngData(png.data(), png.size(), back) || back.pixels != picture.pixels) std::abort();
  return 0;
}
