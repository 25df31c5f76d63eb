// The digital time counter: digit cells from a digit strip (0-9, separator,
// blank) in pairs for hours, minutes, seconds and hundredths, with an
// optional frame. Only cells whose digit changed are redrawn.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/gfx/ImageList.h"
#include "platform/ui/Wnd.h"
#include "sintra/widgets/MouseTrack.h"
#include "sintra/widgets/TimeDigits.h"

class CTimeDisplay : public CWnd {
 public:
  CTimeDisplay();
  ~CTimeDisplay() override;

  using CWnd::Create;
  // A visible child at `position` sized for the cells (plus a one-pixel
  // frame on every side); 0 when it cannot be created.
  BOOL Create(CWnd* parent, POINT position, int sizeStyle, int bitmapStyle, int pairs, UINT id);
  // A time in units (hundredths of a second unless told otherwise).
  virtual void SetData(std::uint32_t value);
  virtual std::uint32_t GetData() const { return m_value; }
  // Forgets what was drawn, so the next change redraws every cell.
  virtual void SetLastValue(int value);
  // A plain number in single-number mode.
  void SetValue(std::uint32_t value);
  // Works the digits out again from the value (after changing options).
  void SetUpData();
  // Draws the frame and the cells that changed (all with drawAll).
  void DisplayTime(CDC* dc, BOOL drawAll);
  void SetDigitOffset(int pair);
  // Shows the last pairs (seconds and hundredths end the counter).
  void RightJustified();
  void SetFrame(BOOL on);
  void BlankZeros(BOOL on);
  void SetSingleNumber(BOOL on);
  void SetEditMode(BOOL on);
  void SetUnitsPerSecond(std::uint32_t units);
  BOOL EnableWindow(BOOL enable = TRUE);
  void SetToolTip(unsigned id) { m_track.SetToolTip(id); }
  // The face and the digits' ink (CLR_NONE: the strip's own colours).
  void SetColours(COLORREF background, COLORREF ink);
  std::string TimeCode() const { return m_digits.TimeCode(); }
  const CTimeDigits& Digits() const { return m_digits; }
  // A cell's rectangle in client coordinates.
  CRect CellClientRect(int cell) const;

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;

 private:
  void InvalidateChanged();
  void DrawCell(CDC* dc, const CRect& rect, int image);

  CTimeDigits m_digits;
  CImageList m_images;
  std::array<int, CTimeDigits::kCells> m_drawn{};
  std::uint32_t m_value = 0;
  BOOL m_frame = TRUE;
  BOOL m_editMode = FALSE;
  BOOL m_focus = FALSE;
  BOOL m_single = FALSE;
  COLORREF m_background = 0x02FFFFFF;
  COLORREF m_ink = CLR_NONE;  // none: the strip's own colours
  CMouseTrack m_track;
};
