#include "sintra/overlay/OverlayBuffer.h"

#include <algorithm>
#include <new>

COverlayBuffer::COverlayBuffer(DWORD planeMask) : m_planeMask(planeMask & 0x1FFF) {}

COverlayBuffer::COverlayBuffer(const COverlayBuffer& other)
    : m_renderColor(other.m_renderColor), m_planeMask(other.m_planeMask) {
  if (other.m_dc.IsValid()) CreateHeader();
}

COverlayBuffer& COverlayBuffer::operator=(const COverlayBuffer& other) {
  if (this == &other) return *this;
  ClearBuffers();
  m_bitmap.DeleteObject();
  m_width = m_height = 0;
  m_renderColor = other.m_renderColor;
  m_planeMask = other.m_planeMask;
  if (other.m_dc.IsValid()) CreateHeader();
  return *this;
}

COverlayBuffer::~COverlayBuffer() {
  ClearBuffers();
  m_dc.DeleteDC();
  m_bitmap.DeleteObject();
}

void COverlayBuffer::Render(const CRect&, const CRect&, int, int) {}

Color16 COverlayBuffer::GetRenderColor(int) { return m_renderColor; }

BOOL COverlayBuffer::CreateHeader() {
  if (!m_dc.IsValid()) {
    m_dc.CreateCompatibleDC(nullptr);
    m_placeholder.CreateBitmap(1, 1, 1, 1, nullptr);
    m_dc.SelectObject(&m_placeholder);
  }
  BITMAPINFOHEADER& h = m_header.bmiHeader;
  const BITMAPINFOHEADER sized = h;
  h = BITMAPINFOHEADER{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biPlanes = 1;
  h.biBitCount = 1;
  h.biCompression = BI_RGB;
  h.biXPelsPerMeter = 100;
  h.biYPelsPerMeter = 100;
  m_header.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
  m_header.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
  if (m_width > 0) {
    // Called again after sizing: the masks keep their layout.
    h.biWidth = sized.biWidth;
    h.biHeight = sized.biHeight;
    h.biSizeImage = sized.biSizeImage;
  }
  return TRUE;
}

void COverlayBuffer::ClearBuffers() {
  for (int i = 0; i < OVERLAY_PLANES; ++i) {
    std::vector<BYTE>().swap(m_planes[i]);
    m_extents[i] = RowExtents();
  }
}

BYTE* COverlayBuffer::GetMask(int plane) {
  if (plane < 0 || plane >= OVERLAY_PLANES || m_planes[plane].empty()) return nullptr;
  return m_planes[plane].data();
}

BOOL COverlayBuffer::Size(int width, int height) {
  const int rows = height == INT32_MIN ? INT32_MAX : (height < 0 ? -height : height);
  bool agrees = true;
  for (int i = 0; i < OVERLAY_PLANES; ++i) agrees = agrees && (HasStorage(i) == (((m_planeMask >> i) & 1) != 0));
  if (width == m_width && rows == m_height && agrees) return FALSE;
  m_bitmap.DeleteObject();
  if (width != m_width || rows != m_height) ClearBuffers();
  if (width <= 0 || rows <= 0) return FALSE;
  // A mask beyond the bound is never allocated; the object then draws nothing.
  if (width > kMaxMaskSide || rows > kMaxMaskSide || static_cast<long long>(width) * rows > kMaxMaskPixels) {
    ClearBuffers();
    m_width = m_height = 0;
    return FALSE;
  }
  m_width = width;
  m_height = rows;
  if (!m_dc.IsValid()) CreateHeader();
  const size_t imageSize = static_cast<size_t>((width + 31) / 32) * 4 * rows;
  m_header.bmiHeader.biWidth = MaskLineWidth();
  m_header.bmiHeader.biHeight = height < 0 ? -rows : rows;
  m_header.bmiHeader.biSizeImage = static_cast<DWORD>(imageSize);
  if (!m_bitmap.CreateBitmap(MaskLineWidth(), rows, 1, 1, nullptr)) return FALSE;
  try {
    for (int i = 0; i < OVERLAY_PLANES; ++i) {
      if (!((m_planeMask >> i) & 1)) {
        std::vector<BYTE>().swap(m_planes[i]);
        m_extents[i] = RowExtents();
        continue;
      }
      if (m_planes[i].empty()) m_planes[i].assign(imageSize, 0xFF);
      if (m_extents[i].left.empty()) {
        m_extents[i].left.assign(static_cast<size_t>(rows), 0);
        m_extents[i].right.assign(static_cast<size_t>(rows), 0);
      }
    }
  } catch (const std::bad_alloc&) {
    ClearBuffers();
    return FALSE;
  }
  return TRUE;
}

BOOL COverlayBuffer::StartRender() {
  if (m_width <= 0 || m_height <= 0 || !m_bitmap.IsCreated() || !m_dc.IsValid()) return FALSE;
  m_dc.SelectObject(&m_bitmap);
  m_dc.PatBlt(0, 0, MaskLineWidth(), m_height, WHITENESS);
  return TRUE;
}

BOOL COverlayBuffer::EndRender(int plane) {
  if (!m_dc.IsValid()) return FALSE;
  m_dc.SelectObject(&m_placeholder);
  BYTE* bits = GetMask(plane);
  if (!bits || !m_bitmap.IsCreated()) return FALSE;
  return m_dc.GetDIBits(&m_bitmap, 0, static_cast<UINT>(m_height), bits, &m_header, DIB_RGB_COLORS) == m_height;
}

bool COverlayBuffer::IsInk(int plane, int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return false;
  const size_t lineBytes = static_cast<size_t>(MaskLineWidth() / 8);
  const BYTE b = m_planes[plane][static_cast<size_t>(y) * lineBytes + static_cast<size_t>(x >> 3)];
  return !((b >> (7 - (x & 7))) & 1);
}

void COverlayBuffer::CalcLineData(int plane, int scale) {
  if (plane < 0 || plane >= OVERLAY_PLANES || !HasStorage(plane) || scale < 1) return;
  RowExtents& e = m_extents[plane];
  e.firstRow = m_height + 1;
  e.lastRow = 0;
  e.leftColumn = m_width + 1;
  e.rightColumn = 0;
  const size_t lineBytes = static_cast<size_t>(MaskLineWidth() / 8);
  for (int y = 0; y < m_height; ++y) {
    const int row = y / scale;
    if (y % scale == 0) {
      e.left[static_cast<size_t>(row)] = m_width + 1;
      e.right[static_cast<size_t>(row)] = 0;
    }
    const BYTE* bits = m_planes[plane].data() + static_cast<size_t>(y) * lineBytes;
    for (size_t byte = 0; byte < lineBytes; ++byte) {
      if (bits[byte] == 0xFF) continue;  // all paper
      for (int bit = 0; bit < 8; ++bit) {
        const int j = static_cast<int>(byte * 8) + bit;
        if (j >= m_width || ((bits[byte] >> (7 - bit)) & 1)) continue;
        e.left[static_cast<size_t>(row)] = std::min(e.left[static_cast<size_t>(row)], j / scale);
        e.leftColumn = std::min(e.leftColumn, j / scale);
        e.right[static_cast<size_t>(row)] = std::max(e.right[static_cast<size_t>(row)], j / scale + scale);
        e.rightColumn = std::max(e.rightColumn, j / scale + scale);
      }
    }
    if (e.right[static_cast<size_t>(row)] != 0) {
      e.firstRow = std::min(e.firstRow, row);
      e.lastRow = std::max(e.lastRow, row + scale);
    }
  }
}

BOOL COverlayBuffer::Pick(const CPoint& maskPoint) {
  if (m_width <= 0 || m_height <= 0) return FALSE;
  for (int plane = 0; plane < OVERLAY_PLANES; ++plane) {
    if (!HasStorage(plane)) continue;
    for (int y = maskPoint.y - 2; y <= maskPoint.y + 1; ++y) {
      for (int x = maskPoint.x - 3; x <= maskPoint.x + 2; ++x) {
        if (IsInk(plane, std::clamp(x, 0, m_width - 1), std::clamp(y, 0, m_height - 1))) return TRUE;
      }
    }
  }
  return FALSE;
}

void COverlayBuffer::BlendPlane(int plane, BYTE* frame, long stride, int bytesPerPixel, const CRect& area,
                                const CRect& rect, BYTE alpha, int scale) {
  const RowExtents& e = m_extents[plane];
  const int outRows = m_height / scale, outColumns = m_width / scale;
  const size_t lineBytes = static_cast<size_t>(MaskLineWidth() / 8);
  // Weights by the number of ink samples under a pixel (0-4 at scale 2).
  BYTE weights[5];
  for (int m = 0; m <= 4; ++m) weights[m] = static_cast<BYTE>(255 - ((255 - alpha) * m) / 4);
  const int top = std::max(area.top, rect.top + e.firstRow), bottom = std::min(area.bottom, rect.top + e.lastRow);
  for (int y = top; y < bottom; ++y) {
    const int row = y - rect.top;
    if (row < 0 || row >= outRows) continue;
    // Columns stay inside the mask whatever the bounds say.
    const int left = std::max({area.left, rect.left + e.left[static_cast<size_t>(row)], rect.left});
    const int right = std::min({area.right, rect.left + e.right[static_cast<size_t>(row)], rect.left + outColumns});
    BYTE* pixels = frame + static_cast<long>(y) * stride;
    const BYTE* line0 = m_planes[plane].data() + static_cast<size_t>(scale * row) * lineBytes;
    if (scale == 1) {
      for (int x = left; x < right; ++x) {
        const int mx = x - rect.left;
        if (!((line0[mx >> 3] >> (7 - (mx & 7))) & 1)) Blend(pixels + static_cast<long>(x) * bytesPerPixel, bytesPerPixel, alpha);
      }
      continue;
    }
    const BYTE* line1 = line0 + lineBytes;
    // Ink samples among four: 4 less the paper bits (a table, not a call per pixel).
    static constexpr BYTE kInkOfPaper[16] = {4, 3, 3, 2, 3, 2, 2, 1, 3, 2, 2, 1, 2, 1, 1, 0};
    for (int x = left; x < right; ++x) {
      // mx is even, so both samples of a row lie in one byte; clear bits are ink.
      const int mx = 2 * (x - rect.left), shift = 6 - (mx & 7);
      const unsigned paper = ((line0[mx >> 3] >> shift) & 3u) + (((line1[mx >> 3] >> shift) & 3u) << 2);
      const int m = kInkOfPaper[paper];
      if (m > 0) Blend(pixels + static_cast<long>(x) * bytesPerPixel, bytesPerPixel, weights[m]);
    }
  }
}

void COverlayBuffer::BlitBuffer(BYTE* frame, const BITMAPINFO* header, const CRect& rect, const CRect& clip,
                                BYTE alpha, int scale) {
  if (!frame || !header || (scale != 1 && scale != 2) || rect.IsRectEmpty()) return;
  const long long maskW = static_cast<long long>(scale) * rect.Width(), maskH = static_cast<long long>(scale) * rect.Height();
  if (maskW > kMaxMaskSide || maskH > kMaxMaskSide) {
    Size(0, 0);  // too large: drop any old masks and draw nothing
    return;
  }
  if (Size(static_cast<int>(maskW), -static_cast<int>(maskH))) {
    for (int plane = 0; plane < OVERLAY_PLANES; ++plane) {
      if (!HasStorage(plane) || !((m_planeMask >> plane) & 1)) continue;
      if (!StartRender()) continue;
      Render(rect, clip, scale, plane);
      EndRender(plane);
      CalcLineData(plane, scale);
    }
  }
  if (m_width != maskW || m_height != maskH) return;
  const BITMAPINFOHEADER& h = header->bmiHeader;
  if ((h.biBitCount != 16 && h.biBitCount != 24) || h.biWidth <= 0 || h.biWidth > (1 << 20) || h.biHeight == 0 ||
      h.biHeight == INT32_MIN)
    return;
  const int frameHeight = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const int bytesPerPixel = h.biBitCount / 8;
  // Rows are whole 4-byte units.
  const long stride = (static_cast<long>(h.biWidth) * bytesPerPixel + 3) / 4 * 4;
  CRect area;
  if (!area.IntersectRect(clip, CRect(0, 0, h.biWidth, frameHeight)) || !area.IntersectRect(area, rect)) return;
  for (int plane = 0; plane < OVERLAY_PLANES; ++plane) {
    if (!HasStorage(plane)) continue;
    const RowExtents& e = m_extents[plane];
    if (e.rightColumn <= 0 || e.lastRow <= 0) continue;  // no ink
    const CRect inkBounds(rect.left + e.leftColumn, rect.top + e.firstRow, rect.left + e.rightColumn,
                          rect.top + e.lastRow);
    CRect visible;
    if (!visible.IntersectRect(area, inkBounds)) continue;
    m_renderColor = GetRenderColor(plane);
    BlendPlane(plane, frame, stride, bytesPerPixel, visible, rect, alpha, scale);
  }
}
