// A set of non-overlapping rectangles: the area of a window waiting to be
// painted, and the clip of one window's paint (update area less the children
// and siblings it must not paint over).
#pragma once

#include <vector>

#include "platform/base/Rect.h"

class CUpdateRegion {
 public:
  void Add(const CRect& rect);
  void Subtract(const CRect& rect);
  void Intersect(const CRect& rect);
  void Offset(int dx, int dy);
  void Clear() { m_rects.clear(); }
  bool IsEmpty() const { return m_rects.empty(); }
  CRect Bounds() const;
  const std::vector<CRect>& Rects() const { return m_rects; }

 private:
  // Adds the parts of `rect` outside `cut` to `out`.
  static void SubtractOne(const CRect& rect, const CRect& cut, std::vector<CRect>& out);

  std::vector<CRect> m_rects;
};
