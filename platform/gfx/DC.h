// A device context: the drawing surface of windows and memory bitmaps, with the
// drawing calls the libraries make (lines, polygons, rectangles, ellipses, fills,
// edges, block transfers, DIB stretching, regions and text).
//
// Kinds of context:
//  - memory: CreateCompatibleDC, then SelectObject(CBitmap*) to draw into it;
//  - over pixels owned by someone else: AttachPixels wraps a 32-bit XRGB buffer
//    (a window surface) with its pitch, optionally limited to an area of it whose
//    top-left becomes (0, 0), which is how child windows paint into their parent's
//    surface.
// Shapes are never antialiased, as on the desktop the drawing code was made for:
// a pixel is inside or outside. Drawing into a monochrome bitmap maps colours to
// ink (black) and paper (white) by brightness.
#pragma once

#include <memory>
#include <string>

#include "platform/base/Rect.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Brush.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Gdi.h"
#include "platform/gfx/Pen.h"
#include "platform/gfx/Rgn.h"

namespace gfx_detail {
struct DCImpl;
}

class CDC {
 public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  static CDC* FromHandle(HDC dc) { return dc; }
  HDC GetSafeHdc() { return IsValid() ? this : nullptr; }
  BOOL IsValid() const;

  // --- Creation -------------------------------------------------------------
  // A memory context; a 1 x 1 monochrome bitmap is selected until another is.
  // The other context is only a hint (all memory contexts are alike).
  BOOL CreateCompatibleDC(CDC* other);
  // Draws into width x height XRGB8888 pixels, pitch bytes per row, owned by the
  // caller and valid until DetachPixels or destruction. With area, only that part
  // is drawn into and its top-left is the origin. FALSE for bad arguments.
  BOOL AttachPixels(void* pixels, int width, int height, int pitch, const RECT* area = nullptr);
  void DetachPixels();
  BOOL DeleteDC();
  // Pushes pending drawing into the pixels (done by every call that reads them).
  void Flush();

  // --- Attributes -----------------------------------------------------------
  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);
  int GetBkMode() const;
  int SetROP2(int mode);
  int GetROP2() const;
  int SetStretchBltMode(int mode);
  int GetStretchBltMode() const;
  int SetPolyFillMode(int mode);
  int GetPolyFillMode() const;
  CPoint SetBrushOrg(int x, int y);
  // Logical (0, 0) lands at this device point.
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
  CPoint OffsetViewportOrg(int dx, int dy);
  CPoint GetViewportOrg() const;
  int GetDeviceCaps(int index) const;
  // Size of the drawing surface in device pixels (0 x 0 without one).
  CSize GetSurfaceSize() const;

  // Saves the attributes, objects, position and clip; returns the level (> 0).
  int SaveDC();
  // Restores a level from SaveDC (negative: relative to the newest, -1 newest).
  BOOL RestoreDC(int saved);

  // --- Objects --------------------------------------------------------------
  // Each returns the object it replaced (a stock object at first).
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectObject(CGdiObject* object);
  CGdiObject* SelectStockObject(int index);
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  // --- Clipping (regions in device coordinates of this context) ---------------
  // For a window's context over its top-level surface: device (0, 0) is the
  // surface point origin, and nothing is drawn outside area (surface
  // coordinates; null: the whole surface), whatever clip is selected later.
  void SetWindowArea(POINT origin, const CRgn* area);
  // Replaces the clip region with a copy of rgn (null: no clip region).
  int SelectClipRgn(CRgn* rgn);
  int SelectClipRgn(CRgn* rgn, int mode);
  int IntersectClipRect(int left, int top, int right, int bottom);
  int IntersectClipRect(const RECT* rect);
  int ExcludeClipRect(int left, int top, int right, int bottom);
  int ExcludeClipRect(const RECT* rect);
  // The smallest rectangle around the visible part, in logical coordinates.
  int GetClipBox(RECT* rect) const;
  BOOL PtVisible(int x, int y) const;
  BOOL RectVisible(const RECT* rect) const;

  // --- Lines and shapes -----------------------------------------------------
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL MoveToEx(int x, int y, POINT* previous);
  CPoint GetCurrentPosition() const;
  // A line from the current position up to, not including, the end point.
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
  BOOL Polyline(const POINT* points, int count);
  // Filled with the brush by the fill mode, outlined with the pen.
  BOOL Polygon(const POINT* points, int count);
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(const RECT* rect);
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL Ellipse(const RECT* rect);
  BOOL RoundRect(int left, int top, int right, int bottom, int width, int height);
  COLORREF SetPixel(int x, int y, COLORREF colour);
  COLORREF GetPixel(int x, int y) const;

  // --- Fills and edges ------------------------------------------------------
  void FillRect(const RECT* rect, CBrush* brush);
  void FillSolidRect(const RECT* rect, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
  // Lays a colour over what is there with an opacity of alpha / 255 (a
  // translucent panel); on a monochrome bitmap it is opaque from 128 on.
  void BlendSolidRect(const RECT* rect, COLORREF colour, BYTE alpha);
  void FrameRect(const RECT* rect, CBrush* brush);
  void InvertRect(const RECT* rect);
  BOOL FillRgn(CRgn* rgn, CBrush* brush);
  void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  // EDGE_RAISED / EDGE_SUNKEN (or BDR_* parts) on the BF_* sides; BF_ADJUST
  // shrinks rect by the drawn border.
  BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);

  // --- Block transfers ------------------------------------------------------
  // rop is one of SRCCOPY, SRCAND, SRCINVERT, SRCPAINT, PATCOPY, PATINVERT,
  // DSTINVERT, WHITENESS, BLACKNESS.
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, DWORD rop);
  // Draws part of a device-independent picture (8 bits with a colour table, 16
  // bits 5-6-5 bit fields or 5-5-5, 24 or 32 bits; negative height for top-down)
  // scaled to the destination: nearest pixel with COLORONCOLOR, smooth with
  // HALFTONE; negative destination sizes mirror. Returns the rows drawn, 0 on error.
  int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
  // Unscaled copy of a picture's rows startScan .. startScan + scanCount (counted
  // from the picture's bottom row, as stored bottom-up) to (xDest, yDest).
  int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc, UINT startScan,
                        UINT scanCount, const void* bits, const BITMAPINFO* info, UINT usage);
  // Reads rows of bitmap (not selected in a context that is drawing) as a DIB in
  // info's format: 1 bit (rows padded to 32 bits, most significant bit first,
  // 0 = black), 16 (5-6-5), 24 or 32 bits; a negative info height asks for
  // top-down rows. With bits null only fills info's size fields. Returns the rows
  // copied, 0 on error.
  int GetDIBits(CBitmap* bitmap, UINT startScan, UINT scanCount, void* bits, BITMAPINFO* info, UINT usage);

  // --- Text -----------------------------------------------------------------
  BOOL TextOut(int x, int y, const char* text, int length);
  BOOL TextOut(int x, int y, const std::string& text) { return TextOut(x, y, text.c_str(), static_cast<int>(text.size())); }
  BOOL TextOutA(int x, int y, const char* text, int length) { return TextOut(x, y, text, length); }
  CSize GetTextExtent(const char* text, int length) const;
  CSize GetTextExtent(const std::string& text) const { return GetTextExtent(text.c_str(), static_cast<int>(text.size())); }
  BOOL GetTextExtentPoint32(const char* text, int length, SIZE* size) const;
  BOOL GetTextExtentPoint32A(const char* text, int length, SIZE* size) const {
    return GetTextExtentPoint32(text, length, size);
  }
  // length -1 means up to the terminating zero. Returns the text height (or, with
  // DT_VCENTER / DT_BOTTOM, the offset from rect's top to the text's bottom);
  // 0 on failure.
  int DrawText(const char* text, int length, RECT* rect, UINT format);
  int DrawText(const std::string& text, RECT* rect, UINT format) {
    return DrawText(text.c_str(), static_cast<int>(text.size()), rect, format);
  }
  int DrawTextA(const char* text, int length, RECT* rect, UINT format) { return DrawText(text, length, rect, format); }
  BOOL GetTextMetrics(TEXTMETRICA* metrics) const;

  // Internal state, for the drawing layer's own files.
  gfx_detail::DCImpl* Impl() const { return m_impl.get(); }

 private:
  std::unique_ptr<gfx_detail::DCImpl> m_impl;
};
