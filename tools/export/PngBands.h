// A PNG frame's picture data in bands of rows, so that a band whose rows are
// as in the frame before keeps its compressed bytes. Each band is "up"-
// filtered and deflated on its own (zlib, fastest level) and ends on a byte
// boundary without closing the stream: the bands of a frame, one after the
// other, are one deflate stream. The file is put together from them with the
// stream's header, a closing empty block and the checksum combined from the
// bands' own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

// Rows per band: small enough that a change redoes little, large enough that
// each band compresses about as well as the whole.
constexpr int kPngBandRows = 16;

struct PngBand {
  std::string deflated;       // the band's compressed bytes, byte-aligned, stream left open
  std::uint32_t adler = 1;    // zlib checksum of the band's filtered bytes alone
  std::uint64_t length = 0;   // the filtered bytes' count
};

// Filters and deflates `count` rows of `width` blue-green-red pixels, given
// top row first and packed (width x 3 bytes each); `above` is the row above
// the first (null for the picture's top row).
bool DeflatePngBand(const BYTE* above, const BYTE* rows, int width, int count, PngBand& band);

// The PNG file of a width x height frame from its bands, top band first.
bool AssemblePng(int width, int height, const std::vector<const PngBand*>& bands, std::string& png);
