// The shared tooltip of the player's widgets: an owned popup (never clipped
// by the window it serves) with one line of text, placed 16 pixels right of
// and below the cursor and kept on the work area, drawn with a 2-pixel
// shadow.
#pragma once

#include <string>

#include "platform/gfx/Font.h"
#include "platform/ui/Wnd.h"

class CMyToolTip : public CWnd {
 public:
  CMyToolTip(int pointSize, COLORREF background);
  ~CMyToolTip() override;

  using CWnd::Create;
  // A hidden popup owned by `owner` (the style gets WS_POPUP added).
  BOOL Create(CWnd* owner, DWORD style = 0);
  // Shows the text at the cursor.
  void DisplayToolTip(const char* text);
  // The same for a given cursor point (screen coordinates).
  void DisplayToolTip(const char* text, POINT cursor);
  void HideToolTip();
  BOOL ToolTipVisible() const { return IsWindowVisible(); }
  const std::string& GetText() const { return m_text; }
  void SetTextColour(COLORREF colour) { m_textColour = colour; }

  // Where a tooltip of `size` goes for a cursor point and a work area.
  static CRect Place(POINT cursor, SIZE size, const RECT& workArea);

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

 private:
  std::string m_text;
  int m_pointSize;
  COLORREF m_background;
  COLORREF m_textColour;
  CFont m_font;
  CSize m_size;
};
