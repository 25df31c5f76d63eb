// The player's notification icon. Its state (icon, tip, menu) is kept as a
// notification record; this desktop offers no tray protocol to rely on, so
// the icon is mirrored into the notification window's own icon and the tip
// is kept for the window to show (GetTip).
#pragma once

#include <string>

#include "platform/ui/UiTypes.h"

class CWnd;

// Flags of the notification record.
constexpr UINT NIF_MESSAGE = 0x0001;
constexpr UINT NIF_ICON = 0x0002;
constexpr UINT NIF_TIP = 0x0004;
// What a change did to the icon.
constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

// The notification record (the size field keeps its historical 488).
struct NOTIFYICONDATA {
  DWORD cbSize = 488;
  HWND hWnd = nullptr;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  char szTip[128] = {};
};

class CTray {
 public:
  static constexpr int kMaxTip = 128;
  CTray();
  ~CTray();
  CTray(const CTray&) = delete;
  CTray& operator=(const CTray&) = delete;

  void SetNotificationWnd(CWnd* wnd, UINT callbackMessage);
  // Icon and tip of resource `id` (string and icon); remember makes it the
  // id whose notifications are handled. Nothing while disabled.
  BOOL SetIcon(UINT id, BOOL remember = TRUE);
  // Adds, changes or (with no icon) removes the icon.
  BOOL SetIcon(HICON icon, const char* tip);
  BOOL SetIcon(const char* resourceName, const char* tip);
  // A system icon by id.
  BOOL SetStandardIcon(UINT id, const char* tip);
  void SetDisabled(BOOL disabled) { m_disabled = disabled; }
  void SetMenuItem(int popupPosition, UINT defaultItem);
  // Mouse message `mouse` on icon `id`: the menu on a right-button release,
  // its first command on a double click. 1 when handled.
  LRESULT OnTrayNotification(WPARAM id, LPARAM mouse);

  HICON GetIcon() const { return m_data.hIcon; }
  std::string GetTip() const { return m_data.szTip; }
  UINT GetRememberedId() const { return m_rememberedId; }
  const NOTIFYICONDATA& GetData() const { return m_data; }
  // The last change made: NIM_ADD, NIM_MODIFY or NIM_DELETE (-1 none).
  int GetLastAction() const { return m_lastAction; }

 private:
  void Mirror();

  NOTIFYICONDATA m_data;
  UINT m_rememberedId = 0;
  BOOL m_disabled = FALSE;
  int m_popupPosition = -1;
  UINT m_defaultItem = 0;
  int m_lastAction = -1;
};
