// A rectangle laid over the frame: plain (Style 0, filled and outlined with a
// transparency) or magnifying (Style 1: a zoomed copy of the frame under its centre).
#pragma once

#include "glimra/AnnotateObject.h"

class CAnnotateBox : public CAnnotateObject {
 public:
  explicit CAnnotateBox(DWORD style = 0, DWORD unused = 0);
  explicit CAnnotateBox(const CAnnotateObject& common);
  ~CAnnotateBox() override;

  CRect ProcessIntersect(const CRect& changed) override;
  void Draw(BYTE* target, BYTE* source, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
            BYTE percent) override;
  CRect AddData(void* data) override;
  CRect SetData(void* data) override;
  BOOL Pick(const CPoint& pt, const BITMAPINFO* frame, const CSize& space) override;
  DWORD CalculateDataSize() override;
  BOOL Save(CMemoryArchive& archive) override;
  BOOL Load(CMemoryArchive& archive) override;

  DWORD GetZoom() const { return m_zoom; }
  void SetZoom(DWORD zoom) { m_zoom = zoom ? zoom : 1; }
  BOOL IsMagnifying() const { return m_style != 0; }

  // Largest zoom factor accepted from an archive.
  static constexpr DWORD kMaxZoom = 64;

 private:
  void DrawPlain(BYTE* target, long stride, int bytes, const CRect& box, const CRect& area, const CRect& clip,
                 BYTE weight);
  void DrawMagnified(BYTE* target, const BYTE* source, long stride, int bytes, int width, int height, const CRect& box,
                     const CRect& area);

  DWORD m_zoom = 4;
};
