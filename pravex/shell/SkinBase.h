// The base of every top-level window whose face is drawn from the skin: a
// 16-bit skin bitmap with hot spots, or, without one, a flat face in the
// skin's background colour with a raised edge. It loads the skin, owns the
// skin bitmap, the window palette, the shared tooltip window and a
// rubber-band tracker; it routes left-button presses to the icon area, the
// move area and the hot spots; it runs the delayed tooltips the widgets ask
// for; and it paints the skin behind transparent child controls.
//
// The window shape comes from the skin's region points. The desktop window
// itself stays rectangular: hit testing and painting follow the shape (see
// CWnd::SetWindowShape).
#pragma once

#include <memory>
#include <string>

#include "platform/base/Point.h"
#include "platform/base/Rect.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Rgn.h"
#include "platform/ui/Wnd.h"
#include "pravex/shell/MyTracker.h"
#include "sintra/skin/Palette.h"
#include "sintra/widgets/HotBitmap.h"
#include "sintra/widgets/WidgetMessages.h"

class CDC;
class CHotBitmap;
class CMyToolTip;
class CPaintDC;
class ITimeSource;

// Messages the widgets send to the main window (the same messages as the
// widgets' own names for them).
constexpr UINT WM_SKIN_HIDETOOLTIP = WM_HIDE_TOOLTIP;        // wParam: string id or 0
constexpr UINT WM_SKIN_STARTTOOLTIP = WM_SHOW_TOOLTIP;       // wParam: string id or 0
constexpr UINT WM_SKIN_PROCESSTOOLTIP = WM_HOTSPOT_TOOLTIP;  // the text; see ProcessToolTip
constexpr UINT WM_SKIN_REDRAWSKIN = WM_APP + 0x139;          // wParam: the child's CDC*, lParam: the child CWnd*

// The skin bitmap and the tooltip window are deleted where their classes are known.
struct CHotBitmapDeleter {
  void operator()(CHotBitmap* bitmap) const;
};
struct CMyToolTipDeleter {
  void operator()(CMyToolTip* tip) const;
};

class CSkinBase : public CWnd {
 public:
  // The window timer that shows a pending tooltip.
  static constexpr std::uintptr_t kToolTipTimer = 22;
  // The pressed spot of the icon area; hot spots are their index plus kSpotBase.
  static constexpr int kIconSpot = 1000;
  static constexpr int kSpotBase = 10;

  CSkinBase();
  ~CSkinBase() override;

  // Loads the skin named `skinName` (none, or a name beginning with "NONE":
  // the built-in default), makes the vertical font, then PrepareInterface()
  // and CreateInterface(); returns what CreateInterface returned.
  int Setup(const char* skinName = nullptr);
  // Sets up the created window: the skin bitmap, which must have `hotSpots`
  // hot spots (else the built-in default skin is used), and the tooltip window.
  void SetupWindow(int hotSpots);

  // Window creation and the controls, by the derived window.
  virtual int CreateInterface() = 0;
  virtual int SetupInterface() = 0;
  virtual void PrepareInterface() = 0;
  // The mouse moved to a client point: the derived window drags the window
  // while dragging (MoveByDrag) and sets the hover spot from the hot-spot test.
  virtual void OnSkinMouseMove(int x, int y) = 0;
  // The left button was released over the hot spot that was pressed.
  virtual void OnSkinButtonUp(int x, int y) = 0;
  // A double click in the move area. Nothing here.
  virtual void MoreLess() {}

  // Shapes the window by the skin's region of the current layout.
  void SetClipRegion();
  // Paints the skin behind `child` into its DC; 1 when it painted.
  int RedrawSkin(CDC* dc, CWnd* child);

  // Tooltips (message handlers; each returns 1).
  LRESULT StartToolTip(WPARAM id, LPARAM unused = 0);
  LRESULT HideToolTip(WPARAM id, LPARAM unused = 0);
  // The text is in wParam, or in lParam when the skin bitmap sends its spot's
  // tooltip (wParam then holds the spot).
  LRESULT ProcessToolTip(WPARAM text, LPARAM spotText = 0);
  // Shows the text now and clears the pending flag.
  void DisplayToolTip(const char* text);
  // While a tooltip is pending, lets the skin bitmap test its tooltip spots.
  void ToolTitTest();
  void SetToolTipDisplay(int on) { m_toolTipsOn = on; }
  int GetToolTipDisplay() const { return m_toolTipsOn; }
  void SetTipDelay(int ms) { m_tipDelay = ms; }
  int GetTipDelay() const { return m_tipDelay; }
  // A tooltip is pending and its time since the request is above the threshold.
  BOOL ToolTipReady() const;
  // The tooltip window is visible (1 when there is none).
  BOOL ToolTipVisible() const;
  // What timer 22 does: show or hide the pending tooltip, then stop the timer.
  void OnToolTipTimer();

  // Buttons.
  void ResetButtonTime();
  DWORD ButtonElapse() const;
  // When fewer than 100 ms passed since the press, sleeps as long again as has
  // passed, so that a very short click still shows its pressed look.
  void ButtonDownWait();

  void SetInterfaceOnly(int value) { m_interfaceOnly = value; }
  int GetInterfaceOnly() const { return m_interfaceOnly; }
  void NoEdge() { m_edge = 0; }
  // The skin bitmap's pixels (bottom-up, 16 bits), its size and 16; null
  // pixels without a skin bitmap.
  const BYTE* GetBitmapDetails(CSize& size, int& bitsPerPixel) const;
  BOOL HasSkinBitmap() const { return m_skinBitmap != nullptr; }

  // Palette (kept as data; realising does nothing on a true-colour display).
  void SetUpPalette();
  int FixedPalette(CPaintDC& dc);
  int QueryNewPalette(CWnd* wnd, int background);

  // State the derived windows and the shell base use.
  int GetLargeLayout() const { return m_largeLayout; }
  void SetLargeLayout(int large) { m_largeLayout = large; }
  int GetHoverSpot() const { return m_hoverSpot; }
  void SetHoverSpot(int spot) { m_hoverSpot = spot; }
  int GetPressedSpot() const { return m_pressedSpot; }
  BOOL IsDragging() const { return m_dragging ? TRUE : FALSE; }
  BOOL IsButtonDown() const { return m_buttonDown ? TRUE : FALSE; }
  CSize GetSkinSize() const { return CSize(m_skinWidth, m_skinHeight); }
  const std::string& GetSkinFolderName() const { return m_skinFolder; }
  const std::string& GetSkinFilePath() const { return m_skinFilePath; }
  const std::string& GetSkinBitmapName() const { return m_skinBitmapName; }
  CFont& GetVerticalFont() { return m_verticalFont; }
  CMyTracker& GetTracker() { return m_tracker; }
  CMyToolTip* GetToolTipWindow() const { return m_toolTip.get(); }
  CHotBitmap* GetSkinBitmap() const { return m_skinBitmap.get(); }
  const std::string& GetToolTipText() const { return m_toolTipText; }
  BOOL IsToolTipPending() const { return m_toolTipPending ? TRUE : FALSE; }
  void SetCursors(HCURSOR hot, HCURSOR normal) {
    m_hotCursor = hot;
    m_normalCursor = normal;
  }

  // Where press times and tooltip times come from (tests drive it by hand),
  // and how ButtonDownWait sleeps. Null restores the system clock and Sleep.
  void SetTimeSource(ITimeSource* source);
  void SetSleepFunction(void (*sleep)(DWORD ms));

 protected:
  // Moves the window by the distance from the press point to the client point
  // (what a derived window does in OnSkinMouseMove while dragging).
  void MoveByDrag(int x, int y);
  DWORD Now() const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  // Paints the window's face into the paint DC; a derived window may add to it.
  virtual void PaintFace(CPaintDC& dc);
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  void OnMouseLeave() override;
  void OnCaptureChanged(CWnd* wnd) override;
  void OnTimer(std::uintptr_t id) override;
  BOOL OnQueryNewPalette() override;
  void OnPaletteChanged(CWnd* focusWnd) override;
  LRESULT OnRedrawSkin(WPARAM dc, LPARAM child);

  // The skin bitmap and the tooltip window, behind one seam.
  bool LoadSkinBitmap(int hotSpots);
  void ReleaseSkinBitmap();
  int TestSkinSpot(CPoint point, UINT message);
  void SkinMouseOut();
  void SkinTestToolTip();
  const BYTE* SkinBitmapBits() const;
  // The picture header to paint the skin bitmap's pixels with.
  const BITMAPINFO* SkinBitmapInfo() const;
  void CreateToolTipWindow();
  void ShowToolTipWindow(const char* text);
  void HideToolTipWindow();

  // Ends the press being handled: the next press is taken again.
  void EndPress();

  int m_edge = 1;
  int m_paletteReady = 0;
  int m_buttonDown = 0;
  int m_toolTipPending = 0;
  int m_toolTipHasText = 0;
  int m_toolTipsOn = 0;
  int m_dragging = 0;
  int m_interfaceOnly = 0;
  int m_largeLayout = 0;
  int m_bitDepth = 0;
  int m_skinWidth = 0;
  int m_skinHeight = 0;
  int m_hoverSpot = -1;
  int m_pressedSpot = -1;
  int m_tipDelay = 1000;
  std::string m_toolTipText;
  std::string m_skinFilePath;
  std::string m_skinBitmapName;
  std::string m_skinFolder;
  DWORD m_buttonTime = 0;
  DWORD m_toolTipThreshold = 0;
  DWORD m_toolTipStart = 0;
  CRgn m_windowRegion;
  HCURSOR m_hotCursor = nullptr;
  HCURSOR m_normalCursor = nullptr;
  tagPALHEADER m_bitmapHeader{};
  CPalette m_palette;
  CPoint m_pressPoint;
  std::unique_ptr<CMyToolTip, CMyToolTipDeleter> m_toolTip;  // owned; created by SetupWindow
  CFont m_verticalFont;
  std::unique_ptr<CHotBitmap, CHotBitmapDeleter> m_skinBitmap;  // owned; only while a skin bitmap is in use
  CMyTracker m_tracker;
  HWND m_trackingWnd = nullptr;

 private:
  ITimeSource* m_time = nullptr;  // not owned; null: the system clock
  void (*m_sleep)(DWORD ms) = nullptr;
};
