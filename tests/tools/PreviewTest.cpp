// olvane-preview run as a program on demo captures: it opens, plays to the
// end, copies a picture on the way and closes with exit code 0.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/common/ToolRun.h"
#include "platform/os/PackedDib.h"
#include "tests/common/DesktopSession.h"
#include "tests/common/TestEnvironment.h"

namespace {

std::string MakeDemo(const std::string& dir, const std::string& name, const std::string& options) {
  const std::string path = dir + "/" + name + ".zeph";
  const ToolRun run = RunTool("olvane-mkcapture", "demo " + ShellQuote(path) + " --seconds 1 --quiet " + options);
  EXPECT_EQ(run.code, 0) << run.out;
  return path;
}

}  // namespace

TEST(PreviewTool, PlaysEachDemoCaptureCopiesAPictureAndCloses) {
  const struct {
    const char* name;
    const char* view;
  } cases[] = {
      {"desktop-640x400-16bit.zeph", "--fit"},
      {"desktop-800x600-24bit.zeph", "--actual-size"},
      {"desktop-320x240-8bit.zeph", "--fit"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string capture = testenv::BinDir() + "/demo/" + c.name;
    ASSERT_FALSE(testenv::ReadFile(capture).empty()) << "the olvane-demo target writes " << capture;
    const ToolRun run = RunTool("olvane-preview", ShellQuote(capture) + " " + c.view + " --copy-at 300 --close-at-end");
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find("pictures copied: 1"), std::string::npos) << run.out;
  }
}

TEST(PreviewTool, RefusesBadArgumentsAndUnreadableCaptures) {
  const ToolRun help = RunTool("olvane-preview", "--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("usage: olvane-preview CAPTURE"), std::string::npos);
  EXPECT_EQ(RunTool("olvane-preview", "").code, 2);
  EXPECT_EQ(RunTool("olvane-preview", "a.zeph --zoom").code, 2);
  EXPECT_EQ(RunTool("olvane-preview", "a.zeph --copy-at -5").code, 2);
  EXPECT_EQ(RunTool("olvane-preview", "a.zeph b.zeph").code, 2);
  const std::string dir = testenv::MakeTempDir("previewbad");
  ASSERT_TRUE(testenv::WriteFile(dir + "/junk.zeph", "not a capture"));
  EXPECT_EQ(RunTool("olvane-preview", ShellQuote(dir + "/junk.zeph")).code, 1);
  EXPECT_EQ(RunTool("olvane-preview", ShellQuote(dir + "/missing.zeph")).code, 1);
}

// Under a virtual X server another client reads the copied picture while the
// program plays; the program then closes cleanly on SIGTERM. (The X11 video
// driver's libraries leave unsymbolised process-lifetime blocks, so leaks
// are checked by the test above on the headless driver instead.)
TEST(PreviewTool, AnotherXClientPastesTheCopiedPicture) {
  if (!testenv::HaveProgram("xvfb-run") || !testenv::HaveProgram("xclip"))
    GTEST_SKIP() << "xvfb-run and xclip are needed (scripts/setup-deps installs them)";
  const std::string dir = testenv::MakeTempDir("previewx");
  const std::string capture = MakeDemo(dir, "x", "--size 320x240 --seconds 3");
  const std::string png = dir + "/pasted.png";
  const std::string script =
      testenv::BinDir() + "/olvane-preview " + ShellQuote(capture) +
      " --copy-at 300 & pid=$!; i=0; while [ $i -lt 600 ]; do "
      "if xclip -selection clipboard -t image/png -o > " +
      ShellQuote(png) + " 2>/dev/null && [ -s " + ShellQuote(png) +
      " ]; then break; fi; sleep 0.1; i=$((i+1)); done; kill -TERM $pid; wait $pid; echo exit=$?";
  std::string out;
  testenv::RunCapture(
      "xvfb-run -a -s '-screen 0 1024x768x24' env -u OLVANE_PRIVATE_CLIPBOARD SDL_VIDEODRIVER=x11 "
      "ASAN_OPTIONS=detect_leaks=0 "
      "SDL_AUDIODRIVER=dummy sh -c " +
          ShellQuote(script) + " 2>&1",
      out);
  EXPECT_NE(out.find("exit=0"), std::string::npos) << out;
  const std::string bytes = testenv::ReadFile(png);
  os::CRgbPicture picture;
  ASSERT_TRUE(os::ReadPngData(bytes.data(), bytes.size(), picture)) << out;
  EXPECT_EQ(picture.width, 320);
  EXPECT_EQ(picture.height, 240);
  // The demo desktop, not an empty window: more than one colour.
  bool varied = false;
  for (std::uint32_t p : picture.pixels) varied = varied || p != picture.pixels.front();
  EXPECT_TRUE(varied);
}
