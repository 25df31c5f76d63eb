// The extractor's own 24-bit picture, brought up to date from what changed,
// must equal a whole frame composed and converted afresh at every tick.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderFrames.h"
#include "tests/common/TestEnvironment.h"

namespace {

void ExpectSameAsWholeFrames(const std::string& capture, unsigned fps, unsigned long from) {
  CRenderFrames whole, changed;
  for (CRenderFrames* f : {&whole, &changed}) {
    f->GetRenderVars()->SetCursorDisplay(2);  // with click indicators
    ASSERT_EQ(f->Open(capture.c_str(), fps), 1);
    ASSERT_EQ(f->Start(from), 1);
  }
  std::vector<BYTE> frame;
  BITMAPINFOHEADER header{};
  int count = 0, skipped = 0;
  ExtractedPicture picture;
  while (changed.GetPicture(picture)) {
    header.biSize = sizeof(header);
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(DibStride(picture.width, 24) * picture.height);
    frame.assign(header.biSizeImage, 0x55);
    ASSERT_EQ(whole.GetFrame(frame.data(), &header, CRect(0, 0, picture.width, picture.height)), 1) << count;
    ASSERT_EQ(picture.stride, DibStride(picture.width, 24));
    for (int y = 0; y < picture.height; ++y) {
      const std::size_t at = static_cast<std::size_t>(y) * picture.stride;
      ASSERT_EQ(0, std::memcmp(frame.data() + at, picture.pixels + at, picture.width * 3u))
          << "frame " << count << " row " << y << " changed " << picture.changed.left << "," << picture.changed.top
          << "-" << picture.changed.right << "," << picture.changed.bottom;
    }
    skipped += picture.changed.IsRectEmpty();
    ++count;
  }
  EXPECT_EQ(whole.GetFrame(frame.data(), &header, CRect(0, 0, 1, 1)), 0);
  EXPECT_GT(count, 10);
  // The demo session changes something at most ticks but not all.
  EXPECT_LT(skipped, count);
}

}  // namespace

TEST(ExtractPicture, FollowsEveryChangeOfEveryDemoCapture) {
  const std::string demo = testenv::BinDir() + "/demo";
  int seen = 0;
  for (const char* name : {"desktop-640x400-16bit", "desktop-800x600-24bit", "desktop-320x240-8bit"}) {
    SCOPED_TRACE(name);
    const std::string capture = demo + "/" + name + ".zeph";
    struct stat st {};
    if (stat(capture.c_str(), &st) != 0) continue;
    ++seen;
    ExpectSameAsWholeFrames(capture, 10, 0);
    ExpectSameAsWholeFrames(capture, 7, 1234);  // starting later, another rate
  }
  EXPECT_EQ(seen, 3);
}
