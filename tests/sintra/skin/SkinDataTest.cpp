#include "sintra/skin/SkinData.h"

#include "platform/os/SysColors.h"
#include "sintra/skin/ParseSkin.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A complete skin: every required key, written as a skin author would.
std::map<std::string, std::string> FullSkin() {
  std::map<std::string, std::string> keys = {
      {"Use-Skin", "1"},
      {"Size-Small", "300,60"},
      {"Size-Big", "400,320"},
      {"CaptionHeight", "20"},
      {"IconSize", "12,11"},
      {"IconGap", "4,0"},
      {"IconOffsetSmall", "5,6"},
      {"IconOffsetBig", "7,8"},
      {"Rect-MoveSmall", "3,0,300,15"},
      {"Rect-MoveBig", "9,0,400,15"},
      {"Rect-Property", "1,2,3,4"},
      {"Rect-Jog", "10,20,30,40"},
      {"Point-Counter", "50,60"},
  };
  for (const char* colour : {"Color-Back",
                             "Color-Text",
                             "Color-Text-Disable",
                             "Color-Shadow",
                             "Color-Line",
                             "Color-Button-Face",
                             "Color-Button-Select",
                             "Color-Button-Text",
                             "Color-Button-Text-Hi",
                             "Color-Button-Text-Select",
                             "Color-Button-Disable",
                             "Color-Button-Hi",
                             "Color-Button-Border",
                             "Color-Button-Shadow",
                             "Color-Tooltip-Back",
                             "Color-Tooltip-Text",
                             "Color-Menu",
                             "Color-CaptionBar",
                             "Color-CaptionBar-Focus",
                             "Color-CaptionText",
                             "Color-CaptionText-Focus",
                             "Color-Window-Back",
                             "Color-Dialog-Back"}) {
    keys[colour] = "1,2,3";
  }
  return keys;
}

std::string Write(const std::map<std::string, std::string>& keys, const char* lineEnd = "\r\n") {
  std::string text = "// a skin for the tests\r\n";
  for (const auto& [key, value] : keys) text += key + " = " + value + lineEnd;
  const std::string path = testenv::MakeTempDir("skin") + "/skinTest.txt";
  EXPECT_TRUE(testenv::WriteFile(path, text));
  return path;
}

}  // namespace

TEST(CSkinData, GlobalRecordStartsEmpty) {
  EXPECT_EQ(g_skinData.m_skinInUse, 0);
  EXPECT_EQ(g_skinData.m_sizeSmall.cx, 0);
  EXPECT_EQ(g_skinData.m_palette, nullptr);
  EXPECT_TRUE(g_skinData.m_defaultURL.empty());
}

TEST(CSkinData, DefaultSkinSetsBuiltInLayout) {
  CSkinData skin;
  skin.m_rectMoveSmall = CRect(11, 0, 5, 5);
  skin.m_colour[SKIN_TEXT] = 0x123456;
  skin.DefaultSkin();
  EXPECT_EQ(skin.m_titleOffsetSmall, 11);  // taken from the move rectangle before the call
  EXPECT_EQ(skin.m_rectMoveSmall, CRect(0, 0, 349, 16));
  EXPECT_EQ(skin.m_rectMoveBig, CRect(0, 0, 349, 16));
  EXPECT_EQ(skin.m_iconOffsetSmall, CPoint(288, 2));
  EXPECT_EQ(skin.m_iconOffsetBig, CPoint(288, 2));
  EXPECT_EQ(skin.m_regionBigCount, 4);
  EXPECT_EQ(skin.m_regionBig[2].x, 349);
  EXPECT_EQ(skin.m_regionBig[2].y, 306);
  EXPECT_EQ(skin.m_counterStyle, -1);
  EXPECT_EQ(skin.m_bitmapLarge, 2);
  EXPECT_EQ(skin.m_defaultURL, kDefaultSkinURL);
  EXPECT_EQ(skin.m_colour[SKIN_TEXT], 0x123456u);  // colours untouched
}

TEST(CSkinData, LoadsACompleteSkinWithItsFallBacks) {
  auto keys = FullSkin();
  keys["Color-Back"] = "255, 0, 16";
  keys.erase("Color-Text");
  keys["color-text"] = "4,5,6";         // lower case in the file, found by its mixed-case name
  keys["Title-MaxCharsSmall"] = "30";   // without its three partners: all four fall back
  keys["Color-Progress-Hi"] = "9,9,9";  // without its partners: all four fall back
  keys["Counter-Style"] = "3";
  keys["Region-SmallCount"] = "3";
  keys["Region-Small"] = "0,0, 1 0,5, 20,30";
  keys["Region-BigCount"] = "1024";
  keys["Bitmap-Medium"] = "7";
  CSkinData skin;
  ASSERT_TRUE(skin.LoadSkin(Write(keys).c_str()));
  EXPECT_EQ(skin.m_skinInUse, 1);
  EXPECT_EQ(skin.SkinColour(SKIN_BACK), 0x021000FFu);
  EXPECT_EQ(skin.SkinColour(SKIN_TEXT), 0x02060504u);
  EXPECT_EQ(skin.m_titleOffsetSmall, 3);
  EXPECT_EQ(skin.m_titleOffsetLarge, 9);
  EXPECT_EQ(skin.m_titleMaxCharsSmall, 18);
  EXPECT_EQ(skin.m_titleMaxCharsLarge, 58);
  EXPECT_EQ(skin.SkinColour(SKIN_PROGRESS_HI), 0x02FFFFFFu);
  EXPECT_EQ(skin.SkinColour(SKIN_PROGRESS_LO), 0x02404040u);
  EXPECT_EQ(skin.m_counterStyleSmall, 3);
  EXPECT_EQ(skin.m_jogStyleSmall, 0);
  EXPECT_EQ(skin.m_rectJogSmall, CRect(10, 20, 30, 40));
  EXPECT_EQ(skin.m_pointCounterSmall, CPoint(50, 60));
  EXPECT_EQ(skin.m_rectIcon, CRect());
  EXPECT_EQ(skin.m_regionSmallCount, 3);
  EXPECT_EQ(skin.m_regionSmall[1].x, 10);
  EXPECT_EQ(skin.m_regionSmall[2].y, 30);
  EXPECT_EQ(skin.m_regionBigCount, 0);  // 1024 is one too many
  EXPECT_EQ(skin.m_bitmapSmall, 0);
  EXPECT_EQ(skin.m_bitmapMedium, 7);
  EXPECT_EQ(skin.m_sizeBig, CSize(400, 320));
  EXPECT_EQ(skin.m_defaultURL, kDefaultSkinURL);
}

TEST(CSkinData, UnusableSkinFilesLeaveTheDefault) {
  const auto without = [](const char* key) {
    auto keys = FullSkin();
    keys.erase(key);
    return keys;
  };
  auto badSize = FullSkin();
  badSize["Size-Small"] = "300";
  auto unused = FullSkin();
  unused["Use-Skin"] = "0";
  const struct {
    const char* what;
    std::string path;
  } cases[] = {
      {"bare line feeds", Write(FullSkin(), "\n")},
      {"no Use-Skin", Write(without("Use-Skin"))},
      {"Use-Skin 0", Write(unused)},
      {"last required key missing", Write(without("Point-Counter"))},
      {"a colour missing", Write(without("Color-Dialog-Back"))},
      {"a malformed size", Write(badSize)},
      {"no such file", testenv::MakeTempDir("skin") + "/missing.txt"},
  };
  for (const auto& c : cases) {
    CSkinData skin;
    EXPECT_FALSE(skin.LoadSkin(c.path.c_str())) << c.what;
    EXPECT_EQ(skin.m_skinInUse, 0) << c.what;
    EXPECT_EQ(skin.m_sizeSmall, CSize(349, 65)) << c.what;
    EXPECT_EQ(skin.m_rectMoveBig, CRect(0, 0, 349, 16)) << c.what;
    EXPECT_EQ(skin.m_regionSmallCount, 4) << c.what;
  }
  EXPECT_FALSE(CSkinData().LoadSkin(nullptr));
}

TEST(CSkinData, SkinColourFallsBackToSystemColours) {
  CSkinData skin;
  skin.m_colour[SKIN_TEXT] = 0x02010203;
  EXPECT_EQ(skin.SkinColour(SKIN_TEXT), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(skin.SkinColour(SKIN_BUTTON_HI), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(skin.SkinColour(SKIN_CAPTIONBAR_FOCUS), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(skin.SkinColour(SKIN_LINE), 0x02000000u);
  EXPECT_EQ(skin.SkinColour(COLOR_MENUHILIGHT + 0), GetSysColor(COLOR_MENUHILIGHT));  // index 29: a system colour
  EXPECT_EQ(skin.SkinColour(-5), 0u);

  skin.m_8BitDisplay = 1;
  EXPECT_EQ(skin.SkinColour(SKIN_PROGRESS_HI), 0x02FFFFFFu);  // fixed values as they are
  EXPECT_EQ(skin.SkinColour(SKIN_TEXT), GetSysColor(COLOR_WINDOWTEXT) | 0x02000000u);
  skin.Test8Bit(nullptr);
  EXPECT_EQ(skin.m_8BitDisplay, 0);

  skin.ForceColour();
  EXPECT_EQ(skin.SkinColour(SKIN_TEXT), 0x02010203u);
  EXPECT_EQ(skin.SkinColour(40), GetSysColor(40));  // beyond the skin colours, never beyond the record
}

TEST(CParseSkin, SplitsOnlyAtCrLfAndKeepsTheLastValue) {
  const std::string text =
      "A = 1\r\n//B = 2\r\nno equals sign\r\nC = x = y\r\na = 5\r\nD = 1\n E = 2\rF=3\r\n G \t= \t \r\n";
  CParseSkin parse;
  parse.Parse((text + std::string("\0H = 4\r\n", 8)).c_str(), text.size() + 8);
  EXPECT_EQ(parse.GetInt("A"), 5);
  EXPECT_EQ(parse.GetString("//B", "none"), "none");
  EXPECT_EQ(parse.GetString("C", ""), "x = y");
  EXPECT_EQ(parse.GetString("D", ""), "1\n E = 2\rF=3");
  EXPECT_EQ(parse.GetString("g", "none"), "");
  EXPECT_EQ(parse.GetString("H", "none"), "none");  // after the zero byte
  EXPECT_EQ(parse.GetCount(), 4);

  const std::string values =
      "Red = 256,-1, 300\r\nShort = 1,2\r\nSpaced = 1 ,2\r\nRect = -1,-2,3,4 tail\r\nNum = 12abc";
  parse.Parse(values.c_str(), values.size());
  COLORREF colour = 7;
  EXPECT_TRUE(parse.GetRGB("red", colour));
  EXPECT_EQ(colour, 0x022CFF00u);
  colour = 7;
  EXPECT_FALSE(parse.GetRGB("Short", colour));
  EXPECT_FALSE(parse.GetRGB("Missing", colour));
  EXPECT_EQ(colour, 7u);
  SIZE size{9, 9};
  EXPECT_FALSE(parse.GetSize("Spaced", size));  // the comma must follow the number
  EXPECT_EQ(size.cx, 9);
  RECT rect{};
  EXPECT_TRUE(parse.GetRect("Rect", rect));
  EXPECT_EQ(rect.left, -1);
  EXPECT_EQ(rect.bottom, 4);
  EXPECT_EQ(parse.GetInt("Num"), 12);
  EXPECT_EQ(parse.GetInt("Missing"), 0);
}

TEST(CParseSkin, RegionsReadPointsUpToTheCount) {
  const struct {
    const char* count;
    const char* points;
    int expected;
    POINT first;
  } cases[] = {
      {"2", "1,2,3,4,5,6", 2, {1, 2}},
      {"1024", "1,2", 0, {-7, -7}},
      {"-1", "1,2", 0, {-7, -7}},
      {"1023", "", 1023, {-7, -7}},     // empty: the count, nothing read
      {"3", "4 2 , 1 7", 3, {42, 17}},  // blanks inside numbers are skipped
      {"2", "1,2,3", 0, {-7, -7}},      // the second point lacks its y
      {"1", "123456789012345678,1", 1, {2147483647, 1}},
      {"1", "1234567890123456789,1", 0, {-7, -7}},  // 19 characters
      {"1", "1,1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9", 0, {-7, -7}},
  };
  for (const auto& c : cases) {
    const std::string text = std::string("N = ") + c.count + "\r\nP = " + c.points + "\r\n";
    CParseSkin parse;
    parse.Parse(text.c_str(), text.size());
    POINT points[CParseSkin::kMaxRegionPoints];
    for (POINT& p : points) p = POINT{-7, -7};
    EXPECT_EQ(parse.GetRegion("P", "N", points), c.expected) << c.count << " / " << c.points;
    EXPECT_EQ(points[0].x, c.first.x) << c.points;
    EXPECT_EQ(points[0].y, c.first.y) << c.points;
    if (c.expected == 2) {
      EXPECT_EQ(points[2].x, -7);  // nothing beyond the count
    }
  }
}
