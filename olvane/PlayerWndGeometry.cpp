// The player window's geometry: the layout of caption bar, view and control
// bar, sizing the window for a picture, aspect sizing, full screen, replay
// size, the control bar and scaling modes.
#include <algorithm>

#include "olvane/PlayerLayout.h"
#include "olvane/PlayerWnd.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/CaptionBar.h"
#include "sintra/widgets/TimeDisplay.h"
#include "sintra/widgets/TransButton.h"
#include "sintra/widgets/TransLedProgress.h"

using namespace player;

namespace {

CRect WorkArea() {
  CRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

}  // namespace

void CPlayerWnd::Layout(int W, int H) {
  if (!m_buttons || !m_buttons->GetSafeHwnd()) return;
  const bool captionShown = !m_fullScreen && m_windowMode != SCRIPT_WINDOW_NOFRAME;
  const bool controls = m_controlsShown && !m_fullScreen;
  const int left = controls ? H - kControlBarHeight : H;
  int captionHeight = 0;
  if (captionShown) {
    captionHeight = g_skinData.m_captionHeight;
    int x = W - g_skinData.m_iconSize.cx;
    for (auto& button : m_captionButtons) {
      CRect r;
      button->GetWindowRect(&r);
      button->MoveWindow(x, 1, r.Width(), r.Height());
      x += r.Width();
    }
    m_caption->MoveWindow(0, 0, W, captionHeight);
    m_caption->ShowWindow(SW_SHOW);
    m_caption->Invalidate();
  } else {
    m_caption->ShowWindow(SW_HIDE);
    Invalidate();
  }
  const int area = std::max(0, left - captionHeight);
  const CSize p = PictureSize(m_scalingMode, CSize(m_replayWidth, m_replayHeight), W, area);
  if (m_view.GetSafeHwnd()) m_view.MoveWindow((W - p.cx) / 2, captionHeight + (area - p.cy) / 2, p.cx, p.cy);
  if (controls) {
    const ControlBarLayout bar = LayoutControlBar(W, H);
    // The window's own face shows round the counter (PaintFace).
    const CRect barArea(0, H - kControlBarHeight, W, H);
    InvalidateRect(&barArea, TRUE);
    m_buttons->MoveWindow(&bar.buttons);
    m_buttons->ShowWindow(SW_SHOW);
    m_buttons->Invalidate();
    if (bar.progressShown) {
      m_progress->MoveWindow(&bar.progress);
      m_progress->ShowWindow(SW_SHOW);
      m_progress->Invalidate();
    } else {
      m_progress->ShowWindow(SW_HIDE);
    }
    if (bar.timeShown) {
      m_time->MoveWindow(&bar.time);
      m_time->ShowWindow(SW_SHOW);
      m_time->Invalidate();
    } else {
      m_time->ShowWindow(SW_HIDE);
    }
  } else {
    m_buttons->ShowWindow(SW_HIDE);
    m_progress->ShowWindow(SW_HIDE);
    m_time->ShowWindow(SW_HIDE);
  }
  if (m_view.GetSafeHwnd()) m_view.Invalidate(FALSE);
}

void CPlayerWnd::OnSize(UINT type, int cx, int cy) {
  CBaseInterface::OnSize(type, cx, cy);
  Layout(cx, cy);
}

void CPlayerWnd::ApplyWindowStyle() {
  if (m_fullScreen)
    ModifyStyle(WS_THICKFRAME, 0);
  else if (m_windowMode != SCRIPT_WINDOW_NOFRAME)
    ModifyStyle(0, WS_THICKFRAME);
}

CRect CPlayerWnd::ViewArea() const {
  CRect client;
  GetClientRect(&client);
  if (!m_fullScreen && m_windowMode != SCRIPT_WINDOW_NOFRAME) client.top += g_skinData.m_captionHeight;
  if (!m_fullScreen && m_controlsShown) client.bottom -= kControlBarHeight;
  return client;
}

void CPlayerWnd::OnSizing(UINT edge, LPRECT rect) {
  SizingFrame frame;
  if (!m_fullScreen && m_windowMode != SCRIPT_WINDOW_NOFRAME) frame.extraTop = g_skinData.m_captionHeight;
  if (!m_fullScreen && m_controlsShown) frame.extraBottom = kControlBarHeight;
  CRect borders(0, 0, 0, 0);
  const_cast<CPlayerWnd*>(this)->CalcWindowRect(&borders);
  frame.frameLeft = -borders.left;
  frame.frameTop = -borders.top;
  frame.frameRight = borders.right;
  frame.frameBottom = borders.bottom;
  CRect r(*rect);
  AspectSizing(edge, r, CSize(m_replayWidth, m_replayHeight), frame);
  *rect = r;
  CBaseInterface::OnSizing(edge, rect);
}

void CPlayerWnd::SizeWindow(int w, int h, int centre, int force) {
  CRect window;
  GetWindowRect(&window);
  const CRect work = WorkArea();
  if (m_fullScreen) {
    w = work.Width();
    h = work.Height();
  }
  CRect r(0, 0, w, h);
  CalcWindowRect(&r);
  r.OffsetRect(-r.left, -r.top);
  if (m_fullScreen) {
    if (r.Width() > work.Width() || r.Height() > work.Height()) {
      r.right = r.left + std::min(r.Width(), work.Width());
      r.bottom = r.top + std::min(r.Height(), work.Height());
    } else {
      Layout(w, h);
    }
  } else {
    if (m_windowMode != SCRIPT_WINDOW_NOFRAME) r.bottom += g_skinData.m_captionHeight;
    if (m_controlsShown) r.bottom += kControlBarHeight;
    SizingFrame frame;
    if (m_windowMode != SCRIPT_WINDOW_NOFRAME) frame.extraTop = g_skinData.m_captionHeight;
    if (m_controlsShown) frame.extraBottom = kControlBarHeight;
    if (r.Width() > work.Width()) {
      r.right = r.left + work.Width();
      AspectSizing(WMSZ_RIGHT, r, CSize(m_replayWidth, m_replayHeight), frame);
    }
    if (r.Height() > work.Height()) {
      r.bottom = r.top + work.Height();
      AspectSizing(WMSZ_BOTTOM, r, CSize(m_replayWidth, m_replayHeight), frame);
    }
  }
  r.OffsetRect(window.left, window.top);
  CRect meet;
  if (centre || !meet.IntersectRect(&r, &work)) {
    // Centred on the work area, wherever the work area starts.
    const int width = r.Width(), height = r.Height();
    r.left = work.left + (work.Width() - width) / 2;
    r.top = work.top + (work.Height() - height) / 2;
    r.right = r.left + width;
    r.bottom = r.top + height;
  }
  if (force && r == window) MoveWindow(r.left, r.top, r.Width() - 1, r.Height(), TRUE);
  MoveWindow(&r, TRUE);
}

void CPlayerWnd::ToggleFullScreen() {
  m_fullScreen = !m_fullScreen;
  ApplyWindowStyle();
  SizeWindow(m_replayWidth, m_replayHeight, 1, 1);
}

void CPlayerWnd::ReplaySize(UINT id) {
  const int w = m_view.PictureWidth() > 1 ? m_view.PictureWidth() : m_replayWidth;
  const int h = m_view.PictureHeight() > 1 ? m_view.PictureHeight() : m_replayHeight;
  const int wasFull = m_fullScreen;
  m_fullScreen = 0;
  ApplyWindowStyle();
  if (id == ID_SIZE50)
    SizeWindow(w / 2, h / 2, wasFull, 1);
  else if (id == ID_SIZE200)
    SizeWindow(w * 2, h * 2, wasFull, 1);
  else
    SizeWindow(w, h, wasFull, 1);
}

void CPlayerWnd::ToggleControls() {
  m_controlsShown = !m_controlsShown;
  CRect r;
  m_view.GetWindowRect(&r);
  SizeWindow(r.Width(), r.Height(), 0, 0);
}

void CPlayerWnd::SetScalingMode(int mode) {
  m_scalingMode = mode;
  CRect client;
  GetClientRect(&client);
  Layout(client.Width(), client.Height());
}

void CPlayerWnd::ToggleHighQuality() {
  m_renderVars.SetHighQualityReplay(!m_renderVars.GetHighQualityReplay());
  m_view.Invalidate(FALSE);
}

void CPlayerWnd::OnSkinMouseMove(int x, int y) {
  if (IsDragging()) {
    MoveByDrag(x, y);
    return;
  }
  (void)x;
  (void)y;
}

void CPlayerWnd::OnSkinButtonUp(int, int) {
  static const UINT kSpotCommands[3] = {ID_PLAY, ID_STOP, ID_PAUSE};
  const int spot = GetPressedSpot() - kSpotBase;
  if (spot >= 0 && spot < 3) PostMessage(WM_COMMAND, kSpotCommands[spot]);
}

void CPlayerWnd::PaintFace(CPaintDC& dc) {
  CRect client;
  GetClientRect(&client);
  if (m_fullScreen) {
    // Nothing of the window's frame (its raised edge, the caption area) may
    // show round the picture in full screen.
    dc.FillSolidRect(&client, g_skinData.SkinColour(SKIN_BACK));
    return;
  }
  CSkinBase::PaintFace(dc);
  // The control bar's face is the window background the bar's widgets are
  // drawn on; it shows where the counter, lower than the bar, leaves room.
  if (!m_controlsShown) return;
  const CRect bar(0, client.bottom - kControlBarHeight, client.right, client.bottom);
  dc.FillSolidRect(&bar, g_skinData.SkinColour(SKIN_WINDOW_BACK));
}
