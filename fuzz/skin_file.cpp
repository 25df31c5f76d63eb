// Skin files under arbitrary bytes: the parser, every typed getter, the
// regions and applying the whole skin to a record.
#include "sintra/skin/ParseSkin.h"
#include "sintra/skin/SkinData.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CParseSkin parse;
  parse.Parse(reinterpret_cast<const char*>(data), size);
  POINT points[CParseSkin::kMaxRegionPoints];
  const int count = parse.GetRegion("Region-Small", "Region-SmallCount", points);
  if (count < 0 || count >= CParseSkin::kMaxRegionPoints) __builtin_trap();
  COLORREF colour = 0;
  SIZE size2{};
  RECT rect{};
  POINT point{};
  parse.GetRGB("Color-Back", colour);
  parse.GetSize("Size-Small", size2);
  parse.GetRect("Rect-Jog", rect);
  parse.GetPoint("Point-Counter", point);
  parse.GetString("Default-URL", "");

  static CSkinData* skin = new CSkinData;  // 8 KiB of regions: made once
  skin->UseSkin(parse);
  if (skin->m_regionBigCount < 0 || skin->m_regionBigCount >= kSkinRegionPoints) __builtin_trap();
  for (int i = 0; i < SKIN_COLOUR_COUNT + 4; ++i) skin->SkinColour(i);
  return 0;
}
