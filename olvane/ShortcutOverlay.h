// The ? list of keys: a translucent panel drawn over the replay picture by the
// view's own painting (so partial repaints of the picture blend the same way),
// with its rows in two columns of key and meaning.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/gfx/Font.h"

class CDC;

struct ShortcutRow {
  std::string keys;
  std::string meaning;
  int column;  // 0 or 1
};

class CShortcutOverlay {
 public:
  static constexpr COLORREF kPanelColour = RGB(12, 16, 24);
  static constexpr BYTE kPanelAlpha = 205;
  static constexpr COLORREF kKeyColour = RGB(255, 200, 90);
  static constexpr COLORREF kTextColour = RGB(240, 240, 240);
  static constexpr const char* kTitle = "Keys";
  static constexpr const char* kHeadings[2] = {"Replay", "View, sound and player"};

  void SetRows(std::vector<ShortcutRow> rows) { m_rows = std::move(rows); }
  const std::vector<ShortcutRow>& GetRows() const { return m_rows; }
  bool IsShown() const { return m_shown; }
  void SetShown(bool shown) { m_shown = shown; }

  // Where the panel goes in a client area: centred, cut to the area. Empty
  // before the first Paint has measured the text.
  CRect PanelRect(const CRect& client) const;
  // Draws the panel when shown; the caller's clip limits it.
  void Paint(CDC& dc, const CRect& client);

 private:
  void Measure(CDC& dc);

  std::vector<ShortcutRow> m_rows;
  bool m_shown = false;
  CFont m_font;
  CFont m_bold;
  bool m_measured = false;
  int m_rowHeight = 0;
  int m_keyWidth[2] = {0, 0};
  int m_meaningWidth[2] = {0, 0};
  int m_rowCount[2] = {0, 0};
  CSize m_panel;
};
