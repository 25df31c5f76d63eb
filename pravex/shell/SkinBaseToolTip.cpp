// Delayed tooltips: a widget asks for its tooltip when the mouse enters it
// and withdraws it when the mouse leaves; the text shows after the tip delay
// unless withdrawn first. While tooltips are off every request is ignored.
#include <string>

#include "platform/os/Resources.h"
#include "pravex/shell/SkinBase.h"

LRESULT CSkinBase::StartToolTip(WPARAM id, LPARAM) {
  if (!m_toolTipsOn) return 1;
  m_toolTipPending = 0;
  std::string text;
  if (id != 0 && LoadResourceString(static_cast<UINT>(id), text)) {
    m_toolTipText = text;
    m_toolTipHasText = 1;
  } else {
    m_toolTipText.clear();
    m_toolTipHasText = 0;
  }
  m_toolTipStart = Now();
  m_toolTipPending = 1;
  KillTimer(kToolTipTimer);
  SetTimer(kToolTipTimer, static_cast<UINT>(m_tipDelay > 0 ? m_tipDelay : 1));  // a timer needs a period
  return 1;
}

LRESULT CSkinBase::HideToolTip(WPARAM id, LPARAM) {
  if (!m_toolTipsOn) return 1;
  if (m_toolTipHasText && id != 0) {
    // Another control's tooltip is pending: this leave is not for it.
    std::string text;
    LoadResourceString(static_cast<UINT>(id), text);
    if (text != m_toolTipText) return 1;
  }
  m_toolTipHasText = 0;
  m_toolTipText.clear();
  HideToolTipWindow();
  KillTimer(kToolTipTimer);
  m_toolTipPending = 0;
  return 1;
}

LRESULT CSkinBase::ProcessToolTip(WPARAM text, LPARAM textInLParam) {
  if (!m_toolTipsOn) return 1;
  if (!m_toolTip || ToolTipVisible() || !m_toolTipPending) return 1;
  if (Now() - m_toolTipStart <= m_toolTipThreshold) return 1;
  // The skin bitmap sends its spot's text in lParam (wParam is the spot);
  // other senders give the text in wParam.
  const char* shown = reinterpret_cast<const char*>(textInLParam ? textInLParam : text);
  if (shown) {
    DisplayToolTip(shown);
  } else {
    HideToolTipWindow();
  }
  return 1;
}

void CSkinBase::DisplayToolTip(const char* text) {
  ShowToolTipWindow(text ? text : "");
  m_toolTipPending = 0;
}

void CSkinBase::ToolTitTest() {
  if (m_toolTipPending) SkinTestToolTip();
}

BOOL CSkinBase::ToolTipReady() const {
  return m_toolTipPending && Now() - m_toolTipStart > m_toolTipThreshold ? TRUE : FALSE;
}

void CSkinBase::OnToolTipTimer() {
  if (m_toolTipsOn) {
    if (m_toolTipPending && m_toolTipHasText) {
      if (!ToolTipVisible() && Now() - m_toolTipStart > m_toolTipThreshold) {
        DisplayToolTip(m_toolTipText.c_str());
      } else {
        HideToolTipWindow();
      }
    } else if (m_toolTipPending) {
      SkinTestToolTip();
    }
  }
  KillTimer(kToolTipTimer);
}
