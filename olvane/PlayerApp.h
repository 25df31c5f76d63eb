// The player's application object: reads the command line, brings up the
// one player window and ends the program with the start message when that
// fails.
#pragma once

#include <memory>
#include <string>

#include "olvane/PlayerWnd.h"
#include "platform/ui/App.h"

class CPlayerApp : public CWinApp {
 public:
  explicit CPlayerApp(std::string commandLine);
  ~CPlayerApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;

  CPlayerWnd& GetPlayer() { return *m_player; }

 private:
  std::string m_commandLine;
  std::unique_ptr<CPlayerWnd> m_player;
};
