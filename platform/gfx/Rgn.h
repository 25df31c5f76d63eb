// A region: a set of pixels made from rectangles and polygons, combined with
// and, or, xor and difference; used as a clip region of a device context.
#pragma once

#include <memory>

#include "platform/gfx/GdiObject.h"

namespace gfx_detail {
struct RegionData;
}

class CRgn : public CGdiObject {
 public:
  CRgn();
  ~CRgn() override;

  BOOL CreateRectRgn(int left, int top, int right, int bottom);
  BOOL CreateRectRgnIndirect(const RECT* rect);
  // Pixels whose centres lie inside the polygon (WINDING or ALTERNATE fill).
  BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode);
  BOOL CreateEllipticRgn(int left, int top, int right, int bottom);
  void SetRectRgn(int left, int top, int right, int bottom);
  // this = a (mode) b; returns NULLREGION, SIMPLEREGION, COMPLEXREGION or RGN_ERROR.
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  int CopyRgn(const CRgn* source);
  int OffsetRgn(int dx, int dy);
  BOOL PtInRegion(int x, int y) const;
  BOOL RectInRegion(const RECT* rect) const;
  BOOL EqualRgn(const CRgn* other) const;
  int GetRgnBox(RECT* box) const;
  // The region's rectangles (disjoint, sorted by rows); count returned.
  int GetRectCount() const;
  BOOL GetRect(int index, RECT* out) const;

  BOOL IsCreated() const override { return m_data != nullptr; }
  BOOL DeleteObject() override;

  const std::shared_ptr<gfx_detail::RegionData>& Data() const { return m_data; }

 private:
  std::shared_ptr<gfx_detail::RegionData> m_data;
};
