// The geometry and arithmetic of an LED bar: where its cells sit in the
// client area, which are lit for a position and a peak, the meter colours,
// and the position a point on a progress bar stands for. Every divisor is
// guarded: an empty range or a bar too small for its cells lights or places
// nothing rather than dividing by zero.
#pragma once

#include <vector>

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

struct CLedLayout {
  int cells = 32;
  int borderX = 2;
  int borderY = 2;
  int gap = 1;          // pixels between cells
  int stripHeight = 0;  // 0: the whole height
  int rows = 1;         // cells stacked across the bar

  // The bar runs vertically when the client is narrower than high.
  static bool IsVertical(const CRect& client) { return client.Width() < client.Height(); }
  // The area the cells fill: the client, or the strip centred in it.
  CRect CellArea(const CRect& client) const;
  // The cells' rectangles, index 0 first (left, or bottom on a vertical bar);
  // each cell has `rows` rectangles one after the other. Empty when the cells
  // do not fit.
  std::vector<CRect> CellRects(const CRect& client) const;
  // Cells lit for a position (and the cell just below the peak's index).
  static int LitCount(long long minimum, long long maximum, long long position, int cells);
  static int PeakCell(long long minimum, long long maximum, long long peak, int cells);

  // The meter's colours for cell i of `cells`: green, orange, red; the unlit
  // colours are paler on a white background.
  static void MeterColours(int cell, int cells, COLORREF background, COLORREF& lit, COLORREF& unlit);
  // Percent a point stands for on a bar whose track runs from left to right.
  static int PercentAt(int x, int left, int right);
};
