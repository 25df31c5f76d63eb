// bench-lib: platform
// The window thread's message traffic: posting from a worker and delivering
// on the window thread, and one idle paint of a small changed area of a
// window with a child, as the replay view's frame updates do.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <thread>

#include "platform/ui/App.h"
#include "platform/ui/PaintDC.h"

namespace {

class CCounter : public CWnd {
 public:
  std::int64_t received = 0;
  LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
    if (m == WM_APP) {
      ++received;
      return 0;
    }
    return CWnd::WindowProc(m, w, l);
  }
};

void BM_PostFromWorker(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  CCounter wnd;
  if (!wnd.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0)) {
    state.SkipWithError("no window");
    return;
  }
  const int batch = static_cast<int>(state.range(0));
  for (auto _ : state) {
    wnd.received = 0;
    std::thread worker([&] {
      for (int i = 0; i < batch; ++i) PostMessage(wnd.m_hWnd, WM_APP, 0, i);
    });
    ui::RunMessageLoopUntil([&] { return wnd.received == batch; }, 60000);
    worker.join();
  }
  state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_PostFromWorker)->Arg(10000)->Unit(benchmark::kMillisecond);

class CFill : public CWnd {
 public:
  void OnPaint() override {
    CPaintDC dc(this);
    dc.FillSolidRect(&dc.m_ps.rcPaint, RGB(20, 40, 60));
  }
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
};

void BM_InvalidateAndPaint(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  CFill top, view;
  if (!top.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 1280, 800), nullptr, 0) ||
      !view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 26, 1280, 772), &top, 1)) {
    state.SkipWithError("no window");
    return;
  }
  ui::ProcessPendingMessages();
  const int side = static_cast<int>(state.range(0));
  for (auto _ : state) {
    CRect r(100, 100, 100 + side, 100 + side);
    view.InvalidateRect(&r, FALSE);
    ui::ProcessPendingMessages();
  }
}
BENCHMARK(BM_InvalidateAndPaint)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
