// Private state of the window layer: the window table, the posted-message
// queue, timers, input state and the native windows. Only platform/ui
// includes this header.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/ui/UpdateRegion.h"
#include "platform/ui/Wnd.h"

// The native side of a top-level window.
struct CWndNative {
  SDL_Window* window = nullptr;  // owned
  Uint32 sdlId = 0;
  bool dirty = false;            // some window of the tree waits to be painted
  int clientWidth = 0;
  int clientHeight = 0;
  SDL_Cursor* lastCursor = nullptr;  // not owned
  ~CWndNative();
};

namespace uicore {


// Layer-private messages, below the range any window uses.
constexpr UINT WMI_INVALIDATE = 0x03F0;  // wParam: left|top<<32, lParam: right|bottom<<32, erase in msg time
constexpr UINT WMI_SENDCALL = 0x03F1;    // lParam: CrossSend*

struct CrossSend {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
};

struct Timer {
  HWND hwnd;
  std::uintptr_t id;
  UINT period;
  std::uint64_t due;
};

// The mouse id of input injected by the headless driver (Headless.h): its
// coordinates are taken as given, never from the desktop's pointer.
constexpr Uint32 kInjectedMouse = 0x4F4C5631;
// The mark (in the padding) of window events injected by the headless driver.
constexpr Uint8 kInjectedWindowEvent = 0xA5;

// A window being sized by the layer's own sizing band.
struct SizingDrag {
  HWND hwnd = nullptr;
  UINT edge = 0;       // WMSZ_...
  POINT start{0, 0};   // screen point of the press
  CRect startRect;     // window rectangle at the press
};

// Input events can be taken over by a modal tracker (a popup menu).
using InputHook = std::function<bool(const SDL_Event&)>;

struct Core {
  std::thread::id uiThread;
  Uint32 wakeEvent = 0;
  std::atomic<bool> wakePending{false};

  std::mutex queueMutex;
  std::deque<MSG> posted;  // guarded by queueMutex

  mutable std::mutex tableMutex;
  std::unordered_map<std::uintptr_t, CWnd*> windows;  // guarded by tableMutex
  std::uintptr_t nextId = 0x100;

  std::vector<CWnd*> topLevels;  // creation order
  std::vector<Timer> timers;

  HWND capture = nullptr;
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND hover = nullptr;          // window under the mouse
  HWND leaveTracked = nullptr;   // window waiting for WM_MOUSELEAVE
  HWND mainWnd = nullptr;
  POINT cursorScreen{0, 0};
  BYTE keys[256] = {};
  HCURSOR cursor = nullptr;
  SizingDrag sizing;

  bool quit = false;
  int exitCode = 0;
  std::vector<InputHook> inputHooks;  // innermost last
};

Core& Get();
// Starts SDL's video (and the wake event) once, on the calling thread, which
// becomes the window thread. False when no video driver could start.
bool EnsureStarted();
bool OnUiThread();
std::uint64_t NowMs();

// Window table.
HWND Register(CWnd* wnd);
void Unregister(HWND hwnd);
CWnd* Lookup(HWND hwnd);
CWnd* TopLevelForSdl(Uint32 sdlId);

// Queue and loop.
void Post(const MSG& msg);
void Wake();
// Runs one round: input, posted messages, due timers, painting when idle,
// then waits at most `maxWaitMs` for more work (0: do not wait).
void PumpOnce(std::uint32_t maxWaitMs);

// Files dropped from the desktop (DropFiles.cpp): gathers a gesture's files
// and sends WM_DROPFILES to the top-level window that accepts them.
bool IsDropEvent(Uint32 type);
void HandleDropEvent(const SDL_Event& ev);

// Painting.
void PaintTopLevel(CWnd* top);
void PaintAllPending();
// Sends WM_ERASEBKGND with a DC over the window's paint area.
void SendErase(CWnd* wnd);
// Copies the changed rectangles of the window surface to the screen.
void Present(CWnd* top, const CUpdateRegion& area);

// Input (Input.cpp).
void HandleInputEvent(const SDL_Event& ev);
void WindowGone(HWND hwnd);
void WindowHidden(HWND hwnd);
void WindowDisabled(HWND hwnd);
// The deepest visible, enabled window of `top` at a client point of `top`.
CWnd* HitTest(CWnd* top, POINT clientPoint);
// Whether a client point of a top-level window lies inside its shape (true
// when it has none).
bool InWindowShape(CWnd* top, POINT clientPoint);

// The WMSZ_ edge of a self-framed top-level window's sizing band at a client
// point of it (0 outside the band), and the band's width.
constexpr int kSizingBand = 4;
UINT SizingEdgeAt(CWnd* top, POINT clientPoint);
// The edge a desktop-driven resize worked on, from the sides that moved.
UINT EdgeFromChange(const CRect& before, const CRect& after);

int VirtualKeyFromSdl(SDL_Keycode key);
SDL_Keycode SdlFromVirtualKey(int vk);

// Native icon and background helpers (Cursor.cpp, Paint.cpp).
void ApplyIcon(SDL_Window* window, HICON icon);
LRESULT EraseWithClassBackground(CWnd* wnd, CDC* dc);

// Names a new native window's class for the desktop (X11 WM_CLASS: the
// class name and the program's name); nothing on other drivers.
void ApplyWindowClass(SDL_Window* window, const std::string& className);
bool ReadWindowClass(SDL_Window* window, std::string& instance, std::string& className);

// Timers.
void RemoveTimers(HWND hwnd);

}  // namespace uicore
