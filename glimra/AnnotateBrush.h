// A free-hand stroke stamped with soft circular tips along a polyline.
#pragma once

#include <vector>

#include "glimra/AnnotateObject.h"

class CAnnotateBrush : public CAnnotateObject {
 public:
  explicit CAnnotateBrush(int index = 0);
  explicit CAnnotateBrush(const CAnnotateObject& common);
  ~CAnnotateBrush() override;

  CRect ProcessIntersect(const CRect& changed) override;
  void Draw(BYTE* target, BYTE* source, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
            BYTE percent) override;
  CRect AddData(void* data) override;
  CRect SetData(void* data) override;
  BOOL Pick(const CPoint& pt, const BITMAPINFO* frame, const CSize& space) override;
  void DrawSpan(int x, int y, int count) override;
  void ProcessHandle(int handle, const CPoint& pt) override;
  void PrepareHandle() override;
  DWORD CalculateDataSize() override;
  BOOL Save(CMemoryArchive& archive) override;
  BOOL Load(CMemoryArchive& archive) override;

  void Add(const CPoint& pt) { m_points.push_back(pt); }
  CPoint GetAt(int i) const { return i >= 0 && i < GetSize() ? m_points[static_cast<size_t>(i)] : CPoint(); }
  void SetAt(int i, const CPoint* pt);
  int GetSize() const { return static_cast<int>(m_points.size()); }
  void SetBrushIndex(int index);
  int GetBrushIndex() const { return m_index; }
  int BrushSize() const { return m_tipWidth; }
  const BYTE* BrushData() const;
  void UpdateRect(const CPoint& pt);
  CRect UpdateBounding();
  BOOL TestPoint(int x, int y) const;
  float GetScaleX() const { return m_scaleX; }
  float GetScaleY() const { return m_scaleY; }
  const CPoint& GetOffset() const { return m_offset; }

  // Tip sizes (and line widths) by index.
  static int TipSize(int index);
  // Largest number of points accepted from an archive.
  static constexpr DWORD kMaxPoints = 1u << 20;
  static constexpr float kMaxScale = 1024.0f;

 private:
  CPoint Transform(const CPoint& p, int width, int height, const CSize& space, const CPoint& centre) const;
  template <typename Fn>
  void WalkStroke(int width, int height, const CSize& space, Fn&& fn) const;

  std::vector<CPoint> m_points;
  int m_index = 0;
  float m_scaleX = 1.0f;
  float m_scaleY = 1.0f;
  CPoint m_offset;
  CPoint m_pickPoint;
  float m_savedScaleX = 1.0f;
  float m_savedScaleY = 1.0f;
  CPoint m_savedOffset;
  int m_tipWidth = 1;
  int m_tipHeight = 1;
  BOOL m_pickHit = FALSE;
  const BYTE* m_tip = nullptr;
};

// The eight tip masks (tip i is TipSize(i) squared bytes, the weight of the
// existing pixel: 0 full colour, 255 untouched), built once from resource 8000.
const BYTE* BrushTipData(int index);
