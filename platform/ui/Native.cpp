// Native window shapes: where the desktop can shape windows, a shaped window
// shows only its region; the mask is rebuilt whenever the size changes.
#include "platform/gfx/Rgn.h"
#include "platform/ui/UiCore.h"

namespace uicore {

namespace {

// An ARGB mask of the window size: opaque inside the region.
SDL_Surface* MakeShapeMask(const CRgn& region, int width, int height) {
  SDL_Surface* mask = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!mask) return nullptr;
  SDL_FillRect(mask, nullptr, 0);
  const int count = region.GetRectCount();
  for (int i = 0; i < count; ++i) {
    RECT r;
    if (!region.GetRect(i, &r)) continue;
    SDL_Rect fill{r.left, r.top, r.right - r.left, r.bottom - r.top};
    SDL_FillRect(mask, &fill, 0xFF000000u);
  }
  return mask;
}

}  // namespace

void ApplyShape(CWnd* top) {
  CWndNative* native = top ? top->Native() : nullptr;
  if (!native) return;
  const CRgn* region = top->GetWindowRgn();
  if (!region) {
    if (SDL_IsShapedWindow(native->window)) top->RecreateNative(false);
    return;
  }
  if (!SDL_IsShapedWindow(native->window) && !top->RecreateNative(true)) return;
  native = top->Native();
  int w = 0, h = 0;
  SDL_GetWindowSize(native->window, &w, &h);
  SDL_Surface* mask = MakeShapeMask(*region, w, h);
  if (!mask) return;
  SDL_WindowShapeMode mode;
  mode.mode = ShapeModeBinarizeAlpha;
  mode.parameters.binarizationCutoff = 128;
  SDL_SetWindowShape(native->window, mask, &mode);
  SDL_FreeSurface(mask);
  CPoint origin(0, 0);
  top->ClientToScreen(&origin);
  SDL_SetWindowPosition(native->window, origin.x, origin.y);
}

}  // namespace uicore
