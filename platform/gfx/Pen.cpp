#include "platform/gfx/Pen.h"

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return FALSE;
  m_style = style;
  m_width = width < 1 ? 1 : (width > 4096 ? 4096 : width);
  m_colour = colour & 0xFFFFFF;
  m_created = true;
  return TRUE;
}

BOOL CPen::CreatePenIndirect(const LOGPEN* pen) {
  return pen ? CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor) : FALSE;
}

int CPen::GetLogPen(LOGPEN* pen) const {
  if (!pen || !m_created) return 0;
  pen->lopnStyle = static_cast<UINT>(m_style);
  pen->lopnWidth = POINT{m_width, 0};
  pen->lopnColor = m_colour;
  return static_cast<int>(sizeof(LOGPEN));
}

BOOL CPen::DeleteObject() {
  const BOOL was = m_created;
  m_created = false;
  return was;
}
