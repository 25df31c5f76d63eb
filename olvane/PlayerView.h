// The replay view: the child window of the player that shows the replay
// picture. It is also the renderer of the screen, cursor and camera streams;
// the reader's worker reports changed areas to it, and it repaints them on
// the window thread, scaled from picture to client coordinates.
#pragma once

#include <memory>

#include "olvane/FrameTrace.h"
#include "platform/ui/Wnd.h"
#include "pravex/render/RenderBase.h"

// Posted by the view to itself: an area of the picture changed (wParam: left
// and top, lParam: right and bottom, signed 16-bit halves).
constexpr UINT WM_VIEW_UPDATEAREA = WM_APP + 0x160;

class CPlayerView : public CWnd, public CRenderBase {
 public:
  // The view's timer that polls the renderer (click indicator, cursor).
  static constexpr std::uintptr_t kPollTimer = 0;

  CPlayerView();
  ~CPlayerView() override;

  // Creates the view as a visible child of `parent` and starts its timer.
  BOOL CreateView(CWnd* parent, const CRect& rect);

  void InvalidateScreen() override;
  void InvalidateScreenRect(const CRect& rect, int erase) override;
  void SetScreenDeviceSize() override;
  // Called on the reader's worker with the renderer's lock held: only posts.
  void InvalidateUpdateArea(const CRect& rect, unsigned short stream) override;
  CWnd* GetMainWnd() override;
  int ProcessData(CCaptureData* record) override;

  // The main window the view serves (its commands and settings); defaults to
  // the thread's main window.
  void SetOwnerWindow(CWnd* owner) { m_owner = owner; }

  // The mapping between client area and picture, as the last size set it.
  int ClientWidth() const { return m_clientWidth; }
  int ClientHeight() const { return m_clientHeight; }
  int PictureWidth() const { return m_pictureWidth; }
  int PictureHeight() const { return m_pictureHeight; }
  // The widening of a changed area, in client pixels, for each direction.
  CRect Widened(const CRect& rect) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnTimer(std::uintptr_t id) override;
  void OnContextMenu(CWnd* wnd, CPoint screenPoint) override;
  BOOL OnQueryNewPalette() override;
  void OnPaletteChanged(CWnd* focusWnd) override;

 private:
  void OnUpdateArea(WPARAM wParam, LPARAM lParam);

  CWnd* m_owner = nullptr;  // not owned
  int m_clientWidth = 1;
  int m_clientHeight = 1;
  int m_pictureWidth = 1;
  int m_pictureHeight = 1;
  double m_scaleX = 1.0;
  double m_scaleY = 1.0;
  int m_fillOutside = 1;
  std::unique_ptr<CFrameTrace> m_trace;  // only when frame timing is asked for
  bool m_pictureDrawn = false;
};
