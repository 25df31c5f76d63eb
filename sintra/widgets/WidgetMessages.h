// Messages the widgets exchange with the main window and their parents.
#pragma once

#include "platform/ui/UiTypes.h"

// To the main window: hide the shared tooltip (wParam 0, or the id of the
// widget the mouse left).
constexpr UINT WM_HIDE_TOOLTIP = WM_APP + 0x136;
// To the main window: show the tooltip string of this id (wParam).
constexpr UINT WM_SHOW_TOOLTIP = WM_APP + 0x137;
// To the parent of a progress bar: a drag began, ended, or moved the
// position (wParam, percent).
constexpr UINT WM_PROGRESS_DRAG_BEGIN = WM_APP + 0x1A4;
constexpr UINT WM_PROGRESS_DRAG_END = WM_APP + 0x1A5;
constexpr UINT WM_PROGRESS_POSITION = WM_APP + 0x1A6;
