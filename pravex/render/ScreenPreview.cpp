#include "pravex/render/ScreenPreview.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/os/SysColors.h"
#include "platform/ui/PaintDC.h"
#include "pravex/render/RenderRoot.h"
#include "sintra/skin/SkinData.h"

namespace {

// View sides are kept where window arithmetic cannot overflow.
constexpr int kMaxSide = 32767;

int Side(int v) { return std::clamp(v, 0, kMaxSide); }

}  // namespace

CPreviewCornerBox::CPreviewCornerBox() = default;
CPreviewCornerBox::~CPreviewCornerBox() = default;

BOOL CPreviewCornerBox::LoadImages(UINT bitmapId, int cx, COLORREF mask) {
  m_images.DeleteImageList();
  if (!m_images.Create(bitmapId, cx, 0, mask)) return FALSE;
  m_images.SetBkColor(m_background);
  return TRUE;
}

void CPreviewCornerBox::SetBackground(COLORREF colour) {
  m_background = colour;
  if (m_images.IsCreated()) m_images.SetBkColor(colour);
  if (m_hWnd) Invalidate();
}

void CPreviewCornerBox::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, m_background);
  int cx = 0;
  int cy = 0;
  if (m_images.GetImageCount() > 0 && m_images.GetIconSize(&cx, &cy))
    m_images.Draw(&dc, 0, CPoint(client.right - cx, client.bottom - cy), ILD_NORMAL);
}

CScreenPreview::CScreenPreview() = default;
CScreenPreview::~CScreenPreview() {
  if (m_hWnd) DestroyWindow();
}

int CScreenPreview::OnCreate(CREATESTRUCT* create) {
  if (CTransWindow::OnCreate(create) == -1) return -1;
  const CRect none(0, 0, 0, 0);
  if (!m_vertBar.Create(WS_CHILD | SBS_VERT, none, this, kScrollBarId)) return -1;
  if (!m_horzBar.Create(WS_CHILD | SBS_HORZ, none, this, kScrollBarId)) return -1;
  ModifyStyle(0, WS_CLIPCHILDREN);
  const int t = GetCaptionHeight();
  if (!m_corner.Create("", WS_CHILD, CRect(0, 0, t, t), this, kCornerBoxId)) return -1;
  m_corner.LoadImages(kCornerBitmapId, 16, kCornerMask);
  m_corner.SetBackground(GetSysColor(COLOR_SCROLLBAR));
  return 0;
}

LRESULT CScreenPreview::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERWND_RESIZE) return OnRenderwndResize(wParam, lParam);
  return CTransWindow::WindowProc(message, wParam, lParam);
}

LRESULT CScreenPreview::OnRenderwndResize(WPARAM, LPARAM lParam) {
  SizeWindow(LOWORD(lParam), HIWORD(lParam), 0);
  return 0;
}

CRect CScreenPreview::GetViewArea() const {
  CRect client;
  GetClientRect(&client);
  client.top = std::min<int>(client.bottom, client.top + GetCaptionHeight());
  return client;
}

CSize CScreenPreview::FrameOverhead() {
  CRect r(0, 0, 100, 100);
  CalcWindowRect(&r);
  return CSize(std::max(0, r.Width() - 100), std::max(0, r.Height() - 100) + GetCaptionHeight());
}

CSize CScreenPreview::WindowSizeFor(int width, int height) {
  const CSize over = FrameOverhead();
  return CSize(Side(width) + over.cx, Side(height) + over.cy);
}

void CScreenPreview::ApplyMinimumSide(int& width, int& height) {
  // The width is settled first; the height only decides when the width was
  // already wide enough, so a tiny picture is shown kMinViewSide wide.
  if (width < kMinViewSide) {
    width = kMinViewSide;
    height = Side(GetHeightForWidth(kMinViewSide));
  } else if (height < kMinViewSide) {
    height = kMinViewSide;
    width = Side(GetWidthForHeight(kMinViewSide));
  }
}

void CScreenPreview::SizeWindow(int width, int height, int force) {
  width = Side(width);
  height = Side(height);
  m_corner.m_captureWidth = width;
  m_corner.m_captureHeight = height;
  if (!m_hWnd) return;
  CWnd* view = GetHostedView();
  if (GetFitToWindow() || force) {
    UpdateScrollBars();
    ApplyMinimumSide(width, height);
    const CSize over = FrameOverhead();
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    CSize win = WindowSizeFor(width, height);
    if (screenW > over.cx && win.cx > screenW) {
      width = screenW - over.cx;
      height = Side(GetHeightForWidth(width));
      win = WindowSizeFor(width, height);
    }
    if (screenH > over.cy && win.cy > screenH) {
      height = screenH - over.cy;
      width = Side(GetWidthForHeight(height));
      win = WindowSizeFor(width, height);
    }
    CRect now;
    GetWindowRect(&now);
    CRect next(now.left, now.top, now.left + win.cx, now.top + win.cy);
    CRect meet;
    if (!meet.IntersectRect(next, CRect(0, 0, screenW, screenH))) {
      // Centred in the usable area of the display, wherever that area starts.
      CRect work;
      SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
      next.MoveToXY(work.left + (work.Width() - win.cx) / 2, work.top + (work.Height() - win.cy) / 2);
    }
    SetWindowPos(nullptr, next.left, next.top, next.Width(), next.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (view && view->m_hWnd && GetFitToWindow()) {
      const CRect area = GetViewArea();
      view->MoveWindow(&area, FALSE);
      view->Invalidate(FALSE);
    }
  }
  if (!GetFitToWindow()) {
    UpdateScrollBars();
    UpdateCapturePos();
    Invalidate();
    if (view && view->m_hWnd) view->Invalidate(FALSE);
  }
}

void CScreenPreview::OnSizing(UINT edge, LPRECT rect) {
  if (!GetFitToWindow() || !rect) {
    CTransWindow::OnSizing(edge, rect);
    return;
  }
  const CSize over = FrameOverhead();
  const int cw = Side(rect->right - rect->left - over.cx);
  const int ch = Side(rect->bottom - rect->top - over.cy);
  switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT:
    case WMSZ_BOTTOMLEFT:
    case WMSZ_BOTTOMRIGHT:
      rect->bottom = rect->top + Side(GetHeightForWidth(cw)) + over.cy;
      break;
    case WMSZ_TOPLEFT:
    case WMSZ_TOPRIGHT:
      rect->top = rect->bottom - Side(GetHeightForWidth(cw)) - over.cy;
      break;
    case WMSZ_TOP:
    case WMSZ_BOTTOM:
      rect->right = rect->left + Side(GetWidthForHeight(ch)) + over.cx;
      break;
    default:
      CTransWindow::OnSizing(edge, rect);
      break;
  }
}

void CScreenPreview::OnGetMinMaxInfo(MINMAXINFO* info) {
  CTransWindow::OnGetMinMaxInfo(info);
  if (!info) return;
  const int capW = m_corner.m_captureWidth;
  const int capH = m_corner.m_captureHeight;
  if (GetFitToWindow()) {
    int w = capW / 8;
    int h = Side(GetHeightForWidth(w));
    ApplyMinimumSide(w, h);
    const CSize minimum = WindowSizeFor(w, h);
    info->ptMinTrackSize = POINT{minimum.cx, minimum.cy};
    const CSize over = FrameOverhead();
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    int mw = Side(screenW - over.cx);
    int mh = Side(GetHeightForWidth(mw));
    if (mh + over.cy > screenH) {
      mh = Side(screenH - over.cy);
      mw = Side(GetWidthForHeight(mh));
    }
    const CSize maximum = WindowSizeFor(mw, mh);
    info->ptMaxTrackSize = POINT{std::max(maximum.cx, minimum.cx), std::max(maximum.cy, minimum.cy)};
  } else {
    const CSize maximum = WindowSizeFor(capW, capH);
    const CSize minimum = WindowSizeFor(kMinViewSide, 0);
    info->ptMaxTrackSize = POINT{maximum.cx, maximum.cy};
    info->ptMinTrackSize = POINT{minimum.cx, minimum.cy};
  }
}

void CScreenPreview::OnSize(UINT type, int cx, int cy) {
  CTransWindow::OnSize(type, cx, cy);
  CWnd* view = GetHostedView();
  if (view && view->m_hWnd) {
    if (GetFitToWindow()) {
      UpdateScrollBars();
      const CRect area = GetViewArea();
      view->MoveWindow(&area, FALSE);
      view->Invalidate(FALSE);
    } else {
      UpdateScrollBars();
      UpdateCapturePos();
    }
  }
  Invalidate();
}

void CScreenPreview::UpdateScrollBars() {
  if (!m_vertBar.m_hWnd || !m_horzBar.m_hWnd) return;
  if (GetFitToWindow()) {
    m_vertBar.ShowWindow(SW_HIDE);
    m_horzBar.ShowWindow(SW_HIDE);
    m_corner.ShowWindow(SW_HIDE);
    return;
  }
  const CRect area = GetViewArea();
  const int cw = area.Width();
  const int ch = area.Height();
  const int t = GetCaptionHeight();
  const int capW = m_corner.m_captureWidth;
  const int capH = m_corner.m_captureHeight;
  bool horz = cw < capW;
  bool vert = ch < capH;
  for (int pass = 0; pass < 2; ++pass) {
    if (horz && ch < capH + t) vert = true;
    if (vert && cw < capW + t) horz = true;
  }
  if (vert) m_vertBar.MoveWindow(area.right - t, area.top, t, std::max(0, ch - (horz ? t : 0)));
  if (horz) m_horzBar.MoveWindow(area.left, area.bottom - t, std::max(0, cw - (vert ? t : 0)), t);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = capW - 1 + (vert ? t : 0);
  si.nPage = static_cast<UINT>(std::max(0, cw));
  m_horzBar.SetScrollInfo(&si, horz);
  si.nMax = capH - 1 + (horz ? t : 0);
  si.nPage = static_cast<UINT>(std::max(0, ch));
  m_vertBar.SetScrollInfo(&si, vert);
  m_vertBar.ShowWindow(vert ? SW_SHOWNA : SW_HIDE);
  m_horzBar.ShowWindow(horz ? SW_SHOWNA : SW_HIDE);
  if (vert && horz) {
    m_corner.MoveWindow(area.right - t, area.bottom - t, t, t);
    m_corner.ShowWindow(SW_SHOWNA);
  } else {
    m_corner.ShowWindow(SW_HIDE);
  }
}

void CScreenPreview::UpdateCapturePos() {
  CWnd* view = GetHostedView();
  if (!view || !view->m_hWnd) return;
  const CRect area = GetViewArea();
  const int t = GetCaptionHeight();
  const bool horz = m_horzBar.m_hWnd && m_horzBar.IsWindowVisible();
  const bool vert = m_vertBar.m_hWnd && m_vertBar.IsWindowVisible();
  const int capW = m_corner.m_captureWidth;
  const int capH = m_corner.m_captureHeight;
  const int x = horz ? -m_horzBar.GetScrollPos() : (area.Width() - (vert ? t : 0) - capW) / 2;
  const int y = area.top + (vert ? -m_vertBar.GetScrollPos() : (area.Height() - (horz ? t : 0) - capH) / 2);
  view->SetWindowPos(&CWnd::wndBottom, x, y, capW, capH, SWP_NOACTIVATE);
}

void CScreenPreview::Scroll(int dx, int dy) {
  if (m_horzBar.m_hWnd) m_horzBar.SetScrollPos(m_horzBar.GetScrollPos() + dx);
  if (m_vertBar.m_hWnd) m_vertBar.SetScrollPos(m_vertBar.GetScrollPos() + dy);
  UpdateCapturePos();
}

void CScreenPreview::OnScroll(CScrollBar& bar, UINT code, UINT pos) {
  const bool horizontal = &bar == &m_horzBar;
  int step = 0;
  switch (code) {
    case SB_LINEUP:
      step = -kLineStep;
      break;
    case SB_LINEDOWN:
      step = kLineStep;
      break;
    case SB_PAGEUP:
      step = -kPageStep;
      break;
    case SB_PAGEDOWN:
      step = kPageStep;
      break;
    case SB_THUMBTRACK:
      bar.SetScrollPos(static_cast<int>(std::min<UINT>(pos, kMaxSide)));
      UpdateCapturePos();
      return;
    default:
      return;
  }
  Scroll(horizontal ? step : 0, horizontal ? 0 : step);
}

void CScreenPreview::OnHScroll(UINT code, UINT pos, CWnd* scrollBar) {
  if (scrollBar == &m_horzBar)
    OnScroll(m_horzBar, code, pos);
  else
    CTransWindow::OnHScroll(code, pos, scrollBar);
}

void CScreenPreview::OnVScroll(UINT code, UINT pos, CWnd* scrollBar) {
  if (scrollBar == &m_vertBar)
    OnScroll(m_vertBar, code, pos);
  else
    CTransWindow::OnVScroll(code, pos, scrollBar);
}

BOOL CScreenPreview::OnEraseBkgnd(CDC* dc) {
  if (!dc) return FALSE;
  CRect box;
  dc->GetClipBox(&box);
  dc->FillSolidRect(&box, g_skinData.SkinColour(SKIN_WINDOW_BACK));
  return TRUE;
}

void CScreenPreview::OnClose() { ClosePreview(); }

// A drag in the view must not outlive the focus: the view gets the button
// release at the cursor, in its own client coordinates.
void CScreenPreview::OnKillFocus(CWnd* newWnd) {
  CTransWindow::OnKillFocus(newWnd);
  CWnd* view = GetHostedView();
  if (!view || !view->m_hWnd) return;
  POINT cursor{0, 0};
  ::GetCursorPos(&cursor);
  view->ScreenToClient(&cursor);
  view->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(cursor.x), static_cast<WORD>(cursor.y)));
}
