#include "sintra/widgets/TimeDigits.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr CTimeDigits::CellSize kSizes[3] = {{10, 17, 4}, {15, 23, 6}, {32, 48, 11}};

// Digit strips by size style (rows) and bitmap style (columns). Only the
// small strip exists as artwork; it serves every bitmap style of its size.
constexpr unsigned kDigitBitmaps[15] = {
    7027, 7027, 7027, 7027, 7027,  // size style 0
    0,    0,    0,    0,    0,     // size style 1
    0,    0,    0,    0,    0,     // size style 2
};

}  // namespace

CTimeDigits::CellSize CTimeDigits::SizeOfStyle(int sizeStyle) {
  return sizeStyle >= 0 && sizeStyle < 3 ? kSizes[sizeStyle] : kSizes[0];
}

unsigned CTimeDigits::DigitBitmap(int sizeStyle, int bitmapStyle) {
  if (sizeStyle < 0 || sizeStyle > 4) sizeStyle = 0;
  if (bitmapStyle < 0 || bitmapStyle > 4) return 0;
  const int index = sizeStyle * 5 + bitmapStyle;
  return index < 15 ? kDigitBitmaps[index] : 0;
}

void CTimeDigits::Setup(int sizeStyle, int pairs) {
  m_size = SizeOfStyle(sizeStyle);
  m_pairs = std::clamp(pairs, 1, kPairs);
  SetFirstPair(m_firstPair);
  Blank();
}

void CTimeDigits::SetFirstPair(int pair) { m_firstPair = std::clamp(pair, 0, kPairs - m_pairs); }

void CTimeDigits::Blank() { m_cells.fill(kBlank); }

int CTimeDigits::FirstCell() const { return m_singleNumber ? kCells - m_pairs : 2 * m_firstPair; }

int CTimeDigits::LastCell() const { return m_singleNumber ? kCells - 1 : 2 * (m_firstPair + m_pairs) - 1; }

int CTimeDigits::FullWidth() const {
  if (m_singleNumber) return m_pairs * m_size.width;
  return m_pairs * 2 * m_size.width + (m_pairs - 1) * m_size.separator;
}

CRect CTimeDigits::CellRect(int cell) const {
  const int shown = cell - FirstCell();
  const int x = m_singleNumber ? shown * m_size.width
                               : (shown / 2) * (2 * m_size.width + m_size.separator) + (shown % 2) * m_size.width;
  return CRect(x, 0, x + m_size.width, m_size.height);
}

CRect CTimeDigits::SeparatorRect(int pair) const {
  const int x = (pair - m_firstPair) * (2 * m_size.width + m_size.separator) + 2 * m_size.width;
  return CRect(x, 0, x + m_size.separator, m_size.height);
}

void CTimeDigits::SetTime(std::uint32_t value) {
  m_value = value;
  const std::uint64_t perHour = static_cast<std::uint64_t>(m_unitsPerSecond) * 3600;
  std::uint64_t hours = value / perHour;
  std::uint64_t rest = value % perHour;
  std::uint64_t minutes = rest / (m_unitsPerSecond * 60ull);
  rest %= m_unitsPerSecond * 60ull;
  std::uint64_t seconds = rest / m_unitsPerSecond;
  // Hundredths of a second, whatever the units.
  std::uint64_t fraction = (rest % m_unitsPerSecond) * 100 / m_unitsPerSecond;
  if (hours > kMaxHours) {
    // Two cells cannot show more: the counter stops at its largest time.
    hours = kMaxHours;
    minutes = seconds = 59;
    fraction = 99;
  }
  const std::uint64_t parts[kPairs] = {hours, minutes, seconds, fraction};
  for (int p = 0; p < kPairs; ++p) {
    m_cells[static_cast<std::size_t>(2 * p)] = static_cast<int>(parts[p] / 10);
    m_cells[static_cast<std::size_t>(2 * p + 1)] = static_cast<int>(parts[p] % 10);
  }
  if (m_blankZeros) {
    // Leading zeros of the shown cells go blank; the last cell always shows.
    for (int c = FirstCell(); c < LastCell() && m_cells[static_cast<std::size_t>(c)] == 0; ++c)
      m_cells[static_cast<std::size_t>(c)] = kBlank;
  }
}

void CTimeDigits::SetNumber(std::uint32_t value) {
  m_value = value;
  Blank();
  std::uint32_t v = value;
  for (int c = kCells - 1; c >= FirstCell(); --c) {
    m_cells[static_cast<std::size_t>(c)] = static_cast<int>(v % 10);
    v /= 10;
    if (v == 0 && m_blankZeros) break;
  }
}

std::string CTimeDigits::TimeCode() const {
  const std::uint64_t total = m_value / m_unitsPerSecond;
  char text[48];
  std::snprintf(text, sizeof(text), "%02llu:%02llu:%02llu.%02llu", static_cast<unsigned long long>(total / 3600),
                static_cast<unsigned long long>(total / 60 % 60), static_cast<unsigned long long>(total % 60),
                static_cast<unsigned long long>((m_value % m_unitsPerSecond) * 100 / m_unitsPerSecond));
  return text;
}
