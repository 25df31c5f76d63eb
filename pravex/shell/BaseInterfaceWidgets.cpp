// The shell base's tray icon.
#include "pravex/shell/BaseInterface.h"
#include "sintra/widgets/Tray.h"

void CBaseInterface::SetTrayIcon(UINT id, int remember) { m_tray.SetIcon(id, remember); }
