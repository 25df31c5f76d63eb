#include "tools/mkskin/PlayerSkin.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr COLORREF kFace = RGB(0xEB, 0xEB, 0xEB);
constexpr COLORREF kCaption = RGB(0xD6, 0xE3, 0xFF);
constexpr COLORREF kScreen = RGB(0x28, 0x2C, 0x34);
constexpr COLORREF kInk = RGB(0x32, 0x32, 0x32);
constexpr COLORREF kButton = RGB(0xDE, 0xDE, 0xDE);
constexpr COLORREF kHot = RGB(0x4A, 0xBE, 0xED);
constexpr COLORREF kPressed = RGB(0x2A, 0x8E, 0xBD);
constexpr COLORREF kChecked = RGB(0xED, 0xBE, 0x4A);
constexpr COLORREF kBorder = RGB(0xC8, 0xC8, 0xC8);

void Frame(CHotBitmapWriter& c, const CRect& r, COLORREF colour) {
  c.FillRect(CRect(r.left, r.top, r.right, r.top + 1), colour);
  c.FillRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), colour);
  c.FillRect(CRect(r.left, r.top, r.left + 1, r.bottom), colour);
  c.FillRect(CRect(r.right - 1, r.top, r.right, r.bottom), colour);
}

bool InDisc(int x, int y, int w, int h) { return std::hypot(x + 0.5 - w / 2.0, y + 0.5 - h / 2.0) <= w / 2.0; }

// A button of kind 0 play, 1 stop, 2 pause, 3 repeat (round) in rectangle r
// of canvas c, on a face colour.
void DrawButton(CHotBitmapWriter& c, const CRect& r, int kind, COLORREF face) {
  const int w = r.Width(), h = r.Height();
  const bool round = kind == 3;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.SetPixel(r.left + x, r.top + y, !round || InDisc(x, y, w, h) ? face : kFace);
  if (!round) Frame(c, r, kBorder);
  const int cx = r.left + w / 2, cy = r.top + h / 2;
  switch (kind) {
    case 0:
      for (int y = -7; y <= 7; ++y)
        for (int x = 0; x <= 12 - std::abs(y) * 12 / 7; ++x) c.SetPixel(cx - 5 + x, cy + y, kInk);
      break;
    case 1:
      c.FillRect(CRect(cx - 6, cy - 6, cx + 6, cy + 6), kInk);
      break;
    case 2:
      c.FillRect(CRect(cx - 6, cy - 7, cx - 2, cy + 7), kInk);
      c.FillRect(CRect(cx + 2, cy - 7, cx + 6, cy + 7), kInk);
      break;
    default:
      // A ring open at the top right with an arrow head there.
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const double d = std::hypot(r.left + x + 0.5 - cx, r.top + y + 0.5 - cy);
          if (d >= 5 && d < 8 && !(r.left + x > cx && r.top + y < cy - 2)) c.SetPixel(r.left + x, r.top + y, kInk);
        }
      c.FillRect(CRect(cx + 1, cy - 9, cx + 5, cy - 5), kInk);
      break;
  }
}

std::vector<BYTE> Look(int bits, const CRect& r, int kind, COLORREF face) {
  CHotBitmapWriter canvas(r.Width(), r.Height(), bits);
  const CRect local(0, 0, r.Width(), r.Height());
  DrawButton(canvas, local, kind, face);
  return canvas.CutImage(local);
}

}  // namespace

CHotBitmapWriter MakePlayerSkin(int bits) {
  CHotBitmapWriter skin(kPlayerSkinWidth, kPlayerSkinHeight, bits);
  skin.FillRect(CRect(0, 0, kPlayerSkinWidth, kPlayerSkinHeight), kFace);
  skin.FillRect(CRect(0, 0, kPlayerSkinWidth, 22), kCaption);
  Frame(skin, CRect(0, 0, kPlayerSkinWidth, kPlayerSkinHeight), kBorder);
  skin.FillRect(CRect(10, 30, 390, 340), kScreen);
  Frame(skin, CRect(9, 29, 391, 341), kBorder);

  const char* tips[kPlayerSkinSpots] = {"Play", "Stop", "Pause", "Repeat"};
  for (int i = 0; i < kPlayerSkinSpots; ++i) {
    CHotSpot spot;
    spot.rect = i == 3 ? CRect(350, 352, 386, 388) : CRect(14 + i * 44, 352, 54 + i * 44, 388);
    spot.kind = i >= 2 ? kHotSpotCheckBox : kHotSpotButton;
    spot.value = i;
    spot.tooltip = tips[i];
    if (i == 3) spot.mask = CHotBitmapWriter::EllipseMask(spot.rect);
    // The normal look is part of the face; the others are the spot's images.
    DrawButton(skin, spot.rect, i, kButton);
    spot.images[kLookHot] = Look(bits, spot.rect, i, kHot);
    spot.images[kLookPressed] = Look(bits, spot.rect, i, kPressed);
    if (spot.kind == kHotSpotCheckBox) spot.images[kLookChecked] = Look(bits, spot.rect, i, kChecked);
    skin.AddSpot(spot);
  }
  return skin;
}
