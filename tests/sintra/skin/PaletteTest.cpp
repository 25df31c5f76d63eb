#include "sintra/skin/Palette.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

std::tuple<int, int, int> Rgb(const PALETTEENTRY& e) { return {e.peRed, e.peGreen, e.peBlue}; }

}  // namespace

TEST(Palette, FixedTablesHoldStaticColoursCubeAndGreys) {
  for (bool caller : {true, false}) {
    const PALETTEENTRY* t = FixedPaletteTable(caller);
    EXPECT_EQ(Rgb(t[0]), std::make_tuple(0, 0, 0));
    EXPECT_EQ(Rgb(t[9]), std::make_tuple(166, 202, 240));
    EXPECT_EQ(Rgb(t[246]), std::make_tuple(255, 251, 240));
    EXPECT_EQ(Rgb(t[255]), std::make_tuple(255, 255, 255));
    std::set<std::tuple<int, int, int>> middle;
    int greys = 0;
    for (int i = 10; i < 246; ++i) {
      middle.insert(Rgb(t[i]));
      const bool cube = t[i].peRed % 51 == 0 && t[i].peGreen % 51 == 0 && t[i].peBlue % 51 == 0;
      if (!cube) {
        EXPECT_TRUE(t[i].peRed == t[i].peGreen && t[i].peGreen == t[i].peBlue) << i;
        ++greys;
      }
    }
    EXPECT_EQ(middle.size(), 236u);  // every cube colour and grey step once
    EXPECT_EQ(greys, 20);
  }
  EXPECT_NE(Rgb(FixedPaletteTable(true)[11]), Rgb(FixedPaletteTable(false)[11]));
}

TEST(Palette, SetUpBuildsTheLogicalPaletteAndCompletesHeaders) {
  CPalette palette;
  tagLOGPALETTE256 lp{};
  BITMAPINFO header{};
  header.bmiHeader.biWidth = 3;
  header.bmiHeader.biHeight = -5;
  header.bmiHeader.biBitCount = 8;
  EXPECT_EQ(SetUpPalette(&palette, &header, &lp), 1);
  EXPECT_EQ(lp.palVersion, 0x300);
  EXPECT_EQ(lp.palNumEntries, 256);
  EXPECT_EQ(lp.palPalEntry[9].peFlags, 0);
  EXPECT_EQ(lp.palPalEntry[10].peFlags, PC_NOCOLLAPSE);
  EXPECT_EQ(lp.palPalEntry[245].peFlags, PC_NOCOLLAPSE);
  EXPECT_EQ(lp.palPalEntry[246].peFlags, 0);
  EXPECT_EQ(Rgb(lp.palPalEntry[100]), Rgb(FixedPaletteTable(true)[100]));
  ASSERT_TRUE(palette.IsCreated());
  EXPECT_EQ(palette.GetEntryCount(), 256u);
  EXPECT_EQ(header.bmiHeader.biSize, 40u);
  EXPECT_EQ(header.bmiHeader.biPlanes, 1);
  EXPECT_EQ(header.bmiHeader.biCompression, BI_RGB);
  EXPECT_EQ(header.bmiHeader.biSizeImage, 4u * 5u);  // 3 bytes rounded up to 4, five rows
  EXPECT_EQ(header.bmiHeader.biClrUsed, 256u);
  EXPECT_EQ(header.bmiColors[100].rgbRed, lp.palPalEntry[100].peRed);
  EXPECT_EQ(header.bmiColors[100].rgbBlue, lp.palPalEntry[100].peBlue);

  // The palette object is made once; a second set-up leaves it.
  PALETTEENTRY before{};
  palette.GetPaletteEntries(100, 1, &before);
  header.bmiHeader.biBitCount = 16;
  header.bmiHeader.biWidth = 3;
  SetUpPalette(&palette, &header, nullptr);
  PALETTEENTRY after{};
  EXPECT_EQ(palette.GetPaletteEntries(100, 1, &after), 1u);
  EXPECT_EQ(Rgb(after), Rgb(before));
  EXPECT_EQ(header.bmiHeader.biCompression, BI_BITFIELDS);
  EXPECT_EQ(header.bmiHeader.biSizeImage, 8u * 5u);
  const auto* masks = reinterpret_cast<const DWORD*>(header.bmiColors);
  EXPECT_EQ(masks[0], 0xF800u);
  EXPECT_EQ(masks[1], 0x07E0u);
  EXPECT_EQ(masks[2], 0x001Fu);

  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biWidth = 0x7FFFFFFF;
  header.bmiHeader.biHeight = 0x7FFFFFFF;
  SetUpPalette(nullptr, &header, nullptr);
  EXPECT_EQ(header.bmiHeader.biBitCount, 24);
  EXPECT_EQ(header.bmiHeader.biSizeImage, 0u);  // too large for the field
  EXPECT_EQ(FixedPalette(nullptr, &palette), 0);
  EXPECT_EQ(QueryNewPalette(nullptr, &palette, 0), 0);
  EXPECT_EQ(palette.GetPaletteEntries(300, 1, &after), 0u);
}
