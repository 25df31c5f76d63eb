#include "platform/ui/App.h"

#include "platform/ui/UiCore.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() {
  if (!g_app) g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
  if (!InitInstance()) return ExitInstance();
  m_exitCode = ui::RunMessageLoop();
  return ExitInstance();
}

int CWinApp::ExitInstance() { return m_exitCode; }
BOOL CWinApp::OnIdle(LONG) { return FALSE; }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() {
  if (g_app && g_app->m_pMainWnd) return g_app->m_pMainWnd;
  return uicore::Lookup(uicore::Get().mainWnd);
}

void AfxSetMainWnd(CWnd* wnd) { uicore::Get().mainWnd = wnd ? wnd->m_hWnd : nullptr; }

void PostQuitMessage(int exitCode) {
  uicore::Post(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {0, 0}});
}

namespace ui {

namespace {
constexpr std::uint32_t kIdleWait = 1000;  // longest single wait; the loop re-checks its state after it
}

int RunMessageLoop() {
  uicore::Core& core = uicore::Get();
  LONG idleCount = 0;
  while (!core.quit) {
    uicore::PumpOnce(0);
    if (core.quit) break;
    if (g_app && g_app->OnIdle(idleCount++)) continue;
    idleCount = 0;
    uicore::PumpOnce(kIdleWait);
  }
  return core.exitCode;
}

void RunMessageLoopFor(std::uint32_t ms) {
  const std::uint64_t end = uicore::NowMs() + ms;
  RunMessageLoopUntil([&] { return uicore::NowMs() >= end; }, ms);
}

bool RunMessageLoopUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) {
  uicore::Core& core = uicore::Get();
  const std::uint64_t end = uicore::NowMs() + timeoutMs;
  while (!core.quit) {
    if (done()) return true;
    const std::uint64_t now = uicore::NowMs();
    if (now >= end) break;
    uicore::PumpOnce(static_cast<std::uint32_t>(std::min<std::uint64_t>(end - now, kIdleWait)));
  }
  return done();
}

void ProcessPendingMessages() { uicore::PumpOnce(0); }

bool QuitRequested() { return uicore::Get().quit; }

void ResetQuit() {
  uicore::Get().quit = false;
  uicore::Get().exitCode = 0;
}

}  // namespace ui
