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

