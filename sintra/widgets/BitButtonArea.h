// One clickable area of a bitmap button bar: its rectangle (also where its
// looks sit in each row of the bar's bitmap), the command it posts, and its
// enable, check and check-box fields.
#pragma once

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

class CBitButtonArea {
 public:
  CBitButtonArea() = default;
  CBitButtonArea(UINT id, const RECT& area, int enabled, int checkBox, int checked)
      : m_area(area), m_id(id), m_enabled(enabled), m_checked(checked), m_checkBox(checkBox) {}

  // Enabled and not checked.
  BOOL Normal() const { return m_enabled && !m_checked; }
  // TRUE when the area is NOT a check box: callers test it that way round.
  BOOL CheckBox() const { return !m_checkBox; }
  // A check box that is checked and enabled.
  BOOL Checked() const { return m_checkBox && m_checked && m_enabled; }

  CRect m_area;
  UINT m_id = 0;
  int m_enabled = 0;
  int m_checked = 0;
  int m_checkBox = 0;
};

static_assert(sizeof(CBitButtonArea) == 32);
