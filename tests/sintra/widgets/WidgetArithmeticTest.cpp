// The numbers behind the counter and the LED bars: digits of times (with the
// largest time and bad styles), cells lit and their colours, cell geometry on
// bars too small for their cells, and positions from points.
#include <gtest/gtest.h>

#include <string>

#include "sintra/widgets/BitButtonArea.h"
#include "sintra/widgets/LedLayout.h"
#include "sintra/widgets/TimeDigits.h"

namespace {

std::string Shown(const CTimeDigits& d) {
  std::string s;
  for (int c = d.FirstCell(); c <= d.LastCell(); ++c) {
    const int v = d.Cell(c);
    s += v == CTimeDigits::kBlank ? ' ' : static_cast<char>('0' + v);
    if (!d.SingleNumber() && c % 2 == 1 && c != d.LastCell()) s += ':';
  }
  return s;
}

}  // namespace

TEST(TimeDigits, SplitsTimesIntoPairsAndStopsAtTheLargestTime) {
  CTimeDigits d;
  d.Setup(0, 3);
  d.SetTime(366100);  // centiseconds
  EXPECT_EQ(Shown(d), "01:01:01");
  EXPECT_EQ(d.TimeCode(), "01:01:01.00");
  EXPECT_EQ(d.FullWidth(), 68);

  d.SetTime(0xFFFFFFFF);  // 11930 hours: no cell may show more than 9
  EXPECT_EQ(Shown(d), "99:59:59");
  d.SetFirstPair(1);
  EXPECT_EQ(Shown(d), "59:59:99");
  d.SetUnitsPerSecond(1000);  // milliseconds: 1193 hours is still too many
  d.SetTime(0xFFFFFFFF);
  for (int c = 0; c < CTimeDigits::kCells; ++c) EXPECT_LE(d.Cell(c), 9);

  d.SetUnitsPerSecond(1000);
  d.SetFirstPair(0);
  d.SetBlankZeros(true);
  d.SetTime(65250);  // 0:01:05.25
  EXPECT_EQ(Shown(d), "  : 1:05");
  d.SetTime(0);
  EXPECT_EQ(Shown(d), "  :  : 0");  // the last cell always shows
}

TEST(TimeDigits, StylesOutsideTheTablesAndSingleNumbers) {
  EXPECT_EQ(CTimeDigits::SizeOfStyle(1).width, 15);
  EXPECT_EQ(CTimeDigits::SizeOfStyle(3).width, 10);  // no entry of its own
  EXPECT_EQ(CTimeDigits::SizeOfStyle(-7).height, 17);
  EXPECT_EQ(CTimeDigits::DigitBitmap(0, 4), 7027u);
  EXPECT_EQ(CTimeDigits::DigitBitmap(4, 4), 0u);  // index 24 of a table of 15
  EXPECT_EQ(CTimeDigits::DigitBitmap(0, 9), 0u);
  EXPECT_EQ(CTimeDigits::DigitBitmap(9, 4), 7027u);  // counts as size style 0

  CTimeDigits d;
  d.Setup(0, 9);  // more pairs than exist
  EXPECT_EQ(d.Pairs(), 4);
  d.Setup(0, 3);
  d.SetFirstPair(3);
  EXPECT_EQ(d.FirstPair(), 1);  // three pairs from pair 1 is the last that fits
  d.SetSingleNumber(true);
  d.SetNumber(4207);
  EXPECT_EQ(Shown(d), "207");
  EXPECT_EQ(d.FullWidth(), 30);
  EXPECT_EQ(d.CellRect(d.FirstCell() + 2), CRect(20, 0, 30, 17));
}

TEST(LedLayout, MeterColoursAndLitCells) {
  COLORREF lit = 0, unlit = 0;
  for (int i = 0; i < 20; ++i) {
    CLedLayout::MeterColours(i, 20, 0, lit, unlit);
    EXPECT_EQ(lit, i < 12 ? 0x0200FF00u : i < 18 ? 0x020080FFu : 0x020000FFu) << i;
  }
  CLedLayout::MeterColours(19, 20, 0x02FFFFFF, lit, unlit);
  EXPECT_EQ(unlit, 0x02DCDCFFu);
  EXPECT_EQ(CLedLayout::LitCount(0, 100, 50, 20), 10);
  EXPECT_EQ(CLedLayout::LitCount(0, 100, 250, 20), 20);
  EXPECT_EQ(CLedLayout::PeakCell(0, 100, 75, 20), 14);
  // An empty range divides by nothing: empty at the minimum, full beyond it.
  EXPECT_EQ(CLedLayout::LitCount(5, 5, 5, 20), 0);
  EXPECT_EQ(CLedLayout::LitCount(5, 5, 6, 20), 20);
  EXPECT_EQ(CLedLayout::PeakCell(5, 5, 6, 20), -1);
  EXPECT_EQ(CLedLayout::LitCount(0, 100, 50, 0), 0);
}

TEST(LedLayout, CellsFitTheBarOrAreNotPlaced) {
  CLedLayout l;
  l.cells = 20;
  const auto cells = l.CellRects(CRect(0, 0, 105, 10));
  ASSERT_EQ(cells.size(), 20u);
  // (105 - 4 - 19) / 20 = 4 pixels a cell, 2 left over: one before, one after.
  EXPECT_EQ(cells[0], CRect(3, 2, 7, 8));
  EXPECT_EQ(cells[19], CRect(98, 2, 102, 8));
  const auto vertical = l.CellRects(CRect(0, 0, 10, 105));
  EXPECT_EQ(vertical[0].bottom, 105 - 3);  // cell 0 at the bottom
  EXPECT_LT(vertical[1].bottom, vertical[0].top + 1);
  EXPECT_TRUE(l.CellRects(CRect(0, 0, 30, 10)).empty());  // 20 cells cannot fit
  l.rows = 2;
  l.stripHeight = 8;
  const auto two = l.CellRects(CRect(0, 0, 105, 20));
  ASSERT_EQ(two.size(), 40u);
  // The strip is rows 6-13; inside its borders two rows of one pixel.
  EXPECT_EQ(two[0], CRect(3, 8, 7, 9));
  EXPECT_EQ(two[1], CRect(3, 10, 7, 11));

  EXPECT_EQ(CLedLayout::PercentAt(-5, 2, 102), 0);
  EXPECT_EQ(CLedLayout::PercentAt(200, 2, 102), 100);
  EXPECT_EQ(CLedLayout::PercentAt(52, 2, 102), 50);
  EXPECT_EQ(CLedLayout::PercentAt(3, 3, 3), 100);  // a track of no width
}

TEST(BitButtonArea, PredicatesAsCallersReadThem) {
  const CBitButtonArea plain(1, CRect(0, 0, 5, 5), 1, 0, 0);
  const CBitButtonArea box(2, CRect(0, 0, 5, 5), 1, 1, 1);
  const CBitButtonArea off(3, CRect(0, 0, 5, 5), 0, 1, 1);
  EXPECT_TRUE(plain.Normal());
  EXPECT_TRUE(plain.CheckBox());  // not a check box
  EXPECT_FALSE(box.CheckBox());
  EXPECT_FALSE(box.Normal());
  EXPECT_TRUE(box.Checked());
  EXPECT_FALSE(off.Checked());
}
