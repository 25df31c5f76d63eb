#include "platform/ui/UpdateRegion.h"

void CUpdateRegion::SubtractOne(const CRect& rect, const CRect& cut, std::vector<CRect>& out) {
  CRect overlap;
  if (!overlap.IntersectRect(rect, cut)) {
    out.push_back(rect);
    return;
  }
  if (rect.top < overlap.top) out.emplace_back(rect.left, rect.top, rect.right, overlap.top);
  if (overlap.bottom < rect.bottom) out.emplace_back(rect.left, overlap.bottom, rect.right, rect.bottom);
  if (rect.left < overlap.left) out.emplace_back(rect.left, overlap.top, overlap.left, overlap.bottom);
  if (overlap.right < rect.right) out.emplace_back(overlap.right, overlap.top, rect.right, overlap.bottom);
}

void CUpdateRegion::Add(const CRect& rect) {
  if (rect.IsRectEmpty()) return;
  // Keep the rectangles disjoint: add only the parts not yet covered.
  std::vector<CRect> pieces{rect};
  for (const CRect& have : m_rects) {
    std::vector<CRect> next;
    for (const CRect& piece : pieces) SubtractOne(piece, have, next);
    pieces.swap(next);
    if (pieces.empty()) return;
  }
  m_rects.insert(m_rects.end(), pieces.begin(), pieces.end());
}

void CUpdateRegion::Subtract(const CRect& rect) {
  if (rect.IsRectEmpty() || m_rects.empty()) return;
  std::vector<CRect> next;
  for (const CRect& have : m_rects) SubtractOne(have, rect, next);
  m_rects.swap(next);
}

void CUpdateRegion::Intersect(const CRect& rect) {
  std::vector<CRect> next;
  for (const CRect& have : m_rects) {
    CRect overlap;
    if (overlap.IntersectRect(have, rect)) next.push_back(overlap);
  }
  m_rects.swap(next);
}

void CUpdateRegion::Offset(int dx, int dy) {
  for (CRect& r : m_rects) r.OffsetRect(dx, dy);
}

CRect CUpdateRegion::Bounds() const {
  CRect bounds;
  for (const CRect& r : m_rects) {
    if (bounds.IsRectEmpty())
      bounds = r;
    else
      bounds.UnionRect(bounds, r);
  }
  return bounds;
}
