// Draws the player's application icon for the desktop's icon theme: the blue
// tile of the program's window icons with a dark play triangle and a progress
// bar under it. One geometry in unit coordinates gives both the scalable SVG
// and the PNG pictures, so every size shows the same drawing.
//
//   app_icon OUTPUT_FOLDER SIZE...
//
// writes OUTPUT_FOLDER/NxN/apps/olvane.png for each size and
// OUTPUT_FOLDER/scalable/apps/olvane.svg, the hicolor theme's layout.
// Every output is a pure function of this file and the sizes.
#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rgb {
  double r, g, b;
};

// The window icons' colours (ICON_128..130): tile, its darker rim, the glyph
// and the light track.
constexpr Rgb kTile{0x4A, 0xBE, 0xED};
constexpr Rgb kRim{0x2C, 0x8D, 0xB5};
constexpr Rgb kGlyph{0x32, 0x32, 0x32};
constexpr Rgb kTrack{0xEB, 0xEB, 0xEB};

// Geometry in units of the icon's side.
constexpr double kTileMin = 0.0625, kTileMax = 0.9375, kTileRadius = 0.1875, kRimWidth = 0.03125;
constexpr double kTriangle[3][2] = {{0.38, 0.22}, {0.38, 0.66}, {0.76, 0.44}};
constexpr double kBarLeft = 0.22, kBarRight = 0.78, kBarTop = 0.75, kBarBottom = 0.83, kBarFilled = 0.45;

bool InRoundedSquare(double x, double y, double lo, double hi, double radius) {
  const double cx = std::clamp(x, lo + radius, hi - radius);
  const double cy = std::clamp(y, lo + radius, hi - radius);
  if (x < lo || y < lo || x > hi || y > hi) return false;
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

bool InTriangle(double x, double y) {
  bool positive = false, negative = false;
  for (int i = 0; i < 3; ++i) {
    const double* a = kTriangle[i];
    const double* b = kTriangle[(i + 1) % 3];
    const double cross = (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
    positive |= cross > 0;
    negative |= cross < 0;
  }
  return !(positive && negative);
}

// The colour at a point and whether anything is drawn there.
bool ColourAt(double x, double y, Rgb& colour) {
  if (!InRoundedSquare(x, y, kTileMin, kTileMax, kTileRadius)) return false;
  colour = InRoundedSquare(x, y, kTileMin + kRimWidth, kTileMax - kRimWidth, kTileRadius - kRimWidth) ? kTile : kRim;
  if (InTriangle(x, y)) colour = kGlyph;
  if (x >= kBarLeft && x <= kBarRight && y >= kBarTop && y <= kBarBottom)
    colour = x <= kBarLeft + (kBarRight - kBarLeft) * kBarFilled ? kGlyph : kTrack;
  return true;
}

// RGBA rows, each pixel the average of 8 x 8 samples (straight alpha).
std::vector<std::uint8_t> Render(int size) {
  constexpr int kSamples = 8;
  std::vector<std::uint8_t> pixels(static_cast<size_t>(size) * size * 4);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      double r = 0, g = 0, b = 0;
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          Rgb c{};
          if (!ColourAt((px + (sx + 0.5) / kSamples) / size, (py + (sy + 0.5) / kSamples) / size, c)) continue;
          r += c.r, g += c.g, b += c.b;
          ++hits;
        }
      }
      std::uint8_t* out = &pixels[(static_cast<size_t>(py) * size + px) * 4];
      if (hits) {
        out[0] = static_cast<std::uint8_t>(std::lround(r / hits));
        out[1] = static_cast<std::uint8_t>(std::lround(g / hits));
        out[2] = static_cast<std::uint8_t>(std::lround(b / hits));
        out[3] = static_cast<std::uint8_t>(std::lround(255.0 * hits / (kSamples * kSamples)));
      }
    }
  }
  return pixels;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    if (mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

bool WritePng(const std::string& path, int size) {
  std::vector<std::uint8_t> pixels = Render(size);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

std::string Hex(Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(c.r), static_cast<int>(c.g),
                static_cast<int>(c.b));
  return text;
}

// The same drawing on a 256-unit canvas.
bool WriteSvg(const std::string& path) {
  const auto u = [](double v) { return std::to_string(static_cast<int>(std::lround(v * 256))); };
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
  svg += "  <rect x=\"" + u(kTileMin) + "\" y=\"" + u(kTileMin) + "\" width=\"" + u(kTileMax - kTileMin) +
         "\" height=\"" + u(kTileMax - kTileMin) + "\" rx=\"" + u(kTileRadius) + "\" fill=\"" + Hex(kRim) + "\"/>\n";
  const double inner = kTileMin + kRimWidth;
  svg += "  <rect x=\"" + u(inner) + "\" y=\"" + u(inner) + "\" width=\"" + u(kTileMax - kTileMin - 2 * kRimWidth) +
         "\" height=\"" + u(kTileMax - kTileMin - 2 * kRimWidth) + "\" rx=\"" + u(kTileRadius - kRimWidth) +
         "\" fill=\"" + Hex(kTile) + "\"/>\n";
  svg += "  <polygon points=\"";
  for (int i = 0; i < 3; ++i) svg += (i ? " " : "") + u(kTriangle[i][0]) + "," + u(kTriangle[i][1]);
  svg += "\" fill=\"" + Hex(kGlyph) + "\"/>\n";
  const double split = kBarLeft + (kBarRight - kBarLeft) * kBarFilled;
  svg += "  <rect x=\"" + u(kBarLeft) + "\" y=\"" + u(kBarTop) + "\" width=\"" + u(kBarRight - kBarLeft) +
         "\" height=\"" + u(kBarBottom - kBarTop) + "\" fill=\"" + Hex(kTrack) + "\"/>\n";
  svg += "  <rect x=\"" + u(kBarLeft) + "\" y=\"" + u(kBarTop) + "\" width=\"" + u(split - kBarLeft) + "\" height=\"" +
         u(kBarBottom - kBarTop) + "\" fill=\"" + Hex(kGlyph) + "\"/>\n";
  svg += "</svg>\n";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: app_icon OUTPUT_FOLDER SIZE...\n", stderr);
    return 2;
  }
  const std::string root = argv[1];
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 8 || size > 1024) {
      std::fprintf(stderr, "app_icon: bad size %s\n", argv[i]);
      return 2;
    }
    const std::string folder = root + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    if (!MakeFolders(folder) || !WritePng(folder + "/olvane.png", size)) {
      std::fprintf(stderr, "app_icon: cannot write %s/olvane.png\n", folder.c_str());
      return 1;
    }
  }
  if (!MakeFolders(root + "/scalable/apps") || !WriteSvg(root + "/scalable/apps/olvane.svg")) {
    std::fprintf(stderr, "app_icon: cannot write the scalable icon\n");
    return 1;
  }
  return 0;
}
