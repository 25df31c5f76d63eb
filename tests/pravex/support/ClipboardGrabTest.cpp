// Grabbing a window's picture onto the clipboard: the picture is exactly the
// window's read-back pixels cut by the insets, in this process and, under
// Xvfb, as another X client (xclip) reads it.
#include <gtest/gtest.h>

#include <climits>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/Clipboard.h"
#include "platform/os/PackedDib.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/Wnd.h"
#include "pravex/support/ClipboardGrab.h"
#include "tests/common/DesktopSession.h"

namespace {

// A window whose every pixel differs from its neighbours, so that a picture
// shifted or cut wrongly by one pixel cannot match.
class CPatternWnd : public CWnd {
 public:
  explicit CPatternWnd(int salt) : m_salt(salt) {}
  void OnPaint() override {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    for (int y = 0; y < client.Height(); ++y)
      for (int x = 0; x < client.Width(); ++x)
        dc.SetPixel(x, y, RGB(static_cast<BYTE>(x * 3 + m_salt), static_cast<BYTE>(y * 5), static_cast<BYTE>(x ^ y)));
  }

 private:
  int m_salt;
};

struct Scene {
  CPatternWnd top{0};
  CPatternWnd child{100};
  Scene() {
    top.CreateEx(0, nullptr, "grab", WS_POPUP | WS_VISIBLE, CRect(30, 40, 150, 130), nullptr, 0);
    child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(20, 10, 100, 70), &top, 1);
    ui::ProcessPendingMessages();
  }
  ~Scene() { top.DestroyWindow(); }
  // The top-level window's pixels inside r (its client coordinates).
  std::vector<std::uint32_t> Shown(const CRect& r) const {
    std::vector<std::uint32_t> pixels, out;
    int w = 0, h = 0;
    EXPECT_TRUE(ui::ReadWindowPixels(top.GetSafeHwnd(), pixels, w, h));
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.push_back(pixels[static_cast<std::size_t>(y) * w + x]);
    return out;
  }
};

os::CRgbPicture ClipboardPicture() {
  os::CRgbPicture picture;
  if (!OpenClipboard(nullptr)) return picture;
  HGLOBAL block = GetClipboardData(CF_DIB);
  const void* bytes = block ? GlobalLock(block) : nullptr;
  if (bytes) {
    EXPECT_TRUE(os::ReadPackedDib(bytes, GlobalSize(block), picture));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return picture;
}

TEST(GrabToClipboard, ThePictureIsTheWindowsPixelsCutByTheInsets) {
  Scene scene;
  ASSERT_TRUE(GrabToClipboard(&scene.child, FALSE, CRect(3, 4, 5, 6)));
  os::CRgbPicture picture = ClipboardPicture();
  EXPECT_EQ(picture.width, 80 - 3 - 5);
  EXPECT_EQ(picture.height, 60 - 4 - 6);
  EXPECT_EQ(picture.pixels, scene.Shown(CRect(20 + 3, 10 + 4, 100 - 5, 70 - 6)));

  // The whole top-level window, no insets: its child included.
  ASSERT_TRUE(GrabToClipboard(&scene.top, TRUE, CRect(0, 0, 0, 0)));
  picture = ClipboardPicture();
  EXPECT_EQ(picture.width, 120);
  EXPECT_EQ(picture.height, 90);
  EXPECT_EQ(picture.pixels, scene.Shown(CRect(0, 0, 120, 90)));
}

TEST(GrabToClipboard, NothingToGrabLeavesTheClipboardAlone) {
  Scene scene;
  ASSERT_TRUE(GrabToClipboard(&scene.child, FALSE, CRect(0, 0, 0, 0)));
  const os::CRgbPicture before = ClipboardPicture();
  ASSERT_EQ(before.width, 80);
  // Insets that meet, or pass each other, or reach far beyond the window.
  const CRect empties[] = {CRect(40, 0, 40, 0), CRect(0, 50, 0, 20), CRect(INT_MAX, INT_MAX, INT_MAX, INT_MAX),
                           CRect(INT_MIN, 0, INT_MAX, 0)};
  for (const CRect& insets : empties) EXPECT_FALSE(GrabToClipboard(&scene.child, FALSE, insets));
  EXPECT_FALSE(GrabToClipboard(nullptr, FALSE, CRect(0, 0, 0, 0)));
  // Negative insets cannot reach past what the top-level window shows.
  ASSERT_TRUE(GrabToClipboard(&scene.child, FALSE, CRect(-1000, -1000, -1000, -1000)));
  const os::CRgbPicture clamped = ClipboardPicture();
  EXPECT_EQ(clamped.width, 120);
  EXPECT_EQ(clamped.height, 90);

  // Another thread holding the clipboard open makes the grab fail, untouched.
  ASSERT_TRUE(GrabToClipboard(&scene.child, FALSE, CRect(0, 0, 0, 0)));
  bool opened = false, release = false;
  std::mutex m;
  std::condition_variable cv;
  std::thread holder([&] {
    std::unique_lock<std::mutex> lock(m);
    opened = OpenClipboard(nullptr);
    cv.notify_all();
    cv.wait(lock, [&] { return release; });
    CloseClipboard();
  });
  {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return opened; });
  }
  EXPECT_FALSE(GrabToClipboard(&scene.child, FALSE, CRect(1, 1, 1, 1)));
  {
    std::lock_guard<std::mutex> lock(m);
    release = true;
  }
  cv.notify_all();
  holder.join();
  EXPECT_EQ(ClipboardPicture().pixels, before.pixels);
}

TEST(GrabToClipboard, AnotherXClientPastesTheSamePixels) {
  if (!testenv::HaveProgram("xvfb-run") || !testenv::HaveProgram("xclip"))
    GTEST_SKIP() << "xvfb-run and xclip are needed (scripts/setup-deps installs them)";
  std::string log;
  EXPECT_EQ(testenv::RunSelfUnderXvfb("GrabToClipboardXvfb.*", log), 0) << log;
  EXPECT_TRUE(testenv::AllPassed(log)) << log;
}

TEST(GrabToClipboardXvfb, XclipReadsTheGrabbedPicture) {
  if (!testenv::InXvfbSession()) GTEST_SKIP() << "runs only under Xvfb, started by AnotherXClientPastesTheSamePixels";
  Scene scene;
  ASSERT_TRUE(GrabToClipboard(&scene.child, FALSE, CRect(2, 7, 1, 3)));
  std::string png;
  ASSERT_EQ(testenv::RunCapture("xclip -selection clipboard -t image/png -o", png), 0);
  os::CRgbPicture pasted;
  ASSERT_TRUE(os::ReadPngData(png.data(), png.size(), pasted));
  EXPECT_EQ(pasted.width, 80 - 2 - 1);
  EXPECT_EQ(pasted.height, 60 - 7 - 3);
  EXPECT_EQ(pasted.pixels, scene.Shown(CRect(22, 17, 99, 67)));
}

}  // namespace
