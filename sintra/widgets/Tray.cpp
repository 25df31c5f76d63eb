#include "sintra/widgets/Tray.h"

#include <cstdio>
#include <cstdlib>

#include "platform/os/Resources.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Wnd.h"

CTray::CTray() = default;

CTray::~CTray() { SetIcon(static_cast<HICON>(nullptr), nullptr); }

void CTray::SetNotificationWnd(CWnd* wnd, UINT callbackMessage) {
  m_data.hWnd = wnd ? wnd->GetSafeHwnd() : nullptr;
  m_data.uCallbackMessage = callbackMessage;
}

BOOL CTray::SetIcon(UINT id, BOOL remember) {
  if (m_disabled) return FALSE;
  if (remember) m_rememberedId = id;
  m_data.uID = id;
  std::string tip;
  LoadResourceString(id, tip);
  return SetIcon(LoadIcon(nullptr, id), tip.c_str());
}

BOOL CTray::SetIcon(const char* resourceName, const char* tip) {
  // Resources are known by number; a name is its decimal id.
  const long id = resourceName ? std::strtol(resourceName, nullptr, 10) : 0;
  return SetIcon(id > 0 ? LoadIcon(nullptr, static_cast<UINT>(id)) : nullptr, tip);
}

BOOL CTray::SetStandardIcon(UINT id, const char* tip) { return SetIcon(LoadIcon(nullptr, id), tip); }

BOOL CTray::SetIcon(HICON icon, const char* tip) {
  const bool had = m_data.hIcon != nullptr;
  if (!icon && !had) return TRUE;
  m_data.uFlags = 0;
  if (tip) std::snprintf(m_data.szTip, sizeof(m_data.szTip), "%s", tip);
  if (icon) m_data.uFlags |= NIF_ICON;
  if (m_data.szTip[0]) m_data.uFlags |= NIF_TIP;
  if (m_data.hWnd && m_data.uCallbackMessage) m_data.uFlags |= NIF_MESSAGE;
  m_lastAction = icon ? (had ? NIM_MODIFY : NIM_ADD) : NIM_DELETE;
  m_data.hIcon = icon;
  Mirror();
  return TRUE;
}

void CTray::Mirror() {
  // The window's own icon stands in for the notification area.
  CWnd* wnd = CWnd::FromHandle(m_data.hWnd);
  if (!wnd) return;
  if (CWnd* top = wnd->GetTopLevelParent()) wnd = top;
  if (m_data.hIcon) {
    wnd->SetIcon(m_data.hIcon, TRUE);
    wnd->SetIcon(m_data.hIcon, FALSE);
  }
}

void CTray::SetMenuItem(int popupPosition, UINT defaultItem) {
  m_popupPosition = popupPosition;
  m_defaultItem = defaultItem;
}

LRESULT CTray::OnTrayNotification(WPARAM id, LPARAM mouse) {
  if (id != m_rememberedId || (mouse != WM_RBUTTONUP && mouse != WM_LBUTTONDBLCLK)) return 0;
  CMenu menu;
  if (!menu.LoadMenu(m_rememberedId)) return 0;
  const int position = m_popupPosition >= 0 ? m_popupPosition : 0;
  CMenu* popup = menu.GetSubMenu(position);
  if (!popup) popup = menu.GetSubMenu(0);
  if (!popup) return 0;
  CWnd* wnd = CWnd::FromHandle(m_data.hWnd);
  // The window may adjust the menu before it shows.
  if (wnd) wnd->SendMessage(m_data.uCallbackMessage + 1, 0, reinterpret_cast<LPARAM>(popup));
  if (mouse == WM_RBUTTONUP) {
    if (m_defaultItem) popup->SetDefaultItem(m_defaultItem);
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    if (wnd) {
      wnd->SetForegroundWindow();
      popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, wnd);
    }
  } else if (wnd && popup->GetMenuItemCount() > 0) {
    wnd->SendMessage(WM_COMMAND, popup->GetMenuItemID(0), 0);
  }
  return 1;
}
