#include "pravex/script/FileScript.h"

#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::string DataFile(const std::string& name) {
  const char* data = std::getenv("OLVANE_TEST_DATA");
  return std::string(data ? data : testenv::SourceDir() + "/tests/data") + "/" + name;
}

bool SameParams(const tag_playParams& a, const tag_playParams& b) {
  return a.audio == b.audio && a.video == b.video && a.annotation == b.annotation && a.quality == b.quality &&
         a.toolbar == b.toolbar && a.autoplay == b.autoplay && a.cursor == b.cursor &&
         a.videoTransparency == b.videoTransparency && a.videoPosition == b.videoPosition &&
         a.videoMode == b.videoMode && a.previewScale == b.previewScale;
}

// The script that tests/data/script/saved.tvsf holds.
void FillSample(CFileScript& script) {
  script.SetComment("Demo playlist\r\nsecond line");
  script.SetFolder("/home/user/captures");
  CDisplayParams& display = script.GetDisplayParams();
  display.scaleMode = SCRIPT_SCALE_SMART;
  display.windowMode = SCRIPT_WINDOW_NOFRAME;
  display.control = 0;
  display.title = "Product tour";
  script.Add("intro.zeph", "NONE", nullptr);
  tag_playParams p;
  p.audio = 0;
  p.annotation = 0;
  p.toolbar = 0;
  p.cursor = 3;
  p.videoTransparency = 75;
  p.videoPosition = 8;
  p.videoMode = 0;
  p.previewScale = 0x00020001;
  script.Add("C:\\Captures\\part two.cpt", "pause", &p);
}

std::string Save(CFileScript& script, int namesOnly) {
  const std::string path = testenv::MakeTempDir("script") + "/out.tvsf";
  EXPECT_TRUE(script.Save(path.c_str(), namesOnly));
  return path;
}

}  // namespace

TEST(CFileScript, SavedBytesMatchTheHandWrittenFile) {
  CFileScript script;
  FillSample(script);
  const std::string expected = testenv::ReadFile(DataFile("script/saved.tvsf"));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(testenv::ReadFile(Save(script, 0)), expected);
}

TEST(CFileScript, LoadGivesBackWhatWasSaved) {
  CFileScript saved;
  FillSample(saved);
  saved.SetComment("  Demo playlist\r\nsecond line \r\n");  // loads trimmed
  CFileScript loaded;
  loaded.SetFolder("/kept/unless/given");
  ASSERT_TRUE(loaded.Load(Save(saved, 0).c_str()));
  EXPECT_EQ(loaded.GetComment(), "Demo playlist\r\nsecond line");
  EXPECT_EQ(loaded.GetFolder(), "/home/user/captures");
  EXPECT_EQ(loaded.GetDisplayParams().scaleMode, SCRIPT_SCALE_SMART);
  EXPECT_EQ(loaded.GetDisplayParams().windowMode, SCRIPT_WINDOW_NOFRAME);
  EXPECT_EQ(loaded.GetDisplayParams().control, 0);
  EXPECT_EQ(loaded.GetDisplayParams().title, "Product tour");
  ASSERT_EQ(loaded.GetSize(), saved.GetSize());
  for (int i = 0; i < saved.GetSize(); ++i) {
    EXPECT_STREQ(loaded.GetAt(i)->GetFilename(), saved.GetAt(i)->GetFilename());
    EXPECT_EQ(loaded.GetAt(i)->GetEffect(), saved.GetAt(i)->GetEffect());
    EXPECT_TRUE(SameParams(loaded.GetAt(i)->GetPlayParams(), saved.GetAt(i)->GetPlayParams())) << i;
  }
  EXPECT_EQ(loaded.GetAt(1)->GetEffect(), SCRIPT_EFFECT_PAUSE);
  EXPECT_EQ(loaded.GetAt(2), nullptr);
  EXPECT_EQ(loaded.GetAt(-1), nullptr);
}

TEST(CFileScript, LoadFollowsTheReadingRules) {
  const std::string path = testenv::MakeTempDir("script") + "/rules.tvsf";
  ASSERT_TRUE(testenv::WriteFile(path,
                                 "<DISPLAY><SCALE>scale</SCALE><WINDOW>No Frame</WINDOW><CONTROL>show</CONTROL>"
                                 "<TITLE> </TITLE></DISPLAY>\n"
                                 "<FILE><NAME>a.zeph</NAME><EFFECT>pause</EFFECT><PARAMS>"
                                 "<AUDIO>false</AUDIO><VIDEO MODE>6</VIDEO MODE><CURSOR>0</CURSOR></PARAMS></FILE>\n"
                                 "<FILE><EFFECT>PAUSE</EFFECT></FILE>\n"
                                 "<FILE><NAME>b.cpt</NAME><EFFECT>FADE</EFFECT></FILE>\n"));
  CFileScript script;
  ASSERT_TRUE(script.Load(path.c_str()));
  EXPECT_EQ(script.GetComment(), "");
  EXPECT_EQ(script.GetDisplayParams().scaleMode, SCRIPT_SCALE_SMART);  // display values are case-sensitive
  EXPECT_EQ(script.GetDisplayParams().windowMode, SCRIPT_WINDOW_NOFRAME);
  EXPECT_EQ(script.GetDisplayParams().control, 0);
  EXPECT_EQ(script.GetDisplayParams().title, kDefaultScriptTitle);
  ASSERT_EQ(script.GetSize(), 2);  // the block without a NAME is dropped
  const tag_playParams& p = script.GetAt(0)->GetPlayParams();
  EXPECT_EQ(script.GetAt(0)->GetEffect(), SCRIPT_EFFECT_PAUSE);  // effect names ignore case
  // CURSOR is read before VIDEO MODE; VIDEO MODE, written before it, is not found.
  EXPECT_EQ(p.cursor, 0);
  EXPECT_EQ(p.videoMode, 3);
  EXPECT_EQ(p.audio, 0);
  EXPECT_EQ(p.video, 1);  // "<VIDEO>" is not the opening tag of "VIDEO MODE"
  EXPECT_EQ(script.GetAt(1)->GetEffect(), SCRIPT_EFFECT_NONE);
  EXPECT_TRUE(SameParams(script.GetAt(1)->GetPlayParams(), tag_playParams()));

  // Without a DISPLAY block the display parameters keep their values.
  ASSERT_TRUE(testenv::WriteFile(path, "<FOLDER></FOLDER><FILE><NAME>x</NAME></FILE>"));
  CFileScript plain;
  plain.SetFolder("/kept");
  ASSERT_TRUE(plain.Load(path.c_str()));
  EXPECT_EQ(plain.GetDisplayParams().scaleMode, SCRIPT_SCALE_NONE);
  EXPECT_EQ(plain.GetDisplayParams().windowMode, SCRIPT_WINDOW_FRAME);
  EXPECT_EQ(plain.GetDisplayParams().control, 1);
  EXPECT_EQ(plain.GetDisplayParams().title, kDefaultScriptTitle);
  EXPECT_EQ(plain.GetFolder(), "/kept");
  EXPECT_FALSE(plain.Load((path + ".missing").c_str()));
  EXPECT_EQ(plain.GetSize(), 0);
  const std::string inMemory = "<FILE><NAME>m.zeph</NAME></FILE>";
  EXPECT_TRUE(plain.LoadText(reinterpret_cast<const unsigned char*>(inMemory.data()), inMemory.size()));
  EXPECT_EQ(plain.GetSize(), 1);
  EXPECT_FALSE(plain.LoadText(nullptr, 0));
  EXPECT_EQ(plain.GetSize(), 0);
}

TEST(CFileScript, SavingNamesOnlyDropsTheFolderPart) {
  CFileScript script(std::vector<std::string>{"C:\\Clips\\one.zeph", "/home/u/two.cpt", "three.zeph"}, "PAUSE", nullptr,
                     nullptr);
  CFileScript loaded;
  ASSERT_TRUE(loaded.Load(Save(script, 1).c_str()));
  ASSERT_EQ(loaded.GetSize(), 3);
  EXPECT_STREQ(loaded.GetAt(0)->GetFilename(), "one.zeph");
  EXPECT_STREQ(loaded.GetAt(1)->GetFilename(), "two.cpt");
  EXPECT_STREQ(loaded.GetAt(2)->GetFilename(), "three.zeph");
  EXPECT_EQ(loaded.GetAt(2)->GetEffect(), SCRIPT_EFFECT_PAUSE);
}

TEST(CFileScript, SaveReportsAFailedWrite) {
  CFileScript script;
  FillSample(script);
  EXPECT_FALSE(script.Save("/dev/full", 0));
  EXPECT_FALSE(script.Save("", 0));
  script.Clear();
  EXPECT_EQ(script.GetSize(), 0);
  EXPECT_EQ(script.GetComment(), "");
  EXPECT_EQ(script.GetDisplayParams().title, "Product tour");  // display parameters stay
  script.SetFolder("");
  script.SetComment(nullptr);
  EXPECT_EQ(script.GetFolder(), "");
}
