// The skinned window's skin bitmap: loading it for the window, hit-testing
// its hot spots, its tooltip spots and its pixels for painting.
#include "pravex/shell/SkinBase.h"
#include "sintra/widgets/HotBitmap.h"

void CHotBitmapDeleter::operator()(CHotBitmap* bitmap) const { delete bitmap; }

bool CSkinBase::LoadSkinBitmap(int hotSpots) {
  auto bitmap = std::unique_ptr<CHotBitmap, CHotBitmapDeleter>(new CHotBitmap);
  if (!bitmap->Initialise(m_hWnd, m_skinWidth, m_skinHeight, m_bitDepth)) return false;
  if (!bitmap->LoadBitmapFile(m_skinFolder.c_str(), m_skinBitmapName.c_str(), 1)) return false;
  if (bitmap->HotSpotCount() != hotSpots) return false;
  bitmap->SetUpDisplay();
  m_skinBitmap = std::move(bitmap);
  return true;
}

void CSkinBase::ReleaseSkinBitmap() { m_skinBitmap.reset(); }

int CSkinBase::TestSkinSpot(CPoint point, UINT message) {
  return m_skinBitmap ? m_skinBitmap->TestSpot(point, message) : -1;
}

void CSkinBase::SkinMouseOut() {
  if (m_skinBitmap) m_skinBitmap->MouseOut();
}

void CSkinBase::SkinTestToolTip() {
  if (m_skinBitmap) m_skinBitmap->TestToolTip();
}

const BYTE* CSkinBase::SkinBitmapBits() const { return m_skinBitmap ? m_skinBitmap->GetBackBuffer() : nullptr; }

const BITMAPINFO* CSkinBase::SkinBitmapInfo() const { return m_skinBitmap ? m_skinBitmap->GetInfo() : &m_bitmapHeader; }
