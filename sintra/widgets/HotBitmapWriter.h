// Writes skin bitmap files (docs/skin-bitmap.md) that CHotBitmap loads: a
// picture at 8, 16 or 24 bits, stored plain or zlib-compressed, and hot-spot
// records with their masks, tooltips and look images. Used by olvane-mkskin,
// by the tests and to make the fuzzer's seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sintra/widgets/HotBitmap.h"

class CHotBitmapWriter {
 public:
  // A picture of width x height pixels at 8, 16 or 24 bits, black at first.
  CHotBitmapWriter(int width, int height, int bits);

  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetBits() const { return m_bits; }
  // The pixel value of a colour at this depth (8 bits: the fixed palette's
  // colour cube, 16 bits: 5-6-5, 24 bits: blue, green, red).
  std::uint32_t PixelOf(COLORREF colour) const;
  // Drawing into the picture, top-down coordinates, clipped to the picture.
  void FillRect(const CRect& rect, COLORREF colour);
  void SetPixel(int x, int y, COLORREF colour);
  COLORREF GetPixelValue(int x, int y) const;

  // An image for a spot's rectangle filled with one colour, in the file's layout.
  std::vector<BYTE> SolidImage(const CRect& rect, COLORREF colour) const;
  // The image of that rectangle as the picture shows it now.
  std::vector<BYTE> CutImage(const CRect& rect) const;
  // A mask for a spot's rectangle: bit set (not hit) outside the ellipse in it.
  static std::vector<BYTE> EllipseMask(const CRect& rect);

  // Appends a hot spot; returns its index.
  int AddSpot(const CHotSpot& spot);
  void SetCompressed(bool on) { m_compressed = on; }
  // Rows padded to 4 bytes in the file instead of packed.
  void SetPaddedRows(bool on) { m_padded = on; }
  // Writes the picture-only form (no spot section at all).
  void SetPictureOnly(bool on) { m_pictureOnly = on; }
  void SetMarker(BYTE marker) { m_marker = marker; }

  std::vector<BYTE> Build() const;
  bool WriteFile(const std::string& path) const;

 private:
  std::size_t RowLength() const { return static_cast<std::size_t>(m_width) * (m_bits / 8); }
  void PutPixel(std::vector<BYTE>& rows, std::size_t rowBytes, int height, int x, int y, std::uint32_t v) const;

  int m_width;
  int m_height;
  int m_bits;
  std::vector<BYTE> m_pixels;  // bottom-up, packed rows
  std::vector<CHotSpot> m_spots;
  bool m_compressed = false;
  bool m_padded = false;
  bool m_pictureOnly = false;
  BYTE m_marker = CHotBitmap::kMarker;
};
