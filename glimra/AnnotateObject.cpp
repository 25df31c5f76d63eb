#include "glimra/AnnotateObject.h"

#include <algorithm>
#include <cstdlib>

#include "glimra/MemoryArchive.h"
#include "platform/base/MulDiv.h"

namespace {
constexpr DWORD kCommonVersion = 2;
}

CAnnotateObject::CAnnotateObject() = default;
CAnnotateObject::CAnnotateObject(const CAnnotateObject& other) = default;
CAnnotateObject& CAnnotateObject::operator=(const CAnnotateObject& other) = default;
CAnnotateObject::~CAnnotateObject() = default;

CRect CAnnotateObject::ProcessIntersect(const CRect& changed) { return changed; }

void CAnnotateObject::Draw(BYTE*, BYTE*, const BITMAPINFO*, const CRect&, const CSize&, BYTE) {}

CRect CAnnotateObject::AddData(void*) { return CRect(); }

CRect CAnnotateObject::SetData(void*) { return CRect(); }

BOOL CAnnotateObject::Pick(const CPoint&, const BITMAPINFO*, const CSize&) { return FALSE; }

void CAnnotateObject::DrawSpan(int, int, int) {}

void CAnnotateObject::SetFocus() {}

void CAnnotateObject::LooseFocus() {}

void CAnnotateObject::Restrict(CRect& proposed, const CRect& start) {
  if (proposed.Width() < m_minSize.cx) {
    if (proposed.left == start.left)
      proposed.left = proposed.right - m_minSize.cx;
    else
      proposed.right = proposed.left + m_minSize.cx;
  }
  if (proposed.Height() < m_minSize.cy) {
    if (proposed.top == start.top)
      proposed.top = proposed.bottom - m_minSize.cy;
    else
      proposed.bottom = proposed.top + m_minSize.cy;
  }
}

void CAnnotateObject::ProcessHandle(int handle, const CPoint& pt) {
  m_rect = PreProcessHandle(handle, pt, m_handleStart);
}

void CAnnotateObject::PrepareHandle() {
  m_handleStart = m_rect;
  m_minSize = CSize(8, 8);
}

CRect CAnnotateObject::PreProcessHandle(int handle, const CPoint& pt, const CRect& start) {
  CRect r = start;
  switch (handle) {
    case HANDLE_TOPLEFT:
      r.top = pt.y;
      r.left = pt.x;
      break;
    case HANDLE_TOP:
      r.top = pt.y;
      break;
    case HANDLE_TOPRIGHT:
      r.right = pt.x;
      r.top = pt.y;
      break;
    case HANDLE_RIGHT:
      r.right = pt.x;
      break;
    case HANDLE_BOTTOMRIGHT:
      r.bottom = pt.y;
      r.right = pt.x;
      break;
    case HANDLE_BOTTOM:
      r.bottom = pt.y;
      break;
    case HANDLE_BOTTOMLEFT:
      r.left = pt.x;
      r.bottom = pt.y;
      break;
    case HANDLE_LEFT:
      r.left = pt.x;
      break;
    case HANDLE_CENTER: {
      const int hw = start.Width() / 2, hh = start.Height() / 2;
      r.SetRect(pt.x - hw, pt.y - hh, pt.x - hw + start.Width(), pt.y - hh + start.Height());
      break;
    }
    default:
      break;
  }
  r.NormalizeRect();
  Restrict(r, start);
  return r;
}

DWORD CAnnotateObject::CalculateDataSize() { return 56 + CMemoryArchive::StringSize(m_comment); }

BOOL CAnnotateObject::Save(CMemoryArchive& ar) {
  return ar.SetDWORD(kCommonVersion) && ar.SetDWORD(m_type) && ar.SetDWORD(m_style) && ar.SetDWORD(m_transparency) &&
         ar.SetDWORD(m_reserved1) && ar.SetDWORD(m_reserved2) && ar.SetDWORD(m_color.GetColorRef()) &&
         ar.SetDWORD(m_outlineColor.GetColorRef()) && ar.SetDWORD(m_outlineSize) && ar.SetFloat(m_reservedFloat) &&
         ar.SetRect(m_rect) && ar.SetString(m_comment);
}

BOOL CAnnotateObject::Load(CMemoryArchive& ar) {
  DWORD version = 0, colour = 0, outline = 0;
  CRect rect;
  if (!ar.GetDWORD(version) || version != kCommonVersion) return FALSE;
  if (!ar.GetDWORD(m_type) || !ar.GetDWORD(m_style) || !ar.GetDWORD(m_transparency) || !ar.GetDWORD(m_reserved1) ||
      !ar.GetDWORD(m_reserved2) || !ar.GetDWORD(colour) || !ar.GetDWORD(outline) || !ar.GetDWORD(m_outlineSize) ||
      !ar.GetFloat(m_reservedFloat) || !ar.GetRect(rect) || !ar.GetString(m_comment))
    return FALSE;
  if (!IsSaneRect(rect)) return FALSE;
  m_rect = rect;
  m_color = colour;
  m_outlineColor = outline;
  return TRUE;
}

void CAnnotateObject::SetComment(const char* comment) { m_comment = comment ? comment : ""; }

BYTE CAnnotateObject::OpacityWeight(BYTE percent) const {
  const int p = std::min<int>(percent, 100);
  const int t = static_cast<int>(std::min<DWORD>(m_transparency, 100));
  return static_cast<BYTE>(std::clamp(MulDiv(255, (100 - p) * t, 10000), 0, 255));
}

BOOL CAnnotateObject::IsSaneRect(const CRect& r) {
  auto ok = [](int v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; };
  return ok(r.left) && ok(r.top) && ok(r.right) && ok(r.bottom);
}

BOOL CAnnotateObject::FrameGeometry(const BITMAPINFO* frame, int& width, int& height, long& stride,
                                    int* bytesPerPixel) {
  if (!frame || (frame->bmiHeader.biBitCount != 16 && frame->bmiHeader.biBitCount != 24)) return FALSE;
  width = frame->bmiHeader.biWidth;
  const long long h = frame->bmiHeader.biHeight;
  height = static_cast<int>(h < 0 ? -h : h);
  if (width <= 0 || height <= 0 || width > (1 << 20) || height > (1 << 20)) return FALSE;
  const int bytes = frame->bmiHeader.biBitCount / 8;
  stride = (static_cast<long>(width) * bytes + 3) / 4 * 4;
  if (bytesPerPixel) *bytesPerPixel = bytes;
  return TRUE;
}

CRect CAnnotateObject::ScaleToFrame(const CRect& r, int width, int height, const CSize& space) {
  if (space.cx == width && space.cy == height) return r;
  if (space.cx <= 0 || space.cy <= 0) return CRect();
  return CRect(MulDiv(r.left, width, space.cx), MulDiv(r.top, height, space.cy), MulDiv(r.right, width, space.cx),
               MulDiv(r.bottom, height, space.cy));
}

CPoint CAnnotateObject::ScaleToFrame(const CPoint& p, int width, int height, const CSize& space) {
  if ((space.cx == width && space.cy == height) || space.cx <= 0 || space.cy <= 0) return p;
  return CPoint(MulDiv(p.x, width, space.cx), MulDiv(p.y, height, space.cy));
}

void CAnnotateObject::DrawLine(int x0, int y0, int x1, int y1) {
  if (y0 == y1) {
    if (x0 > x1) std::swap(x0, x1);
    if (x0 + m_reachRight < m_spanClip.left) x0 = m_spanClip.left - m_reachRight;
    if (m_spanClip.right < x1 - m_reachLeft) x1 = m_spanClip.right + m_reachLeft;
    for (int x = x0; x < x1; ++x) DrawSpan(x, y0, 1);
  } else if (x0 == x1) {
    if (y0 > y1) std::swap(y0, y1);
    if (y0 + m_reachBottom < m_spanClip.top) y0 = m_spanClip.top - m_reachBottom;
    if (m_spanClip.bottom < y1 - m_reachBottom) y1 = m_spanClip.bottom + m_reachBottom;
    for (int y = y0; y < y1; ++y) DrawSpan(x0, y, 1);
  } else {
    LineDDA(x0, y0, x1, y1, [this](int x, int y) {
      DrawSpan(x, y, 1);
      return true;
    });
  }
}

void CAnnotateObject::DrawCircle(BOOL outline) {
  const int cx = (m_rect.left + m_rect.right) / 2;
  const int cy = (m_rect.top + m_rect.bottom) / 2;
  const int r = m_rect.Width() / 2;
  if (r <= 0 || r > kMaxCoordinate) return;
  int x = 0, y = r, d = 1 - r;
  while (x <= y) {
    if (outline) {
      DrawSpan(cx + x, cy + y, 1);
      DrawSpan(cx - x, cy + y, 1);
      DrawSpan(cx + x, cy - y, 1);
      DrawSpan(cx - x, cy - y, 1);
      DrawSpan(cx + y, cy + x, 1);
      DrawSpan(cx - y, cy + x, 1);
      DrawSpan(cx + y, cy - x, 1);
      DrawSpan(cx - y, cy - x, 1);
    } else {
      DrawSpan(cx - x, cy + y, 2 * x + 1);
      DrawSpan(cx - x, cy - y, 2 * x + 1);
      DrawSpan(cx - y, cy + x, 2 * y + 1);
      DrawSpan(cx - y, cy - x, 2 * y + 1);
    }
    if (d < 0) {
      d += 2 * x + 3;
    } else {
      d += 2 * (x - y) + 5;
      --y;
    }
    ++x;
  }
}
