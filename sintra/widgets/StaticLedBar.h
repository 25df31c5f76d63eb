// An LED meter: a row (or, on a narrow high bar, a column) of cells lit up
// to the position, green, then orange, then red, with the peak held for half
// a second. Drawn in a buffer, so it never flickers.
#pragma once

#include "platform/ui/Static.h"
#include "sintra/widgets/LedLayout.h"
#include "sintra/widgets/MouseTrack.h"

class CStaticLedBar : public CStatic {
 public:
  static constexpr std::uintptr_t kPeakTimer = 55;
  static constexpr UINT kPeakTick = 100;   // ms
  static constexpr DWORD kPeakHold = 500;  // ms

  CStaticLedBar();
  ~CStaticLedBar() override;

  // The lit and unlit colours of a cell.
  virtual void GetHiLoRgb(int cell, COLORREF& lit, COLORREF& unlit);
  virtual void SetPos(int position);
  int GetPos() const { return m_pos; }
  int GetPeak() const { return m_peak; }
  void SetRange(int minimum, int maximum);
  // Position and peak back to nothing.
  void BlankWindow();
  void SetToolTip(unsigned id) { m_track.SetToolTip(id); }
  void SetCells(int cells);
  int GetCells() const { return m_layout.cells; }
  void SetStripHeight(int height);
  void SetGap(BOOL on);
  void SetColours(COLORREF line, COLORREF background);
  COLORREF GetBackground() const { return m_background; }
  const CLedLayout& Layout() const { return m_layout; }

 protected:
  void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
  void OnPaint() override;
  void OnTimer(std::uintptr_t id) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  void Draw(CDC* dc, const CRect& client);
  // Called at the end of Draw, over the cells (marks of a deriving bar).
  virtual void DrawOverlays(CDC* /*dc*/, const CRect& /*client*/) {}
  // The clock the peak hold is measured on.
  virtual DWORD Now() const;

  CLedLayout m_layout;
  int m_min = 0;
  int m_max = 100;
  int m_pos = 0;
  int m_peak = 0;
  DWORD m_peakTime = 0;
  COLORREF m_line;
  COLORREF m_background;
  CMouseTrack m_track;
  bool m_usePeak = true;
};
