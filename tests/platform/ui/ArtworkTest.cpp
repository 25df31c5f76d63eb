// The built-in player artwork as its users load it: sizes, the looks of the
// button bar's areas, the digit cells and their mask, the corner images and
// the hand cursor's transparency and hot spot.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/ImageList.h"
#include "platform/os/Resources.h"
#include "platform/ui/Cursor.h"

namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);

struct LoadedBitmap {
  CBitmap bitmap;
  CDC dc;
  CBitmap* previous = nullptr;
  explicit LoadedBitmap(UINT id) {
    if (bitmap.LoadBitmap(id) && dc.CreateCompatibleDC(nullptr)) previous = dc.SelectObject(&bitmap);
  }
  ~LoadedBitmap() {
    if (previous) dc.SelectObject(previous);
  }
  // The pixels of a rectangle (right and bottom exclusive), rows top-down.
  std::vector<COLORREF> Block(int left, int top, int right, int bottom) const {
    std::vector<COLORREF> out;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) out.push_back(dc.GetPixel(x, y));
    return out;
  }
};

struct Area {
  int left, top, right, bottom;
};
// The button bar's areas: Play, Stop, Pause, Open and the seven speeds.
constexpr Area kAreas[] = {{3, 3, 25, 25},     {27, 3, 49, 25},    {51, 3, 73, 25},   {75, 3, 98, 25},
                           {82, 16, 87, 24},   {88, 16, 93, 24},   {94, 16, 99, 24},  {100, 16, 109, 24},
                           {110, 16, 115, 24}, {116, 16, 121, 24}, {122, 16, 127, 24}};

TEST(Artwork, BitmapsHaveTheSizesTheirUsersCutThemBy) {
  const struct {
    UINT id;
    int width, height;
  } expected[] = {{544, 132, 112}, {7027, 160, 17}, {10001, 32, 16}};
  for (const auto& e : expected) {
    LoadedBitmap b(e.id);
    ASSERT_TRUE(b.bitmap.IsCreated()) << e.id;
    EXPECT_EQ(b.bitmap.GetWidth(), e.width) << e.id;
    EXPECT_EQ(b.bitmap.GetHeight(), e.height) << e.id;
  }
}

TEST(Artwork, EveryButtonAreaHasFourDistinctLooksAndTheGapsNeverChange) {
  LoadedBitmap bar(544);
  ASSERT_TRUE(bar.bitmap.IsCreated());
  for (const Area& a : kAreas) {
    std::set<std::vector<COLORREF>> looks;
    for (int row = 0; row < 4; ++row) looks.insert(bar.Block(a.left, a.top + 28 * row, a.right, a.bottom + 28 * row));
    EXPECT_EQ(looks.size(), 4u) << "area at x " << a.left;
  }
  // Row 0 is drawn under every area, so what lies outside all areas must look
  // the same whichever row it comes from.
  for (int y = 0; y < 28; ++y)
    for (int x = 0; x < 132; ++x) {
      bool inArea = false;
      for (const Area& a : kAreas) inArea = inArea || (x >= a.left && x < a.right && y >= a.top && y < a.bottom);
      if (inArea) continue;
      for (int row = 1; row < 4; ++row)
        ASSERT_EQ(bar.dc.GetPixel(x, y + 28 * row), bar.dc.GetPixel(x, y)) << x << "," << y << " row " << row;
    }
}

TEST(Artwork, DigitCellsAreDistinctInkOnTheMaskAndStayInsideTheirCells) {
  LoadedBitmap digits(7027);
  ASSERT_TRUE(digits.bitmap.IsCreated());
  std::set<std::vector<COLORREF>> seen;
  for (int cell = 0; cell < 16; ++cell) {
    const auto block = digits.Block(cell * 10, 0, cell * 10 + 10, 17);
    int ink = 0;
    for (COLORREF c : block) ink += c != kMask ? 1 : 0;
    if (cell < 10) {
      EXPECT_GT(ink, 10) << "digit " << cell;
      seen.insert(block);
    } else if (cell == 10) {
      EXPECT_GT(ink, 0) << "the separator";
    } else {
      EXPECT_EQ(ink, 0) << "blank cell " << cell;
    }
    // Neighbouring cells never touch: the first and last column are mask.
    for (int y = 0; y < 17; ++y) {
      EXPECT_EQ(digits.dc.GetPixel(cell * 10, y), kMask) << cell;
      EXPECT_EQ(digits.dc.GetPixel(cell * 10 + 9, y), kMask) << cell;
    }
  }
  EXPECT_EQ(seen.size(), 10u);
  // The separator is shown four pixels wide.
  for (int y = 0; y < 17; ++y)
    for (int x = 104; x < 110; ++x) EXPECT_EQ(digits.dc.GetPixel(x, y), kMask);
}

TEST(Artwork, ImageListsCutTheDigitAndCornerStripsIntoMaskedCells) {
  const struct {
    UINT id;
    int cx, cy, count, index;
  } strips[] = {{7027, 10, 17, 16, 3}, {10001, 16, 16, 2, 1}};
  constexpr COLORREF kBack = RGB(12, 34, 56);
  for (const auto& s : strips) {
    SCOPED_TRACE(s.id);
    LoadedBitmap source(s.id);
    CImageList list;
    ASSERT_TRUE(list.Create(s.id, s.cx, 0, kMask));
    EXPECT_EQ(list.GetImageCount(), s.count);
    CBitmap target;
    ASSERT_TRUE(target.CreateBitmap(s.cx + 4, s.cy + 4, 1, 32, nullptr));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap* old = dc.SelectObject(&target);
    dc.FillSolidRect(0, 0, s.cx + 4, s.cy + 4, kBack);
    EXPECT_TRUE(list.Draw(&dc, s.index, POINT{2, 2}, ILD_TRANSPARENT));
    // Exactly that cell, its masked pixels showing the background, and
    // nothing drawn outside it.
    for (int y = 0; y < s.cy + 4; ++y)
      for (int x = 0; x < s.cx + 4; ++x) {
        const bool inside = x >= 2 && y >= 2 && x < s.cx + 2 && y < s.cy + 2;
        const COLORREF art = inside ? source.dc.GetPixel(s.index * s.cx + x - 2, y - 2) : kMask;
        ASSERT_EQ(dc.GetPixel(x, y), art == kMask ? kBack : art) << x << "," << y;
      }
    dc.SelectObject(old);
  }
}

TEST(Artwork, CornerImagesAreMaskedGrips) {
  LoadedBitmap corner(10001);
  ASSERT_TRUE(corner.bitmap.IsCreated());
  for (int image = 0; image < 2; ++image) {
    const auto block = corner.Block(image * 16, 0, image * 16 + 16, 16);
    int ink = 0;
    for (COLORREF c : block) ink += c != kMask ? 1 : 0;
    EXPECT_GT(ink, 8);
    EXPECT_LT(ink, 16 * 16 / 2);                          // mostly background
    EXPECT_EQ(corner.dc.GetPixel(image * 16, 0), kMask);  // the grip sits bottom-right
  }
}

TEST(Artwork, HandCursorIsTransparentAroundItsShapeAndPointsWithItsHotSpot) {
  CResourceBlock block = FindResourceData("CURSOR", 140);
  ASSERT_NE(block.data, nullptr);
  CBitmap hand;
  ASSERT_TRUE(hand.LoadFromBmpData(block.data, block.size));
  EXPECT_EQ(hand.GetWidth(), 32);
  EXPECT_EQ(hand.GetHeight(), 32);
  // The alpha channel of the file: 32-bit bottom-up rows after the headers.
  ASSERT_GE(block.size, 54u + 32u * 32u * 4u);
  const auto alpha = [&](int x, int y) { return block.data[54 + ((31 - y) * 32 + x) * 4 + 3]; };
  const int hotX = block.data[6] | (block.data[7] << 8), hotY = block.data[8] | (block.data[9] << 8);
  EXPECT_EQ(alpha(hotX, hotY), 255) << "the hot spot is on the shape";
  EXPECT_EQ(alpha(31, 31), 0);
  EXPECT_EQ(alpha(0, 0), 0);
  int opaque = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) opaque += alpha(x, y) == 255 ? 1 : 0;
  EXPECT_GT(opaque, 150);
  // The hot spot is the top of the shape: nothing opaque above it.
  for (int y = 0; y < hotY; ++y)
    for (int x = 0; x < 32; ++x) EXPECT_EQ(alpha(x, y), 0);

  HCURSOR cursor = LoadCursor(nullptr, 140);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(GetCursorId(cursor), 140u);
}

}  // namespace
