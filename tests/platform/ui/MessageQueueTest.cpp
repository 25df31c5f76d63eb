#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/platform/ui/UiTestWindows.h"

namespace {

constexpr UINT kProbe = WM_APP + 1;

TEST(MessageQueue, PostsFromFourThreadsArriveInOrderPerThreadWithNoneLost) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop(0, 0, 50, 50, WS_POPUP));
  constexpr int kThreads = 4;
  constexpr int kPerThread = 25000;
  std::vector<int> next(kThreads, 0);
  int received = 0;
  bool inOrder = true;
  wnd.hook = [&](UINT m, WPARAM w, LPARAM l) {
    if (m != kProbe) return;
    const int thread = static_cast<int>(w);
    inOrder = inOrder && thread >= 0 && thread < kThreads && l == next[thread];
    if (thread >= 0 && thread < kThreads) next[thread] = static_cast<int>(l) + 1;
    ++received;
  };
  wnd.messages.reserve(kThreads * kPerThread + 100);
  const HWND hwnd = wnd.m_hWnd;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([hwnd, t] {
      for (int i = 0; i < kPerThread; ++i) ASSERT_TRUE(PostMessage(hwnd, kProbe, t, i));
    });
  ui::RunMessageLoopUntil([&] { return received == kThreads * kPerThread; }, 60000);
  for (auto& t : threads) t.join();
  ui::ProcessPendingMessages();
  EXPECT_EQ(received, kThreads * kPerThread);
  EXPECT_TRUE(inOrder);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[t], kPerThread);
}

TEST(MessageQueue, MessagePostedToDestroyedWindowIsDropped) {
  auto wnd = std::make_unique<CRecordingWnd>();
  ASSERT_TRUE(wnd->CreateTop(0, 0, 20, 20, WS_POPUP));
  const HWND hwnd = wnd->m_hWnd;
  CRecordingWnd other;
  ASSERT_TRUE(other.CreateTop(0, 0, 20, 20, WS_POPUP));
  ASSERT_TRUE(PostMessage(hwnd, kProbe, 1, 2));  // queued while alive
  other.PostMessage(kProbe, 3, 4);
  wnd->DestroyWindow();
  wnd.reset();  // the object is gone too: delivery must not touch it
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(PostMessage(hwnd, kProbe, 5, 6));
  EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
  EXPECT_EQ(SendMessage(hwnd, kProbe, 0, 0), 0);
  ui::RunMessageLoopUntil([&] { return other.Count(kProbe) == 1; }, 5000);
  EXPECT_EQ(other.Count(kProbe), 1);
}

TEST(MessageQueue, SendFromWorkerRunsOnWindowThreadAndReturnsResult) {
  class CAnswerWnd : public CWnd {
   public:
    std::thread::id seenOn;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == kProbe) {
        seenOn = std::this_thread::get_id();
        return static_cast<LRESULT>(w * 2);
      }
      return CWnd::WindowProc(m, w, l);
    }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  std::atomic<LRESULT> result{0};
  std::thread worker([&] { result = SendMessage(wnd.m_hWnd, kProbe, 21, 0); });
  ui::RunMessageLoopUntil([&] { return wnd.seenOn != std::thread::id(); }, 5000);
  worker.join();
  EXPECT_EQ(result.load(), 42);
  EXPECT_EQ(wnd.seenOn, std::this_thread::get_id());
}

TEST(MessageQueue, CreateAndDestroyOrderAndCloseDefault) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 100, 100, WS_POPUP));
  auto* child = new CRecordingWnd;
  ASSERT_TRUE(child->CreateChild(&top, CRect(0, 0, 10, 10)));
  EXPECT_EQ(top.messages.front().message, WM_CREATE);
  EXPECT_EQ(child->messages.front().message, WM_CREATE);
  std::vector<std::string> order;
  top.hook = [&](UINT m, WPARAM, LPARAM) {
    if (m == WM_DESTROY) order.push_back("top");
  };
  child->hook = [&](UINT m, WPARAM, LPARAM) {
    if (m == WM_DESTROY) order.push_back("child");
  };
  const HWND childHwnd = child->m_hWnd;
  top.SendMessage(WM_CLOSE);  // default processing destroys the window
  EXPECT_FALSE(IsWindow(top.m_hWnd));
  EXPECT_FALSE(IsWindow(childHwnd));
  EXPECT_EQ(order, (std::vector<std::string>{"top", "child"}));
  delete child;
}

TEST(MessageQueue, CreateFailsWhenOnCreateRefuses) {
  class CRefuse : public CWnd {
    int OnCreate(CREATESTRUCT*) override { return -1; }
  } wnd;
  EXPECT_FALSE(wnd.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(MessageQueue, QuitEndsTheLoopWithItsCode) {
  PostQuitMessage(7);
  EXPECT_EQ(ui::RunMessageLoop(), 7);
  EXPECT_TRUE(ui::QuitRequested());
  ui::ResetQuit();
}

}  // namespace

namespace {

TEST(Application, RunEndsWhenTheMainWindowIsDestroyed) {
  class CApp : public CWinApp {
   public:
    CRecordingWnd wnd;
    int idle = 0;
    BOOL InitInstance() override {
      if (!wnd.CreateTop(0, 0, 30, 30)) return FALSE;
      m_pMainWnd = &wnd;
      wnd.SetTimer(5, 1);
      wnd.hook = [this](UINT m, WPARAM, LPARAM) {
        if (m == WM_TIMER) wnd.PostMessage(WM_CLOSE);  // default processing destroys it
      };
      return TRUE;
    }
    BOOL OnIdle(LONG) override {
      ++idle;
      return FALSE;
    }
  } app;
  EXPECT_EQ(AfxGetApp(), &app);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.wnd.m_hWnd, nullptr);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_GE(app.idle, 1);
  ui::ResetQuit();
}

}  // namespace
