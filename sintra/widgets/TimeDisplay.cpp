#include "sintra/widgets/TimeDisplay.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

namespace {
constexpr COLORREF kDigitMask = RGB(255, 0, 255);
constexpr int kFrame = 1;
}  // namespace

CTimeDisplay::CTimeDisplay() { m_drawn.fill(-1); }
CTimeDisplay::~CTimeDisplay() = default;

BOOL CTimeDisplay::Create(CWnd* parent, POINT position, int sizeStyle, int bitmapStyle, int pairs, UINT id) {
  m_digits.Setup(sizeStyle, pairs);
  const CTimeDigits::CellSize& size = m_digits.Size();
  const unsigned bitmap = CTimeDigits::DigitBitmap(sizeStyle, bitmapStyle);
  if (bitmap) m_images.Create(bitmap, size.width, 4, kDigitMask);
  const CRect rect(CPoint(position), CSize(m_digits.FullWidth() + 2 * kFrame, size.height + 2 * kFrame));
  const char* cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  if (!CWnd::Create(cls, "", WS_CHILD | WS_VISIBLE, rect, parent, id)) return FALSE;
  m_track.Init(m_hWnd, 0);
  SetUpData();
  return TRUE;
}

void CTimeDisplay::SetColours(COLORREF background, COLORREF ink) {
  m_background = background;
  m_ink = ink;
  SetLastValue(-1);
}

void CTimeDisplay::SetUnitsPerSecond(std::uint32_t units) {
  m_digits.SetUnitsPerSecond(units);
  SetUpData();
}

void CTimeDisplay::SetData(std::uint32_t value) {
  m_value = value;
  m_single = FALSE;
  m_digits.SetSingleNumber(false);
  m_digits.SetTime(value);
  InvalidateChanged();
}

void CTimeDisplay::SetValue(std::uint32_t value) {
  m_value = value;
  m_digits.SetNumber(value);
  InvalidateChanged();
}

void CTimeDisplay::SetUpData() {
  if (m_single)
    m_digits.SetNumber(m_value);
  else
    m_digits.SetTime(m_value);
  InvalidateChanged();
}

void CTimeDisplay::SetLastValue(int value) {
  m_drawn.fill(value);
  if (m_hWnd) Invalidate(FALSE);
}

void CTimeDisplay::SetDigitOffset(int pair) {
  m_digits.SetFirstPair(pair);
  SetUpData();
  SetLastValue(-1);
}

void CTimeDisplay::RightJustified() { SetDigitOffset(CTimeDigits::kPairs - m_digits.Pairs()); }

void CTimeDisplay::SetFrame(BOOL on) {
  m_frame = on;
  SetLastValue(-1);
}

void CTimeDisplay::BlankZeros(BOOL on) {
  m_digits.SetBlankZeros(on);
  SetUpData();
}

void CTimeDisplay::SetSingleNumber(BOOL on) {
  m_single = on;
  m_digits.SetSingleNumber(on);
  SetUpData();
  SetLastValue(-1);
}

void CTimeDisplay::SetEditMode(BOOL on) {
  m_editMode = on;
  SetLastValue(-1);
}

BOOL CTimeDisplay::EnableWindow(BOOL enable) {
  const BOOL was = CWnd::EnableWindow(enable);
  SetLastValue(-1);
  return was;
}

CRect CTimeDisplay::CellClientRect(int cell) const {
  CRect r = m_digits.CellRect(cell);
  r.OffsetRect(kFrame, kFrame);
  return r;
}

void CTimeDisplay::InvalidateChanged() {
  if (!m_hWnd) return;
  for (int c = m_digits.FirstCell(); c <= m_digits.LastCell(); ++c)
    if (m_digits.Cell(c) != m_drawn[static_cast<std::size_t>(c)]) {
      const CRect r = CellClientRect(c);
      InvalidateRect(&r, FALSE);
    }
}

void CTimeDisplay::DrawCell(CDC* dc, const CRect& rect, int image) {
  dc->FillSolidRect(&rect, m_background);
  // An image outside the strip draws nothing.
  if (image < 0 || image >= m_images.GetImageCount()) return;
  if (m_ink == CLR_NONE) {
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&rect);
    m_images.Draw(dc, image, POINT{rect.left, rect.top}, ILD_TRANSPARENT);
    dc->RestoreDC(saved);
    return;
  }
  // The digit's shape from the strip, in the counter's own ink: the mask is
  // black where the digit is, and a monochrome source takes the text colour
  // for black and the background colour for white.
  CDC maskDC;
  maskDC.CreateCompatibleDC(dc);
  CBitmap mask;
  if (!mask.CreateBitmap(rect.Width(), rect.Height(), 1, 1, nullptr)) return;
  CBitmap* old = maskDC.SelectObject(&mask);
  maskDC.PatBlt(0, 0, rect.Width(), rect.Height(), WHITENESS);
  m_images.Draw(&maskDC, image, POINT{0, 0}, ILD_MASK);
  const COLORREF text = dc->SetTextColor(m_ink);
  const COLORREF back = dc->SetBkColor(m_background);
  dc->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &maskDC, 0, 0, SRCCOPY);
  dc->SetTextColor(text);
  dc->SetBkColor(back);
  maskDC.SelectObject(old);
}

void CTimeDisplay::DisplayTime(CDC* dc, BOOL drawAll) {
  if (!dc) return;
  CRect client;
  GetClientRect(&client);
  if (m_frame) {
    const bool dim = !IsWindowEnabled() || (m_editMode && !m_focus);
    CBrush frame(g_skinData.SkinColour(dim ? SKIN_BITMAPFRAME : SKIN_BUTTON_HI));
    dc->FrameRect(&client, &frame);
  }
  for (int c = m_digits.FirstCell(); c <= m_digits.LastCell(); ++c) {
    const int value = m_digits.Cell(c);
    if (!drawAll && value == m_drawn[static_cast<std::size_t>(c)]) continue;
    DrawCell(dc, CellClientRect(c), value);
    m_drawn[static_cast<std::size_t>(c)] = value;
  }
  if (drawAll && !m_digits.SingleNumber()) {
    for (int p = m_digits.FirstPair(); p < m_digits.FirstPair() + m_digits.Pairs() - 1; ++p) {
      CRect r = m_digits.SeparatorRect(p);
      r.OffsetRect(kFrame, kFrame);
      DrawCell(dc, r, CTimeDigits::kSeparator);
    }
  }
}

void CTimeDisplay::OnPaint() {
  CPaintDC dc(this);
  DisplayTime(&dc, TRUE);
}

void CTimeDisplay::OnMouseMove(UINT, CPoint) { m_track.OnMouseMove(m_hWnd); }

void CTimeDisplay::OnMouseLeave() { m_track.OnMouseOut(m_hWnd); }

void CTimeDisplay::OnSetFocus(CWnd*) {
  m_focus = TRUE;
  if (m_editMode) SetLastValue(-1);
}

void CTimeDisplay::OnKillFocus(CWnd*) {
  m_focus = FALSE;
  if (m_editMode) SetLastValue(-1);
}
