// Copying what a window shows onto the clipboard as a picture, for pasting
// into other programs.
#pragma once

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

class CWnd;

// Puts the window's client area (or, with `wholeWindow`, its whole window
// rectangle) less `insetRect` (left, top, right and bottom are the widths cut
// from each side) on the clipboard as a 24-bit CF_DIB picture of what the
// window shows now; pending painting is done first. The area is limited to
// what the window's top-level window shows. Returns non-zero when a picture
// was put there; zero for no window, an empty area, or a clipboard that
// another thread holds open.
BOOL GrabToClipboard(CWnd* window, BOOL wholeWindow, const CRect& insetRect);
