#include "platform/ui/PaintDC.h"

#include "platform/gfx/Rgn.h"
#include "platform/ui/UiCore.h"

namespace {

// Attaches `dc` to the surface of the top-level window of `wnd`, with the
// window's client origin as logical (0, 0); false when there is no surface.
bool AttachToSurface(CDC& dc, CWnd* wnd) {
  CWnd* top = wnd->GetTopLevelParent();
  CWndNative* native = top->Native();
  SDL_Surface* surface = native ? SDL_GetWindowSurface(native->window) : nullptr;
  if (!surface || surface->format->BytesPerPixel != 4) return false;
  if (!dc.AttachPixels(surface->pixels, surface->w, surface->h, surface->pitch)) return false;
  dc.SetWindowArea(wnd->OriginInTopLevel(), nullptr);
  return true;
}

// Limits `dc` to rectangles given in the client coordinates of `wnd`: the
// window's own area, which a clip region the painter selects cannot widen.
void ClipTo(CDC& dc, CWnd* wnd, const std::vector<CRect>& rects) {
  const CPoint origin = wnd->OriginInTopLevel();
  CRgn clip;
  clip.CreateRectRgn(0, 0, 0, 0);
  for (const CRect& r : rects) {
    CRgn piece;
    piece.CreateRectRgn(r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y);
    clip.CombineRgn(&clip, &piece, RGN_OR);
  }
  dc.SetWindowArea(origin, &clip);
}

}  // namespace

CPaintDC::CPaintDC(CWnd* wnd) {
  if (!wnd || !wnd->m_hWnd) return;
  m_hWnd = wnd->m_hWnd;
  CWnd::PaintState& state = wnd->CurrentPaint();
  std::vector<CRect> rects = state.rects;
  CRect bounds = state.bounds;
  if (!state.active) {
    // Outside WM_PAINT: take over whatever of the window is waiting to be painted.
    wnd->GetUpdateRect(&bounds);
    if (!bounds.IsRectEmpty()) rects.push_back(bounds);
    wnd->ValidateRect(nullptr);
  }
  m_ps.fErase = state.erase ? TRUE : FALSE;
  m_ps.rcPaint = bounds;
  if (!AttachToSurface(*this, wnd)) return;
  m_ps.hdc = this;
  ClipTo(*this, wnd, rects);
}

CPaintDC::~CPaintDC() {
  Flush();
  CWnd* wnd = CWnd::FromHandle(m_hWnd);
  // Outside the idle painting walk nobody else shows what was drawn.
  if (wnd && !wnd->CurrentPaint().active && !CRect(m_ps.rcPaint).IsRectEmpty()) {
    CUpdateRegion area;
    CRect r = m_ps.rcPaint;
    r.OffsetRect(wnd->OriginInTopLevel());
    area.Add(r);
    uicore::Present(wnd->GetTopLevelParent(), area);
  }
}

CClientDC::CClientDC(CWnd* wnd) {
  if (!wnd || !wnd->m_hWnd || !wnd->IsWindowVisible()) return;
  m_hWnd = wnd->m_hWnd;
  if (!AttachToSurface(*this, wnd)) return;
  CUpdateRegion visible;
  m_area = wnd->VisibleRectInTopLevel();
  visible.Add(m_area);
  if (wnd->GetStyle() & WS_CLIPCHILDREN) {
    for (CWnd* child : wnd->GetChildren()) {
      if (!(child->GetStyle() & WS_VISIBLE)) continue;
      CRect r;
      child->GetWindowRect(&r);
      wnd->ScreenToClient(&r);
      r.OffsetRect(wnd->OriginInTopLevel());
      visible.Subtract(r);
    }
  }
  visible.Offset(-wnd->OriginInTopLevel().x, -wnd->OriginInTopLevel().y);
  ClipTo(*this, wnd, visible.Rects());
}

CClientDC::~CClientDC() {
  Flush();
  CWnd* wnd = CWnd::FromHandle(m_hWnd);
  if (!wnd || m_area.IsRectEmpty()) return;
  CUpdateRegion area;
  area.Add(m_area);
  uicore::Present(wnd->GetTopLevelParent(), area);
}

namespace uicore {

void SendErase(CWnd* wnd) {
  CPaintDC dc(wnd);
  wnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<CDC*>(&dc)), 0);
}

LRESULT EraseWithClassBackground(CWnd* wnd, CDC* dc) {
  if (!dc || wnd->ClassBackground() == 0xFFFFFFFF) return 0;
  CRect client;
  wnd->GetClientRect(&client);
  dc->FillSolidRect(&client, wnd->ClassBackground());
  return 1;
}

}  // namespace uicore

CDC* CWnd::GetDC() { return m_hWnd ? new CClientDC(this) : nullptr; }

int CWnd::ReleaseDC(CDC* dc) {
  delete dc;
  return dc ? 1 : 0;
}
