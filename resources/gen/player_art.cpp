// Generates the player's control artwork into a resources/data folder:
//
//   BITMAP_544_buttonbar.bmp   24-bit, 132 x 112: the button bar in four rows of
//                              28 pixels (disabled, normal, hot, checked); Play,
//                              Stop, Pause and Open as 22-pixel buttons and the
//                              seven speed cells (1/8 ... 8) under the "SPEED"
//                              label, each at the area the player's bar gives it.
//   BITMAP_7027_digits.bmp     24-bit, 160 x 17: sixteen 10-pixel cells, the
//                              digits 0-9 as segment digits, the separator (a
//                              colon in the left four pixels) and blanks, on the
//                              mask colour 0xFF00FF.
//   BITMAP_10001_corner.bmp    24-bit, 32 x 16: the preview window's corner box,
//                              a sizing grip (image 0) and the same grip greyed
//                              (image 1), on the mask colour 0xFF00FF.
//   CURSOR_140_hand.bmp        32-bit with alpha, 32 x 32: a pointing hand; its
//                              hot spot (the tip of the finger) is stored in the
//                              file header's two reserved words.
//
// Every output is a pure function of this file, so regenerating must give the
// committed files byte for byte (a test checks this).
//
// Build and run:  g++ -std=c++20 -O2 -o /tmp/player_art resources/gen/player_art.cpp
//                 /tmp/player_art resources/data
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
  int r, g, b;
};

constexpr Rgb kMask{255, 0, 255};

// A picture of 0xAARRGGBB pixels, top-down while drawing.
class Canvas {
 public:
  Canvas(int w, int h, Rgb fill, int alpha = 255) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, Pack(fill, alpha)) {}

  int Width() const { return w_; }
  int Height() const { return h_; }
  std::uint32_t At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

  void Set(int x, int y, Rgb c, int alpha = 255) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<size_t>(y) * w_ + x] = Pack(c, alpha);
  }
  // Paints c over the pixel with the given coverage (0..1), keeping it opaque.
  void Blend(int x, int y, Rgb c, double cover) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || cover <= 0) return;
    cover = std::min(cover, 1.0);
    std::uint32_t& p = px_[static_cast<size_t>(y) * w_ + x];
    const auto mix = [&](int shift, int v) {
      const int old = static_cast<int>((p >> shift) & 0xFF);
      return static_cast<int>(std::lround(old + (v - old) * cover));
    };
    p = Pack({mix(16, c.r), mix(8, c.g), mix(0, c.b)}, 255);
  }
  void Fill(int x0, int y0, int x1, int y1, Rgb c) {  // inclusive corners
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Set(x, y, c);
  }

 private:
  static std::uint32_t Pack(Rgb c, int a) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(c.r) << 16) |
           (static_cast<std::uint32_t>(c.g) << 8) | static_cast<std::uint32_t>(c.b);
  }
  int w_, h_;
  std::vector<std::uint32_t> px_;
};

// Coverage of a pixel by a shape, from 8 x 8 samples.
template <typename Inside>
double Coverage(int x, int y, Inside inside) {
  int hits = 0;
  for (int sy = 0; sy < 8; ++sy)
    for (int sx = 0; sx < 8; ++sx) hits += inside(x + (sx + 0.5) / 8.0, y + (sy + 0.5) / 8.0) ? 1 : 0;
  return hits / 64.0;
}

// Inside a rounded rectangle spanning [x0, x1) x [y0, y1) in pixel edges.
bool InRoundRect(double px, double py, double x0, double y0, double x1, double y1, double r) {
  if (px < x0 || px >= x1 || py < y0 || py >= y1) return false;
  const double cx = std::clamp(px, x0 + r, x1 - r), cy = std::clamp(py, y0 + r, y1 - r);
  return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
}

Rgb Lerp(Rgb a, Rgb b, double t) {
  const auto l = [t](int u, int v) { return static_cast<int>(std::lround(u + (v - u) * t)); };
  return {l(a.r, b.r), l(a.g, b.g), l(a.b, b.b)};
}

// ---------------------------------------------------------------- files

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, unsigned v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& b) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

// A bottom-up BMP: 24 bits (rows padded to 4 bytes) or 32 bits with alpha.
// The reserved words carry a cursor's hot spot.
bool WriteBmp(const std::string& path, const Canvas& c, int bits, int hotX = 0, int hotY = 0) {
  const unsigned rowBytes = static_cast<unsigned>((c.Width() * bits / 8 + 3) & ~3);
  const unsigned pixels = rowBytes * static_cast<unsigned>(c.Height()), offset = 14 + 40;
  std::vector<std::uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, offset + pixels);
  Put16(b, static_cast<unsigned>(hotX));
  Put16(b, static_cast<unsigned>(hotY));
  Put32(b, offset);
  Put32(b, 40);
  Put32(b, static_cast<unsigned>(c.Width()));
  Put32(b, static_cast<unsigned>(c.Height()));
  Put16(b, 1);
  Put16(b, static_cast<unsigned>(bits));
  Put32(b, 0);
  Put32(b, pixels);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = c.Height() - 1; y >= 0; --y) {
    const size_t start = b.size();
    for (int x = 0; x < c.Width(); ++x) {
      const std::uint32_t p = c.At(x, y);
      b.push_back(static_cast<std::uint8_t>(p));
      b.push_back(static_cast<std::uint8_t>(p >> 8));
      b.push_back(static_cast<std::uint8_t>(p >> 16));
      if (bits == 32) b.push_back(static_cast<std::uint8_t>(p >> 24));
    }
    while (b.size() - start < rowBytes) b.push_back(0);
  }
  return WriteFile(path, b);
}

// ---------------------------------------------------------------- tiny font

// 3 x 5 pixel glyphs, rows top-down, bit 2 = left column.
struct Glyph {
  char ch;
  std::uint8_t rows[5];
};
constexpr Glyph kTiny[] = {
    {'1', {2, 6, 2, 2, 7}}, {'2', {6, 1, 2, 4, 7}}, {'4', {5, 5, 7, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'x', {0, 5, 2, 5, 0}}, {'S', {3, 4, 2, 1, 6}},
    {'P', {6, 5, 6, 4, 4}}, {'E', {7, 4, 6, 4, 7}}, {'D', {6, 5, 5, 5, 6}},
};

void TinyText(Canvas& c, int x, int y, const char* text, Rgb ink) {
  for (; *text; ++text, x += 4)
    for (const Glyph& g : kTiny)
      if (g.ch == *text)
        for (int row = 0; row < 5; ++row)
          for (int col = 0; col < 3; ++col)
            if (g.rows[row] & (4 >> col)) c.Set(x + col, y + row, ink);
}

// ---------------------------------------------------------------- button bar

constexpr int kBarWidth = 132, kRowHeight = 28;
constexpr Rgb kBarBack{255, 255, 255};

enum class Look { Disabled, Normal, Hot, Checked };

struct Face {
  Rgb border, top, bottom, ink;
  bool sunken;
};

Face FaceFor(Look look) {
  switch (look) {
    case Look::Disabled:
      return {{214, 214, 214}, {243, 243, 243}, {236, 236, 236}, {190, 190, 190}, false};
    case Look::Normal:
      return {{184, 184, 184}, {252, 252, 252}, {222, 222, 222}, {50, 50, 50}, false};
    case Look::Hot:
      return {{201, 150, 40}, {255, 238, 188}, {240, 196, 92}, {40, 40, 40}, false};
    case Look::Checked:
      return {{150, 108, 20}, {214, 160, 48}, {237, 190, 74}, {20, 20, 20}, true};
  }
  return {};
}

// A rounded button face over the pixel box [x0, x1] x [y0, y1].
void ButtonFace(Canvas& c, int x0, int y0, int x1, int y1, const Face& f, double radius) {
  const double l = x0, t = y0, r = x1 + 1, b = y1 + 1;
  for (int y = y0; y <= y1; ++y) {
    const Rgb fill = Lerp(f.top, f.bottom, (y - y0) / static_cast<double>(std::max(1, y1 - y0)));
    for (int x = x0; x <= x1; ++x) {
      const double outer =
          Coverage(x, y, [&](double px, double py) { return InRoundRect(px, py, l, t, r, b, radius); });
      const double inner = Coverage(
          x, y, [&](double px, double py) { return InRoundRect(px, py, l + 1, t + 1, r - 1, b - 1, radius - 1); });
      c.Blend(x, y, f.border, outer);
      c.Blend(x, y, fill, inner);
    }
  }
  if (f.sunken)  // a shadow line under the top edge
    for (int x = x0 + 2; x <= x1 - 2; ++x) c.Blend(x, y0 + 1, {120, 86, 16}, 0.45);
}

// The glyphs, drawn in a 22-pixel square whose top-left pixel is (x, y).
void PlayGlyph(Canvas& c, int x, int y, Rgb ink) {
  const double ax = x + 8.0, ay = y + 5.5, bx = x + 8.0, by = y + 16.5, tx = x + 16.0, ty = y + 11.0;
  const auto inside = [&](double px, double py) {
    const auto side = [](double x0, double y0, double x1, double y1, double qx, double qy) {
      return (x1 - x0) * (qy - y0) - (y1 - y0) * (qx - x0);
    };
    const double s1 = side(ax, ay, tx, ty, px, py), s2 = side(tx, ty, bx, by, px, py),
                 s3 = side(bx, by, ax, ay, px, py);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
  };
  for (int py = y + 4; py < y + 18; ++py)
    for (int px = x + 6; px < x + 18; ++px) c.Blend(px, py, ink, Coverage(px, py, inside));
}

void StopGlyph(Canvas& c, int x, int y, Rgb ink) {
  for (int py = y + 6; py <= y + 15; ++py)
    for (int px = x + 6; px <= x + 15; ++px) {
      const bool corner = (py == y + 6 || py == y + 15) && (px == x + 6 || px == x + 15);
      c.Blend(px, py, ink, corner ? 0.45 : 1.0);
    }
}

void PauseGlyph(Canvas& c, int x, int y, Rgb ink) {
  c.Fill(x + 6, y + 6, x + 9, y + 15, ink);
  c.Fill(x + 12, y + 6, x + 15, y + 15, ink);
}

// An eject-style "open" mark: a triangle over a bar, in a box of w x h pixels.
void OpenGlyph(Canvas& c, int x, int y, int w, Rgb ink) {
  const double cx = x + w / 2.0;
  const auto tri = [&](double px, double py) {
    const double top = y + 1.0, base = y + 6.0, half = 5.0;
    if (py < top || py > base) return false;
    return std::abs(px - cx) <= half * (py - top) / (base - top);
  };
  for (int py = y; py <= y + 7; ++py)
    for (int px = x; px < x + w; ++px) c.Blend(px, py, ink, Coverage(px, py, tri));
  for (int px = static_cast<int>(cx) - 5; px < static_cast<int>(cx) + 5; ++px) c.Set(px, y + 8, ink);
}

// Draws one 28-pixel row of the bar in the given look.
void ButtonRow(Canvas& c, int row, Look look) {
  const int top = row * kRowHeight;
  const Face f = FaceFor(look);
  c.Fill(0, top, kBarWidth - 1, top + kRowHeight - 1, kBarBack);
  // Play, Stop, Pause: areas (3..24), (27..48), (51..72), rows 3..24.
  const int lefts[3] = {3, 27, 51};
  for (int i = 0; i < 3; ++i) {
    ButtonFace(c, lefts[i], top + 3, lefts[i] + 21, top + 24, f, 4.0);
    const int dx = look == Look::Checked ? 1 : 0;
    if (i == 0) PlayGlyph(c, lefts[i] + dx, top + 3 + dx, f.ink);
    if (i == 1) StopGlyph(c, lefts[i] + dx, top + 3 + dx, f.ink);
    if (i == 2) PauseGlyph(c, lefts[i] + dx, top + 3 + dx, f.ink);
  }
  // Open: its area is 75..97 x 3..24, but the speed cells lie over its lower
  // right part, so the face takes the upper half and the label the rest.
  ButtonFace(c, 75, top + 3, 97, top + 14, f, 3.0);
  OpenGlyph(c, 75, top + 4, 23, f.ink);
  // Speed cells at rows 16..23: 1/8, 1/4, 1/2 (a bar over the divisor), 1, 2, 4, 8.
  struct Cell {
    int left, right;
    const char* text;
    bool fraction;
  };
  const Cell cells[7] = {{82, 86, "8", true},    {88, 92, "4", true},    {94, 98, "2", true},   {100, 108, "1x", false},
                         {110, 114, "2", false}, {116, 120, "4", false}, {122, 126, "8", false}};
  for (const Cell& cell : cells) {
    const Rgb backs[4] = {{244, 244, 244}, {232, 232, 232}, {255, 228, 150}, {226, 170, 50}};
    const Rgb back = backs[static_cast<int>(look)], ink = f.ink;
    c.Fill(cell.left, top + 16, cell.right, top + 23, back);
    const int textWidth = static_cast<int>(std::string(cell.text).size()) * 4 - 1;
    const int tx = cell.left + (cell.right - cell.left + 1 - textWidth) / 2;
    TinyText(c, tx, top + 19, cell.text, ink);
    if (cell.fraction) c.Fill(tx, top + 17, tx + 2, top + 17, ink);
  }
  // The label over the cells and a thin rule under them: the same in every row.
  const Rgb label{140, 140, 140};
  TinyText(c, 107, top + 8, "SPEED", label);
  for (int x = 82; x <= 126; ++x) c.Set(x, top + 25, {214, 214, 214});
}

Canvas ButtonBar() {
  Canvas c(kBarWidth, 4 * kRowHeight, kBarBack);
  ButtonRow(c, 0, Look::Disabled);
  ButtonRow(c, 1, Look::Normal);
  ButtonRow(c, 2, Look::Hot);
  ButtonRow(c, 3, Look::Checked);
  return c;
}

// ---------------------------------------------------------------- digits

// Segments a..g of a digit in a 10 x 17 cell; bit 0 = a (top), then b (upper
// right), c (lower right), d (bottom), e (lower left), f (upper left), g (middle).
constexpr std::uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void DigitCell(Canvas& c, int cell, int digit, Rgb ink) {
  const int x = cell * 10;
  const std::uint8_t s = kSegments[digit];
  const bool a = s & 0x01, b = s & 0x02, cc = s & 0x04, d = s & 0x08, e = s & 0x10, f = s & 0x20, g = s & 0x40;
  // Strokes are two pixels wide and join where they meet; the outermost
  // corner pixel stays off, which rounds the corners at this size.
  if (f) c.Fill(x + 1, 2, x + 2, 7, ink);
  if (b) c.Fill(x + 7, 2, x + 8, 7, ink);
  if (e) c.Fill(x + 1, 8, x + 2, 13, ink);
  if (cc) c.Fill(x + 7, 8, x + 8, 13, ink);
  if (a) c.Fill(x + (f ? 2 : 3), 1, x + (b ? 7 : 6), 2, ink);
  if (g) c.Fill(x + 3, 7, x + 6, 8, ink);
  if (d) c.Fill(x + (e ? 2 : 3), 13, x + (cc ? 7 : 6), 14, ink);
}

Canvas Digits() {
  Canvas c(160, 17, kMask);
  const Rgb ink{50, 50, 50};
  for (int d = 0; d < 10; ++d) DigitCell(c, d, d, ink);
  // Cell 10: a colon in the separator's four pixels; cells 11-15 stay blank.
  c.Fill(101, 5, 102, 6, ink);
  c.Fill(101, 11, 102, 12, ink);
  return c;
}

// ---------------------------------------------------------------- corner box

Canvas Corner() {
  Canvas c(32, 16, kMask);
  const Rgb dark[2] = {{112, 112, 112}, {176, 176, 176}}, light[2] = {{255, 255, 255}, {250, 250, 250}};
  for (int image = 0; image < 2; ++image)
    for (int row = 0; row < 3; ++row)
      for (int col = 2 - row; col < 3; ++col) {
        const int x = image * 16 + 4 + col * 4, y = 4 + row * 4;
        c.Fill(x + 1, y + 1, x + 2, y + 2, light[image]);
        c.Fill(x, y, x + 1, y + 1, dark[image]);
      }
  return c;
}

// ---------------------------------------------------------------- cursor

// '#' outline, '.' fill, anything else transparent; rows top-down.
constexpr const char* kHand[] = {
    "     ##          ",  //
    "    #..#         ",  //
    "    #..#         ",  //
    "    #..#         ",  //
    "    #..#         ",  //
    "    #..###       ",  //
    "    #..#..###    ",  //
    "    #..#..#..##  ",  //
    "    #..#..#..#.# ",  //
    " ## #..#..#..#..#",  //
    "#..##........#..#",  //
    "#...#...........#",  //
    " #..............#",  //
    "  #.............#",  //
    "  #.............#",  //
    "   #............#",  //
    "   #...........# ",  //
    "    #..........# ",  //
    "    #..........# ",  //
    "     #........#  ",  //
    "     #........#  ",  //
    "     ##########  ",  //
};
constexpr int kHandLeft = 0, kHandTop = 0, kHotX = 5, kHotY = 0;

Canvas Hand() {
  Canvas c(32, 32, {0, 0, 0}, 0);
  for (int y = 0; y < static_cast<int>(sizeof kHand / sizeof kHand[0]); ++y)
    for (int x = 0; kHand[y][x]; ++x) {
      if (kHand[y][x] == '#') c.Set(kHandLeft + x, kHandTop + y, {0, 0, 0});
      if (kHand[y][x] == '.') c.Set(kHandLeft + x, kHandTop + y, {255, 255, 255});
    }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: player_art DATA_FOLDER\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const bool ok = WriteBmp(dir + "BITMAP_544_buttonbar.bmp", ButtonBar(), 24) &&
                  WriteBmp(dir + "BITMAP_7027_digits.bmp", Digits(), 24) &&
                  WriteBmp(dir + "BITMAP_10001_corner.bmp", Corner(), 24) &&
                  WriteBmp(dir + "CURSOR_140_hand.bmp", Hand(), 32, kHandLeft + kHotX, kHandTop + kHotY);
  return ok ? 0 : 1;
}
