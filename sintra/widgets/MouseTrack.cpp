#include "sintra/widgets/MouseTrack.h"

#include "platform/ui/App.h"
#include "platform/ui/Wnd.h"
#include "sintra/widgets/WidgetMessages.h"

namespace {

void SendToMain(UINT message, WPARAM wParam) {
  if (CWnd* main = AfxGetMainWnd()) main->SendMessage(message, wParam, 0);
}

}  // namespace

void CMouseTrack::Init(HWND wnd, int frameMode) {
  m_hWnd = wnd;
  m_hTrack = nullptr;
  m_over = FALSE;
  m_frameMode = frameMode;
}

void CMouseTrack::RedrawServed() const {
  CWnd* wnd = CWnd::FromHandle(m_hWnd);
  if (!wnd) return;
  if (m_frameMode)
    wnd->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  else
    wnd->InvalidateRect(nullptr, FALSE);
}

void CMouseTrack::TrackMouseOut() {
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hTrack, 0};
  if (m_hTrack) ::TrackMouseEvent(&track);
}

int CMouseTrack::OnMouseMove(HWND wnd) {
  if (!wnd) wnd = m_hWnd;
  if (m_over) {
    if (wnd != m_hTrack) {
      TRACKMOUSEEVENT cancel{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_CANCEL, m_hTrack, 0};
      ::TrackMouseEvent(&cancel);
      m_hTrack = wnd;
      TrackMouseOut();
    }
    return 0;
  }
  m_over = TRUE;
  m_hTrack = wnd;
  RedrawServed();
  TrackMouseOut();
  SendToMain(WM_HIDE_TOOLTIP, 0);
  if (m_toolTip) SendToMain(WM_SHOW_TOOLTIP, m_toolTip);
  return 1;
}

int CMouseTrack::OnMouseOut(HWND wnd) {
  if (!wnd) wnd = m_hWnd;
  if (wnd != m_hTrack) return 0;
  m_over = FALSE;
  m_hTrack = nullptr;
  RedrawServed();
  if (m_toolTip) SendToMain(WM_HIDE_TOOLTIP, m_toolTip);
  return 1;
}
