// Paint DCs over the native window surface (temporary: erase without a DC).
#include "platform/ui/UiCore.h"

namespace uicore {

void SendErase(CWnd* wnd) { wnd->SendMessage(WM_ERASEBKGND, 0, 0); }

LRESULT EraseWithClassBackground(CWnd*, CDC*) { return 0; }

void ApplyShape(CWnd*) {}

}  // namespace uicore
