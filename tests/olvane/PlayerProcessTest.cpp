// The player as a process: command lines and the exact texts of refusals.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "tests/common/TestEnvironment.h"

namespace {

struct PlayerRun {
  int code = -1;
  std::string out;
};

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs the player for at most `seconds` (a player that is up is ended by the
// timeout and reports 124).
PlayerRun RunPlayer(const std::string& args, int seconds = 20) {
  const std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout " + std::to_string(seconds) + " " +
                              Quote(testenv::BinDir() + "/olvane") + " " + args + " 2>&1";
  PlayerRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
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
  PlayerRun avi = RunPlayer(Quote(dir + "/x.avi"));
  EXPECT_NE(avi.code, 0);
  EXPECT_NE(avi.out.find(kStart), std::string::npos) << avi.out;

  PlayerRun missing = RunPlayer(Quote(dir + "/missing.zeph"));
  EXPECT_NE(missing.code, 0);
  EXPECT_NE(missing.out.find("Unable to open the clip :  " + dir + "/missing.zeph"), std::string::npos) << missing.out;
  EXPECT_NE(missing.out.find(kStart), std::string::npos);

  PlayerRun tooNew = RunPlayer(Quote(WriteCapture(dir + "/new.zeph", "4")));
  EXPECT_NE(tooNew.code, 0);
  EXPECT_NE(tooNew.out.find("Download the latest version of Quillet to play this file"), std::string::npos)
      << tooNew.out;
}

TEST(PlayerProcess, AcceptedCommandLinesKeepThePlayerUp) {
  const std::string dir = testenv::MakeTempDir("with blanks");
  // Version 3 is still played; the quotes around a path with blanks are removed.
  const std::string clip = WriteCapture(dir + "/a clip.CPT", "3");
  PlayerRun quoted = RunPlayer("'\"" + clip + "\"'", 3);
  EXPECT_EQ(quoted.code, 124) << quoted.out;
  EXPECT_EQ(quoted.out.find("Unable"), std::string::npos) << quoted.out;

  // No argument: the demo script beside the program.
  PlayerRun demo = RunPlayer("", 3);
  EXPECT_EQ(demo.code, 124) << demo.out;
  EXPECT_EQ(demo.out.find(kStart), std::string::npos) << demo.out;
}

TEST(PlayerProcess, WithoutADisplayNamesTheHeadlessTool) {
  const std::string command =
      "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY " + Quote(testenv::BinDir() + "/olvane") + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[1024];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(out.find("olvane-export"), std::string::npos) << out;
}
