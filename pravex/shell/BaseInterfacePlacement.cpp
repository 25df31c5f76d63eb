// Window positions in the settings store. The main window's position is in
// screen coordinates; a child window (the player's view) is stored and
// restored in its parent's client coordinates and kept inside the parent
// rather than on the work area.
#include <string>
#include <utility>
#include <vector>

#include "platform/settings/SettingsKey.h"
#include "pravex/shell/BaseInterface.h"
#include "pravex/shell/WindowPlacement.h"
#include "sintra/skin/SkinData.h"

namespace {

bool HasWindow(const CWnd* wnd) { return wnd && wnd->GetSafeHwnd() && IsWindow(wnd->GetSafeHwnd()); }

// The window's normal-position rectangle; false when it cannot be read.
bool ReadRect(const CWnd* wnd, CRect& rect) {
  if (!HasWindow(wnd)) return false;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!wnd->GetWindowPlacement(&wp)) return false;
  rect = wp.rcNormalPosition;
  return true;
}

bool QueryInts(const CSettingsKey& key, const std::string& name, int* values, int count) {
  std::string text;
  return key.QueryString(name, text) && placement::ParseInts(text, values, count);
}

CRect ClientPart(CWnd* wnd) {
  CRect client;
  wnd->GetClientRect(&client);
  return client;
}

}  // namespace

void CBaseInterface::SavePlacement(const char* prefix) {
  const std::string base = prefix ? prefix : "";
  std::vector<std::pair<std::string, std::string>> values;
  CRect r;
  if (ReadRect(this, r))
    values.emplace_back(base + "Interface", placement::FormatPosition(r.left, r.top, m_interfaceShown, m_largeLayout));
  if (ReadRect(m_screenWnd, r)) {
    values.emplace_back(base + "Screen", placement::FormatPosition(r.left, r.top, m_interfaceShown, m_largeLayout));
    values.emplace_back(base + "ScreenSize", placement::FormatSize(r.Width(), r.Height()));
  }
  if (ReadRect(m_videoWnd, r))
    values.emplace_back(base + "Video", placement::FormatPosition(r.left, r.top, m_interfaceShown, m_largeLayout));
  if (ReadRect(m_coordsWnd, r))
    values.emplace_back(base + "Coords", placement::FormatPosition(r.left, r.top, m_interfaceShown, m_largeLayout));
  if (ReadRect(m_treeWnd, r)) {
    values.emplace_back(base + "Tree",
                        placement::FormatTree(r.left, r.top, r.Width(), r.Height(), m_interfaceShown, m_largeLayout));
  }
  if (values.empty()) return;
  CSettingsKey key;
  if (key.Create(placement::kPositionsKey)) key.SetStrings(values);
}

int CBaseInterface::ReadPlacement(const char* prefix) {
  int result = 1;
  m_largeLayout = 1;
  const std::string base = prefix ? prefix : "";
  CSettingsKey key;
  if (!key.Create(placement::kPositionsKey)) return result;
  const UINT moveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  int v[6];

  if (HasWindow(this) && QueryInts(key, base + "Interface", v, 4)) {
    SetWindowPos(nullptr, v[0], v[1], 0, 0, moveOnly);
    result = v[2];
    m_largeLayout = v[3];
    const CRect visible = m_largeLayout ? g_skinData.m_rectMoveBig : g_skinData.m_rectMoveSmall;
    placement::KeepOnScreen(this, &visible);
  }
  if (HasWindow(m_screenWnd) && QueryInts(key, base + "Screen", v, 4)) {
    std::string sizeText;
    if (!key.QueryString(base + "ScreenSize", sizeText)) sizeText = "100, 100";
    int size[2];
    const bool sized = placement::ParseInts(sizeText, size, 2);
    m_screenWnd->SetWindowPos(nullptr, v[0], v[1], sized ? size[0] : 0, sized ? size[1] : 0,
                              SWP_NOZORDER | SWP_NOACTIVATE | (sized ? 0u : SWP_NOSIZE));
    result = v[2];
    const CRect visible = ClientPart(m_screenWnd);
    placement::KeepOnScreen(m_screenWnd, &visible);
  }
  const std::pair<CWnd*, const char*> movable[] = {{m_videoWnd, "Video"}, {m_coordsWnd, "Coords"}};
  for (const auto& [wnd, suffix] : movable) {
    if (HasWindow(wnd) && QueryInts(key, base + suffix, v, 4)) {
      wnd->SetWindowPos(nullptr, v[0], v[1], 0, 0, moveOnly);
      result = v[2];
      const CRect visible = ClientPart(wnd);
      placement::KeepOnScreen(wnd, &visible);
    }
  }
  if (HasWindow(m_treeWnd) && QueryInts(key, base + "Tree", v, 6)) {
    m_treeWnd->SetWindowPos(nullptr, v[0], v[1], v[2], v[3], SWP_NOZORDER | SWP_NOACTIVATE);
    result = v[4];
    placement::KeepOnScreen(m_treeWnd, nullptr);
  }
  return result;
}
