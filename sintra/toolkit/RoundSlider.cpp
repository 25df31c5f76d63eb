#include "sintra/toolkit/RoundSlider.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Brush.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Pen.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"
#include "sintra/toolkit/TransStatic.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStartDegrees = 225.0;  // the minimum, lower left
constexpr double kSweepDegrees = 270.0;  // clockwise to the maximum, lower right

}  // namespace

CRoundSlider::CRoundSlider() = default;
CRoundSlider::~CRoundSlider() = default;

BOOL CRoundSlider::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::CreateEx(0, nullptr, "", style | WS_CHILD, rect, parent, id);
}

void CRoundSlider::SetRange(int minValue, int maxValue, BOOL redraw) {
  m_min = std::min(minValue, maxValue);
  m_max = std::max(minValue, maxValue);
  m_pos = std::clamp(m_pos, m_min, m_max);
  if (redraw && m_hWnd) Invalidate(FALSE);
}

void CRoundSlider::SetPos(int pos) {
  const int next = std::clamp(pos, m_min, m_max);
  if (next == m_pos) return;
  m_pos = next;
  if (m_hWnd) Invalidate(FALSE);
}

int CRoundSlider::SetPageSize(int size) {
  const int old = m_page;
  m_page = std::max(1, size);
  return old;
}

int CRoundSlider::PosFromPoint(POINT point) const {
  CRect client;
  GetClientRect(&client);
  const double dx = point.x - (client.left + client.right) / 2.0;
  const double dy = (client.top + client.bottom) / 2.0 - point.y;  // up is positive
  if (dx == 0 && dy == 0) return m_pos;
  double degrees = std::atan2(dy, dx) * 180.0 / kPi;  // -180 .. 180, anticlockwise from the right
  if (degrees <= kStartDegrees - 360.0) degrees += 360.0;
  double fraction = (kStartDegrees - degrees) / kSweepDegrees;              // 0 .. 4/3
  if (fraction > 1.0) fraction = fraction < (1.0 + 1.0 / 6.0) ? 1.0 : 0.0;  // the gap at the bottom
  const double value = m_min + fraction * (static_cast<double>(m_max) - m_min);
  return static_cast<int>(std::clamp(std::lround(value), static_cast<long>(m_min), static_cast<long>(m_max)));
}

CPoint CRoundSlider::PointForPos(int pos, double radius) const {
  CRect client;
  GetClientRect(&client);
  const double span = static_cast<double>(m_max) - m_min;
  const double fraction = span > 0 ? (std::clamp(pos, m_min, m_max) - static_cast<double>(m_min)) / span : 0.0;
  const double radians = (kStartDegrees - fraction * kSweepDegrees) * kPi / 180.0;
  const double cx = (client.left + client.right) / 2.0;
  const double cy = (client.top + client.bottom) / 2.0;
  return CPoint(static_cast<int>(std::lround(cx + radius * std::cos(radians))),
                static_cast<int>(std::lround(cy - radius * std::sin(radians))));
}

void CRoundSlider::Notify(UINT code) {
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_HSCROLL, MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(m_pos)),
                        reinterpret_cast<LPARAM>(m_hWnd));
}

void CRoundSlider::MoveTo(int pos, UINT code) {
  const int old = m_pos;
  SetPos(pos);
  if (m_pos != old) Notify(code);
}

void CRoundSlider::OnLButtonDown(UINT, CPoint point) {
  if (!IsWindowEnabled()) return;
  const HWND self = m_hWnd;
  SetFocus();
  if (CWnd::FromHandle(self) != this) return;
  m_dragging = true;
  SetCapture();
  MoveTo(PosFromPoint(point), TB_THUMBTRACK);
}

void CRoundSlider::OnMouseMove(UINT, CPoint point) {
  if (m_dragging) MoveTo(PosFromPoint(point), TB_THUMBTRACK);
}

void CRoundSlider::OnLButtonUp(UINT, CPoint) {
  if (!m_dragging) return;
  m_dragging = false;
  const HWND self = m_hWnd;
  if (CWnd::GetCapture() == this) ReleaseCapture();
  if (CWnd::FromHandle(self) != this) return;
  Notify(TB_THUMBPOSITION);
  if (CWnd::FromHandle(self) == this) Notify(TB_ENDTRACK);
}

void CRoundSlider::OnCaptureChanged(CWnd* wnd) {
  if (wnd != this) m_dragging = false;
}

void CRoundSlider::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  switch (key) {
    case VK_RIGHT:
    case VK_UP:
      MoveTo(m_pos + 1, TB_LINEDOWN);
      break;
    case VK_LEFT:
    case VK_DOWN:
      MoveTo(m_pos - 1, TB_LINEUP);
      break;
    case VK_PRIOR:
      MoveTo(m_pos + m_page, TB_PAGEDOWN);
      break;
    case VK_NEXT:
      MoveTo(m_pos - m_page, TB_PAGEUP);
      break;
    case VK_HOME:
      MoveTo(m_min, TB_PAGEUP);
      break;
    case VK_END:
      MoveTo(m_max, TB_PAGEDOWN);
      break;
    default:
      CWnd::OnKeyDown(key, repeat, flags);
      break;
  }
}

void CRoundSlider::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CWnd* parent = GetParent();
  const int saved = dc.SaveDC();
  const LRESULT painted = parent
                              ? parent->SendMessage(WM_APP_REDRAWSKIN, reinterpret_cast<WPARAM>(static_cast<CDC*>(&dc)),
                                                    reinterpret_cast<LPARAM>(this))
                              : 0;
  dc.RestoreDC(saved);
  if (!painted) dc.FillSolidRect(&client, g_skinData.SkinColour(SKIN_BACK));
  const int side = std::min(client.Width(), client.Height());
  if (side < 6) return;
  const bool enabled = IsWindowEnabled() != FALSE;
  CRect knob(0, 0, side - 2, side - 2);
  knob.OffsetRect(client.left + (client.Width() - knob.Width()) / 2,
                  client.top + (client.Height() - knob.Height()) / 2);
  CPen border(PS_SOLID, 1, g_skinData.SkinColour(SKIN_BUTTON_BORDER));
  CBrush face(g_skinData.SkinColour(enabled ? SKIN_BUTTON_FACE : SKIN_BUTTON_DISABLE));
  CPen* oldPen = dc.SelectObject(&border);
  CBrush* oldBrush = dc.SelectObject(&face);
  dc.Ellipse(&knob);
  // The mark: a short line from two thirds of the radius to the rim.
  const double radius = knob.Width() / 2.0;
  CPen mark(PS_SOLID, std::max(2, side / 12), g_skinData.SkinColour(enabled ? SKIN_BUTTON_SELECT : SKIN_TEXT_DISABLE));
  dc.SelectObject(&mark);
  const CPoint inner = PointForPos(m_pos, radius * 0.35);
  const CPoint outer = PointForPos(m_pos, radius - 3);
  dc.MoveTo(inner);
  dc.LineTo(outer);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}
