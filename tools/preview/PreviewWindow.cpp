#include "PreviewWindow.h"

#include <cstdio>

#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "platform/ui/PaintDC.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/ReplayClock.h"
#include "pravex/support/ClipboardGrab.h"

namespace {

constexpr std::uintptr_t kTickTimer = 0x5E01;
constexpr UINT kTickMs = 50;

}  // namespace

std::atomic<bool> CPreviewWindow::s_closeRequested{false};

// The renderer calls these on the reader's worker: only thread-safe calls.
void CPreviewView::InvalidateScreen() { ::InvalidateRect(m_hWnd, nullptr, FALSE); }
void CPreviewView::InvalidateScreenRect(const CRect&, int) { ::InvalidateRect(m_hWnd, nullptr, FALSE); }
void CPreviewView::InvalidateUpdateArea(const CRect&, unsigned short) { ::InvalidateRect(m_hWnd, nullptr, FALSE); }

void CPreviewView::SetScreenDeviceSize() {
  int w = 0;
  int h = 0;
  GetSize(w, h);
  CRenderRoot::SetScreenDeviceSize(w, h, w, h);
}

void CPreviewView::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  Paint(dc, client, client, 0);
}

CPreviewWindow::CPreviewWindow(CCaptureFileReader& reader, bool fit) : m_reader(reader), m_fit(fit) {}
CPreviewWindow::~CPreviewWindow() = default;

BOOL CPreviewWindow::Open(const char* title) {
  return Create(title, WS_POPUP | WS_THICKFRAME | WS_VISIBLE, CRect(80, 80, 400, 320));
}

int CPreviewWindow::OnCreate(CREATESTRUCT* create) {
  if (CScreenPreview::OnCreate(create) == -1) return -1;
  if (!m_view.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, GetViewArea(), this, 1)) return -1;
  m_view.SetParentWnd(this);
  SetTimer(kTickTimer, kTickMs);
  return 0;
}

LRESULT CPreviewWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERWND_ENDOFFILE && wParam == capture::kStreamScreen) m_ended = true;
  return CScreenPreview::WindowProc(message, wParam, lParam);
}

bool CPreviewWindow::CopyPicture() {
  UpdateWindow();
  const bool ok = GrabToClipboard(&m_view, FALSE, CRect(0, 0, 0, 0)) != FALSE;
  if (ok) ++m_copies;
  return ok;
}

void CPreviewWindow::TogglePause() { m_reader.SetPaused(!m_reader.IsPaused()); }

void CPreviewWindow::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_SPACE) {
    TogglePause();
    return;
  }
  if (key == 'C' && (GetKeyState(VK_CONTROL) & 0x8000)) {
    CopyPicture();
    return;
  }
  CScreenPreview::OnKeyDown(key, repeat, flags);
}

// The program lives as long as its window.
void CPreviewWindow::OnDestroy() {
  KillTimer(kTickTimer);
  CScreenPreview::OnDestroy();
  PostQuitMessage(0);
}

void CPreviewWindow::OnTimer(std::uintptr_t id) {
  if (id != kTickTimer) {
    CScreenPreview::OnTimer(id);
    return;
  }
  if (s_closeRequested.load()) {
    DestroyWindow();
    return;
  }
  CReplayClock* clock = m_reader.GetClock();
  const DWORD now = clock ? clock->Now() : 0;
  if (m_copyAt && !m_copied && (now >= m_copyAt || m_ended)) {
    m_copied = true;
    CopyPicture();
    if (!m_screenshot.empty() && !ui::SaveScreenshotPng(m_screenshot))
      std::fprintf(stderr, "olvane-preview: cannot write %s\n", m_screenshot.c_str());
  }
  if (m_closeAtEnd && m_ended && (!m_copyAt || m_copied)) DestroyWindow();
}
