#include "olvane/PlayerView.h"

#include <cstdlib>

#include "glimra/AnnotateData.h"
#include "olvane/PlayerKeys.h"
#include "olvane/PlayerWnd.h"
#include "platform/base/MulDiv.h"
#include "platform/ui/App.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

CPlayerView::CPlayerView() = default;

CPlayerView::~CPlayerView() {
  if (m_trace) ui::SetPresentObserver(nullptr);
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CPlayerView::CreateView(CWnd* parent, const CRect& rect) {
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), 0xFFFFFFFF);
  if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, parent, 0)) return FALSE;
  SetParentWnd(parent);
  SetTimer(kPollTimer, 100);
  m_trace = CFrameTrace::FromEnvironment();
  if (m_trace) {
    ui::SetPresentObserver([this](HWND) {
      auto* player = dynamic_cast<CPlayerWnd*>(GetMainWnd());
      if (!m_pictureDrawn || !player) return;
      m_pictureDrawn = false;
      m_trace->OnPresented(player->GetClock().Now());
    });
  }
  return TRUE;
}

int CPlayerView::ProcessData(CCaptureData* record) {
  // Only pictures count: the reader's control records on the screen stream
  // (paused, playing, preroll) show nothing, so no present would clear them.
  if (m_trace && record && record->GetStreamType() == capture::kStreamScreen &&
      record->GetRecordType() == capture::kRecordScreen)
    m_trace->OnScreenRecord(record->GetTime());
  return CRenderBase::ProcessData(record);
}

CWnd* CPlayerView::GetMainWnd() { return m_owner ? m_owner : CRenderBase::GetMainWnd(); }

CRect CPlayerView::Widened(const CRect& rect) const {
  CRect r = rect;
  const int dx = MulDiv(3, m_clientWidth, m_pictureWidth) + 2;
  const int dy = MulDiv(3, m_clientHeight, m_pictureHeight) + 2;
  r.InflateRect(dx, dy);
  return r;
}

void CPlayerView::InvalidateScreen() {
  if (GetSafeHwnd()) ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

void CPlayerView::InvalidateScreenRect(const CRect& rect, int erase) {
  if (!GetSafeHwnd()) return;
  const CRect r = Widened(rect);
  ::InvalidateRect(GetSafeHwnd(), &r, erase);
}

void CPlayerView::SetScreenDeviceSize() {
  CRect client;
  GetClientRect(&client);
  int w = 0, h = 0;
  GetSize(w, h);
  h = std::abs(h);
  if (w > 0 && h > 0 && client.Width() > 0 && client.Height() > 0) {
    m_clientWidth = client.Width();
    m_clientHeight = client.Height();
    m_pictureWidth = w;
    m_pictureHeight = h;
    m_scaleX = static_cast<double>(m_clientWidth) / w;
    m_scaleY = static_cast<double>(m_clientHeight) / h;
  } else {
    m_clientWidth = m_clientHeight = m_pictureWidth = m_pictureHeight = 1;
    m_scaleX = m_scaleY = 1.0;
  }
  CRenderRoot::SetScreenDeviceSize(m_pictureWidth, m_pictureHeight, m_clientWidth, m_clientHeight);
}

void CPlayerView::InvalidateUpdateArea(const CRect& rect, unsigned short) {
  if (rect.IsRectEmpty()) return;
  const HWND hwnd = GetSafeHwnd();
  if (!hwnd) return;
  ::PostMessage(hwnd, WM_VIEW_UPDATEAREA, MAKEWPARAM(static_cast<WORD>(rect.left), static_cast<WORD>(rect.top)),
                MAKELPARAM(static_cast<WORD>(rect.right), static_cast<WORD>(rect.bottom)));
}

void CPlayerView::OnUpdateArea(WPARAM wParam, LPARAM lParam) {
  CRect r(static_cast<SHORT>(LOWORD(wParam)), static_cast<SHORT>(HIWORD(wParam)),
          static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))),
          static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lParam))));
  // A magnifying annotation shows pixels from elsewhere: repaint what shows them too.
  if (CRenderVars* vars = GetRenderVars()) r = vars->GetAnnotateData().ProcessIntersect(r);
  CRect client(MulDiv(r.left, m_clientWidth, m_pictureWidth), MulDiv(r.top, m_clientHeight, m_pictureHeight),
               MulDiv(r.right, m_clientWidth, m_pictureWidth), MulDiv(r.bottom, m_clientHeight, m_pictureHeight));
  const CRect widened = Widened(client);
  InvalidateRect(&widened, FALSE);
}

LRESULT CPlayerView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_VIEW_UPDATEAREA) {
    OnUpdateArea(wParam, lParam);
    return 0;
  }
  // A double click on the picture toggles full screen, as in other players.
  if (message == WM_LBUTTONDBLCLK) {
    if (CWnd* owner = GetMainWnd()) owner->PostMessage(WM_COMMAND, player::ID_FULLSCREEN);
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CPlayerView::OnCommand(WPARAM wParam, LPARAM lParam) {
  auto* player = dynamic_cast<CPlayerWnd*>(GetMainWnd());
  if (!player) return CWnd::OnCommand(wParam, lParam);
  return player->OnViewCommand(LOWORD(wParam)) ? TRUE : CWnd::OnCommand(wParam, lParam);
}

void CPlayerView::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CRect clip;
  dc.GetClipBox(&clip);
  if (auto* player = dynamic_cast<CSkinBase*>(GetMainWnd())) player->FixedPalette(dc);
  if (Paint(dc, client, clip, g_skinData.SkinColour(0)) == 1) m_pictureDrawn = true;
  if (auto* player = dynamic_cast<CPlayerWnd*>(GetMainWnd())) player->Keys().PaintOverlay(dc, client);
}

BOOL CPlayerView::OnEraseBkgnd(CDC*) { return TRUE; }

void CPlayerView::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  SetScreenDeviceSize();
}

void CPlayerView::OnTimer(std::uintptr_t id) {
  if (id == kPollTimer) TimerPoll();
  CWnd::OnTimer(id);
}

void CPlayerView::OnContextMenu(CWnd*, CPoint screenPoint) {
  if (auto* player = dynamic_cast<CPlayerWnd*>(GetMainWnd())) player->ShowContextMenu(screenPoint, this);
}

BOOL CPlayerView::OnQueryNewPalette() {
  if (auto* main = dynamic_cast<CSkinBase*>(GetMainWnd())) main->QueryNewPalette(this, 0);
  return TRUE;
}

void CPlayerView::OnPaletteChanged(CWnd* focusWnd) {
  if (focusWnd == this) return;
  if (auto* main = dynamic_cast<CSkinBase*>(GetMainWnd())) main->QueryNewPalette(this, 1);
  Invalidate(FALSE);
}
