#include "olvane/MarkedProgress.h"

#include <algorithm>

#include "olvane/ThumbnailPreview.h"
#include "platform/gfx/DC.h"
#include "platform/ui/App.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/MyToolTip.h"
#include "sintra/widgets/WidgetMessages.h"

namespace {
constexpr int kTickWidth = 2;
constexpr int kSpanHeight = 3;
constexpr int kToolTipPoints = 8;
}  // namespace

CMarkedProgress::CMarkedProgress() : CMarkedProgress(nullptr) {}

CMarkedProgress::CMarkedProgress(std::unique_ptr<IThumbnailSource> thumbnails)
    : m_preview(std::make_unique<CThumbnailPreview>(std::move(thumbnails))) {
  SetOverlay(kMarksOverlay, [this](CTransLedProgress&, CDC& dc, const CRect& client) { DrawMarks(dc, client); });
}

CMarkedProgress::~CMarkedProgress() = default;

void CMarkedProgress::CreatePopups() {
  // Owned by the player window, so they go with it; made at the first hover.
  CWnd* owner = GetParent();
  if (!m_toolTip) {
    m_toolTip = std::make_unique<CMyToolTip>(kToolTipPoints, g_skinData.SkinColour(SKIN_TOOLTIP_BACK));
    if (!m_toolTip->Create(owner)) m_toolTip.reset();
  }
  if (!m_preview->GetSafeHwnd()) m_preview->Create(owner);
}

void CMarkedProgress::SetClip(const std::string& path, DWORD duration, CSize pictureSize) {
  HidePopups();
  m_marks.Clear();
  m_marks.SetDuration(duration);
  m_preview->SetClip(path, pictureSize);
  if (m_hWnd) Invalidate(FALSE);
}

void CMarkedProgress::SetMarks(ProgressMark::Kind kind, std::vector<ProgressMark> marks) {
  m_marks.SetMarks(kind, std::move(marks));
  m_toolTipMark = -1;
  if (m_toolTip) m_toolTip->HideToolTip();
  if (m_hWnd) Invalidate(FALSE);
}

int CMarkedProgress::MarkX(std::size_t index) const {
  if (index >= m_marks.Marks().size()) return -1;
  return m_marks.XForTime(m_marks.Marks()[index].start, TrackRect());
}

void CMarkedProgress::HidePopups() {
  m_toolTipMark = -1;
  if (m_toolTip) m_toolTip->HideToolTip();
  m_preview->HidePreview();
}

void CMarkedProgress::DrawMarks(CDC& dc, const CRect& client) {
  if (m_marks.Duration() == 0) return;
  const CRect track = TrackRect();
  // Spans first, along the foot of the bar, so ticks stay visible over them.
  for (const ProgressMark& mark : m_marks.Marks()) {
    if (mark.IsTick()) continue;
    const int left = m_marks.XForTime(mark.start, track);
    const int right = std::max(left + 1, m_marks.XForTime(mark.end, track));
    dc.FillSolidRect(left, client.bottom - kSpanHeight, right - left, kSpanHeight, kSpanColour);
  }
  for (const ProgressMark& mark : m_marks.Marks()) {
    if (!mark.IsTick()) continue;
    const int x = m_marks.XForTime(mark.start, track);
    // Centred on the mark's pixel and across the LEDs, lit or not. A pause
    // tick takes the lower half only, so a chapter that pauses shows both.
    if (mark.kind == ProgressMark::Kind::Pause)
      dc.FillSolidRect(x - kTickWidth / 2, client.CenterPoint().y, kTickWidth, client.bottom - client.CenterPoint().y,
                        kPauseColour);
    else
      dc.FillSolidRect(x - kTickWidth / 2, client.top, kTickWidth, client.Height(), kChapterColour);
  }
}

void CMarkedProgress::ShowHover(CPoint point) {
  CreatePopups();
  const CRect track = TrackRect();
  const int tick = m_marks.TickAt(point.x, track);
  // Over a tick the preview shows the mark's own time, the one a click seeks to.
  const DWORD time =
      tick >= 0 ? m_marks.Marks()[static_cast<std::size_t>(tick)].start : m_marks.TimeAtX(point.x, track);
  if (m_toolTip) {
    if (tick >= 0) {
      if (tick != m_toolTipMark || !m_toolTip->ToolTipVisible()) {
        CPoint screen = point;
        ClientToScreen(&screen);
        m_toolTip->DisplayToolTip(m_marks.TickText(tick, track).c_str(), screen);
      }
    } else {
      m_toolTip->HideToolTip();
    }
  }
  m_toolTipMark = tick;
  if (m_marks.Duration() == 0 || !m_preview->GetSafeHwnd()) return;
  // The popup stands above the bar, centred on the pointer.
  CPoint anchor(point.x, 0);
  ClientToScreen(&anchor);
  m_preview->ShowAt(time, anchor);
}

void CMarkedProgress::OnMouseMove(UINT flags, CPoint point) {
  CTransLedProgress::OnMouseMove(flags, point);
  if (IsDragging()) {
    HidePopups();
    return;
  }
  ShowHover(point);
}

void CMarkedProgress::OnLButtonDown(UINT flags, CPoint point) {
  HidePopups();
  const int tick = IsDragging() ? -1 : m_marks.TickAt(point.x, TrackRect());
  if (tick < 0) {
    CTransLedProgress::OnLButtonDown(flags, point);
    return;
  }
  // A tick seeks to its own time, not to the percent the LEDs round it to.
  if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_HIDE_TOOLTIP, 0, 0);
  if (CWnd* parent = GetParent())
    parent->PostMessage(WM_PROGRESS_MARK_SEEK,
                        static_cast<WPARAM>(m_marks.Marks()[static_cast<std::size_t>(tick)].start), 0);
}

void CMarkedProgress::OnMouseLeave() {
  HidePopups();
  CTransLedProgress::OnMouseLeave();
}

void CMarkedProgress::OnShowWindow(BOOL show, UINT status) {
  if (!show) HidePopups();
  CTransLedProgress::OnShowWindow(show, status);
}
