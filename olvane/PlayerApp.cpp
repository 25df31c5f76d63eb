#include "olvane/PlayerApp.h"

#include <algorithm>

#include "olvane/TerminationSignals.h"
#include "platform/ui/MessageBox.h"

CPlayerApp::CPlayerApp(std::string commandLine)
    : m_commandLine(std::move(commandLine)), m_player(std::make_unique<CPlayerWnd>()) {}

CPlayerApp::CPlayerApp(const player::PlayerOptions& options) : CPlayerApp(options.commandLine) {
  m_options = options;
}

CPlayerApp::~CPlayerApp() { m_player.reset(); }

BOOL CPlayerApp::InitInstance() {
  m_pMainWnd = m_player.get();
  if (m_options.startMs) m_player->SetStartTime(*m_options.startMs);
  // Whole seconds; a positive threshold under one second skips after one.
  if (m_options.skipIdleMs)
    m_player->SetSkipIdle(*m_options.skipIdleMs == 0 ? 0 : static_cast<int>(std::max<DWORD>(1, (*m_options.skipIdleMs + 500) / 1000)));
  if (m_player->StartFromCommandLine(m_commandLine)) {
    termination::CloseOnSignal(m_player->GetSafeHwnd());
    return TRUE;
  }
  AfxMessageBox(player::kStartMessage, MB_ICONHAND);
  m_pMainWnd = nullptr;
  m_exitCode = 1;
  return FALSE;
}

int CPlayerApp::ExitInstance() { return CWinApp::ExitInstance(); }
