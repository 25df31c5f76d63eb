// olvane-mkskin run as a program: the player's skin at every depth loads with
// its four hot spots, hit-tests, shows its tooltips and its checked look.
#include <gtest/gtest.h>

#include <filesystem>

#include "sintra/widgets/HotBitmap.h"
#include "tests/common/ToolRun.h"

TEST(MkSkin, ThePlayersSkinLoadsWithItsFourHotSpots) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "olvane-mkskin-test";
  std::filesystem::create_directories(dir);
  const ToolRun run = RunTool("olvane-mkskin", ShellQuote(dir.string()) + " --bits all");
  ASSERT_EQ(run.code, 0) << run.out;
  for (int bits : {8, 16, 24}) {
    SCOPED_TRACE(bits);
    CHotBitmap skin;
    ASSERT_EQ(skin.Initialise(nullptr, 400, 400, bits), 1);
    ASSERT_EQ(skin.LoadBitmapFile(dir.c_str(), "b##player.hpc", 0), 1) << skin.GetStatus();
    ASSERT_EQ(skin.HotSpotCount(), 4);
    EXPECT_EQ(skin.GetSpot(0)->tooltip, "Play");
    EXPECT_EQ(skin.TestSpot(CPoint(20, 360), 0), 0);
    EXPECT_EQ(skin.TestSpot(CPoint(110, 370), 0), 2);
    EXPECT_EQ(skin.TestSpot(CPoint(368, 370), 0), 3);
    EXPECT_EQ(skin.TestSpot(CPoint(351, 353), 0), -1);  // outside the round spot's mask
    skin.SetUpDisplay();
    std::vector<BYTE> before(skin.GetBackBuffer(), skin.GetBackBuffer() + skin.GetStride() * 400);
    skin.SetCheckButton(3, 1);
    EXPECT_NE(std::vector<BYTE>(skin.GetBackBuffer(), skin.GetBackBuffer() + skin.GetStride() * 400), before);
    skin.SetCheckButton(3, 0);
    skin.MouseOut();
    EXPECT_EQ(std::vector<BYTE>(skin.GetBackBuffer(), skin.GetBackBuffer() + skin.GetStride() * 400), before);
  }
  EXPECT_NE(RunTool("olvane-mkskin", "").code, 0);
  std::filesystem::remove_all(dir);
}
