#include <gtest/gtest.h>

#include "platform/ui/MessageBox.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

TEST(MessageBox, WindowBoxesReachThePlatformBoxAndItsHook) {
  CRecordingWnd owner;
  ASSERT_TRUE(owner.CreateTop(0, 0, 10, 10));
  std::string seenText, seenCaption;
  unsigned seenType = 0;
  {
    CScopedMessageBoxHook hook([&](const std::string& text, const std::string& caption, unsigned type) {
      seenText = text;
      seenCaption = caption;
      seenType = type;
      return IDNO;
    });
    EXPECT_EQ(MessageBox(owner.m_hWnd, "Replace it?", "Olvane", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(seenText, "Replace it?");
    EXPECT_EQ(seenCaption, "Olvane");
    EXPECT_EQ(seenType, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(AfxMessageBox(nullptr), IDNO);
    EXPECT_EQ(seenText, "");
  }
  // Headless without a hook: never blocks, answers with the default button.
  EXPECT_EQ(MessageBox(owner.m_hWnd, "text", "caption", MB_YESNO), IDYES);
}

}  // namespace
