#include "pravex/render/CursorState.h"

#include <cstring>

#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFormat.h"

using namespace capture;

namespace {

// Positions and hot spots come from the file: kept within bounds that leave
// the cursor and indicator arithmetic (scale 3, 16-bit shape sizes) far from
// overflowing.
constexpr int kMaxPosition = 1 << 28;
constexpr int kMaxHotSpot = 1 << 16;

int Bound(int value, int limit) { return value < -limit ? -limit : (value > limit ? limit : value); }

}  // namespace

CCursorState::~CCursorState() { Clear(); }

void CCursorState::Clear() {
  if (m_merged) m_merged->Release();
  m_merged = nullptr;
  m_shapeSize = 0;
  m_preroll = m_endOfStream = m_prerollEnded = false;
  m_click = 0;
  m_clickChanged = false;
  m_moved = m_areaValid = false;
  m_recordFlags = 0;
  m_area.SetRectEmpty();
  m_oldArea.SetRectEmpty();
}

bool CCursorState::TakeEndOfStream() {
  const bool was = m_endOfStream;
  m_endOfStream = false;
  return was;
}

bool CCursorState::Apply(CCaptureData* record) {
  if (!record) return false;
  bool applied = false;
  switch (record->GetRecordType()) {
    case kRecordEndOfStream:
      m_endOfStream = true;
      break;
    case kRecordReset: {
      const bool raw = m_rawMode;
      Clear();
      m_rawMode = raw;
      break;
    }
    case kRecordBeginPreroll:
      m_preroll = true;
      break;
    case kRecordEndPreroll:
      m_preroll = false;
      m_prerollEnded = false;
      break;
    case kRecordCursor:
      if (auto* cursor = dynamic_cast<CCaptureCursor*>(record)) {
        ApplyCursor(*cursor);
        applied = true;
      }
      break;
    default:
      break;
  }
  record->Release();
  return applied;
}

void CCursorState::ApplyCursor(const CCaptureCursor& cursor) {
  m_endOfStream = false;
  m_prerollEnded = false;
  const BYTE flags = cursor.GetContentFlags();
  if (m_preroll) {
    if (!m_merged) {
      m_merged = new CCaptureCursor();
      m_merged->SetStreamType(kStreamCursor);
    }
    cursor.MergeInto(*m_merged);
  }
  m_recordFlags = flags;
  m_moved = (flags & CCaptureCursor::kHasPosition) != 0;
  if (m_moved) {
    m_oldArea = m_area;
    m_prevHotX = m_hotX;
    m_prevHotY = m_hotY;
  }
  // Shape fields and position are taken only when the record carries them, so
  // a record of clicks alone keeps the cursor where it was.
  if (flags & CCaptureCursor::kHasShape) TakeShape(cursor);
  if (flags & CCaptureCursor::kHasPosition) {
    m_x = Bound(cursor.GetX(), kMaxPosition);
    m_y = Bound(cursor.GetY(), kMaxPosition);
    m_hotX = Bound(cursor.GetHotSpotX(), kMaxHotSpot);
    m_hotY = Bound(cursor.GetHotSpotY(), kMaxHotSpot);
  }
  const BYTE click = cursor.GetClickState();
  m_clickChanged = click != m_click;
  m_click = click;
  m_areaValid = (flags & (CCaptureCursor::kHasPosition | CCaptureCursor::kHasShape)) != 0;
  if (m_areaValid) m_area.SetRect(m_x, m_y, m_x + m_width, m_y + m_height);
}

// A shape whose data is shorter than its masks (and colour bits) need is not
// kept: drawing it would read past the data.
void CCursorState::TakeShape(const CCaptureCursor& cursor) {
  m_width = cursor.GetShapeWidth();
  m_height = cursor.GetShapeHeight();
  m_bitCount = cursor.GetColourBits();
  m_colourOffset = cursor.GetColourOffset();
  m_colour = cursor.IsColourIcon();
  m_shapeSize = 0;
  if (!m_rawMode || !cursor.IsShapeComplete()) return;
  const BYTE* data = cursor.GetDataBytes();
  const DWORD length = cursor.GetDataLength();
  if (!data || !length) return;
  if (m_shape.size() < length) m_shape.resize(length);
  std::memcpy(m_shape.data(), data, length);
  m_shapeSize = length;
}

CCaptureData* CCursorState::GetStateRecord() {
  if (!m_merged) return nullptr;
  m_merged->AddRef();
  return m_merged;
}
