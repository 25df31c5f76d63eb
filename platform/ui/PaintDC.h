// Device contexts over a window's surface. CPaintDC is made in a WM_PAINT
// handler: it draws in the window's client coordinates, clipped to the part
// of the window being painted (the update area less whatever the window must
// not paint over); its PAINTSTRUCT's rcPaint is the bounding box of that part.
// CClientDC draws at once, outside painting, clipped to the visible client
// area, and shows the result when it is destroyed. Neither may outlive a
// resize of its window (the surface is replaced then).
#pragma once

#include "platform/gfx/DC.h"
#include "platform/ui/Wnd.h"

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps{};
  HWND m_hWnd = nullptr;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

  HWND m_hWnd = nullptr;

 private:
  CRect m_area;  // top-level client coordinates, presented on destruction
};

using CWindowDC = CClientDC;
