#include "sintra/widgets/BitButton.h"

#include "platform/gfx/DC.h"
#include "sintra/skin/Palette.h"
#include "sintra/skin/SkinData.h"

CBitButton::CBitButton() = default;
CBitButton::~CBitButton() = default;

int CBitButton::Create(CWnd* parent, const RECT& rect, UINT bitmapId) {
  if (!CButton::Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, parent, kControlId)) return 0;
  m_bitmap.LoadBitmap(bitmapId);
  const CRect r(rect);
  m_bitmap.SetBitmapDimension(r.Width(), r.Height());
  m_track.Init(m_hWnd, 0);
  return 1;
}

void CBitButton::AddButton(UINT id, const RECT& area, int enabled, int checkBox, int checked) {
  m_areas.emplace_back(id, area, enabled, checkBox, checked);
}

void CBitButton::InvalidateButton(int index) {
  if (Valid(index) && m_hWnd) InvalidateRect(&m_areas[static_cast<std::size_t>(index)].m_area, FALSE);
}

void CBitButton::EnableButton(int index, int value) {
  if (!Valid(index)) return;
  m_areas[static_cast<std::size_t>(index)].m_enabled = value;
  if (!value && m_hot == index) m_hot = -1;
  InvalidateButton(index);
}

void CBitButton::CheckButton(int index, int value) {
  if (!Valid(index)) return;
  m_areas[static_cast<std::size_t>(index)].m_checked = value;
  InvalidateButton(index);
}

void CBitButton::SetCheckBox(int index) {
  if (Valid(index)) m_areas[static_cast<std::size_t>(index)].m_checkBox = 1;
}

int CBitButton::GetCheck(int index) const {
  return Valid(index) ? m_areas[static_cast<std::size_t>(index)].m_checked : 0;
}

int CBitButton::IsCheckBox(int index) const {
  return Valid(index) ? m_areas[static_cast<std::size_t>(index)].m_checkBox : 0;
}

UINT CBitButton::GetMessageID(int index) const {
  return Valid(index) ? m_areas[static_cast<std::size_t>(index)].m_id : 0;
}

int CBitButton::TestButton(CPoint point) const {
  // Areas may lie inside one another (the speed buttons inside the "open"
  // area): the smallest enabled area under the point wins.
  int best = -1;
  long long bestArea = 0;
  for (std::size_t i = 0; i < m_areas.size(); ++i) {
    const CRect& r = m_areas[i].m_area;
    if (!m_areas[i].m_enabled || !r.PtInRect(point)) continue;
    const long long area = static_cast<long long>(r.Width()) * r.Height();
    if (best < 0 || area < bestArea) {
      best = static_cast<int>(i);
      bestArea = area;
    }
  }
  return best;
}

int CBitButton::RowOf(int index) const {
  if (!Valid(index)) return 0;
  const CBitButtonArea& a = m_areas[static_cast<std::size_t>(index)];
  if (index == m_hot && m_track.MouseOver() && a.m_enabled) return 2;
  if (a.Normal()) return 1;
  if (a.Checked()) return 3;
  return 0;
}

void CBitButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
  CDC* target = drawItem->hDC;
  const CRect client(drawItem->rcItem);
  if (!target || client.IsRectEmpty()) return;
  // Composed in a buffer, then copied, so the bar never shows half drawn.
  CDC buffer;
  buffer.CreateCompatibleDC(target);
  CBitmap picture;
  picture.CreateBitmap(client.Width(), client.Height(), 1, 32, nullptr);
  CBitmap* oldPicture = buffer.SelectObject(&picture);
  FixedPalette(&buffer, g_skinData.m_palette);
  CDC source;
  source.CreateCompatibleDC(target);
  CBitmap* oldSource = m_bitmap.IsCreated() ? source.SelectObject(&m_bitmap) : nullptr;
  const int rowHeight = m_bitmap.IsCreated() ? m_bitmap.GetHeight() / kRows : 0;
  if (rowHeight > 0) {
    buffer.BitBlt(0, 0, client.Width(), rowHeight, &source, 0, 0, SRCCOPY);
    for (int i = 0; i < GetButtonCount(); ++i) {
      const int row = RowOf(i);
      if (row == 0) continue;
      const CRect& a = m_areas[static_cast<std::size_t>(i)].m_area;
      buffer.BitBlt(a.left, a.top, a.Width(), a.Height(), &source, a.left, a.top + row * rowHeight, SRCCOPY);
    }
  } else {
    buffer.FillSolidRect(&client, g_skinData.SkinColour(SKIN_BUTTON_FACE));
  }
  if (oldSource) source.SelectObject(oldSource);
  target->BitBlt(client.left, client.top, client.Width(), client.Height(), &buffer, 0, 0, SRCCOPY);
  buffer.SelectObject(oldPicture);
}

void CBitButton::OnMouseMove(UINT flags, CPoint point) {
  CButton::OnMouseMove(flags, point);
  const int hot = TestButton(point);
  if (hot != m_hot) {
    InvalidateButton(m_hot);
    InvalidateButton(hot);
    m_hot = hot;
  }
  // The first move after the mouse came in: redraw, ask for the leave
  // notice, and tell the main window about the tooltip.
  m_track.OnMouseMove(m_hWnd);
}

void CBitButton::OnMouseLeave() {
  m_track.OnMouseOut(m_hWnd);
  m_hot = -1;
}

void CBitButton::OnLButtonUp(UINT flags, CPoint point) {
  if (Valid(m_hot)) {
    CBitButtonArea& a = m_areas[static_cast<std::size_t>(m_hot)];
    if (a.m_checkBox) {
      a.m_checked = !a.m_checked;
      InvalidateButton(m_hot);
    }
    if (CWnd* parent = GetParent()) parent->PostMessage(WM_COMMAND, a.m_id, 0);
  }
  CButton::OnLButtonUp(flags, point);
}
