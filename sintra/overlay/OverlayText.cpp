#include "sintra/overlay/OverlayText.h"

#include <string>

#include "platform/base/Strings.h"

COverlayText::COverlayText(CFont* font, DWORD format, DWORD textColour, int xOffset, int yOffset, DWORD planeMask)
    : COverlayBuffer(planeMask), m_xOffset(xOffset), m_yOffset(yOffset), m_font(font), m_format(format) {
  SetTextColor(textColour);
}

void COverlayText::SetTextColor(DWORD colour) {
  for (DWORD& c : m_textColours) c = colour;
}

void COverlayText::SetTextColor(DWORD colour, int index) {
  if (index >= 0 && index < 5) m_textColours[index] = colour;
}

CRect COverlayText::CalculateTextRect(const char* text) {
  if (!m_dc.IsValid()) CreateHeader();
  CRect r(0, 0, m_width, m_height);
  if (!text) return r;
  CFont* previous = m_font ? m_dc.SelectObject(m_font) : nullptr;
  m_dc.DrawText(text, -1, &r, m_format | DT_CALCRECT);
  if (previous) m_dc.SelectObject(previous);
  return r;
}

void COverlayText::Render(const char* text, int x, int y) {
  if (!StartRender()) return;
  RenderText(text, CRect(m_margin + m_xOffset + x, m_margin + m_yOffset + y, m_width - m_margin, m_height - m_margin),
             x, y);
  EndRender(OVERLAY_FILL);
}

void COverlayText::RenderText(const char* text, const CRect& rect, int x, int y) {
  if (!text || !m_dc.IsValid()) return;
  CFont* previous = m_font ? m_dc.SelectObject(m_font) : nullptr;
  if (m_format == static_cast<DWORD>(-1)) {
    SIZE size{0, 0};
    const int length = static_cast<int>(std::string(text).size());
    if (m_dc.GetTextExtentPoint32A(text, length, &size)) {
      m_dc.TextOutA(x + m_xOffset + (m_width - size.cx) / 2, y + m_yOffset + (m_height - size.cy) / 2, text, length);
    }
  } else {
    std::string lines = text;
    str::Replace(lines, "[BREAK]", "\r\n");
    const UINT placed = DT_VCENTER | DT_BOTTOM;
    CRect target = rect;
    if (m_format & placed) {
      CRect measured = rect;
      m_dc.DrawTextA(lines.c_str(), -1, &measured, (m_format & ~placed) | DT_CALCRECT);
      const int textHeight = measured.Height();
      if (m_format & DT_VCENTER) {
        target.top = rect.top + (rect.Height() - textHeight) / 2;
        target.bottom = target.top + textHeight;
      } else {
        target.top = rect.bottom - textHeight;
      }
    }
    target.IntersectRect(target, rect);
    m_dc.DrawTextA(lines.c_str(), -1, &target, m_format & ~placed);
  }
  if (previous) m_dc.SelectObject(previous);
}
