// Popup menu tracking: one borderless, always-on-top window per open level
// of the menu, a modal loop that takes the input while the menu is open, and
// the drawing of the items. Private to the window layer (Menu.cpp's
// TrackPopupMenu and the headless helpers use it).
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/Menu.h"
#include "platform/ui/Wnd.h"

union SDL_Event;
class CMenuTracker;

class CPopupMenuWnd : public CWnd {
 public:
  CPopupMenuWnd(CMenuTracker* tracker, CMenu* menu, int level) : m_tracker(tracker), m_menu(menu), m_level(level) {}
  // Opens the window with its top-left at a screen point, kept on the screen.
  BOOL Open(CWnd* owner, POINT screenPoint, int avoidLeft);
  CRect ItemRect(int index) const;
  int ItemAt(POINT clientPoint) const;
  CMenu* Menu() const { return m_menu; }
  int m_hot = -1;

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

 private:
  void Measure();
  void DrawItem(CDC& dc, int index);

  CMenuTracker* m_tracker;  // not owned
  CMenu* m_menu;            // not owned
  int m_level;
  std::vector<int> m_tops;  // item top edges, plus the bottom of the last
  int m_width = 0;
  int m_accelX = 0;
};

class CMenuTracker {
 public:
  CMenuTracker(CMenu* menu, CWnd* owner, UINT flags);
  ~CMenuTracker();
  // Runs the modal loop; returns the chosen command id, 0 when dismissed.
  UINT Track(int x, int y);
  bool OnEvent(const SDL_Event& ev);
  CPopupMenuWnd* Level(int index) const;
  int LevelCount() const { return static_cast<int>(m_levels.size()); }
  static CMenuTracker* Current();

 private:
  bool OnKey(int vk);
  void OnMouse(const SDL_Event& ev);
  void Hover(int level, int index);
  void Activate(int level, int index, bool byKey);
  void OpenSub(int level, int index, bool selectFirst);
  void CloseAbove(int level);
  void Move(int level, int step);
  bool Selectable(const CMenuItem& item) const;
  bool Accelerator(int level, int vk);

  CMenu* m_menu;
  HWND m_owner;  // by handle: the owner may go while the menu is open
  UINT m_flags;
  std::vector<std::unique_ptr<CPopupMenuWnd>> m_levels;
  UINT m_result = 0;
  bool m_done = false;
  CMenuTracker* m_outer = nullptr;
};
