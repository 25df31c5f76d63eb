// A pen: style, width in pixels and colour of lines and outlines.
#pragma once

#include "platform/gfx/GdiObject.h"

class CPen : public CGdiObject {
 public:
  CPen() : CGdiObject(Kind::Pen) {}
  CPen(int style, int width, COLORREF colour) : CGdiObject(Kind::Pen) { CreatePen(style, width, colour); }

  // Widths below 1 draw one pixel wide, as they do for cosmetic pens.
  BOOL CreatePen(int style, int width, COLORREF colour);
  BOOL CreatePenIndirect(const LOGPEN* pen);
  int GetLogPen(LOGPEN* pen) const;

  BOOL IsCreated() const override { return m_created; }
  BOOL DeleteObject() override;

  int GetStyle() const { return m_style; }
  int GetWidth() const { return m_width; }
  COLORREF GetColor() const { return m_colour; }

 private:
  bool m_created = false;
  int m_style = PS_SOLID;
  int m_width = 1;
  COLORREF m_colour = 0;
};
