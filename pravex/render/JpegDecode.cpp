// JPEG camera frames from memory through libjpeg-turbo, with the library's
// fatal errors routed back here instead of ending the process.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "platform/base/DibStride.h"
#include "pravex/render/VideoState.h"

namespace {

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  std::longjmp(error->jump, 1);
}

void QuietMessage(j_common_ptr) {}

// Turns a decoded RGB row into BGR order in place.
void SwapToBgr(BYTE* row, DWORD width) {
  for (DWORD x = 0; x < width; ++x) {
    const BYTE red = row[3 * x];
    row[3 * x] = row[3 * x + 2];
    row[3 * x + 2] = red;
  }
}

}  // namespace

bool DecodeJpegToDib(const BYTE* data, DWORD length, DWORD width, DWORD height, BYTE* out, std::uint64_t outSize) {
  if (!data || !length || !out || DibImageSize(width, height, 24) > outSize) return false;
  const std::uint64_t stride = DibStride(width, 24);
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.output_message = QuietMessage;
  // Locals touched after setjmp live in info (volatile-free), so a jump back
  // only needs the decompressor destroyed.
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, const_cast<unsigned char*>(data), length);
  bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
  if (ok) {
    info.out_color_space = JCS_RGB;
    ok = jpeg_start_decompress(&info) != 0;
  }
  if (ok && (info.output_width != width || info.output_height != height || info.output_components != 3)) {
    ok = false;
  }
  if (ok) {
    while (info.output_scanline < info.output_height) {
      const DWORD line = info.output_scanline;
      BYTE* row = out + (height - 1 - line) * stride;
      JSAMPROW target = row;
      if (jpeg_read_scanlines(&info, &target, 1) != 1) break;
      SwapToBgr(row, width);
    }
    ok = info.output_scanline == info.output_height;
    if (ok) jpeg_finish_decompress(&info);
  }
  jpeg_destroy_decompress(&info);
  return ok;
}
