// The skinned window's use of the skin bitmap and the tooltip window. Until
// those widgets are part of the toolkit, a skin never has a bitmap (so a skin
// that needs one falls back to the built-in skin) and there is no tooltip
// window (so tooltips show nothing).
#include "pravex/shell/SkinBase.h"

void CHotBitmapDeleter::operator()(CHotBitmap*) const {}
void CMyToolTipDeleter::operator()(CMyToolTip*) const {}

bool CSkinBase::LoadSkinBitmap(int) { return false; }
void CSkinBase::ReleaseSkinBitmap() { m_skinBitmap.reset(); }
int CSkinBase::TestSkinSpot(CPoint, UINT) { return -1; }
void CSkinBase::SkinMouseOut() {}
void CSkinBase::SkinTestToolTip() {}
const BYTE* CSkinBase::SkinBitmapBits() const { return nullptr; }
void CSkinBase::CreateToolTipWindow() {}
void CSkinBase::ShowToolTipWindow(const char*) {}
void CSkinBase::HideToolTipWindow() {}
BOOL CSkinBase::ToolTipVisible() const { return TRUE; }
