// The skin bitmap of a skinned window: a picture the size of the window with
// hot spots on it. Each hot spot has a rectangle, an optional 1-bit mask that
// shapes it, flags, a tooltip text, a value and its own images for its looks
// (disabled, normal, hot, checked, pressed). The window hit-tests the mouse
// against the spots, and the bitmap redraws the spots whose look changed into
// its back buffer and invalidates them in the window.
//
// The file layout is described in docs/skin-bitmap.md; CHotBitmapWriter
// (HotBitmapWriter.h) writes it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"
#include "platform/ui/UiTypes.h"

// Looks of a hot spot; each may have its own image in the file.
enum HotSpotLook : int {
  kLookDisabled = 0,
  kLookNormal = 1,
  kLookHot = 2,
  kLookChecked = 3,
  kLookPressed = 4,
  kHotSpotLooks = 5
};

// Spots with this flag form one radio group.
constexpr DWORD kHotSpotRadioGroup = 0x04000000;
// Kinds of spot. Decorations have looks but never take the mouse.
constexpr int kHotSpotButton = 0;
constexpr int kHotSpotCheckBox = 1;
constexpr int kHotSpotRadio = 2;
constexpr int kHotSpotDecoration = 4;

// Sent to the owner window while a spot is hot: wParam the spot index,
// lParam the tooltip text (const char*, valid during the call).
constexpr UINT WM_HOTSPOT_TOOLTIP = WM_APP + 0x138;

struct CHotSpot {
  CRect rect;              // in picture (window client) coordinates, top-down
  std::vector<BYTE> mask;  // rows top-down, 32-bit padded, MSB first, 1 = not hit; empty: none
  DWORD flags = 0;         // kHotSpotRadioGroup; low byte 0 marks the selected spot of a group
  int value = 0;           // negative: the spot is inactive (never hit, disabled look)
  int kind = kHotSpotButton;
  std::string tooltip;
  // Rows bottom-up, row length width x bytes per pixel, unpadded; empty: none.
  std::array<std::vector<BYTE>, kHotSpotLooks> images;
  int groupSelected = -1;  // the group's selected spot when this one was read
  int checked = 0;
  int look = kLookNormal;  // the look drawn last

  // Whether a point (picture coordinates) is on the spot, mask included.
  bool Contains(CPoint point) const;
};

class CDC;

class CHotBitmap {
 public:
  // LoadBitmapFile status: 0 loaded, else why not.
  enum Status : int { kStatusOk = 0, kStatusMismatch = 1, kStatusNotOpened = 2, kStatusBadHeader = 3 };
  // The largest side of a picture.
  static constexpr int kMaxSide = 16384;
  // Fixed layout of the file (docs/skin-bitmap.md).
  static constexpr std::size_t kHeaderSize = 162;
  static constexpr std::size_t kPixelOffset = 164;
  static constexpr std::uint32_t kVersion = 7;
  static constexpr BYTE kMarker = 169;
  static constexpr std::size_t kSpotFixedSize = 36;
  static constexpr std::size_t kMaxTooltip = 1024;

  CHotBitmap();
  ~CHotBitmap();
  CHotBitmap(const CHotBitmap&) = delete;
  CHotBitmap& operator=(const CHotBitmap&) = delete;

  // Sets up an empty (black) picture for the window; 0 for a bad size or
  // depth (8, 16 or 24 bits) or when memory runs out.
  int Initialise(HWND window, int width, int height, int bits);
  // Loads folder + name, with the name's second character replaced by "8" for
  // an 8-bit picture and its second and third by "16" or "24"; the picture
  // must match Initialise's. 1 on success, else 0 with GetStatus() telling why.
  // The flag is kept for the caller and not otherwise used.
  int LoadBitmapFile(const char* folder, const char* name, int flag);
  // The same for a file already in memory.
  int LoadFromMemory(const BYTE* data, std::size_t size);
  int GetStatus() const { return m_status; }
  // The file name LoadBitmapFile opens for a depth; empty when the name is too
  // short to take the depth.
  static std::string DepthFileName(const char* name, int bits);

  // The spot under the point for a mouse message (0 or WM_MOUSEMOVE for a
  // move, WM_LBUTTONDOWN, WM_LBUTTONUP), or -1; redraws the looks that changed.
  int TestSpot(CPoint point, UINT message);
  // The mouse left the window.
  void MouseOut();
  // Draws every spot in its present look over the picture.
  void SetUpDisplay();
  // Checks or unchecks a spot (a radio spot becomes its group's selection).
  void SetCheckButton(int index, int value);
  // While a spot is hot, sends its tooltip to the window; 1 when sent.
  int TestToolTip();

  BYTE* GetBackBuffer() { return m_buffer.empty() ? nullptr : m_buffer.data(); }
  const BYTE* GetBackBuffer() const { return m_buffer.empty() ? nullptr : m_buffer.data(); }
  int HotSpotCount() const { return static_cast<int>(m_spots.size()); }
  const CHotSpot* GetSpot(int index) const;
  int GetHotSpot() const { return m_hot; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetBits() const { return m_bits; }
  int GetStride() const { return m_stride; }
  // The marker byte of the last file was not the usual one.
  bool HasForeignMarker() const { return m_foreignMarker; }
  // A picture header for painting the back buffer (bottom-up; 8-bit pictures
  // get the fixed palette's colours).
  const BITMAPINFO* GetInfo() const { return &m_info; }
  // Paints an area (picture coordinates) of the back buffer at the same
  // place in dc; the whole picture when area is null.
  void Paint(CDC* dc, const RECT* area = nullptr) const;
  // The areas redrawn since the last call.
  std::vector<CRect> TakeRedrawRects();

 private:
  struct Parsed;
  int Fail(int status);
  bool ParseSpots(const BYTE* data, std::size_t size, std::size_t count, Parsed& out) const;
  int DesiredLook(int index) const;
  void UpdateLooks();
  void DrawSpot(int index, int look);
  void Redraw(const CRect& rect);

  HWND m_window = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_bits = 0;
  int m_stride = 0;
  std::vector<BYTE> m_base;    // the picture as loaded
  std::vector<BYTE> m_buffer;  // the picture with the spots' looks drawn over it
  std::vector<CHotSpot> m_spots;
  int m_hot = -1;
  int m_pressed = -1;
  int m_status = kStatusOk;
  bool m_foreignMarker = false;
  std::vector<CRect> m_redraw;
  BITMAPINFO m_info{};
};
