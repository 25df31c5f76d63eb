// Files dropped on a window from the desktop (a file manager's drag and
// drop). A top-level window that accepts drops receives WM_DROPFILES with an
// HDROP in wParam; the files of one drop gesture arrive together.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/UiTypes.h"

// A drop is an opaque id, valid while WM_DROPFILES is handled: the layer
// releases it when the handler returns, so a kept handle simply reads as empty.
struct HDROP__;
using HDROP = HDROP__*;

constexpr UINT WM_DROPFILES = 0x0233;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;

// Lets the top-level window of `hwnd` receive WM_DROPFILES, or stops it.
// Drops on a window that does not accept them are discarded.
void DragAcceptFiles(HWND hwnd, BOOL accept);
// With index 0xFFFFFFFF the number of files; otherwise the length in bytes of
// file `index` (without the terminating zero), and with a buffer its path
// copied (cut to size - 1 bytes, always terminated). 0 for an unknown drop
// or index.
UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size);
// Every path of the drop in order; empty for an unknown or released drop.
std::vector<std::string> DragQueryFiles(HDROP drop);
// Releases the drop before the handler returns (optional).
void DragFinish(HDROP drop);
