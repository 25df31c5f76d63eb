// The digits a time counter shows: a time split into hours, minutes, seconds
// and hundredths, two cells each, with the cells' places in the counter. The
// counter window (CTimeDisplay) draws the cells; this part holds the numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/base/Rect.h"

class CTimeDigits {
 public:
  static constexpr int kPairs = 4;  // hours, minutes, seconds, hundredths
  static constexpr int kCells = 2 * kPairs;
  static constexpr int kSeparator = 10;  // cell value of the separator
  static constexpr int kBlank = 11;      // cell value of a blank cell
  // The largest time shown: 99:59:59.99; longer times show that.
  static constexpr int kMaxHours = 99;

  struct CellSize {
    int width;
    int height;
    int separator;
  };
  // Cell and separator sizes of a size style; styles without their own entry
  // (anything but 0, 1 and 2) take style 0's.
  static CellSize SizeOfStyle(int sizeStyle);
  // The digit strip's bitmap resource for a size and bitmap style, 0 when
  // there is none.
  static unsigned DigitBitmap(int sizeStyle, int bitmapStyle);

  void Setup(int sizeStyle, int pairs);
  // Time value in units (units per second, 100 by default).
  void SetTime(std::uint32_t value);
  // A plain number over the shown cells (single-number mode).
  void SetNumber(std::uint32_t value);
  void SetUnitsPerSecond(std::uint32_t units) { m_unitsPerSecond = units ? units : 1; }
  void SetFirstPair(int pair);
  void SetBlankZeros(bool on) { m_blankZeros = on; }
  void SetSingleNumber(bool on) { m_singleNumber = on; }

  int Pairs() const { return m_pairs; }
  int FirstPair() const { return m_firstPair; }
  bool SingleNumber() const { return m_singleNumber; }
  const CellSize& Size() const { return m_size; }
  // Width of all cells and separators (without the frame).
  int FullWidth() const;
  // Value of cell i (0..7): a digit, kSeparator or kBlank.
  int Cell(int i) const { return i >= 0 && i < kCells ? m_cells[static_cast<std::size_t>(i)] : kBlank; }
  // The cells shown, in order: cell indexes from FirstCell() to LastCell().
  int FirstCell() const;
  int LastCell() const;
  // Where a shown cell or the separator after a shown pair sits, the frame's
  // pixel at the top-left excluded (origin at the first cell).
  CRect CellRect(int cell) const;
  CRect SeparatorRect(int pair) const;
  // The time as "hh:mm:ss.cc" from the last SetTime.
  std::string TimeCode() const;

 private:
  void Blank();

  std::array<int, kCells> m_cells{};
  CellSize m_size{10, 17, 4};
  int m_pairs = kPairs;
  int m_firstPair = 0;
  std::uint32_t m_unitsPerSecond = 100;
  std::uint32_t m_value = 0;
  bool m_blankZeros = false;
  bool m_singleNumber = false;
};
