#include "sintra/skin/SkinData.h"

#include "platform/os/SysColors.h"
#include "sintra/skin/Palette.h"
#include "sintra/skin/ParseSkin.h"

CSkinData g_skinData;

namespace {

// The colours a skin file must give, in the order they are read.
constexpr struct {
  const char* key;
  int index;
} kRequiredColours[] = {
    {"Color-Back", SKIN_BACK},
    {"Color-Text", SKIN_TEXT},
    {"Color-Text-Disable", SKIN_TEXT_DISABLE},
    {"Color-Shadow", SKIN_SHADOW},
    {"Color-Line", SKIN_LINE},
    {"Color-Button-Face", SKIN_BUTTON_FACE},
    {"Color-Button-Select", SKIN_BUTTON_SELECT},
    {"Color-Button-Text", SKIN_BUTTON_TEXT},
    {"Color-Button-Text-Hi", SKIN_BUTTON_TEXT_HI},
    {"Color-Button-Text-Select", SKIN_BUTTON_TEXT_SELECT},
    {"Color-Button-Disable", SKIN_BUTTON_DISABLE},
    {"Color-Button-Hi", SKIN_BUTTON_HI},
    {"Color-Button-Border", SKIN_BUTTON_BORDER},
    {"Color-Button-Shadow", SKIN_BUTTON_SHADOW},
    {"Color-Tooltip-Back", SKIN_TOOLTIP_BACK},
    {"Color-Tooltip-Text", SKIN_TOOLTIP_TEXT},
    {"Color-Menu", SKIN_MENU},
    {"Color-CaptionBar", SKIN_CAPTIONBAR},
    {"Color-CaptionBar-Focus", SKIN_CAPTIONBAR_FOCUS},
    {"Color-CaptionText", SKIN_CAPTIONTEXT},
    {"Color-CaptionText-Focus", SKIN_CAPTIONTEXT_FOCUS},
    {"Color-Window-Back", SKIN_WINDOW_BACK},
    {"Color-Dialog-Back", SKIN_DIALOG_BACK},
};

// Optional colours, all taken or all defaulted.
constexpr struct {
  const char* key;
  int index;
  COLORREF fallback;
} kProgressColours[] = {
    {"Color-Progress-Back", SKIN_PROGRESS_BACK, 0x02000000},
    {"Color-Progress-Hi", SKIN_PROGRESS_HI, 0x02FFFFFF},
    {"Color-Progress-Lo", SKIN_PROGRESS_LO, 0x02404040},
    {"Color-BitmapFrame", SKIN_BITMAPFRAME, 0x02000000},
};

// Where a skin colour comes from without a skin: a system colour, or a fixed value.
struct SystemSource {
  int sysColour;  // -1 for a fixed value
  COLORREF fixed;
};
constexpr SystemSource kSystemSources[SKIN_COLOUR_COUNT] = {
    {COLOR_BTNFACE, 0},
    {COLOR_WINDOWTEXT, 0},
    {COLOR_GRAYTEXT, 0},
    {COLOR_3DDKSHADOW, 0},
    {-1, 0x02000000},
    {COLOR_BTNFACE, 0},
    {COLOR_BTNHIGHLIGHT, 0},
    {COLOR_BTNTEXT, 0},
    {COLOR_BTNTEXT, 0},
    {COLOR_BTNTEXT, 0},
    {COLOR_BTNFACE, 0},
    {COLOR_BTNHIGHLIGHT, 0},
    {COLOR_WINDOWFRAME, 0},
    {COLOR_BTNSHADOW, 0},
    {COLOR_INFOBK, 0},
    {COLOR_INFOTEXT, 0},
    {COLOR_INACTIVECAPTION, 0},
    {COLOR_ACTIVECAPTION, 0},
    {COLOR_INACTIVECAPTIONTEXT, 0},
    {COLOR_CAPTIONTEXT, 0},
    {COLOR_MENU, 0},
    {COLOR_WINDOW, 0},
    {COLOR_BTNFACE, 0},
    {-1, 0x02000000},
    {-1, 0x02FFFFFF},
    {-1, 0x02404040},
    {-1, 0x02000000},
};

void RectangleRegion(POINT* points, const CSize& size) {
  points[0] = POINT{0, 0};
  points[1] = POINT{0, size.cy};
  points[2] = POINT{size.cx, size.cy};
  points[3] = POINT{size.cx, 0};
}

}  // namespace

CSkinData::CSkinData() {
  m_defaultURL.clear();
  m_skinInUse = 0;
  m_8BitDisplay = 0;
  m_forcedColours = 0;
  m_palette = nullptr;
}

void CSkinData::DefaultSkin() {
  m_defaultURL = kDefaultSkinURL;
  m_jogStyle = 0;
  m_jogStyleSmall = 0;
  m_counterStyle = -1;
  m_counterStyleSmall = -1;
  m_hideStyle = 0;
  m_bitmapSmall = m_bitmapMedium = m_bitmapLarge = 2;
  m_sizeSmall = CSize(349, 65);
  m_sizeBig = CSize(349, 306);
  m_iconSize = CSize(13, 13);
  m_iconGap.cx = 6;
  m_iconOffsetSmall = m_iconOffsetBig = CPoint(m_sizeSmall.cx - 4 * m_iconSize.cx - 9, 2);
  m_captionHeight = 18;
  m_titleMaxCharsSmall = 18;
  m_titleMaxCharsLarge = 58;
  m_titleOffsetSmall = m_rectMoveSmall.left;  // the move rectangles as they were
  m_titleOffsetLarge = m_rectMoveBig.left;
  m_pointCounter = CPoint(0, 0);
  m_rectProperty = CRect(14, 94, 314, 294);
  m_rectMoveBig = CRect(0, 0, m_sizeBig.cx, 16);
  m_rectMoveSmall = CRect(0, 0, m_sizeSmall.cx, 16);
  m_rectIcon = CRect();
  RectangleRegion(m_regionSmall, m_sizeSmall);
  RectangleRegion(m_regionBig, m_sizeBig);
  m_regionSmallCount = m_regionBigCount = 4;
  m_skinInUse = 0;
}

int CSkinData::ReadRequired(const CParseSkin& parse) {
  for (const auto& c : kRequiredColours) {
    if (!parse.GetRGB(c.key, m_colour[c.index])) return 0;
  }
  return parse.GetSize("Size-Small", m_sizeSmall) && parse.GetSize("Size-Big", m_sizeBig) &&
         parse.GetInt("CaptionHeight", m_captionHeight) && parse.GetSize("IconSize", m_iconSize) &&
         parse.GetSize("IconGap", m_iconGap) && parse.GetPoint("IconOffsetSmall", m_iconOffsetSmall) &&
         parse.GetPoint("IconOffsetBig", m_iconOffsetBig) && parse.GetRect("Rect-MoveSmall", m_rectMoveSmall) &&
         parse.GetRect("Rect-MoveBig", m_rectMoveBig) && parse.GetRect("Rect-Property", m_rectProperty) &&
         parse.GetRect("Rect-Jog", m_rectJog) && parse.GetPoint("Point-Counter", m_pointCounter);
}

void CSkinData::ReadOptional(const CParseSkin& parse) {
  int title[4];
  if (!(parse.GetInt("Title-OffsetSmall", title[0]) && parse.GetInt("Title-OffsetLarge", title[1]) &&
        parse.GetInt("Title-MaxCharsSmall", title[2]) && parse.GetInt("Title-MaxCharsLarge", title[3]))) {
    title[0] = m_rectMoveSmall.left;
    title[1] = m_rectMoveBig.left;
    title[2] = 18;
    title[3] = 58;
  }
  m_titleOffsetSmall = title[0];
  m_titleOffsetLarge = title[1];
  m_titleMaxCharsSmall = title[2];
  m_titleMaxCharsLarge = title[3];

  COLORREF progress[4];
  bool allProgress = true;
  for (int i = 0; i < 4; ++i) allProgress = allProgress && parse.GetRGB(kProgressColours[i].key, progress[i]);
  for (int i = 0; i < 4; ++i)
    m_colour[kProgressColours[i].index] = allProgress ? progress[i] : kProgressColours[i].fallback;

  if (!parse.GetRect("Rect-Icon", m_rectIcon)) m_rectIcon = CRect();
  parse.GetInt("Counter-Style", m_counterStyle);
  if (!parse.GetInt("Counter-StyleSmall", m_counterStyleSmall)) m_counterStyleSmall = m_counterStyle;
  parse.GetInt("Hide-Style", m_hideStyle);
  parse.GetInt("Jog-Style", m_jogStyle);
  if (!parse.GetInt("Jog-StyleSmall", m_jogStyleSmall)) m_jogStyleSmall = m_jogStyle;
  if (!parse.GetRect("Rect-JogSmall", m_rectJogSmall)) m_rectJogSmall = m_rectJog;
  if (!parse.GetPoint("Point-CounterSmall", m_pointCounterSmall)) m_pointCounterSmall = m_pointCounter;
  m_regionSmallCount = parse.GetRegion("Region-Small", "Region-SmallCount", m_regionSmall);
  m_regionBigCount = parse.GetRegion("Region-Big", "Region-BigCount", m_regionBig);
  m_bitmapSmall = parse.GetInt("Bitmap-Small");
  m_bitmapMedium = parse.GetInt("Bitmap-Medium");
  m_bitmapLarge = parse.GetInt("Bitmap-Large");
  m_defaultURL = parse.GetString("Default-URL", kDefaultSkinURL);
}

int CSkinData::LoadSkin(const char* path) {
  // A file that cannot be read parses as empty and fails like one without "Use-Skin".
  CParseSkin parse;
  parse.ReadFile(path);
  return UseSkin(parse);
}

int CSkinData::UseSkin(const CParseSkin& parse) {
  DefaultSkin();
  if (parse.GetInt("Use-Skin") == 0 || !ReadRequired(parse)) {
    DefaultSkin();
    return 0;
  }
  ReadOptional(parse);
  m_skinInUse = 1;
  return 1;
}

// With a skin file (or forced colours) the stored colour; otherwise the
// matching system colour or a fixed value. On an 8-bit display the
// palette-relative flag is added, except to the fixed values. An index
// outside the 27 skin colours is taken as a system colour number.
COLORREF CSkinData::SkinColour(int index) const {
  const bool skinIndex = index >= 0 && index < SKIN_COLOUR_COUNT;
  COLORREF colour;
  if (skinIndex && (m_skinInUse || m_forcedColours)) {
    colour = m_colour[index];
  } else if (skinIndex && kSystemSources[index].sysColour < 0) {
    return kSystemSources[index].fixed;
  } else {
    colour = GetSysColor(skinIndex ? kSystemSources[index].sysColour : index);
  }
  return m_8BitDisplay ? (colour | kPaletteRelative) : colour;
}

void CSkinData::Test8Bit(CDC* dc) {
  (void)dc;
  m_8BitDisplay = 0;  // no device on this platform has 8 bits per pixel
}
