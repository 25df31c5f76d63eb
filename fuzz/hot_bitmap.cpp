// Skin bitmaps under arbitrary bytes: loading into pictures of the seeds'
// size at every depth, then hit testing, looks and display over every spot.
#include "sintra/widgets/HotBitmap.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The seeds are 40 x 30 pictures; a file's own size in the header picks nothing else.
  static CHotBitmap* bitmaps[3] = {nullptr, nullptr, nullptr};
  static const int depths[3] = {8, 16, 24};
  for (int i = 0; i < 3; ++i) {
    if (!bitmaps[i]) {
      bitmaps[i] = new CHotBitmap;
      bitmaps[i]->Initialise(nullptr, 40, 30, depths[i]);
    }
    CHotBitmap& hb = *bitmaps[i];
    if (!hb.LoadFromMemory(data, size)) {
      if (hb.GetStatus() < 1 || hb.GetStatus() > 3) __builtin_trap();
      continue;
    }
    hb.SetUpDisplay();
    for (int y = -1; y <= 30; y += 3)
      for (int x = -1; x <= 40; x += 3) {
        const int spot = hb.TestSpot(CPoint(x, y), (x + y) % 2 ? WM_LBUTTONDOWN : WM_LBUTTONUP);
        if (spot >= hb.HotSpotCount()) __builtin_trap();
        hb.TestToolTip();
      }
    for (int s = 0; s < hb.HotSpotCount(); ++s) hb.SetCheckButton(s, s & 1);
    hb.MouseOut();
    hb.TakeRedrawRects();
  }
  return 0;
}
