// Stock pens, brushes and fonts, and the fixed system colours.
#include <cstring>

#include "platform/gfx/Brush.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Pen.h"

namespace {

struct StockSet {
  CBrush brushes[6];
  CPen pens[3];
  CFont systemFont;
  CFont guiFont;

  StockSet() {
    const COLORREF greys[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(64, 64, 64), 0};
    for (int i = 0; i < 5; ++i) brushes[i].CreateSolidBrush(greys[i]);
    LOGBRUSH hollow{BS_NULL, 0, 0};
    brushes[NULL_BRUSH].CreateBrushIndirect(&hollow);
    pens[0].CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    pens[1].CreatePen(PS_SOLID, 1, 0);
    pens[2].CreatePen(PS_NULL, 1, 0);
    LOGFONTA lf{};
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    systemFont.CreateFontIndirect(&lf);
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    guiFont.CreateFontIndirect(&lf);
  }
};

StockSet& Stock() {
  static StockSet* set = new StockSet;  // lives for the whole process
  return *set;
}

}  // namespace

CGdiObject* GetStockObject(int index) {
  StockSet& s = Stock();
  if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return &s.brushes[index];
  if (index >= WHITE_PEN && index <= NULL_PEN) return &s.pens[index - WHITE_PEN];
  if (index == SYSTEM_FONT) return &s.systemFont;
  if (index == DEFAULT_GUI_FONT) return &s.guiFont;
  return nullptr;
}

COLORREF GetSysColor(int index) {
  static const COLORREF colours[] = {
      RGB(212, 208, 200),  // scroll bar
      RGB(58, 110, 165),   // desktop
      RGB(10, 36, 106),    // active caption
      RGB(128, 128, 128),  // inactive caption
      RGB(212, 208, 200),  // menu
      RGB(255, 255, 255),  // window
      RGB(0, 0, 0),        // window frame
      RGB(0, 0, 0),        // menu text
      RGB(0, 0, 0),        // window text
      RGB(255, 255, 255),  // caption text
      RGB(212, 208, 200),  // active border
      RGB(212, 208, 200),  // inactive border
      RGB(128, 128, 128),  // application workspace
      RGB(10, 36, 106),    // highlight
      RGB(255, 255, 255),  // highlight text
      RGB(212, 208, 200),  // button face
      RGB(128, 128, 128),  // button shadow
      RGB(128, 128, 128),  // grey text
      RGB(0, 0, 0),        // button text
      RGB(212, 208, 200),  // inactive caption text
      RGB(255, 255, 255),  // button highlight
      RGB(64, 64, 64),     // 3-D dark shadow
      RGB(212, 208, 200),  // 3-D light
      RGB(0, 0, 0),        // tooltip text
      RGB(255, 255, 225),  // tooltip background
  };
  if (index < 0 || index >= static_cast<int>(sizeof(colours) / sizeof(colours[0]))) return 0;
  return colours[index];
}
