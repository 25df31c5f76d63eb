// CWnd: a window of the window layer. Top-level windows are native windows of
// the desktop; child windows are light rectangles inside their top-level
// window, with their own z-order, visibility, enable state and clipping. Every
// message goes through one WindowProc that calls the typed On... handlers;
// the base handlers fall back to the default processing of the message.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/Point.h"
#include "platform/base/Rect.h"
#include "platform/ui/UiTypes.h"
#include "platform/ui/UpdateRegion.h"

class CDC;
class CFont;
class CRgn;
class CScrollBar;
class CWnd;
struct CWndNative;

class CBrush;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HBRUSH = CBrush*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// A window class registered by name. The window procedure, extra bytes and
// instance are kept for callers that fill them but unused: a window's code
// is its CWnd class. The background is a brush (its colour is used), or a
// system colour index + 1 cast to HBRUSH, or null for none.
struct WNDCLASS {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const char* lpszMenuName;
  const char* lpszClassName;
};
using WNDCLASSA = WNDCLASS;

// A registered window class: class style, cursor, background colour, icon.
// AfxRegisterWndClass returns its name for Create/CreateEx.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, COLORREF background = 0xFFFFFFFF,
                                HICON icon = nullptr);
// Registers a class by its own name (such as "Kalvo:Olvo:001"), so that
// windows created with that name take its style (CS_DBLCLKS), cursor,
// background and icon. On X11 the name becomes the window's WM_CLASS class
// and the program's name its instance, so desktops group the program's
// windows. A name already registered keeps its first definition and gives
// TRUE; FALSE for a missing name or a full class table.
BOOL AfxRegisterClass(WNDCLASS* wndClass);
// The registered class of that name, FALSE when there is none.
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* wndClass);
HINSTANCE AfxGetInstanceHandle();

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }
  // The live window object of a handle, or null when the window is gone.
  static CWnd* FromHandle(HWND hwnd);
  static CWnd* FromHandlePermanent(HWND hwnd) { return FromHandle(hwnd); }

  // Special insert-after windows of SetWindowPos.
  static const CWnd wndTop;
  static const CWnd wndBottom;
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;

  // Creation and destruction. WS_CHILD windows need a parent; anything else is
  // a top-level window (WS_POPUP without WS_CAPTION has no system frame).
  virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, void* param = nullptr);
  virtual BOOL Create(const char* className, const char* title, DWORD style, const RECT& rect, CWnd* parent,
                      UINT id, void* param = nullptr);
  virtual BOOL DestroyWindow();
  // Called once the window is gone; a window that deletes itself does it here.
  virtual void PostNcDestroy() {}

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Default processing of the message being handled.
  LRESULT Default();
  // Calls the window's WindowProc with the message recorded for Default().
  static LRESULT Deliver(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

  // Geometry. Top-level rectangles are in screen coordinates, child
  // rectangles in their parent's client coordinates.
  void GetClientRect(LPRECT rect) const;
  void GetWindowRect(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;
  void MapWindowPoints(CWnd* to, LPRECT rect) const;
  // Turns a client rectangle into the window rectangle around it.
  virtual void CalcWindowRect(LPRECT clientRect, UINT adjustType = 0);
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);
  void CenterWindow(CWnd* alternateOwner = nullptr);

  // State and styles.
  BOOL ShowWindow(int command);
  BOOL IsWindowVisible() const;
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL IsIconic() const;
  BOOL IsZoomed() const;
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  // Native full-screen state of a top-level window (desktop-sized, no frame).
  BOOL SetFullScreen(BOOL on);
  void SetWindowText(const char* text);
  int GetWindowText(char* buffer, int maxCount) const;
  void GetWindowText(std::string& text) const;
  int GetWindowTextLength() const;
  // The name of the class the window was created with ("" for none).
  const std::string& GetClassName() const { return m_className; }
  // The font a window draws its text with (WM_SETFONT); not owned.
  void SetFont(CFont* font, BOOL redraw = TRUE);
  CFont* GetFont() const;
  void SetIcon(HICON icon, BOOL bigIcon);
  HICON GetIcon(BOOL bigIcon) const;
  // Shapes a top-level window: only the region (window coordinates) takes the
  // mouse. The native window stays rectangular, so the window paints the
  // area outside the shape itself (a skin paints its background there). The
  // window keeps a copy; null removes the shape.
  int SetWindowRgn(const CRgn* region, BOOL redraw = TRUE);
  // The same with a polygon filled by the winding rule; empty removes the shape.
  BOOL SetWindowShape(const std::vector<POINT>& polygon, BOOL redraw = TRUE);
  // The window's shape, or null when it has none.
  const CRgn* GetWindowRgn() const { return m_region.get(); }

  // Relations.
  CWnd* GetParent() const;
  CWnd* GetOwner() const;
  void SetOwner(CWnd* owner);
  CWnd* GetTopLevelParent() const;
  CWnd* GetDlgItem(int id) const;
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int id);
  // Children in z-order, bottom first.
  std::vector<CWnd*> GetChildren() const;
  BOOL IsChild(const CWnd* wnd) const;
  static CWnd* WindowFromPoint(POINT screenPoint);
  CWnd* ChildWindowFromPoint(POINT clientPoint) const;

  // Painting. GetDC returns a CClientDC (PaintDC.h) that ReleaseDC deletes.
  CDC* GetDC();
  int ReleaseDC(CDC* dc);
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  void ValidateRect(LPCRECT rect);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT rect = nullptr, void* region = nullptr, UINT flags = RDW_INVALIDATE | RDW_ERASE);
  BOOL GetUpdateRect(LPRECT rect, BOOL erase = FALSE) const;

  // The window's own scroll bars (SB_HORZ, SB_VERT; SB_CTL on a CScrollBar
  // means the control itself). They stand inside the window's rectangle at
  // its right and bottom edges, CScrollBar::kThickness thick, and the client
  // area shrinks by them. SetScrollInfo shows a bar while it can scroll and
  // hides it when it cannot (with SIF_DISABLENOSCROLL it stays, disabled);
  // ShowScrollBar shows or hides it outright. A bar's notifications come to
  // the window as WM_HSCROLL / WM_VSCROLL with lParam 0.
  BOOL SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw = TRUE);
  BOOL GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask = SIF_ALL);
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
  int GetScrollPos(int bar) const;
  void SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE);
  void GetScrollRange(int bar, int* minPos, int* maxPos) const;
  int GetScrollLimit(int bar);
  void ShowScrollBar(UINT bar, BOOL show = TRUE);
  // The bar serving as the window's SB_HORZ or SB_VERT bar, or null before
  // one was asked for.
  CScrollBar* GetWindowScrollBar(int bar) const;

  // Timers, delivered as WM_TIMER on the window thread.
  std::uintptr_t SetTimer(std::uintptr_t id, UINT elapse, void* unused = nullptr);
  BOOL KillTimer(std::uintptr_t id);

  // Input.
  CWnd* SetCapture();
  static CWnd* GetCapture();
  CWnd* SetFocus();
  static CWnd* GetFocus();
  static CWnd* GetActiveWindow();
  CWnd* SetActiveWindow();
  BOOL SetForegroundWindow();
  void BringWindowToTop();

  // Handlers. The base versions do the default processing.
  virtual int OnCreate(CREATESTRUCT* create);
  virtual void OnDestroy();
  virtual void OnClose();
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnSizing(UINT edge, LPRECT rect);
  virtual void OnMove(int x, int y);
  virtual void OnGetMinMaxInfo(MINMAXINFO* info);
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  virtual void OnTimer(std::uintptr_t id);
  virtual void OnMouseMove(UINT flags, CPoint point);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnRButtonDblClk(UINT flags, CPoint point);
  virtual void OnMButtonDown(UINT flags, CPoint point);
  virtual void OnMButtonUp(UINT flags, CPoint point);
  virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  virtual void OnMouseLeave();
  virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  virtual void OnContextMenu(CWnd* wnd, CPoint screenPoint);
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
  virtual void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnSysKeyUp(UINT key, UINT repeat, UINT flags);
  virtual void OnChar(UINT ch, UINT repeat, UINT flags);
  virtual void OnSetFocus(CWnd* oldWnd);
  virtual void OnKillFocus(CWnd* newWnd);
  virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
  virtual void OnShowWindow(BOOL show, UINT status);
  virtual void OnEnable(BOOL enable);
  virtual void OnCaptureChanged(CWnd* wnd);
  virtual BOOL OnQueryNewPalette();
  virtual void OnPaletteChanged(CWnd* focusWnd);
  virtual void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
  virtual void OnVScroll(UINT code, UINT pos, CWnd* scrollBar);

  // Layer internals (the message loop, painting and input dispatch).
  CWndNative* Native() const { return m_native.get(); }
  UINT ClassStyle() const { return m_classStyle; }
  HCURSOR ClassCursor() const { return m_classCursor; }
  COLORREF ClassBackground() const { return m_classBackground; }
  // The client rectangle with the window's own scroll bars included: the
  // whole surface of a top-level window, the whole rectangle of a child.
  void GetClientRectWithBars(LPRECT rect) const;
  // Offset of this window's client origin in its top-level window's client area.
  CPoint OriginInTopLevel() const;
  // The part of the client area (top-level coordinates) not cut off by ancestors.
  CRect VisibleRectInTopLevel() const;
  BOOL IsTopLevel() const { return m_parent == nullptr; }
  // Visible itself and through all its ancestors.
  BOOL IsReallyVisible() const;
  // Paint state for CPaintDC: set by the layer while WM_PAINT is sent.
  struct PaintState {
    bool active = false;
    bool erase = false;
    CRect bounds;               // client coordinates
    std::vector<CRect> rects;   // client coordinates
  };
  PaintState& CurrentPaint() { return m_paint; }
  // The area waiting to be painted (client coordinates) and whether it is to
  // be erased first; taken by the painting walk.
  CUpdateRegion& PendingUpdate() { return m_update; }
  bool& PendingErase() { return m_updateErase; }
  // Invalidates the window and every descendant (a new or exposed surface).
  void InvalidateTree();
  void ApplyNativeSize(int width, int height);
  void ApplyNativePosition(int x, int y);

 private:
  explicit CWnd(HWND special);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DispatchMouse(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DispatchKey(UINT message, WPARAM wParam, LPARAM lParam);
  BOOL CreateNative(const char* title);
  void ApplyStyleToNative();
  void ClampMinMax(int& width, int& height);
  void InsertChild(CWnd* child, const CWnd* after);
  void RemoveChild(CWnd* child);
  void InvalidateArea(const CRect& area, bool erase);
  void DestroyChildrenAndSelf();
  // Window scroll bars: the bar (made when `create`), its showing, and its
  // placement along the edges after a size change.
  CScrollBar* WindowBar(int bar, bool create);
  void SetWindowBarShown(int bar, bool show, bool tellWindow = true);
  void LayoutWindowBars();
  // Places the bars for a new size; the caller sends the WM_SIZE.
  void LayoutWindowBarsQuietly();
  bool IsWindowBarOf(const CWnd* parent) const;
  CRect FullRectInTopLevel() const;

  CWnd* m_parent = nullptr;      // not owned
  CWnd* m_owner = nullptr;       // not owned
  std::vector<CWnd*> m_children; // not owned (each owns itself); bottom first
  CRect m_rect;                  // window rectangle (parent client or screen coordinates)
  DWORD m_style = 0;
  DWORD m_exStyle = 0;
  UINT m_id = 0;
  std::string m_title;
  std::string m_className;
  UINT m_classStyle = 0;
  HCURSOR m_classCursor = nullptr;
  COLORREF m_classBackground = 0xFFFFFFFF;
  HICON m_icons[2] = {nullptr, nullptr};
  CFont* m_font = nullptr;  // not owned
  std::unique_ptr<CRgn> m_region;  // the window shape, owned copy
  bool m_fullScreen = false;
  CRect m_normalRect;            // window rectangle before full screen
  std::unique_ptr<CWndNative> m_native;  // the native window of a top-level window
  PaintState m_paint;
  CUpdateRegion m_update;
  bool m_updateErase = false;
  MSG m_current{};               // the message being handled, for Default()
  bool m_destroying = false;
  std::unique_ptr<CScrollBar> m_bars[2];  // SB_HORZ, SB_VERT
  int m_barLayoutDepth = 0;
};

// Free functions over handles, usable from any thread where noted.
BOOL IsWindow(HWND hwnd);
// Thread-safe: queues the message for the window thread and wakes it.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// On the window thread calls the window at once; from another thread hands
// the call to the window thread and waits for its result.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Thread-safe invalidation (a null rectangle means the whole client area).
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);
// High bit set while the key is down, at the moment of the call as the
// window thread has seen the input.
SHORT GetAsyncKeyState(int virtualKey);
SHORT GetKeyState(int virtualKey);
int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni);
UINT GetDoubleClickTime();
