// Cursor record (record type 103, cursor stream): any of position and hot
// spot, shape (AND mask plus colour bits, or AND and XOR masks) and click
// state, as marked by its content flags. Payload version 1 (34 bytes, no hot
// spot) is read into the version-2 layout (42 bytes).
#pragma once

#include <cstdint>

#include "pravex/capture/CaptureData.h"

class CCaptureCursor : public CCapturePayloadRecord {
 public:
  // Content flags.
  static constexpr BYTE kHasPosition = 0x1;
  static constexpr BYTE kHasShape = 0x2;
  static constexpr BYTE kHasClick = 0x4;

  CCaptureCursor();
  DWORD ReadPayload(CRecordSource& source) override;

  BYTE GetContentFlags() const { return m_contentFlags; }
  void SetContentFlags(BYTE flags) { m_contentFlags = flags; }
  BYTE GetClickState() const { return m_click; }
  void SetClickState(BYTE click) { m_click = click; }
  int GetX() const { return m_x; }
  int GetY() const { return m_y; }
  int GetHotSpotX() const { return m_hotX; }
  int GetHotSpotY() const { return m_hotY; }
  void SetPosition(int x, int y, int hotX, int hotY) {
    m_x = x;
    m_y = y;
    m_hotX = hotX;
    m_hotY = hotY;
  }
  bool IsColourIcon() const { return m_colour != 0; }
  BYTE GetShapeAttribute() const { return m_attribute; }
  WORD GetShapeWidth() const { return m_shapeWidth; }
  WORD GetShapeHeight() const { return m_shapeHeight; }
  WORD GetColourBits() const { return m_colourBits; }
  WORD GetColourOffset() const { return m_colourOffset; }
  void SetShape(bool colourIcon, BYTE attribute, WORD width, WORD height, WORD colourBits, WORD colourOffset) {
    m_colour = colourIcon ? 1 : 0;
    m_attribute = attribute;
    m_shapeWidth = width;
    m_shapeHeight = height;
    m_colourBits = colourBits;
    m_colourOffset = colourOffset;
  }
  // Shape rows are stored without padding: a mask row holds the bits of every
  // column, most significant first, in (width + 7) / 8 bytes; a colour row
  // holds width x bits per pixel bits in whole bytes.
  static std::uint64_t MaskRowBytes(std::uint64_t width) { return (width + 7) / 8; }
  static std::uint64_t ColourRowBytes(std::uint64_t width, std::uint64_t bits) { return (width * bits + 7) / 8; }
  // Bytes of the AND mask (1 bit per pixel).
  std::uint64_t GetMaskBytes() const;
  // True when the data holds every byte its masks and colour bits need.
  bool IsShapeComplete() const;

  // Accumulates this record into a complete cursor record: position and hot
  // spot, shape (the data gains a reference) and click state as present; the
  // target's content flags become 7, it takes this record's stream type and
  // reserved field, and its header flag bit 0 is cleared.
  void MergeInto(CCaptureCursor& target) const;

 protected:
  WORD FieldsSize(WORD version) const override { return version == 2 ? 42 : (version == 1 ? 34 : 0); }
  void ParseFields(CByteReader& reader, WORD version) override;
  void WriteFields(CByteWriter& writer) const override;

 private:
  DWORD m_opaque1 = 0;
  WORD m_opaque2 = 0;
  BYTE m_click = 0;
  BYTE m_contentFlags = 0;
  BYTE m_colour = 0;
  BYTE m_attribute = 0;
  std::int32_t m_x = 0;
  std::int32_t m_y = 0;
  WORD m_shapeWidth = 0;
  WORD m_shapeHeight = 0;
  WORD m_colourBits = 0;
  WORD m_colourOffset = 0;
  std::int32_t m_hotX = 0;
  std::int32_t m_hotY = 0;
};
