#include "pravex/support/PathNames.h"

#include "platform/os/MessageBox.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(PathNames, SplitPathAcceptsBothSeparatorsAndQuotes) {
  struct Case {
    const char* path;
    const char* dir;
    const char* name;
    const char* ext;
  } const cases[] = {
      {"/home/u/clip.cpt", "/home/u/", "clip", "cpt"},
      {"C:\\Caps\\clip.zeph", "C:\\Caps\\", "clip", "zeph"},
      {"\"/a b/c.d.cpt\"", "/a b/", "c.d", "cpt"},
      {"mixed\\sub/x.tvsf", "mixed\\sub/", "x", "tvsf"},
      {"dir.v2/readme", "dir.v2/", "readme", ""},
      {"noext", "", "noext", ""},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    std::string dir = "junk", name = "junk", ext = "junk";
    SplitPath(c.path, dir, name, ext);
    EXPECT_EQ(dir, c.dir) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
    EXPECT_EQ(ext, c.ext) << c.path;
    EXPECT_EQ(SplitGetPath(c.path), c.dir);
    EXPECT_EQ(SplitGetName(c.path), c.name);
    EXPECT_EQ(SplitGetExtension(c.path), c.ext);
  }
  EXPECT_EQ(SplitGetFullName("\"C:\\x\\Clip.cpt\""), "Clip.cpt");
  EXPECT_EQ(SplitGetPath(std::string(5000, 'a') + "/x.cpt"), "");
}

TEST(PathNames, ExtensionsComeFromTheFinalNameOnly) {
  struct Case {
    const char* path;
    const char* ext;
    const char* cleared;
    const char* filename;
  } const cases[] = {
      {"clip.cpt", "cpt", "clip", "clip"},
      {"/a.b/clip", "", "/a.b/clip", "clip"},
      {"C:\\x.y\\clip.tar.gz", "gz", "C:\\x.y\\clip.tar", "clip.tar"},
      {"name.", "", "name", "name"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetExtension(c.path), c.ext) << c.path;
    EXPECT_EQ(ClearExtension(c.path), c.cleared) << c.path;
    EXPECT_EQ(GetFilenameFromPath(c.path), c.filename) << c.path;
  }
  EXPECT_TRUE(TestExtension("/x/Clip.ZEPH", "zeph"));
  EXPECT_FALSE(TestExtension("/x.zeph/Clip", "zeph"));
  EXPECT_FALSE(TestExtension("", ""));
}

TEST(PathNames, CheckExtensionGivesThePositionInTheList) {
  EXPECT_EQ(CheckExtension("CPT", "zeph,cpt"), 2);
  EXPECT_EQ(CheckExtension("avi", "zeph,cpt"), 0);
  EXPECT_EQ(CheckExtension("zePH", "zeph,cpt"), 1);
  EXPECT_EQ(CheckExtension("cpt", "zeph, cpt"), 2);
  EXPECT_EQ(CheckExtension("", "zeph,,cpt"), 0);
  EXPECT_EQ(CheckExtension("\xC3\xA9t", "x,\xC3\xA9T"), 2);  // multi-byte text is compared bytewise

  std::vector<std::string> list{"stale"};
  EXPECT_EQ(CreateExtensionList(list, "zeph, cpt,,tvsf", 2), 2);
  EXPECT_EQ(list, (std::vector<std::string>{"zeph", "cpt"}));
  EXPECT_TRUE(ValidExtension(list, "CPT", 2));
  EXPECT_FALSE(ValidExtension(list, "cpt", 1));
  EXPECT_TRUE(ValidExtension(list, "cpt", 99));  // the count is clamped to the list
  EXPECT_FALSE(ValidExtension(list, "zeph", -1));
  EXPECT_EQ(CreateExtensionList(list, "a,b", 0), 0);
  EXPECT_TRUE(list.empty());
}

TEST(PathNames, AppendSlashAndGoodFilenames) {
  struct Case {
    const char* in;
    const char* out;
  } const slashes[] = {
      {"/a/b/", "/a/b/"}, {"/a/b  \t", "/a/b/"}, {"C:\\x\\", "C:\\x\\"}, {"rel", "rel/"}, {"", ""}, {"   ", ""},
  };
  for (const Case& c : slashes) {
    std::string s = c.in;
    AppendSlash(s);
    EXPECT_EQ(s, c.out) << '"' << c.in << '"';
  }
  EXPECT_EQ(GetGoodFilename("a:b?c"), "a_b_c");
  EXPECT_EQ(GetGoodFilename("  x\"#%*/:;<>?\\|=y \r\n"), "x____________=y");
  EXPECT_EQ(GetGoodFilename(std::string(5000, 'n')), "");
}

TEST(PathNames, GoodFilenameAsksBeforeChangingTheName) {
  std::vector<std::string> asked;
  int answer = IDYES;
  CScopedMessageBoxHook hook([&](const std::string& text, const std::string&, unsigned flags) {
    asked.push_back(text);
    EXPECT_EQ(flags & MB_TYPEMASK, MB_YESNO);
    return answer;
  });
  EXPECT_EQ(GoodFilename("a:b"), "a_b");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "The name entered contains invalid characters.\r\nWould you like to use \"a_b\" instead.");
  answer = IDNO;
  EXPECT_EQ(GoodFilename("a|b"), "");
  EXPECT_EQ(GoodFilename("plain"), "plain");
  EXPECT_EQ(asked.size(), 2u);  // a good name needs no question
}

TEST(PathNames, AbbreviatePathNameKeepsTheEndsOfLongPaths) {
  const std::string unix = "/home/user/Videos/Captures/2024/session/clip_0001.cpt";
  EXPECT_EQ(AbbreviatePathName(unix, 200), unix);
  EXPECT_EQ(AbbreviatePathName(unix, 40), "/home/.../2024/session/clip_0001.cpt");
  EXPECT_EQ(AbbreviatePathName("\\\\server\\share\\projects\\2024\\march\\clip.cpt", 30),
            "\\\\server\\share\\...\\clip.cpt");
  EXPECT_EQ(AbbreviatePathName("C:\\Program Files\\Kalvo\\Captures\\Project\\clip.cpt", 30),
            "C:\\Program Files\\...\\clip.cpt");
  const std::string longName(50, 'n');
  EXPECT_EQ(AbbreviatePathName("/x/" + longName, 30), "/x/..." + std::string(20, 'n') + "...");
  // Whatever the limit, the result fits it (from the smallest useful one up).
  for (const std::string& path : {unix, "/" + longName, "/a/b/" + std::string(25, 'f') + ".cpt",
                                  std::string("relative/folder/deeper/still/name.cpt")}) {
    for (int limit = 10; limit < 70; ++limit) {
      EXPECT_LE(AbbreviatePathName(path, limit).size(), static_cast<std::size_t>(limit)) << path << " " << limit;
    }
  }
  // A cut never splits a multi-byte character ("\xC3\xA9" is one character).
  EXPECT_EQ(AbbreviatePathName("\xC3\xA9\xC3\xA9/" + std::string(10, 'n') + "\xC3\xA9" + std::string(20, 'x'), 21),
            "\xC3\xA9..." + std::string(10, 'n') + "...");
  EXPECT_EQ(AbbreviatePathName(std::string(5000, 'a'), 40), "");
  EXPECT_NO_FATAL_FAILURE(AbbreviatePathName(unix, -5));
}

TEST(PathNames, LongPathIsTheCanonicalPathWhenTheFileExists) {
  const std::string dir = std::filesystem::canonical(testenv::MakeTempDir("long")).string();
  std::filesystem::create_directories(dir + "/real");
  ASSERT_TRUE(testenv::WriteFile(dir + "/real/f.cpt", ""));
  std::filesystem::create_directory_symlink(dir + "/real", dir + "/short");
  std::string out;
  EXPECT_TRUE(ShortToLongPath(dir + "/short/../short/f.cpt", out));
  EXPECT_EQ(out, dir + "/real/f.cpt");
  EXPECT_FALSE(ShortToLongPath(dir + "/short/missing.cpt", out));
  EXPECT_EQ(out, dir + "/short/missing.cpt");
  EXPECT_FALSE(ShortToLongPath("", out));
  EXPECT_EQ(out, "");
  std::string path = dir + "/short/f.cpt";
  EXPECT_TRUE(GetGoodPathName(path));
  EXPECT_EQ(path, dir + "/real/f.cpt");
}
