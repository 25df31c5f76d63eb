// CImageList: a row of equally sized pictures cut from bitmap strips, drawn
// by index, optionally with a mask colour whose pixels let the background
// show through (digit cells, button glyphs, corner images).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/Point.h"
#include "platform/gfx/Gdi.h"

class CBitmap;

// Creation flags.
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

// Drawing styles.
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_MASK = 0x0010;

// Background colours of SetBkColor.
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

class CImageList {
 public:
  CImageList() = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  // An empty list of cx x cy images. `initial` and `grow` only size the
  // first allocation. FALSE for a size outside 1..4096 or a list that exists.
  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  // A 24-bit masked list of cx-wide images cut from a bitmap resource (the
  // image height is the bitmap's height).
  BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
  BOOL DeleteImageList();
  BOOL IsCreated() const { return m_cx > 0; }
  const CImageList* GetSafeHandle() const { return IsCreated() ? this : nullptr; }

  // Cuts the bitmap into width / cx images (its top cy rows; missing rows are
  // transparent in a masked list, black otherwise) and appends them. In a
  // masked list, pixels of `mask` become transparent. Returns the index of the
  // first new image, -1 when nothing could be added.
  int Add(CBitmap* bitmap, COLORREF mask = CLR_NONE);
  // Removes one image, or all with -1.
  BOOL Remove(int index);
  int GetImageCount() const { return static_cast<int>(m_images.size()); }
  BOOL GetIconSize(int* cx, int* cy) const;

  // Draws image `index` with its top-left corner at `point`. Masked pixels keep
  // what is under them, except with ILD_NORMAL and a background colour set,
  // which fills them; ILD_MASK draws the mask (black opaque, white
  // transparent). An index outside the list draws nothing and gives FALSE.
  BOOL Draw(CDC* dc, int index, POINT point, UINT style);
  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const { return m_background; }

 private:
  struct Image {
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down rows of cx
    std::vector<std::uint8_t> opaque;   // 1 where the pixel is drawn
  };
  int m_cx = 0;
  int m_cy = 0;
  UINT m_flags = 0;
  int m_grow = 4;
  COLORREF m_background = CLR_NONE;
  std::vector<Image> m_images;
};
