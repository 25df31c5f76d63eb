#include "sintra/widgets/StaticLedBar.h"

#include "platform/base/Clock.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/Palette.h"
#include "sintra/skin/SkinData.h"

CStaticLedBar::CStaticLedBar()
    : m_line(g_skinData.SkinColour(SKIN_BACK)), m_background(g_skinData.SkinColour(SKIN_BACK)) {}

CStaticLedBar::~CStaticLedBar() = default;

void CStaticLedBar::GetHiLoRgb(int cell, COLORREF& lit, COLORREF& unlit) {
  CLedLayout::MeterColours(cell, m_layout.cells, m_background, lit, unlit);
}

void CStaticLedBar::SetPos(int position) {
  if (m_usePeak && position >= m_peak) {
    m_peak = position;
    m_peakTime = Now();
    if (m_hWnd) SetTimer(kPeakTimer, kPeakTick);
  }
  if (position == m_pos) return;
  m_pos = position;
  if (m_hWnd) Invalidate(FALSE);
}

void CStaticLedBar::OnTimer(std::uintptr_t id) {
  if (id != kPeakTimer) {
    CStatic::OnTimer(id);
    return;
  }
  if (Now() - m_peakTime < kPeakHold) return;
  m_peak = 0;
  KillTimer(kPeakTimer);
  Invalidate(FALSE);
}

DWORD CStaticLedBar::Now() const { return GetTickCount(); }

void CStaticLedBar::SetRange(int minimum, int maximum) {
  m_min = minimum;
  m_max = maximum;
  if (m_hWnd) Invalidate(FALSE);
}

void CStaticLedBar::BlankWindow() {
  m_pos = m_peak = 0;
  if (m_hWnd) Invalidate(FALSE);
}

void CStaticLedBar::SetCells(int cells) {
  m_layout.cells = cells;
  if (m_hWnd) Invalidate(FALSE);
}

void CStaticLedBar::SetStripHeight(int height) {
  m_layout.stripHeight = height > 0 ? height : 0;
  if (m_hWnd) Invalidate(FALSE);
}

void CStaticLedBar::SetGap(BOOL on) {
  m_layout.gap = on ? 1 : 0;
  if (m_hWnd) Invalidate(FALSE);
}

void CStaticLedBar::SetColours(COLORREF line, COLORREF background) {
  m_line = line;
  m_background = background;
  if (m_hWnd) Invalidate(FALSE);
}

void CStaticLedBar::Draw(CDC* dc, const CRect& client) {
  dc->FillSolidRect(&client, m_background);
  if (m_layout.cells < 1) return;
  if (m_layout.stripHeight) {
    dc->FillSolidRect(client.left, client.top, client.Width(), 1, m_line);
    dc->FillSolidRect(client.left, client.bottom - 1, client.Width(), 1, m_line);
  }
  const std::vector<CRect> cells = m_layout.CellRects(client);
  const int lit = CLedLayout::LitCount(m_min, m_max, m_pos, m_layout.cells);
  const int peak = m_usePeak ? CLedLayout::PeakCell(m_min, m_max, m_peak, m_layout.cells) : -1;
  const std::size_t rows = static_cast<std::size_t>(m_layout.rows);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const int cell = static_cast<int>(i / rows);
    COLORREF on = 0, off = 0;
    GetHiLoRgb(cell, on, off);
    dc->FillSolidRect(&cells[i], cell < lit || cell == peak ? on : off);
  }
  DrawOverlays(dc, client);
}

void CStaticLedBar::DrawItem(LPDRAWITEMSTRUCT drawItem) {
  if (drawItem->hDC) Draw(drawItem->hDC, CRect(drawItem->rcItem));
}

void CStaticLedBar::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  CDC buffer;
  buffer.CreateCompatibleDC(&dc);
  CBitmap picture;
  if (!picture.CreateBitmap(client.Width(), client.Height(), 1, 32, nullptr)) return;
  CBitmap* old = buffer.SelectObject(&picture);
  FixedPalette(&buffer, g_skinData.m_palette);
  Draw(&buffer, client);
  dc.BitBlt(0, 0, client.Width(), client.Height(), &buffer, 0, 0, SRCCOPY);
  buffer.SelectObject(old);
}

void CStaticLedBar::OnMouseMove(UINT, CPoint) {
  if (!m_track.m_hWnd) m_track.Init(m_hWnd, 0);
  m_track.OnMouseMove(m_hWnd);
}

void CStaticLedBar::OnMouseLeave() { m_track.OnMouseOut(m_hWnd); }
