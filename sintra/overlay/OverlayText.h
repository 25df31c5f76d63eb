// An overlay buffer that renders text into its masks: a font, DrawText flags
// (or -1 for one centred line), offsets, a margin and five text colours.
#pragma once

#include "sintra/overlay/OverlayBuffer.h"

class COverlayText : public COverlayBuffer {
 public:
  COverlayText(CFont* font, DWORD format, DWORD textColour, int xOffset, int yOffset, DWORD planeMask);

  COverlayText(const COverlayText&) = default;
  COverlayText& operator=(const COverlayText&) = default;

  using COverlayBuffer::Render;

  void SetTextColor(DWORD colour);
  void SetTextColor(DWORD colour, int index);
  DWORD GetTextColor(int index) const { return index >= 0 && index < 5 ? m_textColours[index] : 0; }
  int GetMargin() const { return m_margin; }
  void SetMargin(int margin) { m_margin = margin; }
  void SetFont(CFont* font) { m_font = font; }
  void SetFormat(DWORD format) { m_format = format; }
  DWORD GetFormat() const { return m_format; }

  // The rectangle DrawText needs for text within the mask's size.
  CRect CalculateTextRect(const char* text);
  // Renders text into plane 2, inside the margin, moved by the offsets and (x, y).
  void Render(const char* text, int x, int y);
  // Draws text into the selected mask within rect: one centred line for format
  // -1, else DrawText with "[BREAK]" as a line break and vertical centring or
  // bottom alignment done here so that it works for several lines too.
  void RenderText(const char* text, const CRect& rect, int x, int y);

 protected:
  DWORD m_textColours[5];
  int m_xOffset;
  int m_yOffset;
  int m_margin = 0;
  CFont* m_font;  // not owned
  DWORD m_format;
};
