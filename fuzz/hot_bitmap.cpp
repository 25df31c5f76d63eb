// Skin bitmaps under arbitrary bytes: loading into pictures of the seeds'
// size at every depth, and into a picture of the size and depth the header
// names when that is small; then hit testing, looks, tooltips and display
// over every spot.
#include "sintra/widgets/HotBitmap.h"

#include <cstddef>
#include <cstdint>

namespace {

void Exercise(CHotBitmap& hb, const std::uint8_t* data, std::size_t size) {
  if (!hb.LoadFromMemory(data, size)) {
    if (hb.GetStatus() < 1 || hb.GetStatus() > 3) __builtin_trap();
    return;
  }
  hb.SetUpDisplay();
  for (int y = -1; y <= hb.GetHeight(); y += 3)
    for (int x = -1; x <= hb.GetWidth(); x += 3) {
      const int spot = hb.TestSpot(CPoint(x, y), (x + y) % 2 ? WM_LBUTTONDOWN : WM_LBUTTONUP);
      if (spot >= hb.HotSpotCount()) __builtin_trap();
      hb.TestToolTip();
    }
  for (int s = 0; s < hb.HotSpotCount(); ++s) hb.SetCheckButton(s, s & 1);
  hb.MouseOut();
  hb.TakeRedrawRects();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The seeds are 40 x 30 pictures.
  static CHotBitmap* bitmaps[3] = {nullptr, nullptr, nullptr};
  static const int depths[3] = {8, 16, 24};
  for (int i = 0; i < 3; ++i) {
    if (!bitmaps[i]) {
      bitmaps[i] = new CHotBitmap;
      bitmaps[i]->Initialise(nullptr, 40, 30, depths[i]);
    }
    Exercise(*bitmaps[i], data, size);
  }
  if (size >= CHotBitmap::kHeaderSize) {
    const int width = data[6] | data[7] << 8, height = data[10] | data[11] << 8, bits = data[34];
    if (data[8] == 0 && data[9] == 0 && data[12] == 0 && data[13] == 0 && width <= 64 && height <= 64) {
      CHotBitmap own;
      if (own.Initialise(nullptr, width, height, bits)) Exercise(own, data, size);
    }
  }
  return 0;
}
