// Window positions kept in the settings store: the text forms of the stored
// values, their checked parsing, and keeping a restored window where the user
// can reach it. Values are plain text a user may edit, so every number is
// parsed with its range checked and a value that does not parse is ignored.
#pragma once

#include <string>

#include "platform/base/Rect.h"

class CWnd;

namespace placement {

// The key below the current user's root that holds every window position.
inline constexpr const char kPositionsKey[] = "Software\\Kalvo\\Positions";

// Reads exactly `count` comma-separated decimal integers from the front of
// `text` (blanks around each number are allowed; whatever follows the last
// number is ignored). A number outside the int range, a missing number or a
// missing comma makes the whole value fail; `values` is written only on success.
bool ParseInts(const std::string& text, int* values, int count);

// "left,top,shown,large\n"
std::string FormatPosition(int left, int top, int shown, int large);
// "width,height\n"
std::string FormatSize(int width, int height);
// "left,top,width,height, shown,large\n"
std::string FormatTree(int left, int top, int width, int height, int shown, int large);

// Where a window at `window` has to go so that `test` (the part that must stay
// visible, at the window's place) is not wholly outside `area`: wholly right
// of it puts the window's right edge on the area's right, wholly left its left
// edge on the area's left; wholly below puts its bottom on the area's bottom
// (its top on the area's top when the window is not shorter than the area);
// wholly above puts its top on the area's top. Returns the new top-left.
CPoint KeepInside(const CRect& window, const CRect& test, const CRect& area);

// The area a window is kept in: the desktop's work area for a top-level
// window, its parent's client area (in the parent's client coordinates, the
// coordinates the child's rectangle is in) for a child window.
CRect PlacementArea(const CWnd* wnd);
// The window's rectangle in the coordinates of PlacementArea.
CRect PlacementRect(const CWnd* wnd);

// Moves the window (no size or Z-order change) when the part that must stay
// visible (window coordinates; null or empty: the whole window) lies wholly
// outside its placement area. Returns true when the window was moved.
bool KeepOnScreen(CWnd* wnd, const CRect* visiblePart);

}  // namespace placement
