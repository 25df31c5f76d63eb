#include "PngFrames.h"

#include <dirent.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/base/Strings.h"

namespace {

// Pictures beyond this many pixels are refused before decoding.
constexpr std::uint64_t kMaxPixels = 8192ull * 8192ull;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ListPngFrames(const std::string& folder, std::vector<std::string>& files, std::string& error) {
  files.clear();
  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    error = "cannot read the folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > 4 && str::EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".png")) {
      files.push_back(folder + "/" + name);
    }
  }
  closedir(dir);
  std::sort(files.begin(), files.end());
  if (files.empty()) error = "no .png files in " + folder;
  return !files.empty();
}

bool LoadPng(const std::string& path, CCanvas& canvas, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_stdio(&image, file.get())) {
    error = path + ": not a readable PNG picture (" + image.message + ")";
    return false;
  }
  if (image.width == 0 || image.height == 0 || static_cast<std::uint64_t>(image.width) * image.height > kMaxPixels) {
    png_image_free(&image);
    error = str::Format("%s: picture size %ux%u not supported", path.c_str(), image.width, image.height);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<BYTE> rows(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rows.data(), 0, nullptr)) {
    error = path + ": PNG data is broken (" + image.message + ")";
    png_image_free(&image);
    return false;
  }
  canvas = CCanvas(static_cast<int>(image.width), static_cast<int>(image.height));
  for (std::size_t i = 0, n = static_cast<std::size_t>(image.width) * image.height; i < n; ++i) {
    canvas.SetPixel(static_cast<int>(i % image.width), static_cast<int>(i / image.width),
                    (static_cast<Rgb>(rows[3 * i]) << 16) | (rows[3 * i + 1] << 8) | rows[3 * i + 2]);
  }
  return true;
}
