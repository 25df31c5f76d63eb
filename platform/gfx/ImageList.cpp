#include "platform/gfx/ImageList.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"

namespace {

constexpr int kMaxSide = 4096;
// The most pixels a list keeps in all (256 MiB of images and masks at most).
constexpr std::size_t kMaxPixels = std::size_t{48} << 20;

std::uint32_t Xrgb(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// The colour as a bitmap of `bits` per pixel stores it, so that a mask colour
// given in full precision still matches a 5-6-5 picture.
std::uint32_t AsStored(std::uint32_t xrgb, int bits) {
  if (bits != 16) return xrgb;
  const std::uint32_t r = (xrgb >> 19) & 0x1F, g = (xrgb >> 10) & 0x3F, b = (xrgb >> 3) & 0x1F;
  return (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

BITMAPINFO Header32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (IsCreated() || cx < 1 || cy < 1 || cx > kMaxSide || cy > kMaxSide) return FALSE;
  m_cx = cx;
  m_cy = cy;
  m_flags = flags;
  m_grow = std::clamp(grow, 1, 256);
  m_images.reserve(static_cast<std::size_t>(std::clamp(initial, 0, 256)));
  return TRUE;
}

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask) {
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(bitmapId)) return FALSE;
  if (!Create(cx, bitmap.GetHeight(), ILC_COLOR24 | ILC_MASK, 0, grow)) return FALSE;
  if (Add(&bitmap, mask) < 0) {
    DeleteImageList();
    return FALSE;
  }
  return TRUE;
}

BOOL CImageList::DeleteImageList() {
  if (!IsCreated()) return FALSE;
  m_images.clear();
  m_cx = m_cy = 0;
  m_flags = 0;
  m_background = CLR_NONE;
  return TRUE;
}

BOOL CImageList::GetIconSize(int* cx, int* cy) const {
  if (!IsCreated() || !cx || !cy) return FALSE;
  *cx = m_cx;
  *cy = m_cy;
  return TRUE;
}

int CImageList::Add(CBitmap* bitmap, COLORREF mask) {
  if (!IsCreated() || !bitmap || !bitmap->IsCreated()) return -1;
  const int width = bitmap->GetWidth();
  const int height = bitmap->GetHeight();
  const int count = width / m_cx;
  if (count < 1 || height < 1) return -1;
  const std::size_t cell = static_cast<std::size_t>(m_cx) * static_cast<std::size_t>(m_cy);
  if ((m_images.size() + static_cast<std::size_t>(count)) * cell > kMaxPixels) return -1;

  // Read the strip's top rows as 32-bit pixels.
  const int rows = std::min(height, m_cy);
  std::vector<std::uint32_t> strip(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows));
  BITMAPINFO info = Header32(width, height);
  CDC dc;
  if (!dc.CreateCompatibleDC(nullptr) ||
      dc.GetDIBits(bitmap, 0, static_cast<UINT>(rows), strip.data(), &info, DIB_RGB_COLORS) != rows)
    return -1;

  const bool masked = (m_flags & ILC_MASK) != 0;
  const bool useMask = masked && mask != CLR_NONE;
  const std::uint32_t key = AsStored(Xrgb(mask), bitmap->GetBitsPixel());
  const int first = static_cast<int>(m_images.size());
  if (m_images.capacity() < m_images.size() + static_cast<std::size_t>(count))
    m_images.reserve(m_images.size() + static_cast<std::size_t>(std::max(count, m_grow)));
  for (int i = 0; i < count; ++i) {
    Image image;
    image.pixels.assign(cell, 0);
    image.opaque.assign(cell, masked ? 0 : 1);
    for (int y = 0; y < rows; ++y) {
      const std::uint32_t* from =
          strip.data() + static_cast<std::size_t>(y) * width + static_cast<std::size_t>(i) * m_cx;
      for (int x = 0; x < m_cx; ++x) {
        const std::uint32_t v = from[x] & 0xFFFFFF;
        const std::size_t at = static_cast<std::size_t>(y) * m_cx + x;
        const bool transparent = useMask && v == key;
        // A transparent pixel is stored black, as the mask's partner image is.
        image.pixels[at] = transparent ? 0 : v;
        image.opaque[at] = transparent ? 0 : 1;
      }
    }
    m_images.push_back(std::move(image));
  }
  return first;
}

BOOL CImageList::Remove(int index) {
  if (!IsCreated()) return FALSE;
  if (index == -1) {
    m_images.clear();
    return TRUE;
  }
  if (index < 0 || index >= GetImageCount()) return FALSE;
  m_images.erase(m_images.begin() + index);
  return TRUE;
}

COLORREF CImageList::SetBkColor(COLORREF colour) {
  const COLORREF old = m_background;
  m_background = colour;
  return old;
}

BOOL CImageList::Draw(CDC* dc, int index, POINT point, UINT style) {
  if (!dc || !IsCreated() || index < 0 || index >= GetImageCount()) return FALSE;
  const Image& image = m_images[static_cast<std::size_t>(index)];
  const bool drawMask = (style & ILD_MASK) != 0;
  const bool fill = !drawMask && !(style & ILD_TRANSPARENT) && m_background != CLR_NONE && m_background != CLR_DEFAULT;
  std::vector<std::uint32_t> cell = image.pixels;
  bool allOpaque = true;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (drawMask) {
      cell[i] = image.opaque[i] ? 0 : 0xFFFFFF;
    } else if (!image.opaque[i]) {
      if (fill)
        cell[i] = Xrgb(m_background);
      else
        allOpaque = false;
    }
  }
  if (drawMask || allOpaque) {
    BITMAPINFO info = Header32(m_cx, m_cy);
    dc->SetDIBitsToDevice(point.x, point.y, m_cx, m_cy, 0, 0, 0, static_cast<UINT>(m_cy), cell.data(), &info,
                          DIB_RGB_COLORS);
    return TRUE;
  }
  // Masked: copy each run of drawn pixels, leaving the rest untouched.
  for (int y = 0; y < m_cy; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * m_cx;
    int x = 0;
    while (x < m_cx) {
      while (x < m_cx && !image.opaque[row + x]) ++x;
      const int start = x;
      while (x < m_cx && image.opaque[row + x]) ++x;
      if (x > start) {
        BITMAPINFO info = Header32(x - start, 1);
        dc->SetDIBitsToDevice(point.x + start, point.y + y, x - start, 1, 0, 0, 0, 1, cell.data() + row + start, &info,
                              DIB_RGB_COLORS);
      }
    }
  }
  return TRUE;
}
