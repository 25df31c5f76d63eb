// The player's example skin bitmap: a 400 x 400 face with a caption band, a
// screen area and a control strip holding the player's four hot spots:
// 0 Play, 1 Stop, 2 Pause (the three whose release posts a command), and
// 3 a round repeat check box shaped by a mask.
#pragma once

#include "sintra/widgets/HotBitmapWriter.h"

constexpr int kPlayerSkinWidth = 400;
constexpr int kPlayerSkinHeight = 400;
constexpr int kPlayerSkinSpots = 4;

CHotBitmapWriter MakePlayerSkin(int bits);
