// Small helpers for drawing-layer tests: memory contexts over bitmaps and
// reading monochrome masks back as rows of '#' (ink) and '.' (paper).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"

namespace gfxtest {

// The header of a 16-bit 5-6-5 picture (negative height: top-down).
inline BITMAPINFO Header565(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_BITFIELDS;
  const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
  std::memcpy(info.bmiColors, masks, sizeof(masks));
  return info;
}

// A memory context with a fresh bitmap of the given depth selected.
struct MemoryCanvas {
  CDC dc;
  CBitmap bitmap;
  CBitmap* previous = nullptr;
  int width;
  int height;

  MemoryCanvas(int w, int h, int bits) : width(w), height(h) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateBitmap(w, h, 1, static_cast<UINT>(bits), nullptr);
    previous = dc.SelectObject(&bitmap);
  }
};

// The 1-bit rows of a monochrome bitmap as GetDIBits gives them, top-down.
inline std::vector<unsigned char> MonoBits(CDC& dc, CBitmap& bitmap, int width, int height, long* strideOut) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colours[2];
  } info{};
  info.h.biSize = sizeof(BITMAPINFOHEADER);
  info.h.biWidth = width;
  info.h.biHeight = -height;
  info.h.biPlanes = 1;
  info.h.biBitCount = 1;
  const long stride = ((width + 31) / 32) * 4;
  std::vector<unsigned char> bits(static_cast<size_t>(stride) * height);
  BITMAPINFO full{};
  full.bmiHeader = info.h;
  dc.GetDIBits(&bitmap, 0, static_cast<UINT>(height), bits.data(), &full, DIB_RGB_COLORS);
  if (strideOut) *strideOut = stride;
  return bits;
}

// Ink pixels of a mono canvas ('#') as text rows; the bitmap is deselected for reading.
inline std::vector<std::string> MaskRows(MemoryCanvas& c) {
  long stride = 0;
  const auto bits = MonoBits(c.dc, c.bitmap, c.width, c.height, &stride);
  std::vector<std::string> rows;
  for (int y = 0; y < c.height; ++y) {
    std::string row;
    for (int x = 0; x < c.width; ++x) {
      const bool paper = (bits[static_cast<size_t>(y) * stride + x / 8] >> (7 - x % 8)) & 1;
      row.push_back(paper ? '.' : '#');
    }
    rows.push_back(row);
  }
  return rows;
}

inline int InkCount(MemoryCanvas& c) {
  int n = 0;
  for (const auto& row : MaskRows(c))
    for (char ch : row) n += ch == '#';
  return n;
}

}  // namespace gfxtest
