// Skin bitmaps written by the project's writer: loading at every depth and
// storage form, hit testing with masks, looks, tooltips, and refusal of
// damaged files with the status that says why.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gfx/DC.h"
#include "sintra/widgets/HotBitmap.h"
#include "sintra/widgets/HotBitmapWriter.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

constexpr COLORREF kBack = RGB(40, 60, 200);
constexpr COLORREF kHot = RGB(255, 0, 0);
constexpr COLORREF kChecked = RGB(0, 255, 0);
constexpr COLORREF kPressed = RGB(255, 255, 0);
constexpr COLORREF kNormal = RGB(255, 255, 255);

// A 13 x 9 picture (odd width, so rows need padding) with three spots:
// 0 a round check box with hot and checked images, 1 an inactive spot,
// 2 a button overlapping spot 0's corner, with hot and pressed images.
CHotBitmapWriter MakeSkin(int bits) {
  CHotBitmapWriter w(13, 9, bits);
  w.FillRect(CRect(0, 0, 13, 9), kBack);
  w.SetPixel(12, 0, RGB(255, 255, 255));  // marks the top-right corner
  CHotSpot round;
  round.rect = CRect(1, 1, 9, 9);
  round.mask = CHotBitmapWriter::EllipseMask(round.rect);
  round.kind = kHotSpotCheckBox;
  round.tooltip = "Round";
  round.images[kLookHot] = w.SolidImage(round.rect, kHot);
  round.images[kLookChecked] = w.SolidImage(round.rect, kChecked);
  w.AddSpot(round);
  CHotSpot off;
  off.rect = CRect(10, 1, 12, 3);
  off.value = -1;
  off.tooltip = "Off";
  w.AddSpot(off);
  CHotSpot button;
  button.rect = CRect(0, 0, 4, 4);
  button.tooltip = "Corner";
  button.images[kLookNormal] = w.SolidImage(button.rect, kNormal);
  button.images[kLookHot] = w.SolidImage(button.rect, kHot);
  button.images[kLookPressed] = w.SolidImage(button.rect, kPressed);
  w.AddSpot(button);
  return w;
}

// The buffer's pixel at a top-down point as the writer's pixel value.
std::uint32_t BufferPixel(const CHotBitmap& hb, int x, int y) {
  const int bpp = hb.GetBits() / 8;
  const BYTE* p = hb.GetBackBuffer() + static_cast<std::size_t>(hb.GetHeight() - 1 - y) * hb.GetStride() + x * bpp;
  std::uint32_t v = 0;
  for (int i = 0; i < bpp; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return v;
}

struct TempDir {
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("hotbitmap-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  TempDir() { std::filesystem::create_directories(path); }
  ~TempDir() { std::filesystem::remove_all(path); }
};

}  // namespace

TEST(HotBitmapFile, LoadsEveryDepthAndStorageFormFromDisk) {
  TempDir dir;
  for (int bits : {8, 16, 24}) {
    for (int form = 0; form < 4; ++form) {
      SCOPED_TRACE("bits " + std::to_string(bits) + " form " + std::to_string(form));
      CHotBitmapWriter w = MakeSkin(bits);
      w.SetCompressed(form & 1);
      w.SetPaddedRows(form & 2);
      // The window base asks for "b##name.hpc"; the depth goes into the name.
      const std::string file = CHotBitmap::DepthFileName("b##skin.hpc", bits);
      ASSERT_TRUE(w.WriteFile((dir.path / file).string()));
      CHotBitmap hb;
      ASSERT_EQ(hb.Initialise(nullptr, 13, 9, bits), 1);
      ASSERT_EQ(hb.LoadBitmapFile(dir.path.c_str(), "b##skin.hpc", 0), 1);
      EXPECT_EQ(hb.GetStatus(), 0);
      EXPECT_FALSE(hb.HasForeignMarker());
      ASSERT_EQ(hb.HotSpotCount(), 3);
      EXPECT_EQ(hb.GetSpot(0)->tooltip, "Round");
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(BufferPixel(hb, x, y), w.GetPixelValue(x, y)) << x << "," << y;
      EXPECT_EQ(BufferPixel(hb, 12, 0), w.PixelOf(RGB(255, 255, 255)));
    }
  }
  EXPECT_EQ(CHotBitmap::DepthFileName("b##skin.hpc", 16), "b16skin.hpc");
  EXPECT_EQ(CHotBitmap::DepthFileName("b##skin.hpc", 8), "b8#skin.hpc");
}

TEST(HotBitmapFile, PictureOnlyFilesAndForeignMarkers) {
  CHotBitmapWriter w = MakeSkin(24);
  w.SetPictureOnly(true);
  w.SetMarker(7);
  const auto bytes = w.Build();
  CHotBitmap hb;
  ASSERT_EQ(hb.Initialise(nullptr, 13, 9, 24), 1);
  ASSERT_EQ(hb.LoadFromMemory(bytes.data(), bytes.size()), 1);
  EXPECT_EQ(hb.HotSpotCount(), 0);
  EXPECT_TRUE(hb.HasForeignMarker());
  EXPECT_EQ(BufferPixel(hb, 5, 5), w.PixelOf(kBack));
}

TEST(HotBitmapFile, DamagedFilesAreRefusedWithTheirStatusAndChangeNothing) {
  CHotBitmapWriter good = MakeSkin(24);
  good.SetCompressed(true);
  const auto bytes = good.Build();
  CHotBitmap hb;
  ASSERT_EQ(hb.Initialise(nullptr, 13, 9, 24), 1);
  ASSERT_EQ(hb.LoadFromMemory(bytes.data(), bytes.size()), 1);

  auto expectRefused = [&](std::vector<BYTE> data, int status, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(hb.LoadFromMemory(data.data(), data.size()), 0);
    EXPECT_EQ(hb.GetStatus(), status);
    EXPECT_EQ(hb.HotSpotCount(), 3);  // the last good load stays
  };
  // Every truncation fails: in the header (3), in the pixels (1), in the spots (3).
  for (std::size_t cut = 0; cut < bytes.size(); cut += 7) {
    const int status = cut < CHotBitmap::kHeaderSize ? 3 : cut < 170 + 20 ? 1 : -1;
    std::vector<BYTE> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(hb.LoadFromMemory(part.data(), part.size()), 0) << cut;
    if (status > 0) {
      EXPECT_EQ(hb.GetStatus(), status) << cut;
    }
  }
  auto patch32 = [&](std::size_t at, std::uint32_t v) {
    auto d = bytes;
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<BYTE>(v >> (8 * i));
    return d;
  };
  expectRefused(patch32(2, 6), 3, "version");
  expectRefused(patch32(6, 20000), 3, "oversized width");
  expectRefused(patch32(6, 0xFFFFFFFF), 3, "huge width");
  expectRefused(patch32(6, 12), 1, "other width");
  auto depth = bytes;
  depth[34] = 32;
  expectRefused(depth, 3, "unknown depth");
  depth[34] = 16;
  expectRefused(depth, 1, "other depth");
  expectRefused(patch32(18, 0x7FFFFFFF), 1, "pixel size beyond the buffer");
  expectRefused(patch32(166, 0xFFFFFFF0), 1, "compressed block beyond the file");
  expectRefused(patch32(170, 13 * 9 * 3 + 1), 1, "inflated size differs");
  auto zlib = bytes;
  zlib[176] ^= 0xFF;
  expectRefused(zlib, 1, "broken zlib stream");
  // The first spot record starts right after the compressed block.
  const std::size_t spot = 170 + (bytes[166] | bytes[167] << 8);
  expectRefused(patch32(spot, 0xFFFFFFFF), 3, "record size");
  expectRefused(patch32(spot + 12, 14), 3, "spot outside the picture");
  expectRefused(patch32(spot + 32, 3), 3, "mask size");
  auto count = bytes;
  count[40] = 200;
  expectRefused(count, 3, "more spots than records");

  CHotBitmap small;
  ASSERT_EQ(small.Initialise(nullptr, 13, 9, 16), 1);
  EXPECT_EQ(small.LoadBitmapFile("/nonexistent", "b##skin.hpc", 0), 0);
  EXPECT_EQ(small.GetStatus(), 2);
  EXPECT_EQ(small.LoadBitmapFile("/tmp", "bx", 0), 0);  // too short to take "16"
  EXPECT_EQ(small.GetStatus(), 2);
  EXPECT_EQ(small.Initialise(nullptr, 16385, 1, 24), 0);
  EXPECT_EQ(small.Initialise(nullptr, 4, 4, 32), 0);
}

TEST(HotBitmapSpots, MasksOrderAndInactiveSpotsDecideTheHit) {
  const auto bytes = MakeSkin(16).Build();
  CHotBitmap hb;
  ASSERT_EQ(hb.Initialise(nullptr, 13, 9, 16), 1);
  ASSERT_EQ(hb.LoadFromMemory(bytes.data(), bytes.size()), 1);
  EXPECT_EQ(hb.TestSpot(CPoint(5, 5), 0), 0);    // inside the circle
  EXPECT_EQ(hb.TestSpot(CPoint(8, 8), 0), -1);   // corner of the rectangle, mask bit 1
  EXPECT_EQ(hb.TestSpot(CPoint(1, 1), 0), 2);    // masked out of spot 0, so spot 2 takes it
  EXPECT_EQ(hb.TestSpot(CPoint(3, 3), 0), 0);    // both contain it: the first in the list wins
  EXPECT_EQ(hb.TestSpot(CPoint(10, 1), 0), -1);  // inactive
  EXPECT_EQ(hb.TestSpot(CPoint(12, 8), 0), -1);
}

TEST(HotBitmapSpots, LooksFollowTheMouseAndTheCheckState) {
  CHotBitmapWriter w = MakeSkin(24);
  const auto bytes = w.Build();
  CHotBitmap hb;
  ASSERT_EQ(hb.Initialise(nullptr, 13, 9, 24), 1);
  ASSERT_EQ(hb.LoadFromMemory(bytes.data(), bytes.size()), 1);
  hb.SetUpDisplay();
  const CPoint centre(5, 5);
  EXPECT_EQ(BufferPixel(hb, 5, 5), w.PixelOf(kBack));    // no normal image: the picture
  EXPECT_EQ(BufferPixel(hb, 2, 2), w.PixelOf(kNormal));  // spot 2's normal image
  hb.TakeRedrawRects();

  hb.TestSpot(centre, WM_MOUSEMOVE);
  EXPECT_EQ(BufferPixel(hb, 5, 5), w.PixelOf(kHot));
  EXPECT_EQ(BufferPixel(hb, 8, 8), w.PixelOf(kBack));  // the mask keeps the corner
  auto rects = hb.TakeRedrawRects();
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0], CRect(1, 1, 9, 9));

  hb.TestSpot(CPoint(0, 0), WM_LBUTTONDOWN);  // spot 2 pressed, spot 0 back to normal
  EXPECT_EQ(BufferPixel(hb, 0, 0), w.PixelOf(kPressed));
  EXPECT_EQ(BufferPixel(hb, 5, 5), w.PixelOf(kBack));
  hb.TestSpot(CPoint(0, 0), WM_LBUTTONUP);
  EXPECT_EQ(BufferPixel(hb, 0, 0), w.PixelOf(kHot));
  hb.MouseOut();
  EXPECT_EQ(BufferPixel(hb, 0, 0), w.PixelOf(kNormal));

  hb.SetCheckButton(0, 1);
  EXPECT_EQ(BufferPixel(hb, 5, 5), w.PixelOf(kChecked));
  hb.TestSpot(centre, 0);
  hb.MouseOut();
  EXPECT_EQ(BufferPixel(hb, 5, 5), w.PixelOf(kChecked));  // back to checked, not normal
  hb.SetCheckButton(0, 0);
  EXPECT_EQ(BufferPixel(hb, 5, 5), w.PixelOf(kBack));
  hb.SetCheckButton(99, 1);  // no such spot: nothing happens
}

TEST(HotBitmapSpots, TheBackBufferPaintsTopSideUpAtEveryDepth) {
  for (int bits : {8, 16, 24}) {
    SCOPED_TRACE(bits);
    CHotBitmapWriter w = MakeSkin(bits);
    const auto bytes = w.Build();
    CHotBitmap hb;
    ASSERT_EQ(hb.Initialise(nullptr, 13, 9, bits), 1);
    ASSERT_EQ(hb.LoadFromMemory(bytes.data(), bytes.size()), 1);
    hb.SetUpDisplay();
    hb.TestSpot(CPoint(5, 5), 0);  // spot 0 hot: red inside its circle
    CBitmap target;
    ASSERT_TRUE(target.CreateBitmap(13, 9, 1, 32, nullptr));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&target);
    hb.Paint(&dc);
    EXPECT_EQ(dc.GetPixel(12, 0) & 0xFFFFFF, RGB(255, 255, 255));  // the top-right mark
    EXPECT_EQ(dc.GetPixel(5, 5) & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(0, 0) & 0xFFFFFF, RGB(255, 255, 255));  // spot 2's normal image
    // Painting one area leaves the rest alone.
    dc.FillSolidRect(0, 0, 13, 9, RGB(1, 2, 3));
    const RECT area{4, 4, 6, 6};
    hb.Paint(&dc, &area);
    EXPECT_EQ(dc.GetPixel(5, 5) & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(3, 5) & 0xFFFFFF, RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(6, 6) & 0xFFFFFF, RGB(1, 2, 3));
  }
}

TEST(HotBitmapSpots, RadioGroupsRememberTheSelectionSeenWhileReading) {
  CHotBitmapWriter w(30, 10, 24);
  for (int i = 0; i < 3; ++i) {
    CHotSpot s;
    s.rect = CRect(i * 10, 0, i * 10 + 10, 10);
    s.flags = kHotSpotRadioGroup | (i == 1 ? 0 : 1);
    s.kind = kHotSpotRadio;
    s.images[kLookChecked] = w.SolidImage(s.rect, kChecked);
    w.AddSpot(s);
  }
  const auto bytes = w.Build();
  CHotBitmap hb;
  ASSERT_EQ(hb.Initialise(nullptr, 30, 10, 24), 1);
  ASSERT_EQ(hb.LoadFromMemory(bytes.data(), bytes.size()), 1);
  EXPECT_EQ(hb.GetSpot(0)->groupSelected, -1);
  EXPECT_EQ(hb.GetSpot(1)->groupSelected, 1);
  EXPECT_EQ(hb.GetSpot(2)->groupSelected, 1);
  EXPECT_TRUE(hb.GetSpot(1)->checked);
  hb.SetCheckButton(2, 1);
  EXPECT_FALSE(hb.GetSpot(1)->checked);
  EXPECT_TRUE(hb.GetSpot(2)->checked);
  EXPECT_EQ(BufferPixel(hb, 25, 5), w.PixelOf(kChecked));
  EXPECT_EQ(BufferPixel(hb, 15, 5), 0u);
}

TEST(HotBitmapSpots, TheHotSpotsTooltipGoesToTheWindowAndItsAreaIsInvalidated) {
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop(0, 0, 13, 9));
  std::string received;
  wnd.hook = [&](UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_HOTSPOT_TOOLTIP) received = reinterpret_cast<const char*>(lParam);
  };
  const auto bytes = MakeSkin(24).Build();
  CHotBitmap hb;
  ASSERT_EQ(hb.Initialise(wnd.GetSafeHwnd(), 13, 9, 24), 1);
  ASSERT_EQ(hb.LoadFromMemory(bytes.data(), bytes.size()), 1);
  hb.SetUpDisplay();
  ui::ProcessPendingMessages();  // the new window's first paint
  EXPECT_EQ(hb.TestToolTip(), 0);
  hb.TestSpot(CPoint(0, 0), 0);
  EXPECT_EQ(hb.TestToolTip(), 1);
  EXPECT_EQ(received, "Corner");
  CRect update;
  EXPECT_TRUE(wnd.GetUpdateRect(&update));
  EXPECT_EQ(update, CRect(0, 0, 4, 4));
  wnd.DestroyWindow();
}

// Writes the fuzz target's seeds (run with --gtest_also_run_disabled_tests and
// OLVANE_CORPUS_DIR set): 40 x 30 pictures at each depth and storage form,
// with masked, radio, inactive and decoration spots.
TEST(HotBitmapFile, DISABLED_WriteSeedCorpus) {
  const char* dir = std::getenv("OLVANE_CORPUS_DIR");
  ASSERT_NE(dir, nullptr);
  for (int bits : {8, 16, 24}) {
    for (int form = 0; form < 4; ++form) {
      CHotBitmapWriter w(40, 30, bits);
      w.FillRect(CRect(0, 0, 40, 30), kBack);
      w.FillRect(CRect(5, 5, 20, 12), kNormal);
      for (int i = 0; i < 4; ++i) {
        CHotSpot s;
        s.rect = CRect(i * 10, 10, i * 10 + 9 + i % 2, 29);
        s.kind = i;
        s.value = i == 3 ? -1 : i;
        s.flags = i >= 1 && i <= 2 ? kHotSpotRadioGroup | (i == 2 ? 0 : 1) : 0;
        s.tooltip = "spot " + std::to_string(i);
        if (i % 2) s.mask = CHotBitmapWriter::EllipseMask(s.rect);
        s.images[kLookHot] = w.SolidImage(s.rect, kHot);
        if (i != 1) s.images[kLookChecked] = w.SolidImage(s.rect, kChecked);
        if (i == 0) s.images[kLookPressed] = w.CutImage(s.rect);
        w.AddSpot(s);
      }
      w.SetCompressed(form & 1);
      w.SetPaddedRows(form & 2);
      w.SetPictureOnly(form == 3 && bits == 8);
      const std::string name = std::string(dir) + "/skin" + std::to_string(bits) + "-" + std::to_string(form) + ".hpc";
      ASSERT_TRUE(w.WriteFile(name));
    }
  }
  // Odd widths, so that rows need padding, at the header's own size.
  for (int bits : {8, 16, 24}) {
    CHotBitmapWriter odd = MakeSkin(bits);
    odd.SetCompressed(bits == 16);
    ASSERT_TRUE(odd.WriteFile(std::string(dir) + "/odd13x9-" + std::to_string(bits) + ".hpc"));
  }
}
