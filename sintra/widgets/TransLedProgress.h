// The replay progress bar: an LED bar in two colours that the user drags.
// A press starts a drag (WM_PROGRESS_DRAG_BEGIN to the parent), every new
// position under the mouse is posted as WM_PROGRESS_POSITION (percent), and
// the release ends it (WM_PROGRESS_DRAG_END).
#pragma once

#include <functional>
#include <map>

#include "sintra/widgets/StaticLedBar.h"

// The colour scheme progress bars pick by InitColor: 0 red, 1 cyan, 2 green,
// 4 grey on white, anything else white on dark.
extern int g_progressColourScheme;

class CTransLedProgress : public CStaticLedBar {
 public:
  static constexpr UINT kControlId = 0xFFFF;

  CTransLedProgress();
  ~CTransLedProgress() override;

  using CStaticLedBar::Create;
  // A hidden child (WS_CHILD | SS_NOTIFY); equal lit and unlit colours ask
  // for the scheme's colours.
  BOOL Create(const RECT& rect, UINT toolTipId, CWnd* parent, COLORREF background, COLORREF lit, COLORREF unlit);
  void InitColor();
  void GetHiLoRgb(int cell, COLORREF& lit, COLORREF& unlit) override;
  void SetPos(int position) override;
  BOOL IsDragging() const { return m_dragging; }
  // Percent a client point stands for.
  int PercentFromPoint(CPoint point) const;
  // The track positions run along: the client less the border (client
  // coordinates); its left edge is 0 %, its right edge 100 %.
  CRect TrackRect() const;

  // Marks drawn over the cells (shaded spans, ticks), each under its own key
  // and drawn in key order; an empty painter removes the key's marks.
  using Overlay = std::function<void(CTransLedProgress& bar, CDC& dc, const CRect& client)>;
  void SetOverlay(int key, Overlay painter);

 protected:
  void OnSize(UINT type, int cx, int cy) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnCaptureChanged(CWnd* wnd) override;
  void DrawOver(CDC* dc, const CRect& client) override;

 private:
  void LayoutCells(int cx, int cy);
  void PositionFromPoint(CPoint point);

  BOOL m_dragging = FALSE;
  COLORREF m_lit = 0;
  COLORREF m_unlit = 0;
  std::map<int, Overlay> m_overlays;
};
