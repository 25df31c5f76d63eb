// A popup tooltip window: a small always-on-top window that never takes the
// focus, showing one line of text near the mouse. It is placed 16 pixels
// right of and below the cursor, moved back onto the screen when it would
// leave it, and never at a negative position.
#pragma once

#include <string>

#include "platform/gfx/Font.h"
#include "platform/ui/Wnd.h"

class CToolTipWnd : public CWnd {
 public:
  CToolTipWnd();
  ~CToolTipWnd() override;

  // Creates the (hidden) window, owned by `owner`; pointSize is the font size.
  BOOL Create(CWnd* owner, int pointSize = 8);
  // Shows the text near the screen point (the cursor), on top, without activation.
  void DisplayToolTip(const std::string& text, POINT cursorScreen);
  // Shows it at the current cursor position.
  void DisplayToolTip(const std::string& text);
  void HideToolTip();
  BOOL ToolTipVisible() const { return IsWindowVisible(); }
  const std::string& GetText() const { return m_text; }
  void SetColours(COLORREF background, COLORREF text);

  // Where a tooltip of `size` goes for a cursor point on a screen of
  // `screen` size (the placement rule above).
  static CRect PlaceNearCursor(POINT cursor, SIZE size, SIZE screen);

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

 private:
  std::string m_text;
  CFont m_font;
  COLORREF m_background;
  COLORREF m_textColour;
};
