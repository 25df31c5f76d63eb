#include "sintra/tagged/ScriptBase.h"

#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const unsigned char* U(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

// Loads bytes (which may hold zero bytes) through Copy.
void Use(CScriptBase& script, const std::string& bytes) {
  ASSERT_TRUE(script.Copy(U(bytes.data()), static_cast<unsigned long>(bytes.size())));
}

}  // namespace

TEST(CScriptBase, WritesIndentedBlocksWithCrLf) {
  const std::string path = testenv::MakeTempDir("tagged") + "/out.txt";
  CScriptBase script;
  ASSERT_TRUE(script.Create(path.c_str()));
  EXPECT_TRUE(script.PushTag("A", 1));
  EXPECT_TRUE(script.SaveIntTag("B", 5));
  EXPECT_TRUE(script.PushTag("C D", 0));
  EXPECT_TRUE(script.SaveData("free\r\ntext", 1));
  EXPECT_TRUE(script.PopTag());
  EXPECT_TRUE(script.SaveBOOLTag("E", 7));
  EXPECT_TRUE(script.SaveStringTag("F", "v"));
  EXPECT_TRUE(script.PopTag());
  EXPECT_FALSE(script.PopTag());  // nothing open
  EXPECT_TRUE(script.SaveBOOLTag("G", 0));
  script.Close();
  EXPECT_EQ(testenv::ReadFile(path),
            "<A>\r\n\t<B>5</B>\r\n\t<C D>free\r\ntext\r\n\t</C D>\r\n\t<E>TRUE</E>\r\n\t<F>v</F>\r\n</A>\r\n"
            "<G>FALSE</G>\r\n");
}

TEST(CScriptBase, WriteFailuresReturnZero) {
  CScriptBase script;
  EXPECT_FALSE(script.Create((testenv::MakeTempDir("tagged") + "/no/such/folder/x").c_str()));
  EXPECT_FALSE(script.SaveIntTag("A", 1));  // no file open
  ASSERT_TRUE(script.Create("/dev/full"));  // every write fails: the disk is full
  EXPECT_FALSE(script.PushTag("A", 1));
  EXPECT_FALSE(script.SaveStringTag("B", "x"));
  EXPECT_FALSE(script.SaveData("x", 1));
}

TEST(CScriptBase, TagSearchTrimsMovesForwardAndMatchesExactNames) {
  CScriptBase script;
  Use(script, "<VIDEO MODE>4</VIDEO MODE>\r\n<VIDEO>  7 \t</VIDEO><A>1</A><B>2</B><OPEN>x<OTHER>9</OTHER>");
  unsigned long pos = 0;
  const unsigned char* text = script.GetBuffer();
  int value = -1;
  EXPECT_TRUE(CScriptBase::GetIntTag("VIDEO", text, pos, value));  // not the opening tag of "VIDEO MODE"
  EXPECT_EQ(value, 7);
  EXPECT_EQ(script.GetFirstTag("VIDEO MODE"), "4");
  // Read out of order: B moves the position past A, which then keeps its default.
  EXPECT_EQ(script.GetNextTag("B"), "2");
  value = 42;
  unsigned long at = pos;
  EXPECT_TRUE(CScriptBase::GetIntTag("B", text, at, value));
  EXPECT_FALSE(CScriptBase::GetIntTag("A", text, at, value));
  EXPECT_EQ(value, 2);
  // A missing closing tag reads empty and leaves the position where it was.
  const unsigned long before = at;
  EXPECT_EQ(CScriptBase::GetTag("OPEN", text, at), "");
  EXPECT_EQ(at, before);
  EXPECT_EQ(CScriptBase::GetTag("OTHER", text, at), "9");
  EXPECT_EQ(script.GetNextTag("MISSING"), "");
  unsigned long beyond = 1u << 30;
  EXPECT_EQ(CScriptBase::GetTag("A", text, beyond), "");
  EXPECT_EQ(CScriptBase::GetTag("A", nullptr, pos), "");
}

TEST(CScriptBase, BooleansAndIntegersReadAsDocumented) {
  const struct {
    const char* value;
    int boolean;
    int integer;
  } cases[] = {
      {"TRUE", 1, 0}, {"true", 1, 0}, {" False ", 0, 0},           {"2", 1, 2},
      {"yes", 0, 0},  {"-3x", 1, -3}, {"99999999999", 1, INT_MAX}, {"-99999999999", 1, INT_MIN},
      {"+12", 1, 12},
  };
  for (const auto& c : cases) {
    const std::string text = std::string("<V>") + c.value + "</V>";
    unsigned long pos = 0;
    int b = -1;
    EXPECT_TRUE(CScriptBase::GetBOOLTag("V", U(text.c_str()), pos, b)) << c.value;
    EXPECT_EQ(b, c.boolean) << c.value;
    pos = 0;
    int i = -1;
    EXPECT_TRUE(CScriptBase::GetIntTag("V", U(text.c_str()), pos, i)) << c.value;
    EXPECT_EQ(i, c.integer) << c.value;
  }
  unsigned long pos = 0;
  int keep = 5;
  EXPECT_FALSE(CScriptBase::GetBOOLTag("V", U("<V>  </V>"), pos, keep));
  EXPECT_EQ(keep, 5);
}

TEST(CScriptBase, LineReaderSkipsLineEndsAndStopsAtZeroBytes) {
  CScriptBase script;
  EXPECT_EQ(script.GetFirstLine(), nullptr);  // nothing loaded
  Use(script, "one\r\n\r\n\ntwo\rthree\r\nlast without end");
  const auto line = [](unsigned char* l) { return l ? std::string(reinterpret_cast<char*>(l)) : "<null>"; };
  EXPECT_EQ(line(script.GetFirstLine()), "one");
  EXPECT_EQ(line(script.GetNextLine()), "two");
  EXPECT_EQ(line(script.GetNextLine()), "three");
  EXPECT_EQ(line(script.GetNextLine()), "<null>");
  EXPECT_EQ(line(script.GetNextLine()), "<null>");

  // A zero byte ends the line before it, then the reading: no endless empty
  // lines, nothing after it.
  Use(script, std::string("a\r\nb\0c\r\nd\r\n", 11));
  EXPECT_EQ(line(script.GetFirstLine()), "a");
  EXPECT_EQ(line(script.GetNextLine()), "b");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(line(script.GetNextLine()), "<null>");
  EXPECT_EQ(line(script.GetFirstLine()), "a");  // reading again starts over
  EXPECT_EQ(script.GetFirstTag("d"), "");
  Use(script, std::string("a\r\n\0b\r\n", 6));
  EXPECT_EQ(line(script.GetFirstLine()), "a");
  EXPECT_EQ(line(script.GetNextLine()), "<null>");  // no empty line at the zero byte
  Use(script, std::string("\0a\r\n", 4));
  EXPECT_EQ(line(script.GetFirstLine()), "<null>");

  // A line that does not fit the buffer is not returned.
  Use(script, std::string(CScriptBase::kLineBufferSize, 'x') + "\r\nshort\r\n");
  EXPECT_EQ(line(script.GetFirstLine()), "<null>");
  Use(script, std::string(CScriptBase::kLineBufferSize - 1, 'x') + "\r\n");
  EXPECT_EQ(line(script.GetFirstLine()).size(), static_cast<std::size_t>(CScriptBase::kLineBufferSize - 1));
}

TEST(CScriptBase, FailedLoadReleasesTheText) {
  CScriptBase script;
  Use(script, "<A>1</A>");
  EXPECT_FALSE(script.Load((testenv::MakeTempDir("tagged") + "/missing.txt").c_str()));
  EXPECT_EQ(script.GetBuffer(), nullptr);
  EXPECT_EQ(script.GetFirstTag("A"), "");
  EXPECT_FALSE(script.Copy(nullptr, 4));
  EXPECT_FALSE(script.Copy(U("x"), 0));
  const std::string path = testenv::MakeTempDir("tagged") + "/empty.txt";
  ASSERT_TRUE(testenv::WriteFile(path, ""));
  EXPECT_TRUE(script.Load(path.c_str()));
  EXPECT_EQ(script.GetFirstTag("A"), "");
}
