// Driving windows without a person: input injected as native events (so it
// takes the same path as real input, in order with it) and read-back of a
// window's pixels. Used by tests and by the example program's screenshots;
// works with SDL's dummy video driver, where windows still have surfaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/UiTypes.h"

namespace ui {

// Mouse at a client point of `hwnd` (any window; converted to its top-level window).
BOOL InjectMouseMove(HWND hwnd, POINT clientPoint);
// Button is VK_LBUTTON, VK_RBUTTON or VK_MBUTTON; clicks 2 makes a double click.
BOOL InjectMouseButton(HWND hwnd, POINT clientPoint, int button, bool down, int clicks = 1);
// Move, press and release.
BOOL InjectClick(HWND hwnd, POINT clientPoint, int button = VK_LBUTTON);
// The mouse leaves the native window of `hwnd`.
BOOL InjectMouseLeaveWindow(HWND hwnd);
BOOL InjectMouseWheel(HWND hwnd, int notches);
// A key (VK_ code) to the top-level window of `hwnd` (keyboard focus decides the window).
BOOL InjectKey(HWND hwnd, int virtualKey, bool down);
// Press and release.
BOOL InjectKeyPress(HWND hwnd, int virtualKey);
BOOL InjectText(HWND hwnd, const char* utf8);
// The user resized the top-level window of `hwnd` to this client size.
BOOL InjectResize(HWND hwnd, int clientWidth, int clientHeight);
// The top-level window of `hwnd` gained or lost the keyboard focus (activation).
BOOL InjectFocus(HWND hwnd, bool gained);
// The user asked to close the top-level window of `hwnd`.
BOOL InjectClose(HWND hwnd);
// The user dropped these files on the top-level window of `hwnd` in one
// gesture (begin, one event per file, complete), as a file manager does.
BOOL InjectDropFiles(HWND hwnd, const std::vector<std::string>& paths);

// The X11 WM_CLASS of the native window of `hwnd` (instance and class
// names); FALSE when the window is not an X11 window.
BOOL GetNativeWindowClass(HWND hwnd, std::string& instance, std::string& className);

// While a popup menu is tracked: the window of an open level (0 the first),
// and an item's rectangle in that window's client coordinates.
HWND GetOpenMenuWindow(int level);
BOOL GetOpenMenuItemRect(int level, int index, RECT* rect);

// The client area of the top-level window of `hwnd`, as 0x00RRGGBB pixels,
// rows top-down; FALSE when the window has no surface.
BOOL ReadWindowPixels(HWND hwnd, std::vector<std::uint32_t>& pixels, int& width, int& height);
// One pixel at a client point of `hwnd` as a COLORREF; 0xFFFFFFFF when outside.
COLORREF GetWindowPixel(HWND hwnd, int x, int y);
// Saves the top-level window's client area as a BMP file.
BOOL SaveWindowBitmap(HWND hwnd, const std::string& path);

// Writes a PNG picture of the screen as the window layer shows it: every
// visible top-level window's surface at its screen position, in stacking
// order (always-on-top windows last), over `background`, cut to the area
// the windows cover plus `margin` pixels. FALSE when nothing is visible or
// the file cannot be written.
BOOL SaveScreenshotPng(const std::string& path, int margin = 16, COLORREF background = RGB(58, 110, 165));
// Writes 0x00RRGGBB pixels (rows top-down) as an RGB PNG file.
BOOL WritePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height);

}  // namespace ui
