// A line or arrow: a polygon rendered into an overlay mask and blended into the frame.
#pragma once

#include "glimra/AnnotateObject.h"
#include "sintra/overlay/OverlayBuffer.h"

class CAnnotateLine : public CAnnotateObject, public COverlayBuffer {
 public:
  // Style & 3: 0 plain line, 1 arrow head at the end, 2 at the origin, 3 both.
  CAnnotateLine(int widthIndex = 0, DWORD style = 0);
  explicit CAnnotateLine(const CAnnotateObject& common);
  ~CAnnotateLine() override;

  CRect ProcessIntersect(const CRect& changed) override;
  void Draw(BYTE* target, BYTE* source, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
            BYTE percent) override;
  CRect AddData(void* data) override;
  CRect SetData(void* data) override;
  BOOL Pick(const CPoint& pt, const BITMAPINFO* frame, const CSize& space) override;
  void LooseFocus() override;
  void ProcessHandle(int handle, const CPoint& pt) override;
  void PrepareHandle() override;
  DWORD CalculateDataSize() override;
  BOOL Save(CMemoryArchive& archive) override;
  BOOL Load(CMemoryArchive& archive) override;

  void Render(const CRect& rect, const CRect& clip, int scale, int plane) override;
  Color16 GetRenderColor(int plane) override;

  const CPoint& GetOrigin() const { return m_origin; }
  const CPoint& GetEnd() const { return m_end; }
  int GetWidth() const { return m_width; }
  int GetPointCount() const { return m_count; }
  const POINT* GetPoints() const { return m_points; }
  // Builds the polygon from `from` to `to` at scale s; the number of points.
  int CreateLine(CPoint from, CPoint to, int scale);
  void UpdateRect();
  CRect UpdateBounding();

  static constexpr int kMaxWidth = 4096;

 private:
  CPoint m_origin;
  CPoint m_end;
  CPoint m_savedOrigin;
  CPoint m_savedEnd;
  int m_width = 1;
  int m_count = 0;
  POINT m_points[10]{};
};
