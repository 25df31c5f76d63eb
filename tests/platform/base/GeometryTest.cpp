#include "platform/base/MulDiv.h"
#include "platform/base/Rect.h"

#include <gtest/gtest.h>

TEST(MulDiv, RoundsHalfAwayFromZero) {
  struct Case { int a, b, c, expected; };
  const Case cases[] = {
      {3, 1, 2, 2},   {-3, 1, 2, -2}, {3, -1, 2, -2}, {-3, -1, 2, 2},  {5, 1, 4, 1},   {6, 1, 4, 2},
      {-6, 1, 4, -2}, {1, 1, 3, 0},   {2, 1, 3, 1},   {1024, 768, 1024, 768},          {100, 255, 10000, 3},
      {1, 1, -2, -1}, {0, 5, 7, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(MulDiv, DivisionByZeroAndOverflowGiveMinusOne) {
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 2, 2), INT32_MAX);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
}

TEST(ClampToInt, HandlesNanAndHugeValues) {
  EXPECT_EQ(ClampToInt(0.0 / 0.0 * 0 + __builtin_nan("")), 0);
  EXPECT_EQ(ClampToInt(1e300), INT32_MAX);
  EXPECT_EQ(ClampToInt(-1e300), INT32_MIN);
  EXPECT_EQ(ClampToInt(-2.7), -2);
}

TEST(CRect, IntersectAndUnionFollowEmptyRules) {
  CRect r;
  EXPECT_TRUE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 20, 20)));
  EXPECT_EQ(r, CRect(5, 5, 10, 10));
  // Touching edges do not overlap, and the result is all zero.
  r.SetRect(1, 2, 3, 4);
  EXPECT_FALSE(r.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
  EXPECT_TRUE(r.IsRectNull());
  // An empty operand is ignored by a union.
  EXPECT_TRUE(r.UnionRect(CRect(0, 0, 0, 0), CRect(5, 5, 6, 7)));
  EXPECT_EQ(r, CRect(5, 5, 6, 7));
  EXPECT_TRUE(r.UnionRect(CRect(0, 0, 2, 2), CRect(5, 5, 6, 7)));
  EXPECT_EQ(r, CRect(0, 0, 6, 7));
  EXPECT_FALSE(r.UnionRect(CRect(3, 3, 3, 9), CRect(4, 4, 2, 2)));
  EXPECT_TRUE(r.IsRectNull());
  // Operators alias safely.
  CRect a(0, 0, 10, 10);
  a &= CRect(2, 3, 12, 13);
  EXPECT_EQ(a, CRect(2, 3, 10, 10));
  a |= CRect(-1, -1, 0, 0);
  EXPECT_EQ(a, CRect(-1, -1, 10, 10));
}

TEST(CRect, NormalizeInflateOffsetAndHitTest) {
  CRect r(10, 20, 0, 5);
  EXPECT_TRUE(r.IsRectEmpty());
  r.NormalizeRect();
  EXPECT_EQ(r, CRect(0, 5, 10, 20));
  EXPECT_EQ(r.Width(), 10);
  EXPECT_EQ(r.Height(), 15);
  r.InflateRect(2, 3);
  EXPECT_EQ(r, CRect(-2, 2, 12, 23));
  r.DeflateRect(1, 1, 2, 2);
  EXPECT_EQ(r, CRect(-1, 3, 10, 21));
  r.OffsetRect(CPoint(1, -3));
  EXPECT_EQ(r, CRect(0, 0, 11, 18));
  EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
  EXPECT_FALSE(r.PtInRect(CPoint(11, 5)));  // right edge is exclusive
  EXPECT_FALSE(r.PtInRect(CPoint(5, 18)));
  EXPECT_EQ(r.CenterPoint(), CPoint(5, 9));
  EXPECT_EQ(r.Size(), CSize(11, 18));
}

TEST(CRect, SubtractRemovesOnlyWholeSides) {
  CRect r;
  EXPECT_TRUE(r.SubtractRect(CRect(0, 0, 10, 10), CRect(0, 0, 4, 10)));
  EXPECT_EQ(r, CRect(4, 0, 10, 10));
  EXPECT_TRUE(r.SubtractRect(CRect(0, 0, 10, 10), CRect(2, 2, 4, 4)));
  EXPECT_EQ(r, CRect(0, 0, 10, 10));
  EXPECT_FALSE(r.SubtractRect(CRect(0, 0, 10, 10), CRect(-1, -1, 11, 11)));
}

TEST(WinTypes, ColourAndWordPacking) {
  constexpr COLORREF c = RGB(0x12, 0x34, 0x56);
  static_assert(c == 0x563412);
  EXPECT_EQ(GetRValue(c), 0x12);
  EXPECT_EQ(GetGValue(c), 0x34);
  EXPECT_EQ(GetBValue(c), 0x56);
  const LPARAM lp = MAKELPARAM(static_cast<WORD>(-5), 7);
  EXPECT_EQ(GET_X_LPARAM(lp), -5);
  EXPECT_EQ(GET_Y_LPARAM(lp), 7);
}
