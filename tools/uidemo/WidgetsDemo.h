// The player's widgets in a second window of the example: caption bar with
// its close button, button bar, progress bar and counter laid out as the
// player's control bar, LED meter and disk bar, and the shared tooltip.
#pragma once

class CWnd;

// Opens the widget window below `owner`'s window; it lives until the
// process ends. Returns false when it cannot be created.
bool CreateWidgetsDemo(CWnd* owner);
