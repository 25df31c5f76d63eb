#include "pravex/support/ClipboardGrab.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/os/Clipboard.h"
#include "platform/os/PackedDib.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Wnd.h"

namespace {

// Clamps a 64-bit coordinate into [low, high].
int ClampTo(long long v, int low, int high) { return static_cast<int>(std::clamp<long long>(v, low, high)); }

}  // namespace

BOOL GrabWindowPicture(CWnd* window, BOOL wholeWindow, const CRect& insetRect, os::CRgbPicture& picture) {
  if (!window || !window->GetSafeHwnd() || !::IsWindow(window->GetSafeHwnd())) return FALSE;
  CWnd* top = window->GetTopLevelParent();
  if (!top) top = window;
  window->UpdateWindow();
  std::vector<std::uint32_t> shown;
  int width = 0, height = 0;
  if (!ui::ReadWindowPixels(window->GetSafeHwnd(), shown, width, height)) return FALSE;

  // The area in the top-level window's client coordinates, where the pixels are.
  CRect area;
  if (wholeWindow) {
    window->GetWindowRect(&area);
  } else {
    window->GetClientRect(&area);
    window->ClientToScreen(&area);
  }
  POINT origin{0, 0};
  top->ClientToScreen(&origin);
  // Insets may be anything a caller passes: work in 64 bits and clamp to the
  // pixels there are, so no inset can reach outside them or overflow.
  const long long left = static_cast<long long>(area.left) - origin.x + insetRect.left;
  const long long topEdge = static_cast<long long>(area.top) - origin.y + insetRect.top;
  const long long right = static_cast<long long>(area.right) - origin.x - insetRect.right;
  const long long bottom = static_cast<long long>(area.bottom) - origin.y - insetRect.bottom;
  const int x0 = ClampTo(left, 0, width), y0 = ClampTo(topEdge, 0, height);
  const int x1 = ClampTo(right, 0, width), y1 = ClampTo(bottom, 0, height);
  if (x1 <= x0 || y1 <= y0) return FALSE;

  picture.pixels.clear();
  picture.width = x1 - x0;
  picture.height = y1 - y0;
  picture.pixels.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
  for (int y = y0; y < y1; ++y) {
    const std::uint32_t* row = shown.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    picture.pixels.insert(picture.pixels.end(), row + x0, row + x1);
  }
  return TRUE;
}

BOOL GrabToClipboard(CWnd* window, BOOL wholeWindow, const CRect& insetRect) {
  os::CRgbPicture picture;
  if (!GrabWindowPicture(window, wholeWindow, insetRect, picture)) return FALSE;
  const std::vector<std::uint8_t> dib = os::WritePackedDib24(picture);
  if (dib.empty()) return FALSE;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
  void* bytes = block ? GlobalLock(block) : nullptr;
  if (!bytes) {
    if (block) GlobalFree(block);
    return FALSE;
  }
  std::memcpy(bytes, dib.data(), dib.size());
  GlobalUnlock(block);

  if (!OpenClipboard(window->GetSafeHwnd())) {
    GlobalFree(block);
    return FALSE;
  }
  EmptyClipboard();
  const bool placed = SetClipboardData(CF_DIB, block) != nullptr;
  if (!placed) GlobalFree(block);
  CloseClipboard();
  return placed ? TRUE : FALSE;
}
