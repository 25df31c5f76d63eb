// The skinned window: loading the skin, the window's shape, painting and the
// palette. Mouse routing is in SkinBaseInput.cpp, tooltips in
// SkinBaseToolTip.cpp, the skin bitmap in SkinBaseBitmap.cpp and the tooltip
// window in SkinBaseWidgets.cpp.
#include "pravex/shell/SkinBase.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Strings.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Gdi.h"
#include "platform/ui/PaintDC.h"
#include "pravex/capture/TimeSource.h"
#include "pravex/support/FolderOperations.h"
#include "pravex/support/StandardFolders.h"
#include "sintra/skin/SkinData.h"

namespace {

// A skin name that asks for the built-in skin: none, empty, or "NONE..."; a
// name that would leave the skin folder is refused the same way.
bool UsesBuiltInSkin(const char* name) {
  if (!name || !*name || std::strncmp(name, "NONE", 4) == 0) return true;
  return std::strpbrk(name, "/\\") != nullptr || std::strcmp(name, "..") == 0;
}

void SystemSleep(DWORD ms) { Sleep(ms); }

}  // namespace

CSkinBase::CSkinBase() = default;

CSkinBase::~CSkinBase() {
  // The tooltip is a window of ours: it goes before this window's object does.
  m_toolTip.reset();
  m_skinBitmap.reset();
}

int CSkinBase::Setup(const char* skinName) {
  if (!UsesBuiltInSkin(skinName)) {
    m_skinFolder = GetSkinFolder();
    CreateFolder(m_skinFolder);
    m_skinBitmapName = str::Format("b##%s.hpc", skinName);
    m_skinFilePath = str::Format("%sskin%s.txt", m_skinFolder.c_str(), skinName);
    g_skinData.LoadSkin(m_skinFilePath.c_str());
  } else {
    g_skinData.DefaultSkin();
  }
  m_verticalFont.DeleteObject();
  m_verticalFont.CreateFont(12, 0, 900, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  PrepareInterface();
  return CreateInterface();
}

void CSkinBase::SetupWindow(int hotSpots) {
  m_trackingWnd = m_hWnd;
  m_bitDepth = 16;
  m_skinWidth = g_skinData.m_sizeBig.cx;
  m_skinHeight = g_skinData.m_sizeBig.cy;
  if (g_skinData.m_skinInUse && !LoadSkinBitmap(hotSpots)) {
    // A skin whose bitmap is missing, damaged or made for other controls is
    // replaced as a whole by the built-in one.
    ReleaseSkinBitmap();
    g_skinData.DefaultSkin();
    m_skinWidth = g_skinData.m_sizeBig.cx;
    m_skinHeight = g_skinData.m_sizeBig.cy;
    SetWindowPos(nullptr, 0, 0, m_skinWidth, m_skinHeight, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  }
  CreateToolTipWindow();
}

void CSkinBase::SetClipRegion() {
  const int count =
      std::clamp(m_largeLayout ? g_skinData.m_regionBigCount : g_skinData.m_regionSmallCount, 0, kSkinRegionPoints);
  const POINT* points = m_largeLayout ? g_skinData.m_regionBig : g_skinData.m_regionSmall;
  m_windowRegion.DeleteObject();
  if (count > 0) {
    m_windowRegion.CreatePolygonRgn(points, count, WINDING);
    SetWindowShape(std::vector<POINT>(points, points + count), TRUE);
  } else {
    SetWindowRgn(nullptr, TRUE);
  }
}

void CSkinBase::OnPaint() {
  CPaintDC dc(this);
  PaintFace(dc);
}

void CSkinBase::PaintFace(CPaintDC& dc) {
  if (g_skinData.m_8BitDisplay) FixedPalette(dc);
  CRect client;
  GetClientRect(&client);
  const BYTE* bits = SkinBitmapBits();
  if (!bits && m_edge) client.top += g_skinData.m_captionHeight;
  CRect clip;
  dc.GetClipBox(&clip);
  CRect common;
  if (!common.IntersectRect(clip, client)) return;
  if (m_windowRegion.IsCreated()) {
    // The desktop window stays rectangular: what lies outside the shape is
    // painted in the shadow colour, and the face only inside it.
    CRect all;
    GetClientRect(&all);
    dc.FillSolidRect(&all, g_skinData.SkinColour(SKIN_SHADOW));
    dc.SelectClipRgn(&m_windowRegion, RGN_AND);
  }
  if (bits) {
    dc.SetDIBitsToDevice(0, 0, m_skinWidth, m_skinHeight, 0, 0, 0, static_cast<UINT>(m_skinHeight), bits,
                         SkinBitmapInfo(), DIB_RGB_COLORS);
    return;
  }
  dc.FillSolidRect(&common, g_skinData.SkinColour(SKIN_BACK));
  if (m_edge) {
    CRect edge = client;
    edge.bottom = m_largeLayout ? g_skinData.m_sizeBig.cy : g_skinData.m_sizeSmall.cy;
    dc.DrawEdge(&edge, EDGE_RAISED, BF_RECT);
  }
}

int CSkinBase::RedrawSkin(CDC* dc, CWnd* child) {
  if (!dc || !child || !child->GetSafeHwnd() || !m_hWnd) return 0;
  CRect childRect;
  child->GetWindowRect(&childRect);
  CRect client;
  GetClientRect(&client);
  ClientToScreen(&client);
  CRect common;
  if (!common.IntersectRect(childRect, client)) return 0;
  if (const BYTE* bits = SkinBitmapBits()) {
    // The bitmap is stored bottom-up: rows are counted from its bottom.
    const int x = childRect.left - client.left;
    const int top = childRect.top - client.top;
    const int y = m_skinHeight - (top + childRect.Height());
    dc->SetDIBitsToDevice(0, 0, childRect.Width(), childRect.Height(), x, y, 0, static_cast<UINT>(m_skinHeight), bits,
                          SkinBitmapInfo(), DIB_RGB_COLORS);
  } else {
    dc->FillSolidRect(0, 0, childRect.Width(), childRect.Height(), g_skinData.SkinColour(SKIN_DIALOG_BACK));
  }
  return 1;
}

LRESULT CSkinBase::OnRedrawSkin(WPARAM dc, LPARAM child) {
  return RedrawSkin(reinterpret_cast<CDC*>(dc), reinterpret_cast<CWnd*>(child));
}

const BYTE* CSkinBase::GetBitmapDetails(CSize& size, int& bitsPerPixel) const {
  size = CSize(m_skinWidth, m_skinHeight);
  bitsPerPixel = 16;
  return SkinBitmapBits();
}

// --- Palette ---------------------------------------------------------------

void CSkinBase::SetUpPalette() {
  m_bitmapHeader.bmiHeader.biBitCount = static_cast<WORD>(m_bitDepth);
  m_bitmapHeader.bmiHeader.biWidth = m_skinWidth;
  m_bitmapHeader.bmiHeader.biHeight = m_skinHeight;
  ::SetUpPalette(&m_palette, &m_bitmapHeader, nullptr);
  m_paletteReady = 1;
}

int CSkinBase::FixedPalette(CPaintDC& dc) { return m_paletteReady ? ::FixedPalette(&dc, &m_palette) : 0; }

int CSkinBase::QueryNewPalette(CWnd* wnd, int background) {
  return m_paletteReady ? ::QueryNewPalette(wnd, &m_palette, background) : 1;
}

BOOL CSkinBase::OnQueryNewPalette() { return QueryNewPalette(this, FALSE); }

void CSkinBase::OnPaletteChanged(CWnd* focusWnd) {
  if (focusWnd != this) QueryNewPalette(this, TRUE);
}

// --- Messages and time -------------------------------------------------------

LRESULT CSkinBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SKIN_HIDETOOLTIP:
      return HideToolTip(wParam, lParam);
    case WM_SKIN_STARTTOOLTIP:
      return StartToolTip(wParam, lParam);
    case WM_SKIN_PROCESSTOOLTIP:
      return ProcessToolTip(wParam, lParam);
    case WM_SKIN_REDRAWSKIN:
      return OnRedrawSkin(wParam, lParam);
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
}

void CSkinBase::OnTimer(std::uintptr_t id) {
  if (id == kToolTipTimer) {
    OnToolTipTimer();
    return;
  }
  CWnd::OnTimer(id);
}

void CSkinBase::SetTimeSource(ITimeSource* source) { m_time = source; }

void CSkinBase::SetSleepFunction(void (*sleep)(DWORD ms)) { m_sleep = sleep; }

DWORD CSkinBase::Now() const { return m_time ? m_time->GetSystemTime() : timeGetTime(); }

void CSkinBase::ResetButtonTime() { m_buttonTime = Now(); }

DWORD CSkinBase::ButtonElapse() const { return Now() - m_buttonTime; }

void CSkinBase::ButtonDownWait() {
  const DWORD elapsed = ButtonElapse();
  if (elapsed < 100) (m_sleep ? m_sleep : SystemSleep)(elapsed);
}
