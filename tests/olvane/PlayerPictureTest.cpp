// At 100 % replay size the view shows exactly the picture the exporter makes
// of the same moment.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "olvane/PlayerWnd.h"
#include "platform/os/PackedDib.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/capture/TimeSource.h"
#include "tests/common/TestEnvironment.h"

namespace {
int ChannelDistance(std::uint32_t a, std::uint32_t b) {
  int most = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return most;
}
}  // namespace

TEST(PlayerPicture, ViewAtFullSizeEqualsTheExportedFrame) {
  const std::string clip = testenv::BinDir() + "/PlayDemo2.zeph";
  const std::string png = testenv::MakeTempDir("pic") + "/frame.png";
  const std::string command =
      "'" + testenv::BinDir() + "/olvane-export' '" + clip + "' --single 2000 -o '" + png + "' > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string bytes = testenv::ReadFile(png);
  os::CRgbPicture expected;
  ASSERT_TRUE(os::ReadPngData(bytes.data(), bytes.size(), expected));

  CManualTimeSource source{1000};
  auto wnd = std::make_unique<CPlayerWnd>(&source);
  AfxSetMainWnd(wnd.get());
  ASSERT_TRUE(wnd->StartFromCommandLine(clip));
  ASSERT_TRUE(ui::RunMessageLoopUntil([&] { return !wnd->GetCaptureFileReader()->IsInPreroll(); }, 5000));
  for (int guard = 0; guard < 100000 && wnd->GetClock().Now() < 2000; ++guard) {
    source.Advance(std::min<DWORD>(10, 2000 - wnd->GetClock().Now()));
    ui::RunMessageLoopFor(1);
  }
  ASSERT_EQ(wnd->GetClock().Now(), 2000u);
  wnd->SendMessage(WM_COMMAND, player::ID_PAUSE, 0);
  wnd->ClockTick();
  ui::RunMessageLoopFor(50);
  wnd->GetView().Invalidate(FALSE);
  ui::ProcessPendingMessages();

  CRect view;
  wnd->GetView().GetWindowRect(&view);
  wnd->ScreenToClient(&view);
  ASSERT_EQ(view.Width(), expected.width);
  ASSERT_EQ(view.Height(), expected.height);
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(ui::ReadWindowPixels(wnd->GetSafeHwnd(), pixels, width, height));
  int different = 0;
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x) {
      // The window and the exporter widen the replay's 16-bit pixels to 8 bits
      // per channel in their own ways: a step of one 5-bit unit is the same pixel.
      const std::uint32_t got = (pixels[static_cast<std::size_t>(view.top + y) * width + view.left + x]);
      const std::uint32_t want = expected.pixels[static_cast<std::size_t>(y) * expected.width + x];
      if (ChannelDistance(got, want) > 8) ++different;
    }
  // The cursor is drawn by each from its own state of the click indicator: a
  // few dozen pixels around it may differ; the rest of the picture may not.
  EXPECT_LT(different, expected.width * expected.height / 1000);
  if (const char* dump = std::getenv("OLVANE_PICTURE_DUMP")) ui::SaveWindowBitmap(wnd->GetSafeHwnd(), dump);
  wnd->DestroyWindow();
  ui::ProcessPendingMessages();
  AfxSetMainWnd(nullptr);
}
