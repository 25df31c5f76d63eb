#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Shown {
  std::string text;
  std::string caption;
  unsigned flags;
};

}  // namespace

TEST(MessageBox, HookSeesTextAndChoosesAnswerAndScopesNest) {
  std::vector<Shown> shown;
  {
    CScopedMessageBoxHook outer([&](const std::string& text, const std::string& caption, unsigned flags) {
      shown.push_back({text, caption, flags});
      return IDNO;
    });
    EXPECT_EQ(MessageBox("Delete it?", "Title", MB_YESNO | MB_ICONQUESTION), IDNO);
    {
      CScopedMessageBoxHook inner([](const std::string&, const std::string&, unsigned) { return IDRETRY; });
      EXPECT_EQ(MessageBox("again", "", MB_RETRYCANCEL), IDRETRY);
    }
    // The inner hook is gone again: the outer one answers.
    EXPECT_EQ(MessageBox("second", "", MB_OK), IDNO);
  }
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Delete it?");
  EXPECT_EQ(shown[0].caption, "Title");
  EXPECT_EQ(shown[0].flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(shown[1].text, "second");
  // No hook is left behind.
  EXPECT_FALSE(SetMessageBoxHook(nullptr));
}

TEST(MessageBox, WithoutDisplayPrintsAndGivesTheDefaultButton) {
  struct Case {
    unsigned flags;
    int answer;
  } const cases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL | MB_ICONWARNING, IDRETRY},
      {MB_OKCANCEL | MB_DEFBUTTON3, IDOK},  // no third button: the first one
  };
  // Even with a display named, the dummy video driver must never open a box.
  const char* oldDisplay = std::getenv("DISPLAY");
  const std::string saved = oldDisplay ? oldDisplay : "";
  setenv("DISPLAY", ":97", 1);
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Line one\r\nLine two", "Cap", c.flags), c.answer) << c.flags;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("[Cap] Line one\nLine two"), std::string::npos) << err;
    EXPECT_EQ(DefaultMessageBoxAnswer(c.flags), c.answer);
  }
  if (oldDisplay) {
    setenv("DISPLAY", saved.c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
}

TEST(MessageBox, EmptyCaptionShowsTheProgramName) {
  testing::internal::CaptureStderr();
  MessageBox("hello", "", MB_OK);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("[test_platform] hello"), std::string::npos);
}
