// A device-independent picture being painted: validated header, row access and
// row conversion to 0x00RRGGBB through lookup tables (16-bit pixels through two
// byte-indexed tables whose entries are OR-ed, 8-bit and below through the
// colour table).
#pragma once

#include <cstdint>

#include "platform/base/WinTypes.h"

namespace gfx_detail {

class CDibSource {
 public:
  // FALSE for a header that cannot be painted: zero or huge sizes, an unknown
  // depth or compression, or an image size smaller than the rows need.
  bool Init(const BITMAPINFO* info, const void* bits);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool TopDown() const { return m_topDown; }
  long Stride() const { return m_stride; }
  // Row r counted from the top of the picture.
  const unsigned char* Row(int r) const {
    return m_bits + (m_topDown ? r : m_height - 1 - r) * m_stride;
  }
  // Converts count pixels from column x0 of a stored row.
  void ConvertRow(const unsigned char* row, int x0, int count, std::uint32_t* out) const;

 private:
  const unsigned char* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
  bool m_topDown = false;
  int m_bpp = 0;
  long m_stride = 0;
  std::uint32_t m_palette[256] = {};
  std::uint32_t m_low[256] = {};
  std::uint32_t m_high[256] = {};
};

}  // namespace gfx_detail
