#include "pravex/shell/MyTracker.h"

#include <algorithm>

#include "platform/ui/Cursor.h"
#include "platform/ui/Wnd.h"

namespace {

// Thickness of the frame lines, in pixels.
constexpr int kFrameWidth = 3;

}  // namespace

CMyTracker::CMyTracker() = default;

CMyTracker::~CMyTracker() {
  for (auto& bar : m_frame) {
    if (bar && bar->GetSafeHwnd()) bar->DestroyWindow();
  }
}

BOOL CMyTracker::StartTracking(int mode, CWnd* owner, CWnd* target, HCURSOR cursor) {
  if (!owner || !owner->GetSafeHwnd() || m_tracking) return FALSE;
  m_mode = mode == kPickWindow ? kPickWindow : kRubberBand;
  m_owner = owner->GetSafeHwnd();
  m_target = target ? target->GetSafeHwnd() : nullptr;
  m_cursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
  m_picked = nullptr;
  POINT at{0, 0};
  GetCursorPos(&at);
  m_start = at;
  m_rect = CRect(at.x, at.y, at.x, at.y);
  m_tracking = true;
  owner->SetCapture();
  m_oldCursor = SetCursor(m_cursor);
  if (m_mode == kPickWindow) UpdatePick(at);
  return TRUE;
}

BOOL CMyTracker::OnMouseMove(POINT screen) {
  if (!m_tracking) return FALSE;
  if (m_mode == kRubberBand) {
    UpdateBand(screen);
  } else {
    UpdatePick(screen);
  }
  return TRUE;
}

BOOL CMyTracker::OnLButtonUp(POINT screen) {
  if (!m_tracking) return FALSE;
  OnMouseMove(screen);
  Finish();
  return TRUE;
}

void CMyTracker::CaptureLost() {
  if (m_tracking) Finish();
}

void CMyTracker::Finish() {
  m_tracking = false;  // first, so the capture change this causes is not seen as a loss
  ShowFrame(CRect());
  if (::GetCapture() == m_owner) ReleaseCapture();
  SetCursor(m_oldCursor);
  if (m_mode == kPickWindow) {
    if (CWnd* picked = CWnd::FromHandle(m_picked))
      picked->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  NotifyTarget(-1);
}

void CMyTracker::UpdateBand(POINT screen) {
  CRect band(m_start.x, m_start.y, screen.x, screen.y);
  band.NormalizeRect();
  if (band.EqualRect(&m_rect)) return;
  m_rect = band;
  ShowFrame(m_rect);
  NotifyTarget(0);
}

void CMyTracker::UpdatePick(POINT screen) {
  CWnd* under = CWnd::WindowFromPoint(screen);
  if (under && IsFrameWindow(under)) return;  // over the frame itself: keep the pick
  const HWND pick = under && !IsExcluded(under) ? under->GetSafeHwnd() : nullptr;
  if (pick == m_picked) return;
  m_picked = pick;
  CRect rect;
  if (under && pick) under->GetWindowRect(&rect);
  m_rect = rect;
  ShowFrame(m_rect);
  NotifyTarget(0);
}

// Neither the owner, the target nor their direct children can be picked.
bool CMyTracker::IsExcluded(const CWnd* wnd) const {
  const HWND h = wnd->GetSafeHwnd();
  if (h == m_owner || h == m_target) return true;
  const CWnd* parent = wnd->IsTopLevel() ? nullptr : wnd->GetParent();
  const HWND p = parent ? parent->GetSafeHwnd() : nullptr;
  return p && (p == m_owner || p == m_target);
}

bool CMyTracker::IsFrameWindow(const CWnd* wnd) const {
  const CWnd* top = wnd->GetTopLevelParent();
  return std::any_of(m_frame.begin(), m_frame.end(), [&](const auto& bar) { return bar.get() == top; });
}

void CMyTracker::ShowFrame(const CRect& rect) {
  if (rect.IsRectEmpty()) {
    for (auto& bar : m_frame) {
      if (bar && bar->GetSafeHwnd()) bar->ShowWindow(SW_HIDE);
    }
    return;
  }
  const int w = std::min(kFrameWidth, rect.Width());
  const int h = std::min(kFrameWidth, rect.Height());
  const CRect pieces[4] = {
      CRect(rect.left, rect.top, rect.right, rect.top + h),
      CRect(rect.left, rect.bottom - h, rect.right, rect.bottom),
      CRect(rect.left, rect.top, rect.left + w, rect.bottom),
      CRect(rect.right - w, rect.top, rect.right, rect.bottom),
  };
  static const char* frameClass = AfxRegisterWndClass(0, nullptr, RGB(0, 0, 0));
  for (int i = 0; i < 4; ++i) {
    auto& bar = m_frame[static_cast<std::size_t>(i)];
    if (!bar || !bar->GetSafeHwnd()) {
      bar = std::make_unique<CWnd>();
      if (!bar->CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, frameClass, "", WS_POPUP, pieces[i],
                         nullptr, 0)) {
        bar.reset();
        continue;
      }
    }
    bar->SetWindowPos(&CWnd::wndTopMost, pieces[i].left, pieces[i].top, pieces[i].Width(), pieces[i].Height(),
                      SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

void CMyTracker::NotifyTarget(int value) {
  if (m_target) ::PostMessage(m_target, WM_TRACKER_CHANGED, static_cast<WPARAM>(value), static_cast<LPARAM>(value));
}
