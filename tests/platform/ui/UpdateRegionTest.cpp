#include <gtest/gtest.h>

#include <random>

#include "platform/ui/UpdateRegion.h"

namespace {

constexpr int kSide = 40;

// A pixel-set oracle for the region operations.
struct Grid {
  bool cell[kSide][kSide] = {};
  void Set(const CRect& r, bool v) {
    for (int y = std::max(0, static_cast<int>(r.top)); y < std::min(kSide, static_cast<int>(r.bottom)); ++y)
      for (int x = std::max(0, static_cast<int>(r.left)); x < std::min(kSide, static_cast<int>(r.right)); ++x)
        cell[y][x] = v;
  }
  void Keep(const CRect& r) {
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        if (!r.PtInRect(POINT{x, y})) cell[y][x] = false;
  }
};

// The region covers exactly the oracle's pixels, with no pixel twice.
void ExpectSame(const CUpdateRegion& region, const Grid& grid) {
  int count[kSide][kSide] = {};
  for (const CRect& r : region.Rects()) {
    EXPECT_FALSE(r.IsRectEmpty());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++count[y][x];
  }
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) ASSERT_EQ(count[y][x], grid.cell[y][x] ? 1 : 0) << x << "," << y;
}

TEST(UpdateRegion, RandomAddSubtractIntersectMatchPixelSets) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> coord(0, kSide);
  for (int round = 0; round < 60; ++round) {
    CUpdateRegion region;
    Grid grid;
    for (int op = 0; op < 12; ++op) {
      CRect r(coord(rng), coord(rng), coord(rng), coord(rng));
      r.NormalizeRect();
      const int kind = static_cast<int>(rng() % 5);
      if (kind < 3) {
        region.Add(r);
        grid.Set(r, true);
      } else if (kind == 3) {
        region.Subtract(r);
        grid.Set(r, false);
      } else {
        region.Intersect(r);
        grid.Keep(r);
      }
      ExpectSame(region, grid);
    }
  }
}

TEST(UpdateRegion, BoundsOffsetAndEmpty) {
  CUpdateRegion region;
  EXPECT_TRUE(region.IsEmpty());
  EXPECT_TRUE(region.Bounds().IsRectEmpty());
  region.Add(CRect(10, 10, 20, 20));
  region.Add(CRect(60, 30, 70, 50));
  region.Add(CRect(5, 5, 5, 50));  // empty: ignored
  EXPECT_EQ(region.Bounds(), CRect(10, 10, 70, 50));
  region.Offset(-10, 5);
  EXPECT_EQ(region.Bounds(), CRect(0, 15, 60, 55));
  region.Subtract(CRect(-100, -100, 100, 100));
  EXPECT_TRUE(region.IsEmpty());
}

}  // namespace
