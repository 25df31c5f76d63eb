#include "glimra/HandleBox.h"

#include <algorithm>

namespace {
bool Meets(const CRect& a, const CRect& b) {
  CRect i;
  return i.IntersectRect(a, b);
}
CRect Square(const CPoint& c, int half) { return CRect(c.x - half, c.y - half, c.x + half, c.y + half); }
int Mod10(int v) { return ((v % 10) + 10) % 10; }
}  // namespace

CHandleBox::CHandleBox() : CAnnotateBox(0, 0) {}

CHandleBox::~CHandleBox() = default;

void CHandleBox::Invert(int x, int y) {
  if (!m_area.PtInRect(CPoint(x, y))) return;
  BYTE* p = m_spanTarget + static_cast<long>(y) * m_spanStride + static_cast<long>(x) * m_spanBytes;
  for (int i = 0; i < m_spanBytes; ++i) p[i] = static_cast<BYTE>(~p[i]);
}

void CHandleBox::DrawSpan(int x, int y, int count) {
  if (!m_spanTarget || y < m_area.top || y >= m_area.bottom) return;
  const int from = std::max(x, static_cast<int>(m_area.left));
  const int to = static_cast<int>(std::min<long long>(static_cast<long long>(x) + count, m_area.right));
  for (int i = from; i < to; ++i)
    if (!m_dashed || Mod10(i) < 8) Invert(i, y);
}

void CHandleBox::DrawCross(const CPoint& c) {
  for (int y = c.y - 6; y <= c.y + 5; ++y) DrawSpan(c.x - 1, y, 2);
  // The horizontal bar leaves out the two columns the vertical bar inverted.
  for (int y = c.y - 1; y <= c.y; ++y) {
    DrawSpan(c.x - 6, y, 5);
    DrawSpan(c.x + 1, y, 5);
  }
}

void CHandleBox::DrawSquare(int x, int y) {
  for (int row = y - 3; row <= y + 2; ++row) DrawSpan(x - 3, row, 6);
}

void CHandleBox::Draw(BYTE* target, BYTE*, const BITMAPINFO* frame, const CRect& rect, const CSize&) {
  int width = 0, height = 0, bytes = 2;
  long stride = 0;
  if (!target || !FrameGeometry(frame, width, height, stride, &bytes) || !IsSaneRect(m_rect)) return;
  CRect clip = rect, handle = m_rect;
  clip.InflateRect(6, 6);
  handle.InflateRect(6, 6);
  if (!m_area.IntersectRect(clip, handle) || !m_area.IntersectRect(m_area, CRect(0, 0, width, height))) return;
  m_spanTarget = target;
  m_spanStride = stride;
  m_spanBytes = bytes;
  const CRect& r = m_rect;
  m_dashed = FALSE;
  for (int y = r.top + 3; y <= r.bottom - 4; ++y) {
    if (Mod10(y) >= 8) continue;
    DrawSpan(r.left - 1, y, 2);
    DrawSpan(r.right - 1, y, 2);
  }
  m_dashed = TRUE;
  const int run = r.right - r.left - 6;
  if (run > 0)
    for (int y : {r.top - 1, static_cast<int>(r.top), r.bottom - 1, static_cast<int>(r.bottom)})
      DrawSpan(r.left + 3, y, run);
  m_dashed = FALSE;
  DrawCross(r.CenterPoint());
  if (m_linePick) {
    DrawCross(m_start);
    DrawCross(m_end);
  } else {
    DrawSquare(r.left, r.top);
    DrawSquare(r.right, r.top);
    DrawSquare(r.right, r.bottom);
    DrawSquare(r.left, r.bottom);
  }
  m_spanTarget = nullptr;
}

int CHandleBox::GetHandle(const CPoint& pt, CPoint& offset) const {
  const CRect probe = Square(pt, 3);
  const CRect& r = m_rect;
  offset = CPoint(0, 0);
  if (!Meets(probe, r)) return HANDLE_NONE;
  auto anchor = [&](int code, int x, int y, bool mx, bool my) {
    offset = CPoint(mx ? x - pt.x : 0, my ? y - pt.y : 0);
    return code;
  };
  const CPoint c = r.CenterPoint();
  if (Meets(probe, Square(c, 6))) return anchor(HANDLE_CENTER, c.x, c.y, true, true);
  if (m_linePick) {
    if (Meets(probe, Square(m_start, 6))) return anchor(HANDLE_START, m_start.x, m_start.y, true, true);
    if (Meets(probe, Square(m_end, 6))) return anchor(HANDLE_END, m_end.x, m_end.y, true, true);
    return HANDLE_NONE;
  }
  const int b = 4;
  if (Meets(probe, Square(CPoint(r.left, r.top), b))) return anchor(HANDLE_TOPLEFT, r.left, r.top, true, true);
  if (Meets(probe, Square(CPoint(r.right, r.top), b))) return anchor(HANDLE_TOPRIGHT, r.right, r.top, true, true);
  if (Meets(probe, CRect(r.left - b, r.top - b, r.right + b, r.top + b)))
    return anchor(HANDLE_TOP, 0, r.top, false, true);
  if (Meets(probe, Square(CPoint(r.right, r.bottom), b)))
    return anchor(HANDLE_BOTTOMRIGHT, r.right, r.bottom, true, true);
  if (Meets(probe, CRect(r.right - b, r.top - b, r.right + b, r.bottom + b)))
    return anchor(HANDLE_RIGHT, r.right, 0, true, false);
  if (Meets(probe, Square(CPoint(r.left, r.bottom), b))) return anchor(HANDLE_BOTTOMLEFT, r.left, r.bottom, true, true);
  if (Meets(probe, CRect(r.left - b, r.bottom - b, r.right + b, r.bottom + b)))
    return anchor(HANDLE_BOTTOM, 0, r.bottom, false, true);
  if (Meets(probe, CRect(r.left - b, r.top - b, r.left + b, r.bottom + b)))
    return anchor(HANDLE_LEFT, r.left, 0, true, false);
  return HANDLE_NONE;
}
