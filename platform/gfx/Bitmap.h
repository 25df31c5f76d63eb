// A device-dependent bitmap that a memory device context draws into: 1-bit
// monochrome (ink and paper, for masks), 16-bit 5-6-5, 24-bit or 32-bit colour.
#pragma once

#include <memory>

#include "platform/base/Point.h"
#include "platform/gfx/GdiObject.h"

namespace gfx_detail {
struct BitmapData;
}

class CDC;

class CBitmap : public CGdiObject {
 public:
  CBitmap();
  ~CBitmap() override;

  // A bitmap of width x height at 1, 16, 24 or 32 bits per pixel (planes must be
  // 1). With bits, rows are read as the device-dependent layout: 16-bit aligned
  // rows, 1-bit most significant bit first with 1 = paper (white). Without bits
  // the bitmap starts black. FALSE for a bad size or depth, or out of memory.
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  // A bitmap in the format of what dc draws into: a memory context gives the
  // depth of its selected bitmap (monochrome while none was selected), any other
  // context 32 bits.
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  // Loads a Windows BMP file image (1, 4, 8, 16, 24 or 32 bits, either row order)
  // as a 32-bit bitmap; FALSE for a malformed image.
  BOOL LoadFromBmpData(const BYTE* data, unsigned long size);
  // Loads a built-in bitmap resource (type BITMAP) by id.
  BOOL LoadBitmap(UINT resourceId);

  int GetBitmap(BITMAP* out) const;
  CSize GetBitmapDimension() const { return m_dimension; }
  CSize SetBitmapDimension(int cx, int cy);
  int GetWidth() const;
  int GetHeight() const;
  int GetBitsPixel() const;

  BOOL IsCreated() const override { return m_data != nullptr; }
  BOOL DeleteObject() override;

  const std::shared_ptr<gfx_detail::BitmapData>& Data() const { return m_data; }

 private:
  std::shared_ptr<gfx_detail::BitmapData> m_data;
  CSize m_dimension;
};
