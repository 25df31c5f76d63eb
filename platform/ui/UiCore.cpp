// The window thread's loop: native events, posted messages, timers and idle
// painting, with exactly one place that sleeps (the native event wait, whose
// timeout only ever shortens). Posting from any thread wakes it.
#include "platform/ui/UiCore.h"

#include <SDL_syswm.h>
#include <errno.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "platform/ui/App.h"

namespace uicore {

namespace {

constexpr std::uint32_t kNoWake = 0xFFFFFFFFu;
// A timer that has fallen this many periods behind (a long stall) resumes from
// now instead of delivering every missed tick in a burst.
constexpr std::uint64_t kMaxTimerBacklog = 10;

void QuitVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

}  // namespace

Core& Get() {
  // Never destroyed: windows held by global objects are destroyed after
  // every function-local static, and must still find the table then.
  static Core* core = new Core;
  return *core;
}

bool EnsureStarted() {
  Core& core = Get();
  if (core.wakeEvent != 0) return true;
  if (!SDL_getenv("SDL_VIDEODRIVER") && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY"))
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);  // never fall back to a software GL stack
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Windows are drawn in memory and handed to the display as changed
  // rectangles. SDL may route that through a GL texture instead; without a
  // graphics card (Xvfb, remote desktops, virtual machines) the GL is a
  // software rasteriser whose threads cost more than the whole replay. The
  // display's own shared-memory path is used unless SDL_FRAMEBUFFER_ACCELERATION
  // in the environment asks otherwise.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  // Where an X server is reachable (also through XWayland) its driver is
  // preferred to native Wayland: the windows of this layer place themselves
  // (popups, tooltips, menus, a window dragged by its face), which Wayland
  // does not allow a client to do. A driver named in SDL_VIDEODRIVER wins.
  bool preferX11 = !SDL_getenv("SDL_VIDEODRIVER") && SDL_getenv("DISPLAY") && *SDL_getenv("DISPLAY");
  if (preferX11) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    if (!preferX11) return false;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);  // no X server after all: let SDL choose
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  }
  const Uint32 type = SDL_RegisterEvents(1);
  if (type == static_cast<Uint32>(-1)) return false;
  core.uiThread = std::this_thread::get_id();
  core.wakeEvent = type;
  std::atexit(QuitVideo);
  return true;
}

bool OnUiThread() {
  Core& core = Get();
  return core.wakeEvent == 0 || core.uiThread == std::this_thread::get_id();
}

std::uint64_t NowMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

struct XClassHintRecord {
  char* res_name;
  char* res_class;
};

// Xlib is already loaded by the X11 driver; its calls are looked up at run
// time so that the library needs no X11 link of its own.
void* XlibFunction(const char* name) {
  static void* xlib = SDL_LoadObject("libX11.so.6");
  return xlib ? SDL_LoadFunction(xlib, name) : nullptr;
}

bool X11WindowOf(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void ApplyWindowClass(SDL_Window* window, const std::string& className) {
  SDL_SysWMinfo info;
  if (className.empty() || !X11WindowOf(window, info)) return;
  using SetClassHint = int (*)(Display*, Window, XClassHintRecord*);
  static auto setClassHint = reinterpret_cast<SetClassHint>(XlibFunction("XSetClassHint"));
  if (!setClassHint) return;
  std::string instance = program_invocation_short_name ? program_invocation_short_name : "olvane";
  std::string cls = className;
  XClassHintRecord hint{instance.data(), cls.data()};
  setClassHint(info.info.x11.display, info.info.x11.window, &hint);
}

bool ReadWindowClass(SDL_Window* window, std::string& instance, std::string& className) {
  SDL_SysWMinfo info;
  if (!X11WindowOf(window, info)) return false;
  using GetClassHint = int (*)(Display*, Window, XClassHintRecord*);
  using Free = int (*)(void*);
  static auto getClassHint = reinterpret_cast<GetClassHint>(XlibFunction("XGetClassHint"));
  static auto release = reinterpret_cast<Free>(XlibFunction("XFree"));
  XClassHintRecord hint{nullptr, nullptr};
  if (!getClassHint || !release || !getClassHint(info.info.x11.display, info.info.x11.window, &hint)) return false;
  instance = hint.res_name ? hint.res_name : "";
  className = hint.res_class ? hint.res_class : "";
  if (hint.res_name) release(hint.res_name);
  if (hint.res_class) release(hint.res_class);
  return true;
}

// ---- window table ------------------------------------------------------------

HWND Register(CWnd* wnd) {
  Core& core = Get();
  std::lock_guard<std::mutex> lock(core.tableMutex);
  const std::uintptr_t id = core.nextId++;
  core.windows[id] = wnd;
  return reinterpret_cast<HWND>(id);
}

void Unregister(HWND hwnd) {
  Core& core = Get();
  std::lock_guard<std::mutex> lock(core.tableMutex);
  core.windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

CWnd* Lookup(HWND hwnd) {
  if (!hwnd) return nullptr;
  Core& core = Get();
  std::lock_guard<std::mutex> lock(core.tableMutex);
  auto it = core.windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == core.windows.end() ? nullptr : it->second;
}

CWnd* TopLevelForSdl(Uint32 sdlId) {
  for (CWnd* w : Get().topLevels)
    if (w->Native() && w->Native()->sdlId == sdlId) return w;
  return nullptr;
}

// ---- posting -----------------------------------------------------------------

void Wake() {
  Core& core = Get();
  if (core.wakeEvent == 0 || core.wakePending.exchange(true)) return;
  SDL_Event ev{};
  ev.type = core.wakeEvent;
  if (SDL_PushEvent(&ev) != 1) core.wakePending = false;
}

void Post(const MSG& msg) {
  Core& core = Get();
  {
    std::lock_guard<std::mutex> lock(core.queueMutex);
    core.posted.push_back(msg);
  }
  Wake();
}

namespace {

bool PopPosted(MSG& msg) {
  Core& core = Get();
  std::lock_guard<std::mutex> lock(core.queueMutex);
  if (core.posted.empty()) return false;
  msg = core.posted.front();
  core.posted.pop_front();
  return true;
}

bool HasPosted() {
  Core& core = Get();
  std::lock_guard<std::mutex> lock(core.queueMutex);
  return !core.posted.empty();
}

std::size_t PostedCount() {
  Core& core = Get();
  std::lock_guard<std::mutex> lock(core.queueMutex);
  return core.posted.size();
}

void DeliverPosted(const MSG& msg) {
  Core& core = Get();
  if (msg.message == WMI_SENDCALL) {
    auto* call = reinterpret_cast<CrossSend*>(msg.lParam);
    CWnd* wnd = Lookup(msg.hwnd);
    LRESULT result = wnd ? CWnd::Deliver(wnd, call->message, call->wParam, call->lParam) : 0;
    std::lock_guard<std::mutex> lock(call->mutex);
    call->result = result;
    call->finished = true;
    call->done.notify_all();
    return;
  }
  if (!msg.hwnd) {
    if (msg.message == WM_QUIT) {
      core.quit = true;
      core.exitCode = static_cast<int>(msg.wParam);
    }
    return;
  }
  CWnd* wnd = Lookup(msg.hwnd);
  if (!wnd) return;  // the window is gone: the message is dropped
  if (msg.message == WMI_INVALIDATE) {
    const auto w = static_cast<std::uint64_t>(msg.wParam);
    const auto l = static_cast<std::uint64_t>(msg.lParam);
    CRect r(static_cast<std::int32_t>(w & 0xFFFFFFFFu), static_cast<std::int32_t>(w >> 32),
            static_cast<std::int32_t>(l & 0xFFFFFFFFu), static_cast<std::int32_t>(l >> 32));
    wnd->InvalidateRect((msg.time & 2) ? nullptr : &r, (msg.time & 1) ? TRUE : FALSE);
    return;
  }
  CWnd::Deliver(wnd, msg.message, msg.wParam, msg.lParam);
}

// Delivers what was queued when the round began; what handlers post now waits
// for the next round, so a window posting to itself cannot starve input.
void DrainPosted() {
  std::size_t budget = PostedCount();
  MSG msg{};
  while (budget-- > 0 && !Get().quit && PopPosted(msg)) DeliverPosted(msg);
}

// Each due timer ticks at most once per round; its next due time stays on its
// own schedule (due + period), so ticks do not drift with handling time.
void FireTimers() {
  Core& core = Get();
  const std::uint64_t now = NowMs();
  std::vector<Timer> due;
  for (const Timer& t : core.timers)
    if (t.due <= now) due.push_back(t);
  std::sort(due.begin(), due.end(), [](const Timer& a, const Timer& b) { return a.due < b.due; });
  for (const Timer& d : due) {
    auto it = std::find_if(core.timers.begin(), core.timers.end(),
                           [&](const Timer& t) { return t.hwnd == d.hwnd && t.id == d.id && t.due == d.due; });
    if (it == core.timers.end()) continue;  // killed or reset by an earlier tick
    it->due += it->period;
    if (it->due + kMaxTimerBacklog * it->period < now) it->due = now + it->period;
    CWnd* wnd = Lookup(d.hwnd);
    if (wnd) CWnd::Deliver(wnd, WM_TIMER, d.id, 0);
    if (core.quit) return;
  }
}

std::uint32_t MsUntilNextTimer() {
  const Core& core = Get();
  if (core.timers.empty()) return kNoWake;
  std::uint64_t next = core.timers.front().due;
  for (const Timer& t : core.timers) next = std::min(next, t.due);
  const std::uint64_t now = NowMs();
  return next <= now ? 0 : static_cast<std::uint32_t>(std::min<std::uint64_t>(next - now, 0x7FFFFFFF));
}

void HandleSizedByUser(CWnd* top, int width, int height) {
  CRect client;
  top->GetClientRectWithBars(&client);
  if (client.Width() == width && client.Height() == height) return;
  // The desktop already resized the window: offer the new rectangle to the
  // window (WM_SIZING, as for a drag of the bottom-right corner), keep it
  // within WM_GETMINMAXINFO, and apply what the window settled on.
  CRect rect;
  top->GetWindowRect(&rect);
  // The desktop may have moved the window's origin too (a drag of its left
  // or top side): the new rectangle starts where the native window is now.
  int x = 0, y = 0;
  SDL_GetWindowPosition(top->Native()->window, &x, &y);
  CPoint origin(0, 0);
  top->ClientToScreen(&origin);
  const int left = rect.left + (x - origin.x);
  const int upper = rect.top + (y - origin.y);
  CRect proposal(left, upper, left + width + (rect.Width() - client.Width()),
                 upper + height + (rect.Height() - client.Height()));
  const UINT edge = EdgeFromChange(rect, proposal);
  top->SendMessage(WM_SIZING, edge, reinterpret_cast<LPARAM>(&proposal));
  MINMAXINFO info{};
  info.ptMinTrackSize = {1, 1};
  info.ptMaxTrackSize = {16384, 16384};
  top->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const int w = std::clamp(proposal.Width(), static_cast<int>(info.ptMinTrackSize.x),
                           std::max(static_cast<int>(info.ptMinTrackSize.x), static_cast<int>(info.ptMaxTrackSize.x)));
  const int h = std::clamp(proposal.Height(), static_cast<int>(info.ptMinTrackSize.y),
                           std::max(static_cast<int>(info.ptMinTrackSize.y), static_cast<int>(info.ptMaxTrackSize.y)));
  top->SetWindowPos(nullptr, proposal.left, proposal.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void HandleWindowEvent(const SDL_WindowEvent& ev) {
  CWnd* top = TopLevelForSdl(ev.windowID);
  if (!top) return;
  Core& core = Get();
  // A desktop reports every size and place a window went through; while the
  // layer sizes or moves a window step by step, most of them are already
  // out of date when they are read. The native window's present size and
  // place are what count (injected events carry their own).
  int data1 = ev.data1, data2 = ev.data2;
  if (ev.padding1 != kInjectedWindowEvent) {
    if (ev.event == SDL_WINDOWEVENT_SIZE_CHANGED || ev.event == SDL_WINDOWEVENT_RESIZED)
      SDL_GetWindowSize(top->Native()->window, &data1, &data2);
    if (ev.event == SDL_WINDOWEVENT_MOVED) SDL_GetWindowPosition(top->Native()->window, &data1, &data2);
  }
  switch (ev.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: top->ApplyNativeSize(data1, data2); break;
    case SDL_WINDOWEVENT_RESIZED: HandleSizedByUser(top, data1, data2); break;
    case SDL_WINDOWEVENT_MOVED: top->ApplyNativePosition(data1, data2); break;
    case SDL_WINDOWEVENT_EXPOSED: top->InvalidateTree(); break;
    case SDL_WINDOWEVENT_CLOSE: top->SendMessage(WM_CLOSE); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: {
      HWND old = core.active;
      core.active = top->m_hWnd;
      top->SendMessage(WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
      CWnd* focus = Lookup(core.focus);
      if (Lookup(top->m_hWnd) && (!focus || focus->GetTopLevelParent() != top)) top->SetFocus();
      break;
    }
    case SDL_WINDOWEVENT_FOCUS_LOST:
      if (core.active == top->m_hWnd) core.active = nullptr;
      top->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
      break;
    default: HandleInputEvent(reinterpret_cast<const SDL_Event&>(ev)); break;
  }
}

void HandleEvent(const SDL_Event& ev) {
  Core& core = Get();
  if (ev.type == core.wakeEvent) {
    core.wakePending = false;
    return;
  }
  if (ev.type == SDL_WINDOWEVENT) {
    HandleWindowEvent(ev.window);
    return;
  }
  if (IsDropEvent(ev.type)) {
    HandleDropEvent(ev);
    return;
  }
  if (ev.type == SDL_QUIT) {
    if (CWnd* main = Lookup(core.mainWnd)) main->PostMessage(WM_CLOSE);
    return;
  }
  if (!core.inputHooks.empty() && core.inputHooks.back()(ev)) return;
  HandleInputEvent(ev);
}

}  // namespace

void PumpOnce(std::uint32_t maxWaitMs) {
  if (!EnsureStarted()) return;
  Core& core = Get();
  SDL_Event ev;
  int events = 0;
  for (; events < 4096 && SDL_PollEvent(&ev); ++events) HandleEvent(ev);
  const std::size_t posted = PostedCount();
  DrainPosted();
  if (!core.quit) FireTimers();
  if (core.quit) return;
  if (!HasPosted()) PaintAllPending();
  // Sleep only after a round that found nothing to do, so that callers which
  // check their own condition between rounds see the work's effect at once.
  if (events > 0 || posted > 0 || HasPosted()) return;
  const std::uint32_t wait = std::min(maxWaitMs, MsUntilNextTimer());
  if (wait > 0 && SDL_WaitEventTimeout(&ev, static_cast<int>(std::min<std::uint32_t>(wait, 0x7FFFFFFF))))
    HandleEvent(ev);
}

void RemoveTimers(HWND hwnd) {
  auto& timers = Get().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
               timers.end());
}

}  // namespace uicore

// ---- free functions over handles --------------------------------------------

BOOL IsWindow(HWND hwnd) { return uicore::Lookup(hwnd) ? TRUE : FALSE; }

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!uicore::Lookup(hwnd)) return FALSE;
  uicore::Post(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
  return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (uicore::OnUiThread()) {
    CWnd* wnd = uicore::Lookup(hwnd);
    return wnd ? CWnd::Deliver(wnd, message, wParam, lParam) : 0;
  }
  if (!uicore::Lookup(hwnd)) return 0;
  uicore::CrossSend call;
  call.message = message;
  call.wParam = wParam;
  call.lParam = lParam;
  uicore::Post(MSG{hwnd, uicore::WMI_SENDCALL, 0, reinterpret_cast<LPARAM>(&call), 0, {0, 0}});
  std::unique_lock<std::mutex> lock(call.mutex);
  call.done.wait(lock, [&] { return call.finished; });
  return call.result;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (uicore::OnUiThread()) {
    CWnd* wnd = uicore::Lookup(hwnd);
    if (wnd) wnd->InvalidateRect(rect, erase);
    return wnd ? TRUE : FALSE;
  }
  if (!uicore::Lookup(hwnd)) return FALSE;
  const RECT r = rect ? *rect : RECT{0, 0, 0, 0};
  const auto w = static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.left)) |
                 (static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.top)) << 32);
  const auto l = static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.right)) |
                 (static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.bottom)) << 32);
  // The message time carries the flags: 1 erase, 2 the whole client area.
  const DWORD flags = (rect ? 0u : 2u) | (erase ? 1u : 0u);
  uicore::Post(MSG{hwnd, uicore::WMI_INVALIDATE, static_cast<WPARAM>(w), static_cast<LPARAM>(l), flags, {0, 0}});
  return TRUE;
}
