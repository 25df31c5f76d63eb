// A brush: a solid colour or nothing (the hollow brush).
#pragma once

#include "platform/gfx/GdiObject.h"

class CBrush : public CGdiObject {
 public:
  CBrush() : CGdiObject(Kind::Brush) {}
  explicit CBrush(COLORREF colour) : CGdiObject(Kind::Brush) { CreateSolidBrush(colour); }

  BOOL CreateSolidBrush(COLORREF colour);
  BOOL CreateBrushIndirect(const LOGBRUSH* brush);
  // A solid brush of a system colour (COLOR_BTNFACE ...).
  BOOL CreateSysColorBrush(int index);
  int GetLogBrush(LOGBRUSH* brush) const;

  BOOL IsCreated() const override { return m_created; }
  BOOL DeleteObject() override;

  UINT GetStyle() const { return m_style; }
  COLORREF GetColor() const { return m_colour; }

 private:
  bool m_created = false;
  UINT m_style = BS_SOLID;
  COLORREF m_colour = 0;
};
