// Monochrome mask planes of an annotation, cached between frames and blended into
// 16-bit 5-6-5 frames. Shapes are drawn black on white into a memory device
// context by the owner (Render), read back as 1-bit rows (a clear bit is ink) and
// every ink pixel is blended into the frame in the plane's colour. At scale 2 the
// masks are twice the object's size and each frame pixel takes its coverage from
// four mask pixels (anti-aliasing).
#pragma once

#include <memory>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/gfx/DC.h"
#include "sintra/overlay/Color16.h"

// Plane numbers; planes are blended in this order.
enum OverlayPlane {
  OVERLAY_FILL_BEFORE1 = 0,
  OVERLAY_FILL_BEFORE2 = 1,
  OVERLAY_FILL = 2,
  OVERLAY_FILL_AFTER1 = 3,
  OVERLAY_FILL_AFTER2 = 4,
  OVERLAY_TEXT_BEFORE = 5,
  OVERLAY_TEXT = 6,
  OVERLAY_TEXT_AFTER = 7,
  OVERLAY_OUTLINE_BEFORE1 = 8,
  OVERLAY_OUTLINE_BEFORE2 = 9,
  OVERLAY_OUTLINE = 10,
  OVERLAY_OUTLINE_AFTER1 = 11,
  OVERLAY_OUTLINE_AFTER2 = 12,
  OVERLAY_PLANES = 13
};

class COverlayBuffer {
 public:
  explicit COverlayBuffer(DWORD planeMask);
  virtual ~COverlayBuffer();
  // Copies take the plane mask and render colour; the cached masks are not
  // copied, so a copy renders its own on its first blit.
  COverlayBuffer(const COverlayBuffer& other);
  COverlayBuffer& operator=(const COverlayBuffer& other);

  // Draws plane `plane` of the owner's shape in black into the render context
  // (mask pixels, scale times the frame size). The base draws nothing.
  virtual void Render(const CRect& rect, const CRect& clip, int scale, int plane);
  // The colour plane `plane` is blended in; the base gives the render colour.
  virtual Color16 GetRenderColor(int plane);

  // Creates the memory device context and fills the 1-bit mask header. TRUE.
  BOOL CreateHeader();
  // Prepares masks of width x |height| pixels (negative height: top-down); TRUE
  // when the masks must be rendered anew. FALSE on a zero or negative size, a
  // mask beyond the sane bound, or when memory runs out (no planes are kept then).
  BOOL Size(int width, int height);
  BOOL Create(int width, int height) { return CreateHeader() && Size(width, height); }
  BOOL StartRender();
  BOOL EndRender(int plane);
  void ClearBuffers();

  int MaskLineWidth() const { return (m_width + 31) / 32 * 32; }
  // The plane's bits (rows of MaskLineWidth() / 8 bytes, top-down), or null.
  BYTE* GetMask(int plane);
  int GetMaskWidth() const { return m_width; }
  int GetMaskHeight() const { return m_height; }
  DWORD GetPlaneMask() const { return m_planeMask; }
  void SetPlaneMask(DWORD mask) { m_planeMask = mask & 0x1FFF; }
  void SetRenderColor(const Color16& colour) { m_renderColor = colour; }
  CDC* GetRenderDC() { return &m_dc; }

  // Computes the ink bounds of a plane, in frame pixels relative to the object.
  void CalcLineData(int plane, int scale);
  // TRUE when a plane has ink in the 6 x 4 mask block around maskPoint.
  BOOL Pick(const CPoint& maskPoint);
  // Blends one pixel with the render colour.
  void Blend(BYTE* pixel, int bytesPerPixel, BYTE alpha) { BlendFramePixel(pixel, bytesPerPixel, alpha, m_renderColor); }
  // Renders the masks when the object's size changed, then blends every plane
  // into the 16-bit frame over clip (frame pixels) with weight alpha for the
  // existing pixels. scale is 1, or 2 for anti-aliasing.
  void BlitBuffer(BYTE* frame, const BITMAPINFO* header, const CRect& rect, const CRect& clip, BYTE alpha, int scale);

  // Largest mask accepted, in pixels (and per side).
  static constexpr long long kMaxMaskPixels = 1LL << 26;
  static constexpr int kMaxMaskSide = 16384;

 protected:
  struct RowExtents {
    std::vector<int> left;   // per output row: first ink column
    std::vector<int> right;  // per output row: past the last ink column (padded by the scale)
    int firstRow = 0;
    int lastRow = 0;
    int leftColumn = 0;
    int rightColumn = 0;
  };

  bool HasStorage(int plane) const { return !m_planes[plane].empty(); }
  bool IsInk(int plane, int x, int y) const;
  void BlendPlane(int plane, BYTE* frame, long stride, int bytesPerPixel, const CRect& area, const CRect& rect,
                  BYTE alpha, int scale);

  BITMAPINFO m_header{};
  Color16 m_renderColor;
  std::vector<BYTE> m_planes[OVERLAY_PLANES];  // empty: no storage
  RowExtents m_extents[OVERLAY_PLANES];
  DWORD m_planeMask;
  CBitmap m_bitmap;
  CBitmap m_placeholder;  // selected while no mask is being drawn
  CDC m_dc;
  int m_width = 0;
  int m_height = 0;
};
