// Files dropped from the desktop: one WM_DROPFILES per gesture, to the
// top-level window, only when it accepts drops.
#include <gtest/gtest.h>

#include "platform/ui/DropFiles.h"
#include "platform/ui/Headless.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

// A window that reads each drop while WM_DROPFILES is handled, as a handler must.
struct DropScene {
  CRecordingWnd top, child;
  std::vector<std::vector<std::string>> drops;
  HDROP lastDrop = nullptr;
  DropScene() {
    EXPECT_TRUE(top.CreateTop(10, 10, 120, 80));
    EXPECT_TRUE(child.CreateChild(&top, CRect(0, 0, 60, 40)));
    top.hook = [this](UINT m, WPARAM w, LPARAM) {
      if (m != WM_DROPFILES) return;
      lastDrop = reinterpret_cast<HDROP>(w);
      drops.push_back(DragQueryFiles(lastDrop));
    };
  }
};

}  // namespace

TEST(DropFiles, OneGestureArrivesAsOneMessageInOrder) {
  DropScene s;
  DragAcceptFiles(s.child.m_hWnd, TRUE);  // a child's opt-in is its top-level window's
  EXPECT_TRUE(s.top.GetExStyle() & WS_EX_ACCEPTFILES);
  ASSERT_TRUE(ui::InjectDropFiles(s.child.m_hWnd, {"/tmp/a clip.zeph", "/tmp/b.tvsf"}));
  ASSERT_TRUE(ui::InjectDropFiles(s.top.m_hWnd, {"/x"}));
  ui::ProcessPendingMessages();
  ASSERT_EQ(s.drops.size(), 2u);
  EXPECT_EQ(s.drops[0], (std::vector<std::string>{"/tmp/a clip.zeph", "/tmp/b.tvsf"}));
  EXPECT_EQ(s.drops[1], (std::vector<std::string>{"/x"}));
  EXPECT_EQ(s.child.Count(WM_DROPFILES), 0);
  // The drop is released when the handler returns: a kept handle reads as empty.
  EXPECT_EQ(DragQueryFile(s.lastDrop, 0xFFFFFFFFu, nullptr, 0), 0u);
  EXPECT_TRUE(DragQueryFiles(s.lastDrop).empty());
}

TEST(DropFiles, QueryCountsLengthsAndCutsToTheBuffer) {
  DropScene s;
  DragAcceptFiles(s.top.m_hWnd, TRUE);
  std::vector<UINT> answers;
  std::string cut;
  s.top.hook = [&](UINT m, WPARAM w, LPARAM) {
    if (m != WM_DROPFILES) return;
    const HDROP drop = reinterpret_cast<HDROP>(w);
    answers.push_back(DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0));
    answers.push_back(DragQueryFile(drop, 1, nullptr, 0));
    answers.push_back(DragQueryFile(drop, 2, nullptr, 0));  // past the last file
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    answers.push_back(DragQueryFile(drop, 1, buffer, sizeof buffer));
    cut = buffer;
  };
  ASSERT_TRUE(ui::InjectDropFiles(s.top.m_hWnd, {"/one", "/second/file"}));
  ui::ProcessPendingMessages();
  EXPECT_EQ(answers, (std::vector<UINT>{2, 12, 0, 4}));
  EXPECT_EQ(cut, "/sec");
}

TEST(DropFiles, AWindowThatDoesNotAcceptDropsGetsNothing) {
  DropScene s;
  ASSERT_TRUE(ui::InjectDropFiles(s.top.m_hWnd, {"/a"}));
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.drops.empty());
  DragAcceptFiles(s.top.m_hWnd, TRUE);
  DragAcceptFiles(s.top.m_hWnd, FALSE);
  ASSERT_TRUE(ui::InjectDropFiles(s.top.m_hWnd, {"/b"}));
  ui::ProcessPendingMessages();
  EXPECT_TRUE(s.drops.empty());
  EXPECT_EQ(s.top.Count(WM_DROPFILES), 0);
}
