// The replay benchmark's frame timing: delays from record to display.
#include <gtest/gtest.h>

#include "olvane/FrameTrace.h"
#include "tests/common/TestEnvironment.h"

TEST(FrameTrace, DelaysRunFromRecordTimeToTheDisplayAndSurviveSeeksBack) {
  const std::string path = testenv::MakeTempDir() + "/trace.txt";
  {
    CFrameTrace trace(path);
    trace.OnPresented(50);  // nothing applied yet: no picture, no delay
    trace.OnScreenRecord(0);
    trace.OnScreenRecord(0);
    trace.OnPresented(300);  // the first picture: start-up, not a replay delay
    trace.OnScreenRecord(1000);
    trace.OnScreenRecord(1100);
    trace.OnPresented(1120);  // both shown together: 120 and 20 ms
    trace.OnScreenRecord(5000);
    trace.OnPresented(400);  // a seek back: not a delay
    trace.OnScreenRecord(1200);
    trace.OnPresented(1210);
  }
  const std::string text = testenv::ReadFile(path);
  EXPECT_NE(text.find("pictures 3\n"), std::string::npos) << text;
  EXPECT_NE(text.find("record_to_screen_mean_ms 50.0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("record_to_screen_max_ms 120\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("first_picture_unix_ns 0\n"), std::string::npos) << text;
}
