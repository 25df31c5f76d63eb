// Picture conversions of the clipboard: the packed layouts other programs
// hand us (palette, 16-bit masks, top-down 32-bit), the files we hand out,
// and hostile headers that must be refused before anything is read.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/os/PackedDib.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(int width, int height, int bits, std::uint32_t compression, std::uint32_t used = 0) {
  Bytes b(40, 0);
  const std::int32_t fields[] = {40, width, height};
  std::memcpy(b.data(), fields, sizeof fields);
  b[12] = 1;
  b[14] = static_cast<std::uint8_t>(bits);
  std::memcpy(b.data() + 16, &compression, 4);
  std::memcpy(b.data() + 32, &used, 4);
  return b;
}

void Append(Bytes& b, std::initializer_list<std::uint8_t> bytes) { b.insert(b.end(), bytes); }

TEST(PackedDib, ReadsPaletteMaskedAndTopDownLayouts) {
  // 8 bits, two colours in the table, 2 x 2, rows padded to 4 bytes, bottom-up.
  Bytes palette = Header(2, 2, 8, 0, 2);
  Append(palette, {0x00, 0x00, 0xFF, 0, 0xFF, 0x80, 0x00, 0});  // red, then RGB(0, 0x80, 0xFF)
  Append(palette, {1, 0, 0, 0, 0, 1, 0, 0});                    // bottom row, then top row
  os::CRgbPicture p;
  ASSERT_TRUE(os::ReadPackedDib(palette.data(), palette.size(), p));
  EXPECT_EQ(p.pixels, (std::vector<std::uint32_t>{0xFF0000, 0x0080FF, 0x0080FF, 0xFF0000}));

  // 16 bits 5-6-5 with masks after a 40-byte header, one row of two pixels.
  Bytes masked = Header(2, 1, 16, 3);
  Append(masked, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0x00, 0, 0});
  Append(masked, {0x00, 0xF8, 0x1F, 0x00});  // full red, full blue
  ASSERT_TRUE(os::ReadPackedDib(masked.data(), masked.size(), p));
  EXPECT_EQ(p.pixels, (std::vector<std::uint32_t>{0xFF0000, 0x0000FF}));

  // 32 bits, top-down (negative height): the first stored row is the top.
  Bytes topDown = Header(1, -2, 32, 0);
  Append(topDown, {0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0x00});
  ASSERT_TRUE(os::ReadPackedDib(topDown.data(), topDown.size(), p));
  EXPECT_EQ(p.pixels, (std::vector<std::uint32_t>{0x332211, 0x665544}));
}

TEST(PackedDib, RefusesHeadersThatDoNotMatchTheData) {
  struct Case {
    const char* what;
    Bytes data;
  };
  Bytes rowsShort = Header(3, 2, 24, 0);
  rowsShort.resize(40 + 12 + 11);
  Bytes tooManyColours = Header(1, 1, 1, 0, 3);
  tooManyColours.resize(40 + 12 + 4);
  Bytes tableShort = Header(1, 1, 8, 0, 256);
  tableShort.resize(40 + 100);
  Bytes headerLong = Header(1, 1, 24, 0);
  headerLong[0] = 200;
  headerLong.resize(44);
  Bytes huge = Header(40000, 1, 24, 0);
  huge.resize(40 + 120000);
  Bytes tooManyPixels = Header(32768, 32768, 1, 0);
  Bytes zeroWidth = Header(0, 1, 24, 0);
  zeroWidth.resize(48);
  Bytes rle = Header(2, 1, 8, 1);
  rle.resize(40 + 1024 + 4);
  Bytes oddDepth = Header(2, 1, 12, 0);
  oddDepth.resize(60);
  Bytes masksMissing = Header(1, 1, 32, 3);
  masksMissing.resize(40 + 8);
  const Case cases[] = {{"rows cut short", rowsShort},
                        {"more colours than the depth allows", tooManyColours},
                        {"colour table cut short", tableShort},
                        {"header longer than the block", headerLong},
                        {"side too long", huge},
                        {"too many pixels", tooManyPixels},
                        {"zero width", zeroWidth},
                        {"run-length coded", rle},
                        {"unknown depth", oddDepth},
                        {"masks missing", masksMissing},
                        {"too short for a header", Bytes(39, 0)}};
  for (const Case& c : cases) {
    os::CRgbPicture p;
    EXPECT_FALSE(os::ReadPackedDib(c.data.data(), c.data.size(), p)) << c.what;
  }
}

TEST(PackedDib, WrittenPicturesAndFilesReadBackExactly) {
  os::CRgbPicture picture;
  picture.width = 5;  // 15 bytes a row: padding on every row
  picture.height = 3;
  for (int i = 0; i < 15; ++i) picture.pixels.push_back(0x0A0B0Cu * static_cast<std::uint32_t>(i) ^ 0x123456u);

  const Bytes dib = os::WritePackedDib24(picture);
  ASSERT_EQ(dib.size(), 40u + 16u * 3u);
  // Bottom-up: the bottom-left pixel comes first, in blue-green-red order.
  const std::uint32_t bottomLeft = picture.pixels[10];
  EXPECT_EQ(dib[40], bottomLeft & 0xFF);
  EXPECT_EQ(dib[42], bottomLeft >> 16);
  os::CRgbPicture back;
  ASSERT_TRUE(os::ReadPackedDib(dib.data(), dib.size(), back));
  EXPECT_EQ(back.pixels, picture.pixels);

  const Bytes bmp = os::WriteBmpFile(picture);
  ASSERT_TRUE(os::ReadBmpFile(bmp.data(), bmp.size(), back));
  EXPECT_EQ(back.pixels, picture.pixels);
  Bytes badOffset = bmp;
  badOffset[10] = 0xFF;  // rows said to start beyond the file
  badOffset[11] = 0xFF;
  EXPECT_FALSE(os::ReadBmpFile(badOffset.data(), badOffset.size(), back));

  const Bytes png = os::WritePngData(picture);
  ASSERT_TRUE(os::ReadPngData(png.data(), png.size(), back));
  EXPECT_EQ(back.width, 5);
  EXPECT_EQ(back.pixels, picture.pixels);
  for (std::size_t cut : {png.size() / 2, std::size_t{20}}) {
    Bytes shortPng(png.begin(), png.begin() + static_cast<long>(cut));
    EXPECT_FALSE(os::ReadPngData(shortPng.data(), shortPng.size(), back)) << cut;
  }

  os::CRgbPicture inconsistent;
  inconsistent.width = 2;
  inconsistent.height = 2;
  inconsistent.pixels.assign(3, 0);
  EXPECT_TRUE(os::WritePackedDib24(inconsistent).empty());
  EXPECT_TRUE(os::WritePngData(inconsistent).empty());
}

}  // namespace
