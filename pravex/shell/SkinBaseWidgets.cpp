// The skinned window's tooltip window: the widgets' shared tooltip, made
// once the window exists and owned by it.
#include "pravex/shell/SkinBase.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/MyToolTip.h"

void CMyToolTipDeleter::operator()(CMyToolTip* tip) const {
  if (tip && tip->GetSafeHwnd()) tip->DestroyWindow();
  delete tip;
}

void CSkinBase::CreateToolTipWindow() {
  if (m_toolTip || !m_hWnd) return;
  std::unique_ptr<CMyToolTip, CMyToolTipDeleter> tip(new CMyToolTip(8, g_skinData.SkinColour(SKIN_TOOLTIP_BACK)));
  if (tip->Create(this, WS_CHILD)) m_toolTip = std::move(tip);
}

void CSkinBase::ShowToolTipWindow(const char* text) {
  if (m_toolTip) m_toolTip->DisplayToolTip(text);
}

void CSkinBase::HideToolTipWindow() {
  if (m_toolTip) m_toolTip->HideToolTip();
}

BOOL CSkinBase::ToolTipVisible() const { return m_toolTip ? m_toolTip->ToolTipVisible() : TRUE; }
