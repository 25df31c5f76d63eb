#include "glimra/AnnotateBox.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "glimra/MemoryArchive.h"

namespace {
constexpr DWORD kBoxVersion = 1;

int ClampCoord(long long v) { return static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30)); }
}  // namespace

CAnnotateBox::CAnnotateBox(DWORD style, DWORD) {
  m_style = style;
  m_transparency = 70;
  m_type = ANNOTATE_BOX;
  m_comment = style == 1 ? "Zoom" : "Box";
  m_complexIntersect = style == 1;
}

CAnnotateBox::CAnnotateBox(const CAnnotateObject& common) : CAnnotateObject(common) {}

CAnnotateBox::~CAnnotateBox() = default;

static int UsableZoom(DWORD zoom) { return static_cast<int>(std::clamp<DWORD>(zoom, 1, CAnnotateBox::kMaxZoom)); }

CRect CAnnotateBox::ProcessIntersect(const CRect& changed) {
  if (!IsMagnifying()) return changed;
  const long long z = UsableZoom(m_zoom);
  const long long cx = (static_cast<long long>(m_rect.left) + m_rect.right) / 2;
  const long long cy = (static_cast<long long>(m_rect.top) + m_rect.bottom) / 2;
  const long long dw = m_rect.Width() / z;
  const long long dh = m_rect.Height() / z + 1;
  const long long sl = cx - (dw + 1) / 2 - 1;
  const CRect source(ClampCoord(sl), ClampCoord(cy - dh / 2 - 1), ClampCoord(sl + dw + 2),
                     ClampCoord(cy + dh - dh / 2));
  CRect i;
  if (!i.IntersectRect(source, changed)) return changed;
  return CRect(ClampCoord(cx + (i.left - cx) * z - 1), ClampCoord(cy + (i.top - cy) * z - 1),
               ClampCoord(cx - z * (cx - i.right)), ClampCoord(cy - z * (cy - i.bottom)));
}

void CAnnotateBox::Draw(BYTE* target, BYTE* source, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
                        BYTE percent) {
  int width = 0, height = 0, bytes = 2;
  long stride = 0;
  if (!target || !FrameGeometry(frame, width, height, stride, &bytes)) return;
  const CRect box = ScaleToFrame(m_rect, width, height, space);
  CRect area;
  if (!IsSaneRect(box) || !area.IntersectRect(box, clip) || !area.IntersectRect(area, CRect(0, 0, width, height)))
    return;
  if (IsMagnifying())
    DrawMagnified(target, source ? source : target, stride, bytes, width, height, box, area);
  else
    DrawPlain(target, stride, bytes, box, area, clip, OpacityWeight(percent));
}

void CAnnotateBox::DrawPlain(BYTE* target, long stride, int bytes, const CRect& box, const CRect& area,
                             const CRect& clip, BYTE weight) {
  const bool leftEdge = clip.left == box.left;
  const bool rightEdge = clip.right == box.right;
  if (area.IsRectEmpty()) return;
  // Per row: the outline pixel at either edge, the span between in the row's colour.
  const int x0 = area.left + (leftEdge ? 1 : 0);
  const int x1 = std::max(x0, area.right - (rightEdge ? 1 : 0));
  for (int y = area.top; y < area.bottom; ++y) {
    BYTE* row = target + static_cast<long>(y) * stride;
    const Color16& colour = (y == box.top || y + 1 == box.bottom) ? m_outlineColor : m_color;
    if (leftEdge) Blend(row + static_cast<long>(area.left) * bytes, bytes, weight, m_outlineColor);
    if (weight) {
      BlendFrameSpan(row, x0, x1, bytes, weight, colour);
    } else {
      for (int x = x0; x < x1; ++x) PutFramePixel(row + static_cast<long>(x) * bytes, bytes, colour);
    }
    if (rightEdge && !(leftEdge && area.right - 1 == area.left))
      Blend(row + static_cast<long>(area.right - 1) * bytes, bytes, weight, m_outlineColor);
  }
}

void CAnnotateBox::DrawMagnified(BYTE* target, const BYTE* source, long stride, int bytes, int width, int height,
                                 const CRect& box, const CRect& area) {
  const int z = UsableZoom(m_zoom);
  const int cw = box.Width() / z + 1, ch = box.Height() / z + 1;
  int xc = (box.left + box.right) / 2;
  int yc = (box.top + box.bottom) / 2;
  if (xc < cw / 2) xc = cw / 2;
  if (xc + cw / 2 > width) xc = width - cw / 2 - 1;
  if (yc < ch / 2) yc = ch / 2;
  if (yc + ch / 2 > height) yc = height - ch / 2 - 1;
  const int x0 = xc - cw / 2, y0 = yc - ch / 2;
  // Only the part of the block that the area shows is copied; reads outside
  // the frame (a block wider than the frame) take the nearest frame pixel.
  const int bx0 = (area.left - box.left) / z, bx1 = (area.right - 1 - box.left) / z;
  const int by0 = (area.top - box.top) / z, by1 = (area.bottom - 1 - box.top) / z;
  const int bw = bx1 - bx0 + 1;
  const size_t n = static_cast<size_t>(bytes);
  std::vector<BYTE> block;
  try {
    block.resize(static_cast<size_t>(bw) * static_cast<size_t>(by1 - by0 + 1) * n);
  } catch (const std::bad_alloc&) {
    return;
  }
  for (int by = by0; by <= by1; ++by) {
    const int sy = std::clamp(y0 + by, 0, height - 1);
    const BYTE* srow = source + static_cast<long>(sy) * stride;
    for (int bx = bx0; bx <= bx1; ++bx)
      std::memcpy(&block[(static_cast<size_t>(by - by0) * bw + (bx - bx0)) * n],
                  srow + static_cast<size_t>(std::clamp(x0 + bx, 0, width - 1)) * n, n);
  }
  for (int y = area.top; y < area.bottom; ++y) {
    BYTE* row = target + static_cast<long>(y) * stride;
    const bool edgeRow = y == box.top || y == box.bottom - 1;
    const BYTE* brow = &block[static_cast<size_t>((y - box.top) / z - by0) * bw * n];
    for (int x = area.left; x < area.right; ++x) {
      BYTE* pixel = row + static_cast<size_t>(x) * n;
      if (edgeRow || x == box.left || x == box.right - 1)
        PutFramePixel(pixel, bytes, m_outlineColor);
      else
        std::memcpy(pixel, brow + static_cast<size_t>((x - box.left) / z - bx0) * n, n);
    }
  }
}

CRect CAnnotateBox::AddData(void* data) {
  if (data) m_rect = *static_cast<CRect*>(data);
  return m_rect;
}

CRect CAnnotateBox::SetData(void* data) {
  const CRect old = m_rect;
  if (data) m_rect = *static_cast<CRect*>(data);
  CRect u;
  u.UnionRect(old, m_rect);
  return u;
}

BOOL CAnnotateBox::Pick(const CPoint& pt, const BITMAPINFO*, const CSize&) { return m_rect.PtInRect(pt); }

DWORD CAnnotateBox::CalculateDataSize() { return CAnnotateObject::CalculateDataSize() + 8; }

BOOL CAnnotateBox::Save(CMemoryArchive& ar) {
  return CAnnotateObject::Save(ar) && ar.SetDWORD(kBoxVersion) && ar.SetDWORD(m_zoom);
}

BOOL CAnnotateBox::Load(CMemoryArchive& ar) {
  DWORD version = 0;
  if (!ar.GetDWORD(version) || version != kBoxVersion) return FALSE;
  m_complexIntersect = m_style == 1;
  return ar.GetDWORD(m_zoom);
}
