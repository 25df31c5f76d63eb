// CButton: a push button (or check box) child window. A press captures the
// mouse; the button shows pressed while the mouse stays over it, and a
// release over it sends BN_CLICKED to the parent as WM_COMMAND
// (MAKEWPARAM(id, BN_CLICKED), the button's handle). A release elsewhere
// sends nothing. Space works like the left button while the button has the
// focus; other keys go on to the parent, so that its shortcuts keep working.
// With BS_OWNERDRAW the virtual DrawItem draws it, told ODS_SELECTED while
// pressed, ODS_DISABLED when disabled (EnableWindow redraws it greyed),
// ODS_FOCUS with the focus and ODS_CHECKED when checked.
#pragma once

#include "platform/gfx/DC.h"
#include "platform/ui/Wnd.h"

class CButton : public CWnd {
 public:
  CButton();
  ~CButton() override;

  using CWnd::Create;
  BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Draws an owner-drawn button. The base asks the parent with WM_DRAWITEM.
  virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

  // BST_CHECKED or BST_UNCHECKED; check boxes toggle it on a click.
  int GetCheck() const { return m_check; }
  void SetCheck(int check);
  // BST_PUSHED while pressed, BST_FOCUS with the focus, plus the check.
  UINT GetState() const;
  // Shows the button pressed (TRUE) or released, as a program's own press.
  void SetState(BOOL pressed);
  UINT GetButtonStyle() const { return GetStyle() & BS_TYPEMASK; }

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnCaptureChanged(CWnd* wnd) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  void OnEnable(BOOL enable) override;

 private:
  // The press ended over the button: toggle a check box and tell the parent.
  void Clicked();
  void SetPushed(bool pushed);
  void DrawPlain(CDC& dc, const CRect& rect, UINT state);

  bool m_tracking = false;  // the left button went down on us and we hold the capture
  bool m_spaceDown = false;
  bool m_pushed = false;  // drawn pressed
  int m_check = BST_UNCHECKED;
};
