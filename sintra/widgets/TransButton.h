// A small owner-drawn caption button: one glyph of the caption-button font
// centred on a face in the skin's button colours (hot while the mouse is
// over it, pressed while held), sending its command when clicked.
#pragma once

#include "platform/gfx/Font.h"
#include "platform/ui/Button.h"
#include "sintra/widgets/MouseTrack.h"

class CMenu;

class CTransButton : public CButton {
 public:
  CTransButton();
  ~CTransButton() override;

  using CButton::Create;
  // `text` is the glyph (one character of the caption-button font).
  BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id, CFont* font);
  void SetCheck(int check) { CButton::SetCheck(check); }
  int GetCheck() const { return CButton::GetCheck(); }
  void SetIcon(HICON icon) { m_icon = icon; }
  void SetMenu(CMenu* menu) { m_menu = menu; }
  void SetToolTip(unsigned id) { m_track.SetToolTip(id); }
  // Send the command on the press instead of the release.
  void SendPressOnDown(BOOL on) { m_pressOnDown = on; }
  void SetButtonOption(UINT option) { m_option = option; }

  void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

 protected:
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  void OnLButtonDown(UINT flags, CPoint point) override;

 private:
  CFont* m_glyphFont = nullptr;  // not owned
  HICON m_icon = nullptr;
  CMenu* m_menu = nullptr;  // not owned
  BOOL m_pressOnDown = FALSE;
  UINT m_option = 0;
  CMouseTrack m_track;
};
