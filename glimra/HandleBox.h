// The editing frame drawn around the picked object: dashed edges, corner
// squares and a centre cross, drawn by inverting pixels so it shows on any picture.
#pragma once

#include "glimra/AnnotateBox.h"

class CHandleBox : public CAnnotateBox {
 public:
  CHandleBox();
  ~CHandleBox() override;

  void DrawSpan(int x, int y, int count) override;
  // Draws the frame around the rectangle into the 16-bit frame within clip
  // (frame pixels); size is the frame size.
  virtual void Draw(BYTE* target, BYTE* source, const BITMAPINFO* frame, const CRect& rect, const CSize& size);
  using CAnnotateBox::Draw;

  void SetLinePick(BOOL on) { m_linePick = on; }
  BOOL GetLinePick() const { return m_linePick; }
  CPoint& GetStart() { return m_start; }
  CPoint& GetEnd() { return m_end; }
  // The handle under pt (HANDLE_*), and the offset from pt to the handle's anchor.
  int GetHandle(const CPoint& pt, CPoint& offset) const;

 private:
  void Invert(int x, int y);
  void DrawCross(const CPoint& c);
  void DrawSquare(int x, int y);

  CPoint m_start;
  CPoint m_end;
  BOOL m_linePick = FALSE;
  BOOL m_dashed = FALSE;
  CRect m_area;  // the drawable area of the current Draw
};
