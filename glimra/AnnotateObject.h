// The base of every annotation: a drawing laid over the replayed frame for the
// time its list is on screen. Coordinates are pixels of the captured frame;
// frames are 16-bit 5-6-5 with rows of 2 x ((width + 1) / 2) bytes.
#pragma once

#include <string>

#include "platform/base/Point.h"
#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"
#include "sintra/overlay/Color16.h"

class CMemoryArchive;

enum AnnotateType : DWORD {
  ANNOTATE_TEXT = 0,
  ANNOTATE_BRUSH = 1,
  ANNOTATE_BOX = 2,
  ANNOTATE_LINE = 3,
  ANNOTATE_NONE = 0xFFFFFFFFu
};

// Handle codes of the editing frame: corners and edges clockwise from the
// top-left, 9 the centre, 10 and 11 the ends of a line.
enum AnnotateHandle {
  HANDLE_NONE = 0,
  HANDLE_TOPLEFT = 1,
  HANDLE_TOP = 2,
  HANDLE_TOPRIGHT = 3,
  HANDLE_RIGHT = 4,
  HANDLE_BOTTOMRIGHT = 5,
  HANDLE_BOTTOM = 6,
  HANDLE_BOTTOMLEFT = 7,
  HANDLE_LEFT = 8,
  HANDLE_CENTER = 9,
  HANDLE_START = 10,
  HANDLE_END = 11
};

class CAnnotateObject {
 public:
  CAnnotateObject();
  CAnnotateObject(const CAnnotateObject& other);
  CAnnotateObject& operator=(const CAnnotateObject& other);
  virtual ~CAnnotateObject();

  // The frame area whose look changes when `changed` changes under this object.
  virtual CRect ProcessIntersect(const CRect& changed);
  // Draws into the 16-bit frame `target` within clip (frame pixels); source is
  // the frame before annotations, space the object's coordinate space.
  virtual void Draw(BYTE* target, BYTE* source, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
                    BYTE percent);
  // Editor input (a CRect* for boxes and texts, a CPoint* for brushes and
  // lines); both return the rectangle to redraw.
  virtual CRect AddData(void* data);
  virtual CRect SetData(void* data);
  virtual BOOL Pick(const CPoint& pt, const BITMAPINFO* frame, const CSize& space);
  virtual void DrawSpan(int x, int y, int count);
  virtual void SetFocus();
  virtual void LooseFocus();
  virtual void Restrict(CRect& proposed, const CRect& start);
  virtual void ProcessHandle(int handle, const CPoint& pt);
  virtual void PrepareHandle();
  virtual DWORD CalculateDataSize();
  virtual BOOL Save(CMemoryArchive& archive);
  virtual BOOL Load(CMemoryArchive& archive);
  virtual void SetComment(const char* comment);

  const CRect& GetRect() const { return m_rect; }
  void SetRect(const CRect& rect) { m_rect = rect; }
  void SetColor(COLORREF colour) { m_color = colour; }
  COLORREF GetColor() const { return m_color.GetColorRef(); }
  WORD GetWColor() const { return m_color.GetWColor(); }
  void SetOutlineColor(COLORREF colour) { m_outlineColor = colour; }
  COLORREF GetOutlineColor() const { return m_outlineColor.GetColorRef(); }
  WORD GetOutlineWColor() const { return m_outlineColor.GetWColor(); }
  DWORD GetType() const { return m_type; }
  DWORD GetStyle() const { return m_style; }
  void SetOutlineSize(DWORD size) { m_outlineSize = size; }
  DWORD GetOutlineSize() const { return m_outlineSize; }
  void SetTransparency(DWORD percent) { m_transparency = percent; }
  DWORD GetTransparency() const { return m_transparency; }
  const std::string& GetComment() const { return m_comment; }
  BOOL ComplexIntersect() const { return m_complexIntersect; }
  void SetAntiAlias(BOOL on) { m_antiAlias = on ? 2 : 1; }
  int GetAntiAlias() const { return m_antiAlias; }
  DWORD GetReserved1() const { return m_reserved1; }
  DWORD GetReserved2() const { return m_reserved2; }
  float GetReservedFloat() const { return m_reservedFloat; }

  // The blend shared with the overlay buffers: alpha is the weight of the pixel.
  static void Blend(BYTE* pixel, int bytesPerPixel, BYTE alpha, const Color16& colour) {
    BlendFramePixel(pixel, bytesPerPixel, alpha, colour);
  }
  // Destination weight for a draw at `percent`: 255 x (100 - percent) x
  // Transparency / 10000, both percentages held to 0..100.
  BYTE OpacityWeight(BYTE percent) const;
  // Span rasterisers over DrawSpan (span clip and target set by Draw).
  void DrawLine(int x0, int y0, int x1, int y1);
  void DrawCircle(BOOL outline);
  CRect PreProcessHandle(int handle, const CPoint& pt, const CRect& start);

  // Largest coordinate accepted from an archive; anything beyond is refused so
  // that sizes and scaled coordinates stay far from overflow.
  static constexpr int kMaxCoordinate = 1 << 24;
  static BOOL IsSaneRect(const CRect& rect);
  // Frame geometry every drawer checks first: 16 bits per pixel, positive sizes.
  // Top-down or bottom-up frames of 16 (5-6-5) or 24 bits; rows are whole
  // 4-byte units.
  static BOOL FrameGeometry(const BITMAPINFO* frame, int& width, int& height, long& stride,
                            int* bytesPerPixel = nullptr);
  // Maps a rectangle from the coordinate space into frame pixels.
  static CRect ScaleToFrame(const CRect& rect, int width, int height, const CSize& space);
  static CPoint ScaleToFrame(const CPoint& pt, int width, int height, const CSize& space);

 protected:
  // Calls fn(x, y) for every point of the line from (x0, y0) to (x1, y1), the
  // last point excluded, as a DDA walk.
  template <typename Fn>
  static void LineDDA(int x0, int y0, int x1, int y1, Fn&& fn);

  CRect m_rect;
  Color16 m_color;
  Color16 m_outlineColor;
  DWORD m_type = ANNOTATE_NONE;
  DWORD m_style = 0;
  DWORD m_outlineSize = 0;
  DWORD m_transparency = 0;
  DWORD m_reserved1 = 0xFFFFFFFFu;
  DWORD m_reserved2 = 0xFFFFFFFFu;
  std::string m_comment;
  BOOL m_complexIntersect = FALSE;
  int m_reachLeft = 0;
  int m_reachTop = 0;
  int m_reachRight = 0;
  int m_reachBottom = 0;
  CSize m_minSize{8, 8};
  CRect m_spanClip;
  BYTE* m_spanTarget = nullptr;
  long m_spanStride = 0;
  int m_spanBytes = 2;  // bytes per pixel of the span target
  CRect m_handleStart;
  float m_reservedFloat = 0.0f;
  int m_antiAlias = 1;
};

template <typename Fn>
void CAnnotateObject::LineDDA(int x0, int y0, int x1, int y1, Fn&& fn) {
  const long long dx = static_cast<long long>(x1) - x0;
  const long long dy = static_cast<long long>(y1) - y0;
  const long long adx = dx < 0 ? -dx : dx;
  const long long ady = dy < 0 ? -dy : dy;
  const long long steps = adx > ady ? adx : ady;
  if (steps == 0 || steps > (1LL << 26)) return;
  for (long long i = 0; i < steps; ++i) {
    // Round half away from zero along the minor axis.
    const long long nx = dx * i, ny = dy * i;
    const long long ox = (nx >= 0 ? nx + steps / 2 : nx - steps / 2) / steps;
    const long long oy = (ny >= 0 ? ny + steps / 2 : ny - steps / 2) / steps;
    if (!fn(static_cast<int>(x0 + ox), static_cast<int>(y0 + oy))) return;
  }
}
