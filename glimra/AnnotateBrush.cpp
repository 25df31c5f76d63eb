#include "glimra/AnnotateBrush.h"

#include <algorithm>
#include <cmath>

#include "glimra/MemoryArchive.h"
#include "platform/base/MulDiv.h"

namespace {
constexpr DWORD kBrushVersion = 1;
constexpr int kTipSizes[8] = {1, 3, 5, 9, 13, 16, 19, 22};

CRect Union(const CRect& a, const CRect& b) {
  CRect u;
  u.UnionRect(a, b);
  return u;
}
}  // namespace

int CAnnotateBrush::TipSize(int index) { return index >= 0 && index < 8 ? kTipSizes[index] : 22; }

CAnnotateBrush::CAnnotateBrush(int index) {
  m_type = ANNOTATE_BRUSH;
  SetBrushIndex(index);
  m_comment = "Brush";
}

CAnnotateBrush::CAnnotateBrush(const CAnnotateObject& common) : CAnnotateObject(common) { SetBrushIndex(0); }

CAnnotateBrush::~CAnnotateBrush() = default;

void CAnnotateBrush::SetAt(int i, const CPoint* pt) {
  if (pt && i >= 0 && i < GetSize()) m_points[static_cast<size_t>(i)] = *pt;
}

void CAnnotateBrush::SetBrushIndex(int index) {
  m_index = index >= 0 && index < 8 ? index : 0;
  const int size = kTipSizes[m_index];
  m_tipWidth = m_tipHeight = size;
  m_reachLeft = m_reachTop = size / 2;
  m_reachRight = m_reachBottom = size - size / 2;
  m_tip = BrushTipData(m_index);
}

const BYTE* CAnnotateBrush::BrushData() const { return BrushTipData(m_index); }

CRect CAnnotateBrush::ProcessIntersect(const CRect& changed) { return changed; }

CPoint CAnnotateBrush::Transform(const CPoint& p, int width, int height, const CSize& space, const CPoint& c) const {
  const CPoint s = ScaleToFrame(p, width, height, space);
  const double x = c.x + std::trunc((static_cast<double>(m_offset.x) + s.x - c.x) * m_scaleX);
  const double y = c.y + std::trunc((static_cast<double>(s.y) + m_offset.y - c.y) * m_scaleY);
  return CPoint(std::clamp(ClampToInt(x), -kMaxCoordinate, kMaxCoordinate),
                std::clamp(ClampToInt(y), -kMaxCoordinate, kMaxCoordinate));
}

// Calls fn(a, b) for every segment of the transformed stroke; a one-point
// stroke is the segment from its point to one pixel down and right.
template <typename Fn>
void CAnnotateBrush::WalkStroke(int width, int height, const CSize& space, Fn&& fn) const {
  if (m_points.empty()) return;
  const CPoint c = ScaleToFrame(m_rect, width, height, space).CenterPoint();
  CPoint last = Transform(m_points[0], width, height, space, c);
  if (m_points.size() == 1) {
    fn(last, CPoint(last.x + 1, last.y + 1));
    return;
  }
  for (size_t i = 1; i < m_points.size(); ++i) {
    const CPoint p = Transform(m_points[i], width, height, space, c);
    if (p.x == last.x && p.y == last.y) continue;
    if (!fn(last, p)) return;
    last = p;
  }
}

void CAnnotateBrush::Draw(BYTE* target, BYTE*, const BITMAPINFO* frame, const CRect& clip, const CSize& space, BYTE) {
  int width = 0, height = 0, bytes = 2;
  long stride = 0;
  if (!target || !FrameGeometry(frame, width, height, stride, &bytes) || !IsSaneRect(m_rect)) return;
  // Stamps are clipped pixel by pixel to the draw area and the frame, so a
  // partial repaint never blends a stamp twice outside its area.
  if (!m_spanClip.IntersectRect(clip, CRect(0, 0, width, height))) return;
  m_spanTarget = target;
  m_spanStride = stride;
  m_spanBytes = bytes;
  WalkStroke(width, height, space, [this](const CPoint& a, const CPoint& b) {
    DrawLine(a.x, a.y, b.x, b.y);
    return true;
  });
  m_spanTarget = nullptr;
}

void CAnnotateBrush::DrawSpan(int x, int y, int count) {
  if (!m_spanTarget) return;
  const long long left = static_cast<long long>(x) - m_reachLeft, top = static_cast<long long>(y) - m_reachTop;
  if (left + m_tipWidth + count <= m_spanClip.left || left >= m_spanClip.right || top + m_tipHeight <= m_spanClip.top ||
      top >= m_spanClip.bottom)
    return;
  const BYTE* tip = m_tip;
  for (int k = 0; k < count; ++k) {
    if (m_tipWidth == 1 || !tip) {
      const long long px = static_cast<long long>(x) + k;
      if (px >= m_spanClip.left && px < m_spanClip.right && y >= m_spanClip.top && y < m_spanClip.bottom)
        PutFramePixel(m_spanTarget + static_cast<long>(y) * m_spanStride + px * m_spanBytes, m_spanBytes, m_color);
      continue;
    }
    const long long x0 = left + k;
    const int ty0 = static_cast<int>(std::max<long long>(0, m_spanClip.top - top));
    const int ty1 = static_cast<int>(std::min<long long>(m_tipHeight, m_spanClip.bottom - top));
    const int tx0 = static_cast<int>(std::max<long long>(0, m_spanClip.left - x0));
    const int tx1 = static_cast<int>(std::min<long long>(m_tipWidth, m_spanClip.right - x0));
    for (int ty = ty0; ty < ty1; ++ty) {
      BYTE* row = m_spanTarget + static_cast<long>(top + ty) * m_spanStride + x0 * m_spanBytes;
      const BYTE* weights = tip + static_cast<size_t>(ty) * m_tipWidth;
      for (int tx = tx0; tx < tx1; ++tx)
        if (weights[tx] != 255) Blend(row + tx * m_spanBytes, m_spanBytes, weights[tx], m_color);
    }
  }
}

void CAnnotateBrush::UpdateRect(const CPoint& pt) {
  if (m_rect.IsRectNull()) {
    m_rect.SetRect(pt.x - m_reachLeft, pt.y - m_reachTop, pt.x + m_reachRight, pt.y + m_reachBottom);
    return;
  }
  if (pt.x - m_reachLeft < m_rect.left)
    m_rect.left = pt.x - m_reachLeft;
  else if (pt.x + m_reachRight > m_rect.right)
    m_rect.right = pt.x + m_reachRight;
  if (pt.y - m_reachTop < m_rect.top)
    m_rect.top = pt.y - m_reachTop;
  else if (pt.y + m_reachBottom > m_rect.bottom)
    m_rect.bottom = pt.y + m_reachBottom;
}

CRect CAnnotateBrush::UpdateBounding() {
  const CRect old = m_rect;
  m_rect.SetRectEmpty();
  for (const CPoint& p : m_points) UpdateRect(p);
  return Union(old, m_rect);
}

CRect CAnnotateBrush::AddData(void* data) {
  const CRect old = m_rect;
  if (data) {
    const CPoint pt = *static_cast<CPoint*>(data);
    UpdateRect(pt);
    m_points.push_back(pt);
  }
  return Union(old, m_rect);
}

CRect CAnnotateBrush::SetData(void* data) {
  if (data && !m_points.empty()) m_points.back() = *static_cast<CPoint*>(data);
  return UpdateBounding();
}

BOOL CAnnotateBrush::TestPoint(int x, int y) const {
  const CRect near(x - m_reachLeft - 3, y - m_reachTop - 3, x + m_reachRight + 3, y + m_reachBottom + 3);
  return near.PtInRect(m_pickPoint);
}

BOOL CAnnotateBrush::Pick(const CPoint& pt, const BITMAPINFO* frame, const CSize& space) {
  if (!m_rect.PtInRect(pt)) return FALSE;
  int width = space.cx, height = space.cy;
  long stride = 0;
  if (frame) FrameGeometry(frame, width, height, stride);
  m_pickPoint = pt;
  m_pickHit = FALSE;
  WalkStroke(width, height, space, [this](const CPoint& a, const CPoint& b) {
    LineDDA(a.x, a.y, b.x, b.y, [this](int x, int y) {
      if (TestPoint(x, y)) m_pickHit = TRUE;
      return !m_pickHit;
    });
    return !m_pickHit;
  });
  return m_pickHit;
}

void CAnnotateBrush::PrepareHandle() {
  CAnnotateObject::PrepareHandle();
  m_handleStart.DeflateRect(m_reachLeft, m_reachTop, m_reachRight, m_reachBottom);
  m_savedScaleX = m_scaleX;
  m_savedScaleY = m_scaleY;
  m_savedOffset = m_offset;
}

void CAnnotateBrush::ProcessHandle(int handle, const CPoint& pt) {
  CRect r = PreProcessHandle(handle, pt, m_handleStart);
  const CPoint c = r.CenterPoint(), s = m_handleStart.CenterPoint();
  m_offset = CPoint(m_savedOffset.x + c.x - s.x, m_savedOffset.y + c.y - s.y);
  if (m_handleStart.Width() > 0) m_scaleX = static_cast<float>(r.Width()) * m_savedScaleX / m_handleStart.Width();
  if (m_handleStart.Height() > 0) m_scaleY = static_cast<float>(r.Height()) * m_savedScaleY / m_handleStart.Height();
  r.InflateRect(m_reachLeft, m_reachTop, m_reachRight, m_reachBottom);
  m_rect = r;
}

DWORD CAnnotateBrush::CalculateDataSize() {
  return CAnnotateObject::CalculateDataSize() + 28 + 8 * static_cast<DWORD>(m_points.size());
}

BOOL CAnnotateBrush::Save(CMemoryArchive& ar) {
  if (!CAnnotateObject::Save(ar) || !ar.SetDWORD(kBrushVersion) ||
      !ar.SetDWORD(2 * static_cast<DWORD>(m_points.size())) || !ar.SetInt(m_index) || !ar.SetFloat(m_scaleX) ||
      !ar.SetFloat(m_scaleY) || !ar.SetPoint(m_offset))
    return FALSE;
  for (const CPoint& p : m_points)
    if (!ar.SetPoint(p)) return FALSE;
  return TRUE;
}

BOOL CAnnotateBrush::Load(CMemoryArchive& ar) {
  DWORD version = 0, n = 0;
  int index = 0;
  float sx = 0, sy = 0;
  CPoint offset;
  if (!ar.GetDWORD(version) || version != kBrushVersion || !ar.GetDWORD(n) || !ar.GetInt(index) || !ar.GetFloat(sx) ||
      !ar.GetFloat(sy) || !ar.GetPoint(offset))
    return FALSE;
  // Coordinates come in pairs, and the bytes must hold them all before any are kept.
  if (n % 2 != 0 || n / 2 > kMaxPoints || n > ar.GetRemaining() / 4) return FALSE;
  if (!std::isfinite(sx) || !std::isfinite(sy) || std::fabs(sx) > kMaxScale || std::fabs(sy) > kMaxScale) return FALSE;
  if (!IsSaneRect(CRect(offset.x, offset.y, offset.x, offset.y))) return FALSE;
  std::vector<CPoint> points(n / 2);
  for (CPoint& p : points)
    if (!ar.GetPoint(p) || !IsSaneRect(CRect(p.x, p.y, p.x, p.y))) return FALSE;
  m_points.swap(points);
  m_scaleX = sx;
  m_scaleY = sy;
  m_offset = offset;
  SetBrushIndex(index);
  return TRUE;
}
