#include "sintra/skin/Palette.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace {

using Table = std::array<PALETTEENTRY, kPaletteEntries>;

// The twenty static colours of a 256-colour display: ten at the start, ten at the end.
constexpr PALETTEENTRY kStatic[kStaticColours] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

constexpr int kCubeSteps = 6;   // 0, 51, 102, 153, 204, 255
constexpr int kGreySteps = 20;  // between the cube's own greys
static_assert(kStaticColours + kCubeSteps * kCubeSteps * kCubeSteps + kGreySteps == kPaletteEntries);

constexpr PALETTEENTRY Entry(int r, int g, int b) {
  return PALETTEENTRY{static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), 0};
}

// Static colours at both ends and, between them, a 6x6x6 colour cube in steps
// of 51 and twenty grey steps. The table for a caller's buffer runs the cube
// with red fastest and puts the greys after it; the other puts the greys
// first and runs the cube with blue fastest.
constexpr Table MakeTable(bool forCallerBuffer) {
  Table t{};
  for (int i = 0; i < kStaticColours / 2; ++i) {
    t[static_cast<std::size_t>(i)] = kStatic[i];
    t[static_cast<std::size_t>(kPaletteEntries - kStaticColours / 2 + i)] = kStatic[kStaticColours / 2 + i];
  }
  int at = kStaticColours / 2;
  const auto greys = [&] {
    for (int i = 1; i <= kGreySteps; ++i) {
      const int v = (i * 255 + 10) / (kGreySteps + 1);
      t[static_cast<std::size_t>(at++)] = Entry(v, v, v);
    }
  };
  if (!forCallerBuffer) greys();
  for (int a = 0; a < kCubeSteps; ++a) {
    for (int b = 0; b < kCubeSteps; ++b) {
      for (int c = 0; c < kCubeSteps; ++c) {
        t[static_cast<std::size_t>(at++)] =
            forCallerBuffer ? Entry(c * 51, b * 51, a * 51) : Entry(a * 51, b * 51, c * 51);
      }
    }
  }
  if (forCallerBuffer) greys();
  return t;
}

constexpr Table kCallerTable = MakeTable(true);
constexpr Table kOwnTable = MakeTable(false);

// The display's palette use and static colour count, as a 256-colour display
// with the usual static colours would report them.
constexpr UINT kSystemPaletteUse = SYSPAL_STATIC;
constexpr int kSystemColourCount = kStaticColours;

void FillLogicalPalette(tagLOGPALETTE256& lp, const PALETTEENTRY* table) {
  lp.palVersion = 0x300;
  lp.palNumEntries = kPaletteEntries;
  const int keep = kSystemPaletteUse == SYSPAL_NOSTATIC ? 0 : kSystemColourCount / 2;
  for (int i = 0; i < kPaletteEntries; ++i) {
    const bool isStatic = i < keep || i >= kPaletteEntries - keep;
    const int staticIndex = i < keep ? i : kStaticColours - (kPaletteEntries - i);
    lp.palPalEntry[i] = isStatic ? kStatic[staticIndex] : table[i];
    lp.palPalEntry[i].peFlags = isStatic ? 0 : PC_NOCOLLAPSE;
  }
}

void CompleteHeader(tagPALHEADER& h, const tagLOGPALETTE256& lp) {
  BITMAPINFOHEADER& bi = h.bmiHeader;
  bi.biSize = sizeof(BITMAPINFOHEADER);
  bi.biPlanes = 1;
  if (bi.biBitCount != 8 && bi.biBitCount != 16 && bi.biBitCount != 24) bi.biBitCount = 24;
  bi.biCompression = bi.biBitCount == 16 ? BI_BITFIELDS : BI_RGB;
  const std::uint64_t width = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(bi.biWidth)));
  const std::uint64_t height = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(bi.biHeight)));
  const std::uint64_t stride = (width * bi.biBitCount + 31) / 32 * 4;
  // A size that does not fit the field is left 0 ("not given").
  const bool fits = height == 0 || stride <= 0xFFFFFFFFu / height;
  bi.biSizeImage = fits ? static_cast<DWORD>(stride * height) : 0;
  bi.biClrUsed = 0;
  if (bi.biBitCount == 16) {
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(h.bmiColors, masks, sizeof masks);
  } else if (bi.biBitCount == 8) {
    bi.biClrUsed = kPaletteEntries;
    for (int i = 0; i < kPaletteEntries; ++i) {
      const PALETTEENTRY& e = lp.palPalEntry[i];
      h.bmiColors[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
  }
}

}  // namespace

int CPalette::CreatePalette(const tagLOGPALETTE256* logPalette) {
  if (!logPalette || logPalette->palNumEntries == 0) return 0;
  const int count = std::min<int>(logPalette->palNumEntries, kPaletteEntries);
  m_entries.assign(logPalette->palPalEntry, logPalette->palPalEntry + count);
  m_created = true;
  return 1;
}

void CPalette::DeleteObject() {
  m_entries.clear();
  m_created = false;
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const {
  if (!entries || start >= m_entries.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(m_entries.size()) - start);
  std::copy_n(m_entries.begin() + start, n, entries);
  return n;
}

const PALETTEENTRY* FixedPaletteTable(bool forCallerBuffer) {
  return forCallerBuffer ? kCallerTable.data() : kOwnTable.data();
}

void ClearSystemPalette() {}

int SetUpPalette(CPalette* palette, tagPALHEADER* header, tagLOGPALETTE256* logPalette) {
  ClearSystemPalette();
  tagLOGPALETTE256 local{};
  tagLOGPALETTE256& lp = logPalette ? *logPalette : local;
  FillLogicalPalette(lp, FixedPaletteTable(logPalette != nullptr));
  if (palette && !palette->IsCreated()) palette->CreatePalette(&lp);
  if (header) CompleteHeader(*header, lp);
  return 1;
}

int FixedPalette(CDC* dc, CPalette* palette) {
  (void)dc;
  (void)palette;
  return 0;  // no device here has 8 bits per pixel
}

int QueryNewPalette(CWnd* window, CPalette* palette, BOOL background) {
  (void)window;
  (void)palette;
  (void)background;
  return 0;  // realising never changes entries on a true-colour display
}
