// Drawing the recorded cursor (at 1x, 2x or 3x with its hot spot kept in
// place) and the click indicator beside it into a composed picture.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/base/DibStride.h"
#include "platform/os/Resources.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/render/RenderPixels.h"
#include "pravex/render/RenderRoot.h"

namespace {

constexpr int kIndicatorSize = 32;      // one image of the strip, square
constexpr int kIndicatorRowBytes = 96;  // 32 pixels x 3 bytes
constexpr int kIndicatorImageBytes = 3072;
constexpr int kIndicatorImages = 4;

bool MaskBit(const BYTE* rowStart, int column) { return (rowStart[column / 8] >> (7 - column % 8)) & 1; }

std::uint32_t LE32(const BYTE* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

// Reads the click indicator strip (a 32 x 128 24-bit BMP) into 96-byte rows,
// top row first. A missing or malformed resource leaves it unloaded.
int CRenderRoot::EnsureMouseBitmap() {
  if (!m_clickImage.empty()) return 1;
  const CResourceBlock block = FindResourceData("BITMAP", kClickIndicatorId);
  if (!block.data || block.size < 54 || block.data[0] != 'B' || block.data[1] != 'M') return 0;
  const BYTE* file = block.data;
  const std::int32_t width = static_cast<std::int32_t>(LE32(file + 18));
  const std::int32_t height = static_cast<std::int32_t>(LE32(file + 22));
  const int bits = file[28] | (file[29] << 8);
  const std::uint32_t colours = LE32(file + 46);
  if (width != kIndicatorSize || height != kIndicatorSize * kIndicatorImages || bits != 24 || colours > 256) return 0;
  const std::size_t rowSize = (static_cast<std::size_t>(bits / 8) * width + 3) & ~std::size_t{3};
  const std::size_t start = 54 + 4 * static_cast<std::size_t>(colours);
  if (start + rowSize * height > block.size) return 0;
  m_clickImage.resize(static_cast<std::size_t>(kIndicatorRowBytes) * height);
  for (int row = 0; row < height; ++row) {
    const BYTE* source = file + start + rowSize * static_cast<std::size_t>(height - 1 - row);
    std::memcpy(m_clickImage.data() + static_cast<std::size_t>(row) * kIndicatorRowBytes, source, kIndicatorRowBytes);
  }
  return 1;
}

void CRenderRoot::RenderRawCursor(unsigned char* pixels, BITMAPINFOHEADER* header, const CRect& limit) {
  if (!pixels || !header || !renderpx::HasOverlays(header->biBitCount)) return;
  if (GetCursorDisplay() == 0) return;
  GetPointerScale();
  CRect clip;
  if (!clip.IntersectRect(CRect(0, 0, header->biWidth, std::abs(header->biHeight)), limit)) return;
  DrawCursorShape(pixels, header, clip);
  DrawClickIndicator(pixels, header, clip);
}

void CRenderRoot::DrawCursorShape(unsigned char* pixels, const BITMAPINFOHEADER* header, const CRect& clip) {
  const CCursorState& c = m_cursor;
  const BYTE* shape = c.GetShapeBits();
  const int w = c.GetWidth();
  const int h = c.GetHeight();
  if (!shape || w <= 0 || h <= 0) return;
  const int s = m_cursorScale;
  CRect cursor(c.GetX(), c.GetY(), c.GetX() + s * w, c.GetY() + s * h);
  cursor.OffsetRect(-(s - 1) * c.GetHotX(), -(s - 1) * c.GetHotY());
  CRect draw;
  if (!draw.IntersectRect(cursor, clip)) return;
  const int bits = header->biBitCount;
  const std::size_t stride = DibStride(static_cast<DWORD>(header->biWidth), static_cast<WORD>(bits));
  // Shape rows are stored unpadded, as the cursor records carry them.
  const std::size_t maskRow = CCaptureCursor::MaskRowBytes(static_cast<std::uint64_t>(w));
  const std::size_t colourRow =
      CCaptureCursor::ColourRowBytes(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(c.GetBitCount()));
  const BYTE* andMask = shape;
  const BYTE* xorMask = shape + c.GetShapeSize() / 2;
  const BYTE* colourBits = shape + c.GetColourOffset();
  for (int y = draw.top; y < draw.bottom; ++y) {
    const int r = (y - cursor.top) / s;
    BYTE* row = pixels + static_cast<std::size_t>(y) * stride;
    for (int x = draw.left; x < draw.right; ++x) {
      const int col = (x - cursor.left) / s;
      const bool andBit = MaskBit(andMask + r * maskRow, col);
      if (c.IsColour()) {
        if (andBit) continue;
        WORD value = 0;
        if (c.GetBitCount() == 16) {
          const BYTE* p = colourBits + r * colourRow + 2 * col;
          value = static_cast<WORD>(p[0] | (p[1] << 8));
        }
        renderpx::Put565(row, x, bits, value);
        continue;
      }
      const bool xorBit = MaskBit(xorMask + r * maskRow, col);
      if (!andBit)
        renderpx::Put565(row, x, bits, xorBit ? 0xFFFF : 0x0000);
      else if (xorBit)
        renderpx::Invert(row, x, bits);
    }
  }
}

void CRenderRoot::DrawClickIndicator(unsigned char* pixels, const BITMAPINFOHEADER* header, const CRect& clip) {
  const int display = GetCursorDisplay();
  BYTE state = m_cursor.GetClickState();
  if (display == 3 && m_clickActive) state = m_heldClick;
  if ((display != 2 && display != 3) || state == 0) return;
  const int s = m_cursorScale;
  const CRect box(m_cursor.GetX() - kIndicatorSize * s, m_cursor.GetY(), m_cursor.GetX(),
                  m_cursor.GetY() + kIndicatorSize * s);
  CRect draw;
  if (!EnsureMouseBitmap() || !draw.IntersectRect(box, clip)) return;
  const BYTE* key = m_clickImage.data();
  const int bits = header->biBitCount;
  const std::size_t stride = DibStride(static_cast<DWORD>(header->biWidth), static_cast<WORD>(bits));
  for (int image = 0; image < kIndicatorImages; ++image) {
    if (image > 0 && !(state & (1 << (image - 1)))) continue;
    const BYTE* base = m_clickImage.data() + image * kIndicatorImageBytes;
    for (int y = draw.top; y < draw.bottom; ++y) {
      const BYTE* srcRow = base + ((y - box.top) / s) * kIndicatorRowBytes;
      BYTE* row = pixels + static_cast<std::size_t>(y) * stride;
      for (int x = draw.left; x < draw.right; ++x) {
        const BYTE* p = srcRow + 3 * ((x - box.left) / s);
        if (p[0] == key[0] && p[1] == key[1] && p[2] == key[2]) continue;
        // Stored order is blue, green, red.
        renderpx::Put565(row, x, bits, static_cast<WORD>(((p[2] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[0] >> 3)));
      }
    }
  }
}
