// olvane-preview run as a program on demo captures: it opens, plays to the
// end, copies a picture on the way and closes with exit code 0.
#include <gtest/gtest.h>

#include <string>

#include "ToolRun.h"
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
  const std::string dir = testenv::MakeTempDir("preview");
  const struct {
    const char* name;
    const char* make;
    const char* view;
  } cases[] = {
      {"gsm16", "--size 320x240", "--fit"},
      {"pcm8", "--size 320x240 --bits 8 --sound pcm", "--actual-size"},
      {"mute24", "--size 400x300 --bits 24 --sound none --no-camera", "--fit"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string capture = MakeDemo(dir, c.name, c.make);
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
