// CScreenPreview: a skin-coloured top-level window that hosts a replay view
// (supplied by the deriving window) below its caption band, either fitted to
// the window with the capture's aspect ratio kept while the user sizes it,
// or at capture size with scroll bars. It follows the renderer's resize
// message (WM_RENDERWND_RESIZE, width and height in the low and high 16 bits
// of lParam) by resizing itself to the new picture size.
#pragma once

#include "platform/gfx/ImageList.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/Static.h"
#include "sintra/toolkit/TransWindow.h"

// The box in the corner between the two scroll bars. It also keeps the
// capture size the window was last sized for.
class CPreviewCornerBox : public CStatic {
 public:
  CPreviewCornerBox();
  ~CPreviewCornerBox() override;
  // Loads the box's picture from a bitmap resource strip.
  BOOL LoadImages(UINT bitmapId, int cx, COLORREF mask);
  void SetBackground(COLORREF colour);
  COLORREF GetBackground() const { return m_background; }
  const CImageList& Images() const { return m_images; }

  int m_captureWidth = 1;
  int m_captureHeight = 1;

 protected:
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnPaint() override;

 private:
  CImageList m_images;
  COLORREF m_background = 0;
};

class CScreenPreview : public CTransWindow {
 public:
  static constexpr UINT kScrollBarId = 100;
  static constexpr UINT kCornerBoxId = 0xFFFF;
  static constexpr UINT kCornerBitmapId = 10001;
  static constexpr COLORREF kCornerMask = 0xFF00FF;
  // The smallest view side SizeWindow makes.
  static constexpr int kMinViewSide = 10;
  // Scroll steps: a line and a page.
  static constexpr int kLineStep = 1;
  static constexpr int kPageStep = 100;

  CScreenPreview();
  ~CScreenPreview() override;

  // The hosted replay view (a child of this window), or null before it exists.
  virtual CWnd* GetHostedView() = 0;
  // Called on WM_CLOSE instead of destroying the window.
  virtual void ClosePreview() = 0;
  // Kept for deriving windows; never called here.
  virtual void PreviewReserved() = 0;
  virtual void GetCaptureSize(int& width, int& height) = 0;
  // The view width that keeps the capture's aspect ratio for a height, and
  // the height for a width.
  virtual int GetWidthForHeight(int height) = 0;
  virtual int GetHeightForWidth(int width) = 0;
  // Non-zero: the view is fitted to the window; 0: shown at capture size
  // with scroll bars.
  virtual int GetFitToWindow() { return 1; }

  // Stores the capture size and, in fit mode or when forced, sizes the
  // window so that the view below the caption band is width x height
  // (within the minimum side and the screen, aspect ratio kept).
  void SizeWindow(int width, int height, int force);

  CScrollBar& GetVertBar() { return m_vertBar; }
  CScrollBar& GetHorzBar() { return m_horzBar; }
  CPreviewCornerBox& GetCornerBox() { return m_corner; }
  // The client area below the caption band.
  CRect GetViewArea() const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  int OnCreate(CREATESTRUCT* create) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnSizing(UINT edge, LPRECT rect) override;
  void OnGetMinMaxInfo(MINMAXINFO* info) override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnClose() override;
  void OnKillFocus(CWnd* newWnd) override;
  void OnHScroll(UINT code, UINT pos, CWnd* scrollBar) override;
  void OnVScroll(UINT code, UINT pos, CWnd* scrollBar) override;
  LRESULT OnRenderwndResize(WPARAM wParam, LPARAM lParam);

  void UpdateScrollBars();
  void UpdateCapturePos();
  void Scroll(int dx, int dy);

 private:
  // Window size less client size, with the caption band counted as frame.
  CSize FrameOverhead();
  // The window size for a view of width x height.
  CSize WindowSizeFor(int width, int height);
  // A view size of at least the minimum side on both axes, aspect kept.
  void ApplyMinimumSide(int& width, int& height);
  void OnScroll(CScrollBar& bar, UINT code, UINT pos);

  CScrollBar m_vertBar;
  CScrollBar m_horzBar;
  CPreviewCornerBox m_corner;
};
