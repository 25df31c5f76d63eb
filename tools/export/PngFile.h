// Writes 24-bit frames (bottom-up BGR rows, as the extractor renders them)
// as RGB PNG files. Rows are "up"-filtered (screen content repeats from row
// to row) and deflated at the fastest setting; the deflate implementation is
// selectable so that the benchmark can compare them (bench/RenderExtract.cpp).
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/WinTypes.h"

enum class PngDeflate {
  Libdeflate,  // libdeflate at level 1: the smallest files
  ZlibFast,    // zlib at level 1: the fastest on "up"-filtered screen frames (the default)
  ZlibRle,     // zlib at level 1 with run-length matches only
};

// The PNG file's bytes for a frame; false when the frame cannot be encoded.
bool EncodePng(const BYTE* bottomUpBgr, int width, int height, std::size_t stride, std::string& png,
               PngDeflate deflate = PngDeflate::ZlibFast);

// The PNG file of a width x height RGB picture from its zlib-compressed,
// filtered rows; false when they do not fit in one chunk.
bool WrapPng(int width, int height, const BYTE* compressed, std::size_t length, std::string& png);

// Writes bytes to a file; on failure the partial file is removed.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error);

bool WritePngFrame(const std::string& path, const BYTE* bottomUpBgr, int width, int height, std::size_t stride,
                   std::string& error);
