// Palettes for 256-colour displays, kept as data. Displays on this platform
// are never 8-bit, so realising a palette changes nothing; what remains is the
// logical palette itself (two fixed 256-colour tables) and the completion of
// picture headers that carry it.
#pragma once

#include "platform/base/WinTypes.h"

#include <vector>

class CDC;
class CWnd;

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};

// Entry flags.
constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE PC_EXPLICIT = 0x02;
constexpr BYTE PC_NOCOLLAPSE = 0x04;
// How the display shares its palette: with the system's static colours, or without.
constexpr UINT SYSPAL_STATIC = 1;
constexpr UINT SYSPAL_NOSTATIC = 2;

// The flag that marks a colour as palette-relative.
constexpr COLORREF kPaletteRelative = 0x02000000;
constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) { return kPaletteRelative | RGB(r, g, b); }

constexpr int kPaletteEntries = 256;
// The system's static colours: the first and last ten entries of a palette.
constexpr int kStaticColours = 20;

// A logical palette with room for 256 entries.
struct tagLOGPALETTE256 {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[kPaletteEntries];
};

// A picture header followed by its colour table (or its three bit-field masks).
using tagPALHEADER = BITMAPINFO;

// A palette object: the entries of the logical palette it was created from.
class CPalette {
 public:
  // Copies the entries (at most 256); 0 for a null or empty palette.
  int CreatePalette(const tagLOGPALETTE256* logPalette);
  int IsCreated() const { return m_created ? 1 : 0; }
  void DeleteObject();
  UINT GetEntryCount() const { return static_cast<UINT>(m_entries.size()); }
  // Copies entries from start; returns how many were copied.
  UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const;

 private:
  std::vector<PALETTEENTRY> m_entries;
  bool m_created = false;
};

// Releases the system palette so the next palette realised starts clean.
void ClearSystemPalette();
// Builds the 256-entry logical palette (in logPalette when given, from the
// table for caller buffers; otherwise in a local one from the other table),
// creates palette from it unless it exists already, and completes header
// when given: size 40, one plane, 8, 16 or 24 bits (anything else becomes
// 24), bit fields for 16 bits, the image size from the 4-byte-aligned stride,
// and the colour table from the palette for 8 bits. Returns 1.
int SetUpPalette(CPalette* palette, tagPALHEADER* header, tagLOGPALETTE256* logPalette);
// Realises palette into an 8-bit device; the number of entries realised, so
// always 0 here. A device handle is the drawing object itself on this
// platform, so this one form serves both.
int FixedPalette(CDC* dc, CPalette* palette);
// Realises palette for a window that gains the focus; 1 when entries changed
// and the window was invalidated, so always 0 here.
int QueryNewPalette(CWnd* window, CPalette* palette, BOOL background);
// One of the two fixed 256-entry tables: the one for a caller's buffer, or the other.
const PALETTEENTRY* FixedPaletteTable(bool forCallerBuffer);
