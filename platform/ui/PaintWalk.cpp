// Idle painting: each top-level window collects the invalidated areas of
// itself and its children; when the loop has nothing else to do it walks the
// window tree once, sending WM_ERASEBKGND and WM_PAINT to each window whose
// visible part meets the update area, clipped to that part (less its children
// with WS_CLIPCHILDREN, less the siblings above it with WS_CLIPSIBLINGS), and
// then presents the changed rectangles.
#include <utility>

#include "platform/ui/App.h"
#include "platform/ui/UiCore.h"

namespace uicore {

namespace {

// The area of `wnd` (top-level coordinates) that its own paint may touch.
CUpdateRegion PaintableArea(CWnd* wnd, const CUpdateRegion& update) {
  CUpdateRegion area = update;
  area.Intersect(wnd->VisibleRectInTopLevel());
  if (area.IsEmpty()) return area;
  const CPoint origin = wnd->OriginInTopLevel();
  if (wnd->GetStyle() & WS_CLIPCHILDREN) {
    for (CWnd* child : wnd->GetChildren()) {
      if (!(child->GetStyle() & WS_VISIBLE)) continue;
      CRect r;
      child->GetWindowRect(&r);
      wnd->ScreenToClient(&r);
      r.OffsetRect(origin);
      area.Subtract(r);
    }
  }
  CWnd* parent = wnd->IsTopLevel() ? nullptr : wnd->GetParent();
  if (parent && (wnd->GetStyle() & WS_CLIPSIBLINGS)) {
    const std::vector<CWnd*> siblings = parent->GetChildren();
    bool above = false;
    const CPoint parentOrigin = parent->OriginInTopLevel();
    for (CWnd* s : siblings) {
      if (s == wnd) {
        above = true;
        continue;
      }
      if (!above || !(s->GetStyle() & WS_VISIBLE)) continue;
      CRect r;
      s->GetWindowRect(&r);
      parent->ScreenToClient(&r);
      r.OffsetRect(parentOrigin);
      area.Subtract(r);
    }
  }
  return area;
}

// Paints `wnd` when part of it waits, then its children; adds what was
// painted (top-level coordinates) to `painted`.
void PaintOne(CWnd* wnd, CUpdateRegion& painted) {
  if (!(wnd->GetStyle() & WS_VISIBLE)) return;
  const HWND self = wnd->m_hWnd;
  if (!wnd->PendingUpdate().IsEmpty()) {
    const CPoint origin = wnd->OriginInTopLevel();
    CUpdateRegion update;
    std::swap(update, wnd->PendingUpdate());  // what is invalidated while painting waits for the next walk
    const bool erase = wnd->PendingErase();
    wnd->PendingErase() = false;
    update.Offset(origin.x, origin.y);
    CUpdateRegion area = PaintableArea(wnd, update);
    for (const CRect& r : area.Rects()) painted.Add(r);
    if (!area.IsEmpty()) {
      area.Offset(-origin.x, -origin.y);
      CWnd::PaintState& state = wnd->CurrentPaint();
      CWnd::PaintState saved = state;
      state.active = true;
      state.erase = erase;
      state.rects = area.Rects();
      state.bounds = area.Bounds();
      if (erase) SendErase(wnd);
      if (Lookup(self) == wnd) wnd->SendMessage(WM_PAINT);
      if (Lookup(self) != wnd) return;
      wnd->CurrentPaint() = saved;
    }
  }
  for (CWnd* child : wnd->GetChildren()) {
    if (Lookup(self) != wnd) return;
    PaintOne(child, painted);
  }
}

}  // namespace

void PaintTopLevel(CWnd* top) {
  CWndNative* native = top ? top->Native() : nullptr;
  if (!native || !native->dirty) return;
  native->dirty = false;
  if (!top->IsWindowVisible()) return;
  const HWND self = top->m_hWnd;
  CUpdateRegion painted;
  PaintOne(top, painted);
  if (Lookup(self) != top || !top->Native()) return;
  Present(top, painted);
}

void PaintAllPending() {
  const std::vector<CWnd*> tops = Get().topLevels;
  for (CWnd* top : tops) {
    const HWND hwnd = top->m_hWnd;
    if (Lookup(hwnd) == top) PaintTopLevel(top);
  }
}

namespace {
ui::PresentObserver& Observer() {
  static ui::PresentObserver observer;
  return observer;
}
}  // namespace

void Present(CWnd* top, const CUpdateRegion& area) {
  CWndNative* native = top->Native();
  if (!native || area.IsEmpty()) return;
  std::vector<SDL_Rect> rects;
  rects.reserve(area.Rects().size());
  for (const CRect& r : area.Rects()) rects.push_back(SDL_Rect{r.left, r.top, r.Width(), r.Height()});
  if (SDL_UpdateWindowSurfaceRects(native->window, rects.data(), static_cast<int>(rects.size())) != 0)
    SDL_UpdateWindowSurface(native->window);
  if (Observer()) Observer()(top->m_hWnd);
}

}  // namespace uicore

namespace ui {
void SetPresentObserver(PresentObserver observer) { uicore::Observer() = std::move(observer); }
}  // namespace ui
