// The application object and the window thread's message loop.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/ui/Wnd.h"

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Called by Run before the loop; returning FALSE ends the application.
  virtual BOOL InitInstance() { return TRUE; }
  // Runs the loop until WM_QUIT; returns ExitInstance's result.
  virtual int Run();
  virtual int ExitInstance();
  // Called when the loop has nothing to do; return TRUE to be called again.
  virtual BOOL OnIdle(LONG count);

  CWnd* m_pMainWnd = nullptr;  // not owned; its destruction ends the loop
  int m_exitCode = 0;
};

CWinApp* AfxGetApp();
// The thread's main window: the application's, else the first top-level window
// without an owner created on the window thread.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* wnd);
void PostQuitMessage(int exitCode);

namespace ui {

// Runs the loop until WM_QUIT; returns the quit code.
int RunMessageLoop();
// Runs the loop for `ms` milliseconds of the monotonic clock (or until WM_QUIT).
void RunMessageLoopFor(std::uint32_t ms);
// Runs the loop until `done` returns true, WM_QUIT, or `timeoutMs` passes;
// returns whether `done` became true.
bool RunMessageLoopUntil(const std::function<bool()>& done, std::uint32_t timeoutMs);
// Handles everything waiting now (input, posted messages, due timers,
// painting) without sleeping.
void ProcessPendingMessages();
// True once WM_QUIT was seen; ResetQuit lets a new loop run (tests).
bool QuitRequested();
void ResetQuit();
// Called on the window thread each time drawn pixels of a top-level window
// were handed to the display (diagnostics such as frame timing). One
// observer; null removes it.
using PresentObserver = std::function<void(HWND top)>;
void SetPresentObserver(PresentObserver observer);

}  // namespace ui
