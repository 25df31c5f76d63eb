#include "olvane/ShortcutOverlay.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/gfx/Gdi.h"

namespace {

constexpr int kPadding = 12;
constexpr int kKeyGap = 10;     // between a key and its meaning
constexpr int kColumnGap = 24;  // between the two columns
constexpr UINT kTextFormat = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS;

}  // namespace

void CShortcutOverlay::Measure(CDC& dc) {
  if (!m_font.IsCreated()) m_font.CreatePointFont(80, "Arial");
  if (!m_bold.IsCreated()) m_bold.CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  CFont* old = dc.SelectObject(&m_bold);
  int height = dc.GetTextExtent("Ag").cy;
  for (int c = 0; c < 2; ++c) {
    m_keyWidth[c] = m_meaningWidth[c] = m_rowCount[c] = 0;
  }
  for (const ShortcutRow& row : m_rows) {
    const int c = row.column ? 1 : 0;
    m_keyWidth[c] = std::max(m_keyWidth[c], static_cast<int>(dc.GetTextExtent(row.keys).cx));
    ++m_rowCount[c];
  }
  for (int c = 0; c < 2; ++c)
    m_meaningWidth[c] = std::max(m_meaningWidth[c], static_cast<int>(dc.GetTextExtent(kHeadings[c]).cx));
  dc.SelectObject(&m_font);
  height = std::max(height, static_cast<int>(dc.GetTextExtent("Ag").cy));
  for (const ShortcutRow& row : m_rows) {
    const int c = row.column ? 1 : 0;
    m_meaningWidth[c] = std::max(m_meaningWidth[c], static_cast<int>(dc.GetTextExtent(row.meaning).cx));
  }
  dc.SelectObject(old);
  m_rowHeight = height + 4;
  const int rows = std::max(m_rowCount[0], m_rowCount[1]);
  m_panel.cx = 2 * kPadding + m_keyWidth[0] + kKeyGap + m_meaningWidth[0] + kColumnGap + m_keyWidth[1] + kKeyGap +
               m_meaningWidth[1];
  // Title, headings, a gap, then the rows.
  m_panel.cy = 2 * kPadding + (rows + 2) * m_rowHeight + m_rowHeight / 2;
  m_measured = true;
}

CRect CShortcutOverlay::PanelRect(const CRect& client) const {
  if (!m_measured) return CRect();
  CRect panel(0, 0, m_panel.cx, m_panel.cy);
  panel.OffsetRect(client.left + (client.Width() - m_panel.cx) / 2, client.top + (client.Height() - m_panel.cy) / 2);
  panel.IntersectRect(&panel, &client);
  return panel;
}

void CShortcutOverlay::Paint(CDC& dc, const CRect& client) {
  if (!m_shown) return;
  if (!m_measured) Measure(dc);
  const CRect panel = PanelRect(client);
  if (panel.IsRectEmpty()) return;
  CRect visible;
  dc.GetClipBox(&visible);
  if (!visible.IntersectRect(&visible, &panel)) return;
  const int saved = dc.SaveDC();
  dc.IntersectClipRect(&panel);
  dc.BlendSolidRect(&panel, kPanelColour, kPanelAlpha);
  dc.SetBkMode(TRANSPARENT);

  // The panel may be cut to a small view: lay out from its full size, centred.
  const int left = client.left + (client.Width() - m_panel.cx) / 2 + kPadding;
  int y = client.top + (client.Height() - m_panel.cy) / 2 + kPadding;
  CFont* old = dc.SelectObject(&m_bold);
  dc.SetTextColor(kTextColour);
  CRect title(left, y, left + m_panel.cx - 2 * kPadding, y + m_rowHeight);
  dc.DrawText(kTitle, -1, &title, kTextFormat | DT_CENTER);
  y += m_rowHeight + m_rowHeight / 2;

  int columnLeft[2];
  columnLeft[0] = left;
  columnLeft[1] = left + m_keyWidth[0] + kKeyGap + m_meaningWidth[0] + kColumnGap;
  for (int c = 0; c < 2; ++c) {
    dc.SetTextColor(kKeyColour);
    CRect heading(columnLeft[c], y, columnLeft[c] + m_keyWidth[c] + kKeyGap + m_meaningWidth[c], y + m_rowHeight);
    dc.DrawText(kHeadings[c], -1, &heading, kTextFormat);
  }
  int rowTop[2] = {y + m_rowHeight, y + m_rowHeight};
  for (const ShortcutRow& row : m_rows) {
    const int c = row.column ? 1 : 0;
    const int top = rowTop[c];
    rowTop[c] += m_rowHeight;
    dc.SelectObject(&m_bold);
    dc.SetTextColor(kKeyColour);
    CRect keys(columnLeft[c], top, columnLeft[c] + m_keyWidth[c], top + m_rowHeight);
    dc.DrawText(row.keys, &keys, kTextFormat);
    dc.SelectObject(&m_font);
    dc.SetTextColor(kTextColour);
    CRect meaning(keys.right + kKeyGap, top, keys.right + kKeyGap + m_meaningWidth[c], top + m_rowHeight);
    dc.DrawText(row.meaning, &meaning, kTextFormat);
  }
  dc.SelectObject(old);
  dc.RestoreDC(saved);
}
