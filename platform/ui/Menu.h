// Menus: a tree of items (commands, separators and sub-menus) built in code
// or from a MENU resource, with enable, check and radio-check states, shown
// as a popup menu drawn by the window layer (TrackPopupMenu).
//
// MENU resource text, one statement per line, '#' starts a comment line:
//   POPUP "text"              opens a sub-menu, closed by END
//   ITEM "text" id [options]  a command; options: GRAYED, DISABLED, CHECKED,
//                             RADIO (radio-check look), DEFAULT
//   SEPARATOR
//   END
// Texts are in double quotes with the escapes \t, \n, \" and \\; a '&' marks
// the next letter as the item's keyboard shortcut ("&&" is a plain '&'), and a
// tab separates the text from the accelerator shown at the right. The
// resource's top level holds the popups that LoadMenu's menu contains, as a
// menu bar would (GetSubMenu(0) is the first).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/ui/UiTypes.h"

class CWnd;
class CMenu;

struct CMenuItem {
  UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR, MF_DEFAULT, MFT_RADIOCHECK
  UINT id = 0;
  std::string text;
  std::unique_ptr<CMenu> popup;  // owned sub-menu of an MF_POPUP item
};

class CMenu {
 public:
  CMenu();
  ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  // Builds the menu from the MENU resource of that id; FALSE when it is
  // missing or not well formed (the menu is then left empty).
  BOOL LoadMenu(UINT resourceId);
  BOOL LoadMenuText(const char* text, std::size_t size);
  BOOL DestroyMenu();
  BOOL IsCreated() const { return m_created; }

  UINT GetMenuItemCount() const;
  // The command id at a position; 0xFFFFFFFF for a sub-menu, 0 for a separator.
  UINT GetMenuItemID(int position) const;
  CMenu* GetSubMenu(int position) const;
  int GetMenuString(UINT item, std::string& text, UINT flags) const;
  // The item's MF_ flags, or 0xFFFFFFFF when there is no such item.
  UINT GetMenuState(UINT item, UINT flags) const;

  // For MF_POPUP, idOrPopup is a CMenu* whose items move into a new sub-menu.
  BOOL AppendMenu(UINT flags, std::uintptr_t idOrPopup = 0, const char* text = nullptr);
  BOOL InsertMenu(UINT position, UINT flags, std::uintptr_t idOrPopup = 0, const char* text = nullptr);
  BOOL ModifyMenu(UINT position, UINT flags, std::uintptr_t idOrPopup = 0, const char* text = nullptr);
  BOOL DeleteMenu(UINT position, UINT flags);
  BOOL RemoveMenu(UINT position, UINT flags);

  // Each returns the previous state (MF_GRAYED/MF_CHECKED bits), or
  // 0xFFFFFFFF when the item does not exist.
  UINT EnableMenuItem(UINT item, UINT enable);
  UINT CheckMenuItem(UINT item, UINT check);
  // Radio-checks `item` and unchecks the others of first..last (positions or
  // command ids as flags say) in the menu that holds them.
  BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags);
  BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE);

  // Shows the menu at screen point (x, y) and tracks it until a command is
  // chosen or the menu is dismissed. With TPM_RETURNCMD returns the chosen
  // command id (0 when none); otherwise posts WM_COMMAND with it to `owner`
  // and returns non-zero when a command was chosen.
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT exclude = nullptr);

  const std::vector<CMenuItem>& Items() const { return m_items; }
  // The item by position or command id (searching sub-menus), and its menu.
  CMenuItem* FindItem(UINT item, UINT flags, CMenu** holder = nullptr);
  const CMenuItem* FindItem(UINT item, UINT flags) const;

 private:
  CMenuItem* ItemByCommand(UINT id, CMenu** holder);
  BOOL MakeItem(UINT flags, std::uintptr_t idOrPopup, const char* text, CMenuItem& item);

  std::vector<CMenuItem> m_items;
  bool m_created = false;
};
