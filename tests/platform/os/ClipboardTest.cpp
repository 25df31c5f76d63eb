// The clipboard in one process (open, empty, put, read, the rules on who may
// do what), and under Xvfb with other X clients: xclip reading our pictures
// as image/png and image/bmp (small ones whole, large ones in pieces), and us
// reading a picture xclip put there.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/Clipboard.h"
#include "platform/os/PackedDib.h"
#include "tests/common/DesktopSession.h"
#include "tests/common/TestEnvironment.h"

namespace {

// A 3 x 2 packed 24-bit picture, written out by hand: bottom row first,
// blue-green-red bytes, rows padded to 12 bytes.
std::vector<std::uint8_t> ThreeByTwoDib() {
  std::vector<std::uint8_t> b(40 + 24, 0);
  const std::uint32_t header[] = {40, 3, 2};
  std::memcpy(b.data(), header, sizeof header);
  b[12] = 1;                                                                              // planes
  b[14] = 24;                                                                             // bits
  const std::uint8_t bottom[9] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00};  // red, green, blue
  const std::uint8_t top[9] = {0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x03};
  std::memcpy(b.data() + 40, bottom, 9);
  std::memcpy(b.data() + 52, top, 9);
  return b;
}
// The same picture as top-down 0x00RRGGBB pixels.
const std::vector<std::uint32_t> kThreeByTwoPixels = {0x302010, 0xFFFFFF, 0x030201, 0xFF0000, 0x00FF00, 0x0000FF};

HGLOBAL BlockOf(const std::vector<std::uint8_t>& bytes) {
  HGLOBAL block = GlobalAlloc(GHND, bytes.size());
  void* p = GlobalLock(block);
  std::memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<std::uint8_t> BytesOf(HGLOBAL block) {
  const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
  std::vector<std::uint8_t> out(p, p + GlobalSize(block));
  GlobalUnlock(block);
  return out;
}

bool PutPicture(const std::vector<std::uint8_t>& dib) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL block = BlockOf(dib);
  const bool ok = SetClipboardData(CF_DIB, block) == block;
  if (!ok) GlobalFree(block);
  CloseClipboard();
  return ok;
}

TEST(Clipboard, APictureReadsBackIdenticallyAndEmptyingRemovesIt) {
  const std::vector<std::uint8_t> dib = ThreeByTwoDib();
  ASSERT_TRUE(PutPicture(dib));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));

  ASSERT_TRUE(OpenClipboard(nullptr));
  HGLOBAL got = GetClipboardData(CF_DIB);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(BytesOf(got), dib);
  os::CRgbPicture picture;
  ASSERT_TRUE(os::ReadPackedDib(BytesOf(got).data(), GlobalSize(got), picture));
  EXPECT_EQ(picture.width, 3);
  EXPECT_EQ(picture.height, 2);
  EXPECT_EQ(picture.pixels, kThreeByTwoPixels);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);

  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardData(CF_DIB), nullptr);
  EXPECT_EQ(GlobalSize(got), 0u) << "emptying frees the clipboard's blocks";
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
}

TEST(Clipboard, OnlyTheOpeningThreadMayUseItAndBadDataStaysTheCallers) {
  HGLOBAL block = BlockOf(ThreeByTwoDib());
  EXPECT_EQ(SetClipboardData(CF_DIB, block), nullptr) << "not open";
  EXPECT_FALSE(CloseClipboard());
  EXPECT_FALSE(EmptyClipboard());

  ASSERT_TRUE(OpenClipboard(nullptr));
  BOOL otherOpened = TRUE, otherClosed = TRUE;
  HGLOBAL otherGot = block;
  std::thread other([&] {
    otherOpened = OpenClipboard(nullptr);
    otherClosed = CloseClipboard();
    otherGot = GetClipboardData(CF_DIB);
  });
  other.join();
  EXPECT_FALSE(otherOpened);
  EXPECT_FALSE(otherClosed);
  EXPECT_EQ(otherGot, nullptr);

  // Pictures that cannot be read are refused, and the block stays live.
  std::vector<std::uint8_t> truncated = ThreeByTwoDib();
  truncated.resize(truncated.size() - 1);
  std::vector<std::uint8_t> lying = ThreeByTwoDib();
  lying[8] = 200;  // claims 200 rows
  std::vector<std::uint8_t> rle = ThreeByTwoDib();
  rle[16] = 1;
  for (const auto& bad : {truncated, lying, rle}) {
    HGLOBAL b = BlockOf(bad);
    EXPECT_EQ(SetClipboardData(CF_DIB, b), nullptr);
    EXPECT_EQ(GlobalSize(b), bad.size());
    EXPECT_EQ(GlobalFree(b), nullptr);
  }
  EXPECT_EQ(SetClipboardData(CF_DIB, nullptr), nullptr);
  EXPECT_EQ(SetClipboardData(CF_DIB, block), block);
  // A second block of the same format replaces (and frees) the first.
  HGLOBAL second = BlockOf(ThreeByTwoDib());
  EXPECT_EQ(SetClipboardData(CF_DIB, second), second);
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GetClipboardData(CF_DIB), second);
  EXPECT_TRUE(CloseClipboard());
}

TEST(GlobalMemory, StaleHandlesFailInsteadOfCorrupting) {
  EXPECT_EQ(GlobalAlloc(GHND, 0), nullptr);
  HGLOBAL block = GlobalAlloc(GHND, 16);
  ASSERT_NE(block, nullptr);
  const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::vector<std::uint8_t>(p, p + 16), std::vector<std::uint8_t>(16, 0));
  EXPECT_FALSE(GlobalUnlock(block));  // no longer locked
  EXPECT_FALSE(GlobalUnlock(block));  // was not locked
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
}

// ---------------------------------------------------------------- under Xvfb

TEST(ClipboardOnTheDesktop, OtherClientsReadAndWritePictures) {
  if (!testenv::HaveProgram("xvfb-run") || !testenv::HaveProgram("xclip"))
    GTEST_SKIP() << "xvfb-run and xclip are needed (scripts/setup-deps installs them)";
  std::string log;
  const int status = testenv::RunSelfUnderXvfb("ClipboardXvfb.*", log);
  EXPECT_EQ(status, 0) << log;
  EXPECT_TRUE(testenv::AllPassed(log)) << log;
}

class ClipboardXvfb : public testing::Test {
 protected:
  void SetUp() override {
    if (!testenv::InXvfbSession()) GTEST_SKIP() << "runs only under Xvfb, started by ClipboardOnTheDesktop";
  }
  // What xclip reads from the clipboard as `target`.
  static std::string XclipOut(const std::string& target) {
    std::string out;
    const int status = testenv::RunCapture("xclip -selection clipboard -t " + target + " -o", out);
    EXPECT_EQ(status, 0) << target;
    return out;
  }
};

TEST_F(ClipboardXvfb, XclipGetsOurSmallPictureAsPngAndBmp) {
  ASSERT_TRUE(PutPicture(ThreeByTwoDib()));
  const std::string targets = XclipOut("TARGETS");
  EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
  EXPECT_NE(targets.find("image/bmp"), std::string::npos) << targets;

  const std::string png = XclipOut("image/png");
  os::CRgbPicture picture;
  ASSERT_TRUE(os::ReadPngData(png.data(), png.size(), picture));
  EXPECT_EQ(picture.width, 3);
  EXPECT_EQ(picture.height, 2);
  EXPECT_EQ(picture.pixels, kThreeByTwoPixels);

  const std::string bmp = XclipOut("image/bmp");
  os::CRgbPicture fromBmp;
  ASSERT_TRUE(os::ReadBmpFile(bmp.data(), bmp.size(), fromBmp));
  EXPECT_EQ(fromBmp.pixels, kThreeByTwoPixels);

  // Still ours, so reading it here gives our own data back.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HGLOBAL got = GetClipboardData(CF_DIB);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(BytesOf(got), ThreeByTwoDib());
  CloseClipboard();
}

TEST_F(ClipboardXvfb, ALargePictureArrivesWholeThroughIncrementalTransfer) {
  // Noise does not compress, so the PNG is far larger than one X request.
  os::CRgbPicture noise;
  noise.width = 640;
  noise.height = 480;
  std::mt19937 random(7);
  for (int i = 0; i < noise.width * noise.height; ++i) noise.pixels.push_back(random() & 0xFFFFFF);
  ASSERT_TRUE(PutPicture(os::WritePackedDib24(noise)));
  for (const char* target : {"image/png", "image/bmp"}) {
    const std::string data = XclipOut(target);
    EXPECT_GT(data.size(), 640u * 480u * 3u);
    os::CRgbPicture got;
    ASSERT_TRUE(std::string(target) == "image/png" ? os::ReadPngData(data.data(), data.size(), got)
                                                   : os::ReadBmpFile(data.data(), data.size(), got))
        << target;
    EXPECT_EQ(got.width, noise.width);
    EXPECT_EQ(got.height, noise.height);
    EXPECT_TRUE(got.pixels == noise.pixels) << target;
  }
}

TEST_F(ClipboardXvfb, APictureAnotherClientCopiedIsReadAndReplacesOurs) {
  ASSERT_TRUE(PutPicture(ThreeByTwoDib()));
  os::CRgbPicture theirs;
  theirs.width = 4;
  theirs.height = 3;
  for (int i = 0; i < 12; ++i) theirs.pixels.push_back(0x010203u * static_cast<std::uint32_t>(i + 1));
  const std::string file = testenv::MakeTempDir("clip") + "/theirs.png";
  const std::vector<std::uint8_t> png = os::WritePngData(theirs);
  ASSERT_TRUE(testenv::WriteFile(file, std::string(png.begin(), png.end())));
  std::string ignored;
  // xclip stays in the background serving the selection until someone takes it.
  ASSERT_EQ(testenv::RunCapture("xclip -selection clipboard -t image/png -i '" + file + "' >/dev/null 2>&1", ignored),
            0);
  // xclip takes the selection from its background process, so the picture
  // may still be ours for a moment.
  std::vector<std::uint32_t> read;
  for (int i = 0; i < 100 && read != theirs.pixels; ++i) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL got = GetClipboardData(CF_DIB);
    os::CRgbPicture picture;
    if (got && os::ReadPackedDib(BytesOf(got).data(), GlobalSize(got), picture)) read = picture.pixels;
    CloseClipboard();
    if (read != theirs.pixels) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(read, theirs.pixels);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
}

}  // namespace
