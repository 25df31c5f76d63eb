// Generates resources/data/BITMAP_8000_brushtips.bmp: the eight brush tips of
// the annotation brushes as one 8-bit grey bottom-up picture of 176 x 22 pixels,
// eight cells of 22 pixels, the largest tip on the left. Tip i (size 1, 3, 5, 9,
// 13, 16, 19, 22) sits at the top-left of the cell starting at x = 154 - 22 i.
// Each byte is the weight of the pixel under the stamp: 0 at the tip's centre
// (full colour), rising smoothly to 255 (untouched) at the rim and outside.
//
// Build and run:  g++ -std=c++20 -O2 -o /tmp/brushtips resources/gen/brushtips.cpp
//                 /tmp/brushtips resources/data/BITMAP_8000_brushtips.bmp
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {
constexpr int kSizes[8] = {1, 3, 5, 9, 13, 16, 19, 22};
constexpr int kWidth = 176, kHeight = 22;

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, unsigned v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// Weight at (x, y) of a tip of the given size: a soft disc whose centre is
// fully covered and whose coverage falls off over the outer half of the radius.
std::uint8_t TipWeight(int size, int x, int y) {
  if (size == 1) return 0;
  const double c = size / 2.0, r = size / 2.0;
  const double d = std::hypot(x + 0.5 - c, y + 0.5 - c) / r;
  if (d >= 1.0) return 255;
  const double inner = 0.45;
  if (d <= inner) return 0;
  const double t = (d - inner) / (1.0 - inner);
  const double s = t * t * (3 - 2 * t);
  return static_cast<std::uint8_t>(std::lround(255 * s));
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: brushtips OUT.bmp\n");
    return 2;
  }
  std::vector<std::uint8_t> image(static_cast<size_t>(kWidth) * kHeight, 255);  // top-down while drawing
  for (int i = 0; i < 8; ++i) {
    const int cell = 154 - 22 * i, size = kSizes[i];
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) image[static_cast<size_t>(y) * kWidth + cell + x] = TipWeight(size, x, y);
  }
  const unsigned pixels = kWidth * kHeight, offset = 14 + 40 + 256 * 4;
  std::vector<std::uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, offset + pixels);
  Put32(b, 0);
  Put32(b, offset);
  Put32(b, 40);
  Put32(b, kWidth);
  Put32(b, kHeight);
  Put16(b, 1);
  Put16(b, 8);
  Put32(b, 0);
  Put32(b, pixels);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 256);
  Put32(b, 256);
  for (unsigned g = 0; g < 256; ++g) Put32(b, g | (g << 8) | (g << 16));
  for (int y = kHeight - 1; y >= 0; --y)  // bottom-up rows
    b.insert(b.end(), image.begin() + y * kWidth, image.begin() + (y + 1) * kWidth);
  FILE* f = std::fopen(argv[1], "wb");
  if (!f || std::fwrite(b.data(), 1, b.size(), f) != b.size() || std::fclose(f) != 0) return 1;
  return 0;
}
