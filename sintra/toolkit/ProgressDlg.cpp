#include "sintra/toolkit/ProgressDlg.h"

#include <algorithm>
#include <cstdint>

#include "platform/gfx/DC.h"
#include "platform/ui/App.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

namespace {

constexpr int kWidth = 320;
constexpr int kMargin = 10;
constexpr int kTextHeight = 18;
constexpr int kBarHeight = 14;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;

}  // namespace

CProgressDlg::CProgressDlg() = default;
CProgressDlg::~CProgressDlg() {
  if (m_hWnd) DestroyWindow();
}

BOOL CProgressDlg::Create(const char* title, CWnd* owner) {
  const int height = GetCaptionHeight() + kMargin * 4 + kTextHeight + kBarHeight + kButtonHeight;
  if (!CTransWindow::Create(title ? title : "", WS_POPUP, CRect(0, 0, kWidth, height), owner)) return FALSE;
  CenterWindow(owner);
  ShowWindow(SW_SHOWNA);
  return TRUE;
}

int CProgressDlg::OnCreate(CREATESTRUCT* create) {
  if (CTransWindow::OnCreate(create) == -1) return -1;
  const int top = GetCaptionHeight() + kMargin;
  if (!m_text.Create("", WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(kMargin, top, kWidth - kMargin, top + kTextHeight),
                     this))
    return -1;
  const int buttonTop = top + kTextHeight + kMargin + kBarHeight + kMargin;
  const int buttonLeft = (kWidth - kButtonWidth) / 2;
  if (!m_cancel.Create("Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                       CRect(buttonLeft, buttonTop, buttonLeft + kButtonWidth, buttonTop + kButtonHeight), this,
                       kCancelId))
    return -1;
  return 0;
}

void CProgressDlg::SetText(const char* text) {
  if (m_text.m_hWnd) m_text.SetWindowText(text ? text : "");
}

void CProgressDlg::SetRange(int lo, int hi) {
  if (hi <= lo) {
    lo = 0;
    hi = 1;
  }
  m_lo = lo;
  m_hi = hi;
  SetPos(m_pos);
}

void CProgressDlg::SetPos(int pos) {
  const int clamped = std::clamp(pos, m_lo, m_hi);
  if (clamped == m_pos) return;
  m_pos = clamped;
  if (m_hWnd) {
    const CRect bar = BarRect();
    InvalidateRect(&bar, FALSE);
  }
}

CRect CProgressDlg::BarRect() const {
  const int top = GetCaptionHeight() + kMargin + kTextHeight + kMargin;
  return CRect(kMargin, top, kWidth - kMargin, top + kBarHeight);
}

int CProgressDlg::FilledWidth() const {
  const CRect bar = BarRect();
  const std::int64_t inner = std::max(0, bar.Width() - 2);
  const std::int64_t span = static_cast<std::int64_t>(m_hi) - m_lo;
  const std::int64_t done = static_cast<std::int64_t>(m_pos) - m_lo;
  return static_cast<int>(inner * done / span);
}

void CProgressDlg::OnPaint() {
  CPaintDC dc(this);
  const CRect band = GetCaptionRect();
  if (!band.IsRectEmpty()) DrawCaption(dc, band);
  const CRect bar = BarRect();
  dc.Draw3dRect(&bar, g_skinData.SkinColour(SKIN_PROGRESS_LO), g_skinData.SkinColour(SKIN_PROGRESS_HI));
  CRect inside = bar;
  inside.DeflateRect(1, 1);
  dc.FillSolidRect(&inside, g_skinData.SkinColour(SKIN_PROGRESS_BACK));
  CRect filled = inside;
  filled.right = filled.left + FilledWidth();
  if (!filled.IsRectEmpty()) dc.FillSolidRect(&filled, g_skinData.SkinColour(SKIN_PROGRESS_HI));
}

BOOL CProgressDlg::Step(int pos) {
  SetPos(pos);
  if (m_hWnd) ui::ProcessPendingMessages();
  return m_cancelled ? FALSE : TRUE;
}

void CProgressDlg::OnClose() { m_cancelled = true; }

void CProgressDlg::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_ESCAPE) {
    m_cancelled = true;
    return;
  }
  CTransWindow::OnKeyDown(key, repeat, flags);
}

BOOL CProgressDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kCancelId && HIWORD(wParam) == BN_CLICKED) {
    m_cancelled = true;
    m_cancel.EnableWindow(FALSE);
    return TRUE;
  }
  return CTransWindow::OnCommand(wParam, lParam);
}
