// Cursors and icons. Handles are ids into the layer's table, valid for the
// life of the process; the native cursor or icon is made where the desktop
// has one (headless there is none, but the handles still work).
#pragma once

#include "platform/ui/UiTypes.h"

// A system cursor (instance null, id IDC_...) or a built-in CURSOR resource.
HCURSOR LoadCursor(const void* instance, UINT id);
// Sets the cursor shown over the windows; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Shows or hides the mouse cursor; returns the new display count (>= 0 shown).
int ShowCursor(BOOL show);
// A built-in ICON resource (a .bmp picture); null when there is none.
HICON LoadIcon(const void* instance, UINT id);
// The id a cursor or icon handle was loaded from (0 for none).
UINT GetCursorId(HCURSOR cursor);
UINT GetIconId(HICON icon);
