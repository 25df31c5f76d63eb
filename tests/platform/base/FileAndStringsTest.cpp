#include "platform/base/File.h"
#include "platform/base/Strings.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(CFile, FailuresAreResultsNotExceptions) {
  const std::string dir = testenv::MakeTempDir("file");
  CFile f;
  EXPECT_FALSE(f.Open("", CFile::modeRead));
  EXPECT_FALSE(f.Open(dir + "/missing.bin", CFile::modeRead));
  EXPECT_FALSE(f.Open(dir, CFile::modeRead));  // a folder is not a file
  EXPECT_FALSE(f.Open(dir + "/no/such/folder/x", CFile::modeCreate | CFile::modeWrite));
  char buf[4];
  EXPECT_EQ(f.Read(buf, 4), 0u);
  EXPECT_FALSE(f.Write("x", 1));
  EXPECT_EQ(f.Seek(0, CFile::begin), -1);
  EXPECT_EQ(f.GetLength(), -1);

  // A read-only file cannot be opened for writing (unless we run as root).
  const std::string ro = dir + "/ro.bin";
  ASSERT_TRUE(testenv::WriteFile(ro, "abc"));
  chmod(ro.c_str(), 0444);
  if (geteuid() != 0) {
    EXPECT_FALSE(f.Open(ro, CFile::modeWrite));
  }
}

TEST(CFile, WritesReadsSeeksAndTruncates) {
  const std::string path = testenv::MakeTempDir("file") + "/data.bin";
  CFile f;
  ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeReadWrite));
  ASSERT_TRUE(f.Write("hello world", 11));
  EXPECT_EQ(f.GetLength(), 11);
  EXPECT_EQ(f.Seek(-5, CFile::end), 6);
  char buf[16] = {};
  EXPECT_EQ(f.Read(buf, 16), 5u);  // short read at the end
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(f.Read(buf, 16), 0u);
  f.Close();
  // modeNoTruncate keeps the contents; plain modeCreate empties the file.
  ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
  EXPECT_EQ(f.GetLength(), 11);
  ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
  EXPECT_EQ(f.GetLength(), 0);
}

TEST(Strings, TrimCaseAndFormat) {
  EXPECT_EQ(str::Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(str::TrimLeft("  x "), "x ");
  EXPECT_EQ(str::TrimRight("  x \n"), "  x");
  EXPECT_EQ(str::Trim(""), "");
  EXPECT_EQ(str::CompareNoCase("VIDEO", "video"), 0);
  EXPECT_LT(str::CompareNoCase("VIDEO", "VIDEO MODE"), 0);
  EXPECT_FALSE(str::EqualsNoCase("VIDEO", "VIDEO MODE"));
  EXPECT_EQ(str::FindNoCase("CaptureFile_Version=2", "captUREfile"), 0u);
  EXPECT_EQ(str::Format("%s_%.4d.%s", "Clip", 7, "cpt"), "Clip_0007.cpt");
  const std::string longText(1000, 'z');
  EXPECT_EQ(str::Format("<%s>", longText.c_str()).size(), 1002u);
  // Bytes above 127 are not case-folded.
  EXPECT_EQ(str::ToUpper("\xe9t\xe9"), "\xe9T\xe9");
  std::string s = "a,b,,c";
  EXPECT_EQ(str::Split(s, ',').size(), 4u);
  EXPECT_EQ(str::Replace(s, ",", ";;"), 3);
  EXPECT_EQ(s, "a;;b;;;;c");
}
