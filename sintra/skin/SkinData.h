// The skin record every window and widget takes its colours, sizes and layout
// rectangles from: one global instance, g_skinData, filled from a skin text
// file (LoadSkin) or with built-in values (DefaultSkin). Without a skin file
// the colours come from the system colours, unless ForceColour asks for the
// stored ones.
#pragma once

#include "platform/base/Point.h"
#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

#include <string>

class CDC;
class CPalette;
class CParseSkin;

// Indexes of the 27 skin colours, in the record's order.
enum SkinColourIndex : int {
  SKIN_BACK = 0,
  SKIN_TEXT,
  SKIN_TEXT_DISABLE,
  SKIN_SHADOW,
  SKIN_LINE,
  SKIN_BUTTON_FACE,
  SKIN_BUTTON_SELECT,
  SKIN_BUTTON_TEXT,
  SKIN_BUTTON_TEXT_HI,
  SKIN_BUTTON_TEXT_SELECT,
  SKIN_BUTTON_DISABLE,
  SKIN_BUTTON_HI,
  SKIN_BUTTON_BORDER,
  SKIN_BUTTON_SHADOW,
  SKIN_TOOLTIP_BACK,
  SKIN_TOOLTIP_TEXT,
  SKIN_CAPTIONBAR,
  SKIN_CAPTIONBAR_FOCUS,
  SKIN_CAPTIONTEXT,
  SKIN_CAPTIONTEXT_FOCUS,
  SKIN_MENU,
  SKIN_WINDOW_BACK,
  SKIN_DIALOG_BACK,
  SKIN_PROGRESS_BACK,
  SKIN_PROGRESS_HI,
  SKIN_PROGRESS_LO,
  SKIN_BITMAPFRAME,
  SKIN_COLOUR_COUNT
};

// Points a window region can have.
constexpr int kSkinRegionPoints = 1024;
// The address used when a skin names none.
inline constexpr const char kDefaultSkinURL[] = "https://www.kalvo.example/olvane/";

class CSkinData {
 public:
  CSkinData();
  CSkinData(const CSkinData&) = default;
  CSkinData& operator=(const CSkinData&) = default;

  // Reads a skin file; 1 when it was used, 0 when the built-in default stays.
  int LoadSkin(const char* path);
  // The same for a skin already parsed.
  int UseSkin(const CParseSkin& parse);
  // Sets the built-in sizes, rectangles and regions (colours are not touched).
  void DefaultSkin();
  // One of the 27 colours (SkinColourIndex); see the .cpp for the fall-backs.
  COLORREF SkinColour(int index) const;
  // Use the stored colours even without a skin file.
  void ForceColour() { m_forcedColours = 1; }
  // Notes whether the device shows 8 bits per pixel (never true here); a
  // null device clears the flag. A device handle is the drawing object itself
  // on this platform, so this form also serves handles.
  void Test8Bit(CDC* dc);
  void Reset() {}

  COLORREF m_colour[SKIN_COLOUR_COUNT] = {};
  CSize m_sizeSmall;                            // "Size-Small"
  CSize m_sizeBig;                              // "Size-Big"
  CSize m_iconSize;                             // "IconSize"
  CSize m_iconGap;                              // "IconGap"
  CRect m_rectJog;                              // "Rect-Jog"
  CRect m_rectJogSmall;                         // "Rect-JogSmall"
  CRect m_rectProperty;                         // "Rect-Property"
  CRect m_rectMoveBig;                          // "Rect-MoveBig"
  CRect m_rectMoveSmall;                        // "Rect-MoveSmall"
  CRect m_rectIcon;                             // "Rect-Icon"
  CPoint m_iconOffsetSmall;                     // "IconOffsetSmall"
  CPoint m_iconOffsetBig;                       // "IconOffsetBig"
  CPoint m_pointCounter;                        // "Point-Counter"
  CPoint m_pointCounterSmall;                   // "Point-CounterSmall"
  int m_regionSmallCount = 0;                   // "Region-SmallCount"
  int m_regionBigCount = 0;                     // "Region-BigCount"
  int m_bitmapSmall = 0;                        // "Bitmap-Small"
  int m_bitmapMedium = 0;                       // "Bitmap-Medium"
  int m_bitmapLarge = 0;                        // "Bitmap-Large"
  int m_captionHeight = 0;                      // "CaptionHeight", pixels
  int m_titleOffsetSmall = 0;                   // "Title-OffsetSmall"
  int m_titleOffsetLarge = 0;                   // "Title-OffsetLarge"
  int m_titleMaxCharsSmall = 0;                 // "Title-MaxCharsSmall", characters
  int m_titleMaxCharsLarge = 0;                 // "Title-MaxCharsLarge", characters
  int m_counterStyle = 0;                       // "Counter-Style"
  int m_counterStyleSmall = 0;                  // "Counter-StyleSmall"
  int m_jogStyle = 0;                           // "Jog-Style"
  int m_jogStyleSmall = 0;                      // "Jog-StyleSmall"
  int m_hideStyle = 0;                          // "Hide-Style"
  int m_skinInUse = 0;                          // a skin file was loaded
  int m_8BitDisplay = 0;                        // set by Test8Bit
  int m_forcedColours = 0;                      // set by ForceColour
  POINT m_regionSmall[kSkinRegionPoints] = {};  // "Region-Small"
  POINT m_regionBig[kSkinRegionPoints] = {};    // "Region-Big"
  std::string m_defaultURL;                     // "Default-URL"
  CPalette* m_palette = nullptr;                // the application's palette, set by the owner window; not owned

 private:
  int ReadRequired(const CParseSkin& parse);
  void ReadOptional(const CParseSkin& parse);
};

// The skin record of the process.
extern CSkinData g_skinData;
