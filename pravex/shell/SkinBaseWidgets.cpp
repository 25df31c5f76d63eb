// The skinned window's tooltip window. Until the tooltip widget is part of
// the toolkit there is no tooltip window, so tooltips show nothing.
#include "pravex/shell/SkinBase.h"

void CMyToolTipDeleter::operator()(CMyToolTip*) const {}

void CSkinBase::CreateToolTipWindow() {}
void CSkinBase::ShowToolTipWindow(const char*) {}
void CSkinBase::HideToolTipWindow() {}
BOOL CSkinBase::ToolTipVisible() const { return TRUE; }
