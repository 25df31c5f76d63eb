// The screen-picture times of a capture, as a step of one picture and "the
// last picture" use them.
#include <gtest/gtest.h>

#include <vector>

#include "pravex/capture/CaptureBlock.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/ScreenTimes.h"
#include "tests/common/TestEnvironment.h"
#include "tests/pravex/capture/CaptureTestUtil.h"

namespace {

// Pictures at 0, 40, 120 and 500 ms with a camera block between them, so
// records of other streams lie among the pictures.
std::string WriteMixedCapture(const std::string& dir) {
  const std::string path = dir + "/mixed.zeph";
  CCaptureFileWriter writer;
  EXPECT_TRUE(writer.Create(path));
  writer.AddStream(capture::kStreamScreen, 16, 8);
  writer.AddStream(capture::kStreamVideo, 16, 8);
  const DWORD times[] = {0, 40, 120, 500};
  for (int i = 0; i < 4; ++i) {
    const auto picture = capturetest::DesktopPicture(16, 8, 16, i);
    EXPECT_TRUE(writer.AddScreenPicture(times[i], picture.data(), 16, 8, 16, i == 0));
    if (i == 1) {
      auto* block = new CCaptureBlock(capture::kRecordBlock, capture::kStreamVideo);
      block->SetTime(60);
      const BYTE bytes[3] = {1, 2, 3};
      block->SetDataCopy(bytes, 3);
      EXPECT_TRUE(writer.WriteRecord(*block));
      block->Release();
    }
  }
  EXPECT_TRUE(writer.Finish());
  return path;
}

std::int64_t DataStart(const std::string& path) {
  CCaptureFileReader reader;
  EXPECT_TRUE(reader.Open(path));
  return reader.GetDataStart();
}

}  // namespace

TEST(CScreenTimes, ListsThePicturesAndStepsBetweenThem) {
  const std::string path = WriteMixedCapture(testenv::MakeTempDir("times"));
  CScreenTimes times;
  ASSERT_TRUE(times.Scan(path, DataStart(path)));
  EXPECT_EQ(times.Times(), (std::vector<DWORD>{0, 40, 120, 500}));
  EXPECT_EQ(times.Last(), 500u);
  // Forward: the first picture after the time.
  EXPECT_EQ(times.Next(0), 40u);
  EXPECT_EQ(times.Next(41), 120u);
  EXPECT_EQ(times.Next(500), 500u);
  // Back: the picture before the one shown (the last at or before the time).
  EXPECT_EQ(times.Previous(120), 40u);
  EXPECT_EQ(times.Previous(130), 40u);
  EXPECT_EQ(times.Previous(40), 0u);
  EXPECT_EQ(times.Previous(0), 0u);
  EXPECT_EQ(times.Previous(9000), 120u);
}

TEST(CScreenTimes, ABrokenFrameKeepsWhatCameBefore) {
  const std::string dir = testenv::MakeTempDir("times");
  const std::string path = WriteMixedCapture(dir);
  const std::int64_t start = DataStart(path);
  // Cut in the middle of the third picture: the walk ends at its frame.
  std::vector<BYTE> bytes = capturetest::ReadBytes(path);
  CScreenTimes full;
  ASSERT_TRUE(full.Scan(path, start));
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  ASSERT_TRUE(reader.GetSource().SeekTo(start));
  for (int i = 0; i < 3; ++i) reader.GetSource().ReadRecord(true)->Release();  // 0, 40, the block
  const std::int64_t third = reader.GetSource().Tell();
  reader.Close();
  bytes.resize(static_cast<std::size_t>(third) + 20);
  const std::string cut = dir + "/cut.zeph";
  capturetest::WriteBytes(cut, bytes);
  CScreenTimes times;
  ASSERT_TRUE(times.Scan(cut, start));
  EXPECT_EQ(times.Times(), (std::vector<DWORD>{0, 40}));
  // A record whose length runs past the end of the file ends it too.
  bytes = capturetest::ReadBytes(path);
  capturetest::PutLE32At(bytes, static_cast<std::size_t>(third) + 8 + 18, 0x7FFFFFFF);
  capturetest::WriteBytes(cut, bytes);
  ASSERT_TRUE(times.Scan(cut, start));
  EXPECT_EQ(times.Times(), (std::vector<DWORD>{0, 40}));
  EXPECT_FALSE(times.Scan(dir + "/missing.zeph", 0));
  EXPECT_TRUE(times.IsEmpty());
}
