// The player as a process: command lines and the exact texts of refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/PravexVersion.h"
#include "tests/common/TestEnvironment.h"
#include "tests/common/ToolRun.h"

namespace {

// Runs the player for at most `seconds` (a player that is up is ended by the
// timeout and reports 124).
ToolRun RunPlayer(const std::string& args, int seconds = 20) {
  return RunTool("olvane", args, "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout " + std::to_string(seconds));
}

std::string WriteCapture(const std::string& path, const char* version) {
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(capture::kStreamScreen, 16, 8);
  const std::vector<BYTE> grey(DibStride(16, 16) * 8, 0x42);
  writer.AddScreenPicture(0, grey.data(), 16, 8, 16, true);
  writer.AddScreenPicture(500, grey.data(), 16, 8, 16, false);
  if (version) writer.AddInfo(std::string("CaptureFile_Version|") + version, false);
  writer.Finish();
  return path;
}

const char kStart[] = "A script or Zeph file must be entered on the command line";

}  // namespace

TEST(PlayerProcess, RefusedCommandLinesShowTheirTextAndFail) {
  const std::string dir = testenv::MakeTempDir("cmd");
  ToolRun avi = RunPlayer(ShellQuote(dir + "/x.avi"));
  EXPECT_NE(avi.code, 0);
  EXPECT_NE(avi.out.find(kStart), std::string::npos) << avi.out;

  ToolRun missing = RunPlayer(ShellQuote(dir + "/missing.zeph"));
  EXPECT_NE(missing.code, 0);
  EXPECT_NE(missing.out.find("Unable to open the clip :  " + dir + "/missing.zeph"), std::string::npos) << missing.out;
  EXPECT_NE(missing.out.find(kStart), std::string::npos);

  ToolRun tooNew = RunPlayer(ShellQuote(WriteCapture(dir + "/new.zeph", "4")));
  EXPECT_NE(tooNew.code, 0);
  EXPECT_NE(tooNew.out.find("Download the latest version of Quillet to play this file"), std::string::npos)
      << tooNew.out;
}

TEST(PlayerProcess, AcceptedCommandLinesKeepThePlayerUp) {
  const std::string dir = testenv::MakeTempDir("with blanks");
  // Version 3 is still played; the quotes around a path with blanks are removed.
  const std::string clip = WriteCapture(dir + "/a clip.CPT", "3");
  ToolRun quoted = RunPlayer("'\"" + clip + "\"'", 3);
  EXPECT_EQ(quoted.code, 124) << quoted.out;
  EXPECT_EQ(quoted.out.find("Unable"), std::string::npos) << quoted.out;

  // No argument: the demo script beside the program.
  ToolRun demo = RunPlayer("", 3);
  EXPECT_EQ(demo.code, 124) << demo.out;
  EXPECT_EQ(demo.out.find(kStart), std::string::npos) << demo.out;
}

TEST(PlayerProcess, WithoutADisplayNamesTheHeadlessTool) {
  const ToolRun run = RunTool("olvane", "", "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("olvane-export"), std::string::npos) << run.out;
}

TEST(PlayerProcess, HelpVersionAndBadOptionsNeedNoDisplay) {
  const std::string noDisplay = "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY";
  const ToolRun help = RunTool("olvane", "--help", noDisplay);
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("Usage: olvane [OPTION]... [FILE]", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--start TIME"), std::string::npos);
  const ToolRun version = RunTool("olvane", "--version", noDisplay);
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, std::string("olvane ") + GetPravexVersion() + "\n");
  const ToolRun bogus = RunTool("olvane", "--bogus clip.zeph", noDisplay);
  EXPECT_EQ(bogus.code, 2);
  EXPECT_EQ(bogus.out, "olvane: unknown option '--bogus'\nTry 'olvane --help' for more information.\n");
  const ToolRun badTime = RunPlayer("--start 1:99 clip.zeph");
  EXPECT_EQ(badTime.code, 2);
  EXPECT_NE(badTime.out.find("not '1:99'"), std::string::npos) << badTime.out;
}

TEST(PlayerProcess, OptionsBesideAPathWithBlanksKeepThePlayerUp) {
  const std::string dir = testenv::MakeTempDir("options");
  const std::string clip = WriteCapture(dir + "/a clip.zeph", "3");
  // The unquoted words of the path still belong together around the options.
  const std::string first = clip.substr(0, clip.rfind(' '));
  const std::string second = clip.substr(clip.rfind(' ') + 1);
  ToolRun run = RunPlayer("--start 0.2 " + ShellQuote(first) + " --skip-idle 3 " + ShellQuote(second), 3);
  EXPECT_EQ(run.code, 124) << run.out;
  EXPECT_EQ(run.out.find("Unable"), std::string::npos) << run.out;
}
