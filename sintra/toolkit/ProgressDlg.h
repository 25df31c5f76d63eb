// CProgressDlg: a small skin-coloured window shown while a long operation
// runs: a line of text, a bar filling from left to right, and a Cancel
// button. The operation calls Step between items; Step repaints, handles the
// input that has arrived, and tells the operation whether to go on.
#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/Static.h"
#include "sintra/toolkit/TransWindow.h"

class CProgressDlg : public CTransWindow {
 public:
  // Control ID of the Cancel button (the usual cancel command).
  static constexpr UINT kCancelId = 2;

  CProgressDlg();
  ~CProgressDlg() override;

  // Creates the window centred on its owner (or on the work area) and shows
  // it without taking the focus from where it is.
  BOOL Create(const char* title, CWnd* owner = nullptr);

  void SetText(const char* text);
  // The bar's range; a range with hi <= lo is taken as 0 .. 1.
  void SetRange(int lo, int hi);
  // Moves the bar, clamped to the range.
  void SetPos(int pos);
  int GetPos() const { return m_pos; }
  // How far the bar is filled, in pixels of BarRect().
  int FilledWidth() const;
  // The bar's rectangle in client coordinates.
  CRect BarRect() const;

  // Sets the position, handles what is waiting (painting, input, posted
  // messages) and returns FALSE once the user has cancelled.
  BOOL Step(int pos);
  // Cancel pressed, Escape typed or the window closed.
  BOOL IsCancelled() const { return m_cancelled ? TRUE : FALSE; }
  void Cancel() { m_cancelled = true; }

 protected:
  int OnCreate(CREATESTRUCT* create) override;
  void OnPaint() override;
  void OnClose() override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  CStatic m_text;
  CButton m_cancel;
  int m_lo = 0;
  int m_hi = 1;
  int m_pos = 0;
  bool m_cancelled = false;
};
