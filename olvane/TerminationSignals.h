// Ctrl+C in the terminal, or a plain kill, closes the player the way its
// close button does (placement saved, sound stopped, files closed). A second
// signal while it closes ends the process at once.
#pragma once

#include "platform/ui/UiTypes.h"

namespace termination {

// Call first thing in main, before any other thread starts: blocks SIGINT and
// SIGTERM (threads inherit that, so one watcher thread receives them all) and
// starts the watcher. Until a window is named, a signal ends the process.
void WatchSignals();
// The window that gets WM_CLOSE on the first signal.
void CloseOnSignal(HWND window);

}  // namespace termination
