// The cursor stream's state inside a renderer: the latest cursor shape (kept
// as raw mask and colour bits for drawing), its position and hot spot, the
// click state, and the cursor areas before and after the last record.
#pragma once

#include <vector>

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

class CCaptureData;
class CCaptureCursor;

class CCursorState {
 public:
  CCursorState() = default;
  virtual ~CCursorState();
  CCursorState(const CCursorState&) = delete;
  CCursorState& operator=(const CCursorState&) = delete;

  // Applies one cursor-stream record (taking over its reference); true for a
  // cursor data record.
  virtual bool Apply(CCaptureData* record);
  // The cursor records received during the last preroll merged into one
  // (position, shape and click state), with one reference for the caller;
  // null when none was received.
  virtual CCaptureData* GetStateRecord();

  // Forgets shape, click state, flags and the merged record.
  void Clear();
  // Keep shape bits for drawing (the only mode this platform draws).
  void SetRawMode(bool raw) { m_rawMode = raw; }
  bool IsRawMode() const { return m_rawMode; }

  bool IsPreroll() const { return m_preroll; }
  bool TakeEndOfStream();

  int GetRecordFlags() const { return m_recordFlags; }
  bool HasMoved() const { return m_moved; }
  bool IsAreaValid() const { return m_areaValid; }
  bool HasClickChanged() const { return m_clickChanged; }
  BYTE GetClickState() const { return m_click; }
  int GetX() const { return m_x; }
  int GetY() const { return m_y; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetHotX() const { return m_hotX; }
  int GetHotY() const { return m_hotY; }
  int GetPrevHotX() const { return m_prevHotX; }
  int GetPrevHotY() const { return m_prevHotY; }
  const CRect& GetOldArea() const { return m_oldArea; }
  const CRect& GetArea() const { return m_area; }
  bool IsColour() const { return m_colour; }
  int GetBitCount() const { return m_bitCount; }
  int GetColourOffset() const { return m_colourOffset; }
  // The raw shape bits; null (size 0) when there is no complete shape.
  const BYTE* GetShapeBits() const { return m_shapeSize ? m_shape.data() : nullptr; }
  DWORD GetShapeSize() const { return m_shapeSize; }

 private:
  void ApplyCursor(const CCaptureCursor& cursor);
  void TakeShape(const CCaptureCursor& cursor);

  int m_width = 0;
  int m_height = 0;
  int m_x = 0;
  int m_y = 0;
  int m_recordFlags = 0;
  int m_bitCount = 0;
  int m_colourOffset = 0;
  bool m_moved = false;
  bool m_areaValid = false;
  bool m_rawMode = false;
  bool m_preroll = false;
  bool m_endOfStream = false;
  bool m_prerollEnded = false;
  bool m_colour = false;
  int m_hotX = 0;
  int m_hotY = 0;
  int m_prevHotX = 0;
  int m_prevHotY = 0;
  CRect m_oldArea;
  CRect m_area;
  BYTE m_click = 0;
  std::vector<BYTE> m_shape;           // grows, never shrinks
  DWORD m_shapeSize = 0;               // bytes of m_shape in use
  CCaptureCursor* m_merged = nullptr;  // owned reference
  bool m_clickChanged = false;
};
