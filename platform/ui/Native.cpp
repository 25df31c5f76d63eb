// Native window shapes.
#include "platform/ui/UiCore.h"

namespace uicore {

// Shaped native windows need a window made for them from the start; the layer
// keeps the shape for hit testing and painting and leaves the native window
// rectangular where the desktop cannot follow.
void ApplyShape(CWnd*) {}

}  // namespace uicore
