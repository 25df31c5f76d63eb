// The player's application object: reads the command line, brings up the
// one player window and ends the program with the start message when that
// fails.
#pragma once

#include <memory>
#include <string>

#include "olvane/PlayerOptions.h"
#include "olvane/PlayerWnd.h"
#include "platform/ui/App.h"

class CPlayerApp : public CWinApp {
 public:
  explicit CPlayerApp(std::string commandLine);
  explicit CPlayerApp(const player::PlayerOptions& options);
  ~CPlayerApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;

  CPlayerWnd& GetPlayer() { return *m_player; }
  const player::PlayerOptions& GetOptions() const { return m_options; }

 private:
  std::string m_commandLine;
  player::PlayerOptions m_options;
  std::unique_ptr<CPlayerWnd> m_player;
};
