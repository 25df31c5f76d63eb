#include <gtest/gtest.h>

#include "platform/ui/MessageBox.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

TEST(MessageBox, HookReadsTheBoxAndAnswersHeadlessFallsBackToTheFirstButton) {
  std::string seenText, seenCaption;
  UINT seenType = 0;
  ui::SetMessageBoxHook([&](const std::string& text, const std::string& caption, UINT type) {
    seenText = text;
    seenCaption = caption;
    seenType = type;
    return IDNO;
  });
  EXPECT_EQ(MessageBox(nullptr, "Replace it?", "Olvane", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seenText, "Replace it?");
  EXPECT_EQ(seenCaption, "Olvane");
  EXPECT_EQ(seenType, MB_YESNO | MB_ICONQUESTION);
  ui::SetMessageBoxHook(nullptr);
  // Headless (dummy video): printed, never blocking, answered with the first button.
  EXPECT_EQ(MessageBox(nullptr, "text", "caption", MB_YESNO), IDYES);
  EXPECT_EQ(AfxMessageBox("done"), IDOK);
}

}  // namespace
