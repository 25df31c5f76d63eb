// The shell base's use of the tray icon. Until the tray widget is part of the
// toolkit there is no tray icon; the window icon is still set.
#include "pravex/shell/BaseInterface.h"

void CBaseInterface::SetTrayIcon(UINT, int) {}
