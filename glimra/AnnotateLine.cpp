#include "glimra/AnnotateLine.h"

#include <algorithm>
#include <cmath>

#include "glimra/AnnotateBrush.h"
#include "glimra/MemoryArchive.h"
#include "platform/base/MulDiv.h"
#include "platform/gfx/Brush.h"
#include "platform/gfx/DC.h"

namespace {
constexpr DWORD kLineVersion = 1;

CRect Union(const CRect& a, const CRect& b) {
  CRect u;
  u.UnionRect(a, b);
  return u;
}
// Truncation toward zero of v + 0.5, held inside the int range.
int Q(double v) { return ClampToInt(std::trunc(v + 0.5)); }
int T(double v) { return ClampToInt(std::trunc(v)); }
}  // namespace

CAnnotateLine::CAnnotateLine(int widthIndex, DWORD style) : COverlayBuffer(0x4) {
  m_width = widthIndex >= 0 && widthIndex < 8 ? CAnnotateBrush::TipSize(widthIndex) : 22;
  m_type = ANNOTATE_LINE;
  m_style = style;
  m_comment = "Line";
  CreateHeader();
}

CAnnotateLine::CAnnotateLine(const CAnnotateObject& common) : CAnnotateObject(common), COverlayBuffer(0x4) {
  CreateHeader();
}

CAnnotateLine::~CAnnotateLine() = default;

int CAnnotateLine::CreateLine(CPoint from, CPoint to, int s) {
  m_count = 0;
  if (from.x == to.x && from.y == to.y) return 0;
  if ((m_style & 3) == 2) std::swap(from, to);
  const double w = m_width, dx = static_cast<double>(to.x) - from.x, dy = static_cast<double>(to.y) - from.y;
  double len = std::hypot(dx, dy);
  if (len < 1) len = 1;
  const double k = s * w / (2 * len), h = k * dy, g = k * dx;
  auto put = [this](long long x, long long y) {
    m_points[m_count].x = static_cast<LONG>(std::clamp<long long>(x, INT32_MIN, INT32_MAX));
    m_points[m_count].y = static_cast<LONG>(std::clamp<long long>(y, INT32_MIN, INT32_MAX));
    ++m_count;
  };
  if ((m_style & 3) == 0) {
    const long long th = T(h), tg = T(g);
    put(to.x - th, to.y + tg);
    put(to.x + th, to.y - tg);
    put(from.x + th, from.y - tg);
    put(from.x - th, from.y + tg);
    return m_count;
  }
  const double m = 3 * s * w / len;
  const long long bx = to.x - static_cast<long long>(Q(dx * m)), by = to.y - static_cast<long long>(Q(dy * m));
  const long long u = Q(dy * m / 2), v = Q(dx * m / 2), a = Q(h), b = Q(g);
  put(to.x, to.y);
  put(bx - u, by + v);
  put(bx - a, by + b);
  if ((m_style & 3) == 3) {
    const long long cx = from.x + static_cast<long long>(Q(dx * m)), cy = from.y + static_cast<long long>(Q(dy * m));
    put(cx - a, cy + b);
    put(cx - u, cy + v);
    put(from.x, from.y);
    put(cx + u, cy - v);
    put(cx + a, cy - b);
  } else {
    put(from.x - a, from.y + b);
    put(from.x + a, from.y - b);
  }
  put(bx + a, by - b);
  put(bx + u, by - v);
  return m_count;
}

void CAnnotateLine::UpdateRect() {
  if (m_count == 0) {
    m_rect.SetRectEmpty();
    return;
  }
  CRect r(m_points[0].x, m_points[0].y, m_points[0].x, m_points[0].y);
  for (int i = 1; i < m_count; ++i) {
    r.left = std::min(r.left, m_points[i].x);
    r.top = std::min(r.top, m_points[i].y);
    r.right = std::max(r.right, m_points[i].x);
    r.bottom = std::max(r.bottom, m_points[i].y);
  }
  m_rect = r;
}

CRect CAnnotateLine::UpdateBounding() {
  const CRect old = m_rect;
  CreateLine(m_origin, m_end, 1);
  UpdateRect();
  return Union(old, m_rect);
}

CRect CAnnotateLine::ProcessIntersect(const CRect& changed) { return changed; }

void CAnnotateLine::Draw(BYTE* target, BYTE*, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
                         BYTE percent) {
  int width = 0, height = 0;
  long stride = 0;
  if (!target || !FrameGeometry(frame, width, height, stride) || !IsSaneRect(m_rect)) return;
  const CRect rect = ScaleToFrame(m_rect, width, height, space);
  CRect area;
  if (!IsSaneRect(rect) || !area.IntersectRect(rect, clip)) return;
  BlitBuffer(target, frame, rect, area, OpacityWeight(percent), m_antiAlias);
}

void CAnnotateLine::Render(const CRect& rect, const CRect&, int scale, int) {
  const CPoint origin((m_origin.x - rect.left) * scale, (m_origin.y - rect.top) * scale);
  const CPoint end((m_end.x - rect.left) * scale, (m_end.y - rect.top) * scale);
  if (CreateLine(origin, end, scale) < 3) return;
  CDC* dc = GetRenderDC();
  CGdiObject* old = dc->SelectStockObject(BLACK_BRUSH);
  dc->Polygon(m_points, m_count);
  if (old) dc->SelectObject(old);
}

Color16 CAnnotateLine::GetRenderColor(int) { return m_color; }

void CAnnotateLine::LooseFocus() { ClearBuffers(); }

CRect CAnnotateLine::AddData(void* data) {
  if (data) m_origin = m_end = *static_cast<CPoint*>(data);
  return UpdateBounding();
}

CRect CAnnotateLine::SetData(void* data) {
  if (data) m_end = *static_cast<CPoint*>(data);
  return UpdateBounding();
}

BOOL CAnnotateLine::Pick(const CPoint& pt, const BITMAPINFO*, const CSize&) {
  if (m_rect.Width() <= 0 || m_rect.Height() <= 0 || !m_rect.PtInRect(pt)) return FALSE;
  const CPoint mask(MulDiv(pt.x - m_rect.left, GetMaskWidth(), m_rect.Width()),
                    MulDiv(pt.y - m_rect.top, GetMaskHeight(), m_rect.Height()));
  return COverlayBuffer::Pick(mask);
}

void CAnnotateLine::PrepareHandle() {
  m_savedOrigin = m_origin;
  m_savedEnd = m_end;
  m_handleStart = m_rect;
  m_minSize = CSize(2, 2);
}

void CAnnotateLine::ProcessHandle(int handle, const CPoint& pt) {
  if (handle == HANDLE_CENTER) {
    const CPoint c = m_handleStart.CenterPoint();
    const CPoint d(pt.x - c.x, pt.y - c.y);
    m_origin = CPoint(m_savedOrigin.x + d.x, m_savedOrigin.y + d.y);
    m_end = CPoint(m_savedEnd.x + d.x, m_savedEnd.y + d.y);
  } else if (handle == HANDLE_START) {
    m_origin = pt;
  } else if (handle == HANDLE_END) {
    m_end = pt;
  } else {
    return;
  }
  CreateLine(m_origin, m_end, 1);
  UpdateRect();
}

DWORD CAnnotateLine::CalculateDataSize() { return CAnnotateObject::CalculateDataSize() + 28; }

BOOL CAnnotateLine::Save(CMemoryArchive& ar) {
  return CAnnotateObject::Save(ar) && ar.SetDWORD(kLineVersion) && ar.SetPoint(m_origin) && ar.SetPoint(m_end) &&
         ar.SetInt(m_width) && ar.SetDWORD(0);
}

BOOL CAnnotateLine::Load(CMemoryArchive& ar) {
  DWORD version = 0, reserved = 0;
  CPoint origin, end;
  int width = 0;
  if (!ar.GetDWORD(version) || version != kLineVersion || !ar.GetPoint(origin) || !ar.GetPoint(end) ||
      !ar.GetInt(width) || !ar.GetDWORD(reserved))
    return FALSE;
  if (width < 0 || width > kMaxWidth || !IsSaneRect(CRect(origin.x, origin.y, end.x, end.y))) return FALSE;
  m_origin = origin;
  m_end = end;
  m_width = width;
  CreateHeader();
  return TRUE;
}
