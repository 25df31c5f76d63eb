#include "JpegEncoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

// The library's default error handler ends the process; this one jumps back
// to the encoder with the message.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Runs the compression; kept apart so that no C++ object with a destructor
// lives in the frame longjmp returns to.
bool Compress(jpeg_compress_struct& cinfo, ErrorManager& errors, const BYTE* rows, int width, int height, int quality,
              unsigned char** buffer, unsigned long* size) {
  if (setjmp(errors.jump)) return false;
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rows + stride * cinfo.next_scanline);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

bool EncodeJpeg(const std::vector<BYTE>& rgbRows, int width, int height, int quality, std::vector<BYTE>& out,
                std::string& error) {
  if (width <= 0 || height <= 0 || rgbRows.size() < static_cast<std::size_t>(width) * height * 3) {
    error = "camera picture has no pixels";
    return false;
  }
  jpeg_compress_struct cinfo{};
  ErrorManager errors{};
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = Compress(cinfo, errors, rgbRows.data(), width, height, quality, &buffer, &size);
  jpeg_destroy_compress(&cinfo);
  if (ok)
    out.assign(buffer, buffer + size);
  else
    error = std::string("JPEG compression failed: ") + errors.message;
  std::free(buffer);
  return ok;
}
