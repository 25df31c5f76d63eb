#include "sintra/widgets/LedLayout.h"

#include <algorithm>

namespace {

constexpr COLORREF kWhite = 0x02FFFFFF;

// (maximum - minimum) x 100 / cells: the range one cell stands for, in hundredths.
long long Step(long long minimum, long long maximum, int cells) {
  return cells > 0 ? (maximum - minimum) * 100 / cells : 0;
}

}  // namespace

CRect CLedLayout::CellArea(const CRect& client) const {
  if (stripHeight <= 0) return client;
  CRect area = client;
  area.top = client.top + (client.Height() - stripHeight) / 2;
  area.bottom = area.top + stripHeight;
  return area;
}

std::vector<CRect> CLedLayout::CellRects(const CRect& client) const {
  std::vector<CRect> out;
  if (cells < 1 || rows < 1) return out;
  const CRect area = CellArea(client);
  const bool vertical = IsVertical(client);
  const int length = vertical ? area.Height() : area.Width();
  const int across = vertical ? area.Width() : area.Height();
  const int borderAlong = vertical ? borderY : borderX;
  const int borderAcross = vertical ? borderX : borderY;
  const long long room = static_cast<long long>(length) - 2 * borderAlong - static_cast<long long>(cells - 1) * gap;
  const long long cellSize = room / cells;
  const int acrossRoom = across - 2 * borderAcross - (rows - 1) * gap;
  if (cellSize < 1 || acrossRoom < rows) return out;
  const int lead = static_cast<int>((room - cellSize * cells) / 2);
  const int rowSize = acrossRoom / rows;
  out.reserve(static_cast<std::size_t>(cells) * rows);
  for (int i = 0; i < cells; ++i) {
    const int along = borderAlong + lead + static_cast<int>(i * (cellSize + gap));
    for (int r = 0; r < rows; ++r) {
      const int side = borderAcross + r * (rowSize + gap);
      if (vertical) {
        // Cell 0 at the bottom: the bar fills upwards.
        const int bottom = area.bottom - along;
        out.emplace_back(area.left + side, bottom - static_cast<int>(cellSize), area.left + side + rowSize, bottom);
      } else {
        const int left = area.left + along;
        out.emplace_back(left, area.top + side, left + static_cast<int>(cellSize), area.top + side + rowSize);
      }
    }
  }
  return out;
}

int CLedLayout::LitCount(long long minimum, long long maximum, long long position, int cells) {
  const long long step = Step(minimum, maximum, cells);
  if (cells < 1) return 0;
  if (step <= 0) return position > minimum ? cells : 0;  // an empty range is either full or empty
  return static_cast<int>(std::clamp<long long>(position * 100 / step, 0, cells));
}

int CLedLayout::PeakCell(long long minimum, long long maximum, long long peak, int cells) {
  const long long step = Step(minimum, maximum, cells);
  if (cells < 1 || step <= 0) return -1;
  const long long index = peak * 100 / step - 1;
  return index >= 0 && index < cells ? static_cast<int>(index) : -1;
}

void CLedLayout::MeterColours(int cell, int cells, COLORREF background, COLORREF& lit, COLORREF& unlit) {
  const bool white = background == kWhite;
  const long long at = static_cast<long long>(cell) * 20;
  if (at < 12LL * cells) {
    lit = 0x0200FF00;
    unlit = white ? 0x02DCFFDC : 0x02004000;
  } else if (at < 18LL * cells) {
    lit = 0x020080FF;
    unlit = white ? 0x02B9DCFF : 0x02004080;
  } else {
    lit = 0x020000FF;
    unlit = white ? 0x02DCDCFF : 0x02000040;
  }
}

int CLedLayout::PercentAt(int x, int left, int right) {
  if (x < left) return 0;
  if (x > right || right <= left) return 100;
  return static_cast<int>(static_cast<long long>(x - left) * 100 / (right - left));
}
