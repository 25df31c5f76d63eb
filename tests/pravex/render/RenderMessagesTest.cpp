// The notices a renderer posts from the reader's thread reach the main
// window and the parent through the window layer; settings come from a main
// window that holds them.
#include <gtest/gtest.h>

#include <thread>

#include "pravex/capture/CaptureFormat.h"
#include "pravex/render/RenderBase.h"
#include "tests/platform/ui/UiTestWindows.h"
#include "tests/pravex/render/RenderTestUtil.h"

using namespace capture;

namespace {

class CReplayWnd : public CRecordingWnd, public CRenderVarsHost {
 public:
  CRenderVars vars;
  CRenderVars& GetHostRenderVars() override { return vars; }
};

struct CView : CRenderBase {
  void InvalidateScreen() override {}
  void InvalidateScreenRect(const CRect&, int) override {}
  void SetScreenDeviceSize() override {}
  void InvalidateUpdateArea(const CRect&, unsigned short) override {}
};

}  // namespace

TEST(RenderMessages, NoticesArePostedFromTheWorkerToMainAndParent) {
  CReplayWnd main;
  ASSERT_TRUE(main.CreateTop(0, 0, 50, 50, WS_POPUP));
  AfxSetMainWnd(&main);
  CRecordingWnd parent;
  ASSERT_TRUE(parent.CreateTop(0, 0, 20, 20, WS_POPUP));
  CView view;
  view.SetParentWnd(&parent);
  EXPECT_EQ(view.GetRenderVars(), &main.vars);
  main.vars.SetCursorSize(1);
  view.GetPointerScale();
  EXPECT_EQ(view.GetCursorScale(), 2);

  std::thread worker([&view] {
    view.ClearPreview();
    view.WriteCaptureData(
        rendertest::ScreenRecord(rendertest::FlatPicture(30, 20, 16, 0), 30, 20, 16, CRect(0, 0, 30, 20)));
    view.WriteCaptureData(rendertest::Control(kRecordEndOfStream, kStreamScreen));
    view.WriteCaptureData(rendertest::Control(kRecordEndOfStream, kStreamVideo));
  });
  worker.join();
  ui::RunMessageLoopUntil(
      [&] { return main.Count(WM_RENDERWND_ENDOFFILE) == 2 && parent.Count(WM_RENDERWND_RESIZE) == 1; }, 5000);
  const auto ended = main.Only(WM_RENDERWND_ENDOFFILE);
  ASSERT_EQ(ended.size(), 2u);
  EXPECT_EQ(ended[0].wParam, kStreamScreen);
  EXPECT_EQ(ended[1].wParam, kStreamVideo);
  EXPECT_EQ(main.Count(WM_RENDERWND_FIRSTFRAME), 1);
  const auto resized = parent.Only(WM_RENDERWND_RESIZE);
  ASSERT_EQ(resized.size(), 1u);
  EXPECT_EQ(resized[0].lParam, MAKELPARAM(30, 20));
  AfxSetMainWnd(nullptr);
}
