// Copying what a window shows onto the clipboard as a picture, for pasting
// into other programs.
#pragma once

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

class CWnd;
namespace os {
struct CRgbPicture;
}

// What the window shows now, cut as GrabToClipboard cuts it (client area or
// window rectangle, less the insets, limited to the top-level window), into
// `picture`; pending painting is done first. Zero for no window or an empty
// area. Also the player's snapshot of its view.
BOOL GrabWindowPicture(CWnd* window, BOOL wholeWindow, const CRect& insetRect, os::CRgbPicture& picture);

// Puts the window's client area (or, with `wholeWindow`, its whole window
// rectangle) less `insetRect` (left, top, right and bottom are the widths cut
// from each side) on the clipboard as a 24-bit CF_DIB picture of what the
// window shows now; pending painting is done first. The area is limited to
// what the window's top-level window shows. Returns non-zero when a picture
// was put there; zero for no window, an empty area, or a clipboard that
// another thread holds open.
BOOL GrabToClipboard(CWnd* window, BOOL wholeWindow, const CRect& insetRect);
