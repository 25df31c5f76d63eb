// A short message in the player's caption bar ("Saved to ...", "Volume 70 %")
// that gives way to the window's title again after a while. Time comes from
// the replay clock's time source, so tests move it by hand.
#pragma once

#include <string>

#include "platform/base/WinTypes.h"
#include "platform/ui/UiTypes.h"

class CWnd;

class CCaptionNotice {
 public:
  static constexpr DWORD kShowMs = 2000;

  // Shows `text` in `caption` from `now` on; the title it replaces is kept
  // (a notice over a notice keeps the first title).
  void Show(CWnd* caption, const std::string& text, DWORD now);
  // Puts the title back once the notice has been shown long enough, unless
  // someone else has changed the caption's text meanwhile.
  void Tick(DWORD now);
  bool IsShown() const { return m_caption != nullptr; }
  const std::string& GetText() const { return m_text; }

 private:
  HWND m_caption = nullptr;  // a handle: the bar may go before the notice
  std::string m_title;
  std::string m_text;
  DWORD m_shownAt = 0;
};
