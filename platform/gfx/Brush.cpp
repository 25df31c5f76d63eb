#include "platform/gfx/Brush.h"

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  m_style = BS_SOLID;
  m_colour = colour & 0xFFFFFF;
  m_created = true;
  return TRUE;
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL)) return FALSE;
  m_style = brush->lbStyle;
  m_colour = brush->lbColor & 0xFFFFFF;
  m_created = true;
  return TRUE;
}

BOOL CBrush::CreateSysColorBrush(int index) { return CreateSolidBrush(GetSysColor(index)); }

int CBrush::GetLogBrush(LOGBRUSH* brush) const {
  if (!brush || !m_created) return 0;
  brush->lbStyle = m_style;
  brush->lbColor = m_colour;
  brush->lbHatch = 0;
  return static_cast<int>(sizeof(LOGBRUSH));
}

BOOL CBrush::DeleteObject() {
  const BOOL was = m_created;
  m_created = false;
  return was;
}
