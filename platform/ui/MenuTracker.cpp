#include "platform/ui/MenuTracker.h"

#include <algorithm>
#include <cctype>

#include "platform/gfx/DC.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/UiCore.h"

namespace {

constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 9;
constexpr int kCheckColumn = 24;   // room for the check mark at the left
constexpr int kArrowColumn = 18;   // room for the sub-menu arrow at the right
constexpr int kAccelGap = 24;      // between the text and the accelerator
constexpr int kBorder = 2;
constexpr int kSubOverlap = 3;     // a sub-menu overlaps its parent by this much

CMenuTracker* g_current = nullptr;

std::string TextPart(const std::string& text) { return text.substr(0, text.find('\t')); }

std::string AccelPart(const std::string& text) {
  const auto tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

// The letter after a single '&', upper-cased; 0 when none.
int ShortcutOf(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(text[i + 1]));
  }
  return 0;
}

bool Enabled(const CMenuItem& item) { return !(item.flags & (MF_GRAYED | MF_DISABLED)); }

}  // namespace

// ---- the menu window -----------------------------------------------------------

void CPopupMenuWnd::Measure() {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectStockObject(DEFAULT_GUI_FONT);
  int textWidth = 60, accelWidth = 0;
  m_tops.clear();
  int y = kBorder;
  for (const CMenuItem& item : m_menu->Items()) {
    m_tops.push_back(y);
    if (item.flags & MF_SEPARATOR) {
      y += kSeparatorHeight;
      continue;
    }
    CRect r(0, 0, 0, 0);
    std::string text = TextPart(item.text);
    dc.DrawText(text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    textWidth = std::max(textWidth, r.Width());
    const std::string accel = AccelPart(item.text);
    if (!accel.empty()) accelWidth = std::max(accelWidth, dc.GetTextExtent(accel).cx);
    y += kItemHeight;
  }
  m_tops.push_back(y);
  m_accelX = kBorder + kCheckColumn + textWidth + kAccelGap;
  m_width = m_accelX + accelWidth + kArrowColumn + kBorder;
}

BOOL CPopupMenuWnd::Open(CWnd* owner, POINT p, int avoidLeft) {
  Measure();
  const int height = m_tops.back() + kBorder;
  RECT work{0, 0, 0, 0};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  CRect r(p.x, p.y, p.x + m_width, p.y + height);
  if (r.right > work.right) r.OffsetRect((avoidLeft != INT32_MIN ? avoidLeft - m_width : work.right - m_width) - r.left, 0);
  if (r.bottom > work.bottom) r.OffsetRect(0, std::max<int>(work.top, work.bottom - height) - r.top);
  if (r.left < work.left) r.OffsetRect(work.left - r.left, 0);
  if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, nullptr, "", WS_POPUP, r, owner, 0))
    return FALSE;
  ShowWindow(SW_SHOWNA);
  return TRUE;
}

CRect CPopupMenuWnd::ItemRect(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) + 1 >= m_tops.size()) return CRect();
  return CRect(kBorder, m_tops[index], m_width - kBorder, m_tops[index + 1]);
}

int CPopupMenuWnd::ItemAt(POINT p) const {
  for (int i = 0; static_cast<std::size_t>(i) + 1 < m_tops.size(); ++i)
    if (ItemRect(i).PtInRect(p)) return i;
  return -1;
}

void CPopupMenuWnd::DrawItem(CDC& dc, int index) {
  const CMenuItem& item = m_menu->Items()[static_cast<std::size_t>(index)];
  CRect r = ItemRect(index);
  if (item.flags & MF_SEPARATOR) {
    const int y = r.top + r.Height() / 2;
    dc.FillSolidRect(r.left + 4, y, r.Width() - 8, 1, GetSysColor(COLOR_BTNSHADOW));
    dc.FillSolidRect(r.left + 4, y + 1, r.Width() - 8, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    return;
  }
  const bool hot = index == m_hot;
  const bool enabled = Enabled(item);
  if (hot) dc.FillSolidRect(&r, GetSysColor(COLOR_HIGHLIGHT));
  const COLORREF ink =
      !enabled ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  if (item.flags & MF_CHECKED) {
    CBrush brush(ink);
    CPen pen(PS_SOLID, 1, ink);
    CBrush* oldBrush = dc.SelectObject(&brush);
    CPen* oldPen = dc.SelectObject(&pen);
    const int cx = r.left + kCheckColumn / 2, cy = r.top + r.Height() / 2;
    if (item.flags & MFT_RADIOCHECK) {
      dc.Ellipse(cx - 3, cy - 3, cx + 4, cy + 4);
    } else {
      const POINT tick[] = {{cx - 4, cy}, {cx - 1, cy + 3}, {cx + 5, cy - 3}, {cx + 5, cy - 1},
                            {cx - 1, cy + 5}, {cx - 4, cy + 2}};
      dc.Polygon(tick, 6);
    }
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
  }
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(ink);
  CRect textRect(r.left + kCheckColumn, r.top, m_accelX, r.bottom);
  const std::string text = TextPart(item.text);
  dc.DrawText(text.c_str(), static_cast<int>(text.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  const std::string accel = AccelPart(item.text);
  if (!accel.empty()) {
    CRect accelRect(m_accelX, r.top, r.right - kArrowColumn, r.bottom);
    dc.DrawText(accel.c_str(), static_cast<int>(accel.size()), &accelRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (item.flags & MF_POPUP) {
    CBrush brush(ink);
    CPen pen(PS_SOLID, 1, ink);
    CBrush* oldBrush = dc.SelectObject(&brush);
    CPen* oldPen = dc.SelectObject(&pen);
    const int ax = r.right - kArrowColumn / 2 - 2, ay = r.top + r.Height() / 2;
    const POINT arrow[] = {{ax, ay - 4}, {ax + 4, ay}, {ax, ay + 4}};
    dc.Polygon(arrow, 3);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
  }
}

void CPopupMenuWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, GetSysColor(COLOR_MENU));
  CRect edge = client;
  dc.DrawEdge(&edge, EDGE_RAISED, BF_RECT);
  dc.SelectStockObject(DEFAULT_GUI_FONT);
  for (int i = 0; i < static_cast<int>(m_menu->GetMenuItemCount()); ++i) DrawItem(dc, i);
}

// ---- tracking --------------------------------------------------------------------

CMenuTracker::CMenuTracker(CMenu* menu, CWnd* owner, UINT flags)
    : m_menu(menu), m_owner(owner ? owner->m_hWnd : nullptr), m_flags(flags) {}

CMenuTracker::~CMenuTracker() { CloseAbove(-1); }

CMenuTracker* CMenuTracker::Current() { return g_current; }

CPopupMenuWnd* CMenuTracker::Level(int index) const {
  return index >= 0 && index < LevelCount() ? m_levels[static_cast<std::size_t>(index)].get() : nullptr;
}

UINT CMenuTracker::Track(int x, int y) {
  if (!m_menu || m_menu->GetMenuItemCount() == 0) return 0;
  if (CWnd* owner = CWnd::FromHandle(m_owner); owner && !(m_flags & TPM_NONOTIFY))
    owner->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m_menu), 0);
  auto first = std::make_unique<CPopupMenuWnd>(this, m_menu, 0);
  if (!first->Open(CWnd::FromHandle(m_owner), POINT{x, y}, INT32_MIN)) return 0;
  m_levels.push_back(std::move(first));
  uicore::Core& core = uicore::Get();
  m_outer = g_current;
  g_current = this;
  core.inputHooks.push_back([this](const SDL_Event& ev) { return OnEvent(ev); });
  ReleaseCapture();
  // The menu also ends when its windows go (their owner was destroyed meanwhile).
  while (!m_done && !core.quit && Level(0)->m_hWnd) uicore::PumpOnce(1000);
  core.inputHooks.pop_back();
  g_current = m_outer;
  CloseAbove(-1);
  return m_result;
}

bool CMenuTracker::Selectable(const CMenuItem& item) const { return !(item.flags & MF_SEPARATOR); }

void CMenuTracker::CloseAbove(int level) {
  while (LevelCount() > level + 1) {
    m_levels.back()->DestroyWindow();
    m_levels.pop_back();
  }
}

void CMenuTracker::Hover(int level, int index) {
  CPopupMenuWnd* w = Level(level);
  if (!w || w->m_hot == index) return;
  w->m_hot = index;
  w->Invalidate(FALSE);
}

void CMenuTracker::OpenSub(int level, int index, bool selectFirst) {
  CPopupMenuWnd* w = Level(level);
  if (!w || index < 0) return;
  const CMenuItem& item = w->Menu()->Items()[static_cast<std::size_t>(index)];
  if (!(item.flags & MF_POPUP) || !item.popup || !Enabled(item) || item.popup->GetMenuItemCount() == 0) return;
  if (CPopupMenuWnd* open = Level(level + 1); open && open->Menu() == item.popup.get()) return;
  CloseAbove(level);
  if (CWnd* owner = CWnd::FromHandle(m_owner); owner && !(m_flags & TPM_NONOTIFY))
    owner->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(item.popup.get()), index);
  if (!Level(level) || !Level(level)->m_hWnd) return;  // the handler closed the menu
  CRect r = w->ItemRect(index);
  w->ClientToScreen(&r);
  CRect parent;
  w->GetWindowRect(&parent);
  auto sub = std::make_unique<CPopupMenuWnd>(this, item.popup.get(), level + 1);
  if (!sub->Open(CWnd::FromHandle(m_owner), POINT{parent.right - kSubOverlap, r.top - kBorder}, parent.left + kSubOverlap)) return;
  m_levels.push_back(std::move(sub));
  if (selectFirst) Move(level + 1, 1);
}

void CMenuTracker::Move(int level, int step) {
  CPopupMenuWnd* w = Level(level);
  if (!w) return;
  const auto& items = w->Menu()->Items();
  const int n = static_cast<int>(items.size());
  int i = w->m_hot;
  for (int tries = 0; tries < n; ++tries) {
    i = (i < 0 && step < 0) ? n - 1 : ((i + step) % n + n) % n;
    if (Selectable(items[static_cast<std::size_t>(i)])) {
      Hover(level, i);
      return;
    }
  }
}

void CMenuTracker::Activate(int level, int index, bool byKey) {
  CPopupMenuWnd* w = Level(level);
  if (!w || index < 0) return;
  const CMenuItem& item = w->Menu()->Items()[static_cast<std::size_t>(index)];
  if ((item.flags & MF_SEPARATOR) || !Enabled(item)) return;
  if (item.flags & MF_POPUP) {
    OpenSub(level, index, byKey);
    return;
  }
  m_result = item.id;
  m_done = true;
}

bool CMenuTracker::Accelerator(int level, int vk) {
  CPopupMenuWnd* w = Level(level);
  if (!w || vk < '0' || vk > 'Z') return false;
  const auto& items = w->Menu()->Items();
  std::vector<int> matches;
  for (int i = 0; i < static_cast<int>(items.size()); ++i)
    if (Selectable(items[static_cast<std::size_t>(i)]) && ShortcutOf(items[static_cast<std::size_t>(i)].text) == vk)
      matches.push_back(i);
  if (matches.empty()) return false;
  if (matches.size() == 1) {
    Hover(level, matches[0]);
    Activate(level, matches[0], true);
    return true;
  }
  // Several items share the letter: step through them.
  auto next = std::upper_bound(matches.begin(), matches.end(), w->m_hot);
  Hover(level, next == matches.end() ? matches[0] : *next);
  return true;
}

bool CMenuTracker::OnKey(int vk) {
  const int level = LevelCount() - 1;
  CPopupMenuWnd* w = Level(level);
  if (!w) return true;
  switch (vk) {
    case VK_UP: Move(level, -1); break;
    case VK_DOWN: Move(level, 1); break;
    case VK_RIGHT: OpenSub(level, w->m_hot, true); break;
    case VK_LEFT:
      if (level > 0) CloseAbove(level - 1);
      break;
    case VK_ESCAPE:
      if (level > 0)
        CloseAbove(level - 1);
      else
        m_done = true;
      break;
    case VK_RETURN:
    case VK_SPACE: Activate(level, w->m_hot, true); break;
    default: Accelerator(level, vk); break;
  }
  return true;
}

void CMenuTracker::OnMouse(const SDL_Event& ev) {
  const bool motion = ev.type == SDL_MOUSEMOTION;
  const Uint32 windowId = motion ? ev.motion.windowID : ev.button.windowID;
  const POINT local = motion ? POINT{ev.motion.x, ev.motion.y} : POINT{ev.button.x, ev.button.y};
  CWnd* source = uicore::TopLevelForSdl(windowId);
  POINT screen = local;
  if (source) source->ClientToScreen(&screen);
  for (int level = LevelCount() - 1; level >= 0; --level) {
    CPopupMenuWnd* w = Level(level);
    CRect r;
    w->GetWindowRect(&r);
    if (!r.PtInRect(screen)) continue;
    POINT p = screen;
    w->ScreenToClient(&p);
    const int index = w->ItemAt(p);
    if (motion) {
      Hover(level, index);
      if (index >= 0 && (w->Menu()->Items()[static_cast<std::size_t>(index)].flags & MF_POPUP))
        OpenSub(level, index, false);
      else if (index >= 0)
        CloseAbove(level);
    } else if (ev.type == SDL_MOUSEBUTTONUP && index >= 0) {
      Activate(level, index, false);
    }
    return;
  }
  // Outside every menu window: a press dismisses the menu.
  if (ev.type == SDL_MOUSEBUTTONDOWN) m_done = true;
  if (motion && LevelCount() > 0) Hover(LevelCount() - 1, -1);
}

bool CMenuTracker::OnEvent(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_KEYDOWN: return OnKey(uicore::VirtualKeyFromSdl(ev.key.keysym.sym));
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_MOUSEWHEEL: return true;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: OnMouse(ev); return true;
    default: return false;
  }
}

// ---- the menu's entry point --------------------------------------------------

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT) {
  if (!uicore::OnUiThread() || !uicore::EnsureStarted()) return FALSE;
  const HWND ownerHwnd = owner ? owner->m_hWnd : nullptr;
  CMenuTracker tracker(this, owner, flags);
  const UINT chosen = tracker.Track(x, y);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen && ownerHwnd) ::PostMessage(ownerHwnd, WM_COMMAND, chosen, 0);
  return chosen ? TRUE : FALSE;
}

namespace ui {

HWND GetOpenMenuWindow(int level) {
  CMenuTracker* tracker = CMenuTracker::Current();
  CPopupMenuWnd* w = tracker ? tracker->Level(level) : nullptr;
  return w ? w->m_hWnd : nullptr;
}

BOOL GetOpenMenuItemRect(int level, int index, RECT* rect) {
  CMenuTracker* tracker = CMenuTracker::Current();
  CPopupMenuWnd* w = tracker ? tracker->Level(level) : nullptr;
  if (!w || !rect) return FALSE;
  *rect = w->ItemRect(index);
  return CRect(*rect).IsRectEmpty() ? FALSE : TRUE;
}

}  // namespace ui
