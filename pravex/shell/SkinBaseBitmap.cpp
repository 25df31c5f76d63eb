// The skinned window's skin bitmap. Until the hot bitmap is part of the
// toolkit a skin never has one, so a skin that needs one falls back to the
// built-in skin.
#include "pravex/shell/SkinBase.h"

void CHotBitmapDeleter::operator()(CHotBitmap*) const {}

bool CSkinBase::LoadSkinBitmap(int) { return false; }
void CSkinBase::ReleaseSkinBitmap() { m_skinBitmap.reset(); }
int CSkinBase::TestSkinSpot(CPoint, UINT) { return -1; }
void CSkinBase::SkinMouseOut() {}
void CSkinBase::SkinTestToolTip() {}
const BYTE* CSkinBase::SkinBitmapBits() const { return nullptr; }
const BITMAPINFO* CSkinBase::SkinBitmapInfo() const { return &m_bitmapHeader; }
