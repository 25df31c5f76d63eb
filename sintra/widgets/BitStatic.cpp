#include "sintra/widgets/BitStatic.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"

CBitStatic::CBitStatic() = default;
CBitStatic::~CBitStatic() = default;

BOOL CBitStatic::Create(CWnd* parent, const RECT& rect, UINT bitmapId, int cx, int cy, COLORREF mask) {
  if (!CStatic::Create("", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, rect, parent, kControlId)) return FALSE;
  CBitmap strip;
  if (strip.LoadBitmap(bitmapId) && m_images.Create(cx, cy, ILC_COLOR24 | ILC_MASK, 0, 4)) m_images.Add(&strip, mask);
  return TRUE;
}

void CBitStatic::SetImage(int index) {
  if (index == m_image) return;
  m_image = index;
  if (m_hWnd) Invalidate(FALSE);
}

void CBitStatic::DrawItem(LPDRAWITEMSTRUCT drawItem) {
  if (drawItem->hDC) m_images.Draw(drawItem->hDC, m_image, POINT{0, 0}, ILD_TRANSPARENT);
}
