#include "pravex/render/RenderRoot.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/base/Clock.h"
#include "platform/base/DibStride.h"
#include "platform/base/MulDiv.h"
#include "platform/ui/App.h"
#include "platform/ui/Wnd.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/render/RenderPixels.h"
#include "pravex/render/RenderVars.h"

using namespace capture;

namespace {

// Posts to a window if there is one; a message for no window is dropped.
void PostTo(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (wnd && wnd->GetSafeHwnd()) ::PostMessage(wnd->GetSafeHwnd(), message, wParam, lParam);
}

bool HasArea(const CRect& r) { return r.left || r.top || r.right || r.bottom; }

}  // namespace

CRenderRoot::CRenderRoot() = default;

CRenderRoot::~CRenderRoot() = default;

int CRenderRoot::WriteCaptureData(CCaptureData* record) { return ProcessData(record); }

int CRenderRoot::WriteCaptureDataRaw(CCaptureData* record) { return ProcessData(record); }

CWnd* CRenderRoot::GetMainWnd() { return AfxGetMainWnd(); }

void CRenderRoot::EndOfFile(unsigned short stream) { PostTo(GetMainWnd(), WM_RENDERWND_ENDOFFILE, stream, 0); }

void CRenderRoot::ResizeParent() {
  PostTo(m_parent, WM_RENDERWND_RESIZE, 0,
         MAKELPARAM(static_cast<WORD>(m_pictureWidth), static_cast<WORD>(m_pictureHeight)));
}

void CRenderRoot::FirstGraphicFrame() { PostTo(GetMainWnd(), WM_RENDERWND_FIRSTFRAME, 0, 0); }

// --- Record dispatch ----------------------------------------------------------

int CRenderRoot::ProcessData(CCaptureData* record) {
  if (!record) return 1;
  bool resize = false;
  {
    CSingleLock lock(&m_lock);
    switch (record->GetStreamType()) {
      case kStreamScreen:
        ProcessScreen(record, resize);
        break;
      case kStreamCursor:
        ProcessCursor(record);
        break;
      case kStreamVideo:
        ProcessVideo(record, resize);
        break;
      default:
        record->Release();
        break;
    }
  }
  if (resize) ResizeParent();
  return 1;
}

bool CRenderRoot::NoteSize(int width, int height) {
  if (width == m_pictureWidth && height == m_pictureHeight) return false;
  m_pictureWidth = width;
  m_pictureHeight = height;
  return true;
}

bool CRenderRoot::ProcessScreen(CCaptureData* record, bool& resize) {
  if (m_screen.Apply(record)) {
    SetScreenDeviceSize();
    if (NoteSize(m_screen.GetWidth(), m_screen.GetHeight())) resize = true;
    if (!m_screen.IsPreroll()) InvalidateUpdateArea(m_screen.GetChangedRect(), kStreamScreen);
    if (m_firstFrame) {
      m_firstFrame = 0;
      FirstGraphicFrame();
    }
    return true;
  }
  const bool ended = m_screen.TakeEndOfStream();
  if (m_screen.TakeEndOfPreroll()) {
    InvalidateUpdateArea(CRect(0, 0, m_pictureWidth, m_pictureHeight), kStreamScreen);
    OnEndOfScan();
  }
  if (ended) EndOfFile(kStreamScreen);
  return false;
}

// The picture area a cursor rectangle and its click indicator may cover at
// the cursor scale: enlarged, moved to keep the hot spot, widened left for
// the indicator and at least as high as it.
CRect CRenderRoot::CursorArea(const CRect& area, int hotX, int hotY, bool scaled) const {
  if (!scaled) return area;
  const int s = m_cursorScale;
  CRect r = area;
  r.right += (s - 1) * area.Width();
  r.bottom += (s - 1) * area.Height();
  r.OffsetRect((1 - s) * hotX, (1 - s) * hotY);
  r.left -= 38 * s;
  if (r.Height() < 38 * s) r.bottom = r.top + 38 * s;
  return r;
}

void CRenderRoot::ProcessCursor(CCaptureData* record) {
  if (!m_cursor.Apply(record)) {
    if (m_cursor.TakeEndOfStream()) EndOfFile(kStreamCursor);
    return;
  }
  if (m_cursor.IsPreroll()) return;
  GetPointerScale();
  const int flags = m_cursor.GetRecordFlags();
  const bool clickChanged = m_cursor.HasClickChanged();
  const bool scaleOld = (flags & 1) || clickChanged;
  const bool scaleNew = (flags & 3) || clickChanged;
  const CRect oldArea = CursorArea(m_cursor.GetOldArea(), m_cursor.GetPrevHotX(), m_cursor.GetPrevHotY(), scaleOld);
  const CRect newArea = CursorArea(m_cursor.GetArea(), m_cursor.GetHotX(), m_cursor.GetHotY(), scaleNew);
  if (scaleNew) m_lastCursorArea = newArea;
  if (m_clickHoldMode && clickChanged && m_cursor.GetClickState()) {
    m_clickActive = 1;
    m_clickExpiry = GetTickCount() + kClickHoldMs;
    m_heldClick = m_cursor.GetClickState();
  }
  const bool hasOld = HasArea(oldArea);
  const bool hasNew = HasArea(newArea);
  if (hasOld && hasNew) {
    CRect both;
    both.UnionRect(oldArea, newArea);
    if (both.Width() < 4 * newArea.Width() && both.Height() < 4 * newArea.Height()) {
      InvalidateUpdateArea(both, kStreamCursor);
      return;
    }
  }
  if (hasOld) InvalidateUpdateArea(oldArea, kStreamCursor);
  if (hasNew) InvalidateUpdateArea(newArea, kStreamCursor);
}

bool CRenderRoot::ProcessVideo(CCaptureData* record, bool& resize) {
  if (m_video.Apply(record)) {
    if (m_videoOnly) {
      SetScreenDeviceSize();
      if (NoteSize(m_video.GetWidth(), std::abs(m_video.GetHeight()))) resize = true;
      if (!m_video.IsPreroll()) InvalidateScreen();
    } else if (!m_video.IsPreroll()) {
      InvalidateVideo();
    }
    return true;
  }
  const bool ended = m_video.TakeEndOfStream();
  if (m_video.TakeEndOfPreroll()) {
    if (m_videoOnly)
      InvalidateScreen();
    else
      InvalidateVideo();
  }
  if (ended) EndOfFile(kStreamVideo);
  return false;
}

// --- Composition -----------------------------------------------------------------

unsigned char* CRenderRoot::RenderScreen(const CRect& client, const CRect& update) {
  CSingleLock lock(&m_lock);
  BYTE* pixels = m_screen.GetPixels();
  if (!pixels) return nullptr;
  m_backWidened = false;
  if (!m_backBufferEnabled) return pixels;
  const CRect whole(0, 0, m_screen.GetWidth(), m_screen.GetHeight());
  CRect area;
  if (!area.IntersectRect(ScreenToDevice(update), whole)) area.SetRectEmpty();
  // Overlays are drawn in 16 or 24 bits: an 8-bit picture is widened to 24
  // bits first, and the back buffer takes that form.
  BITMAPINFO& info = m_backInfo;
  info = m_screen.GetInfo();
  if (info.bmiHeader.biBitCount == 8) {
    pixels = WidenPicture(pixels, area);
    if (!pixels) return nullptr;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biClrUsed = 0;
    info.bmiHeader.biSizeImage = m_widePictureSize;
    m_backWidened = true;
  }
  const DWORD size = m_backWidened ? m_widePictureSize : m_screen.GetPixelSize();
  if (m_backBufferSize != size || !m_backBuffer) {
    m_backBuffer.reset(new (std::nothrow) unsigned char[size]);
    m_backBufferSize = m_backBuffer ? size : 0;
    // A fresh buffer holds nothing yet: the whole picture is copied below.
    if (m_backBuffer) std::memcpy(m_backBuffer.get(), pixels, size);
  }
  if (!m_backBuffer) return nullptr;
  if (!area.IsRectEmpty()) CopyBufferRect(m_backBuffer.get(), pixels, area, &info.bmiHeader, m_backBufferSize);
  m_videoPosition = GetVideoPosition();
  GetVideoScale();
  m_videoTransparency = GetVideoTransparency();
  if (GetVideoReplayMode() > 1 && GetRenderVars() && GetRenderVars()->GetVideoDisplay() && m_video.HasFrame()) {
    BlendVideo(m_backBuffer.get(), &info, m_video.GetPixels(), &m_video.GetInfo(), m_videoTransparency);
  }
  CRenderVars* vars = GetRenderVars();
  if (vars && vars->GetAnnotation() && renderpx::HasOverlays(info.bmiHeader.biBitCount)) {
    vars->RenderAnnotation(m_backBuffer.get(), pixels, &info, update, CSize(client.Width(), client.Height()));
  }
  CRect cursorLimit = area;
  cursorLimit.InflateRect(2, 2);
  RenderRawCursor(m_backBuffer.get(), &info.bmiHeader, cursorLimit);
  return m_backBuffer.get();
}

const BITMAPINFO& CRenderRoot::GetPictureInfo() const { return m_backWidened ? m_backInfo : m_screen.GetInfo(); }

// Brings the 24-bit form of the 8-bit screen picture up to date within area
// (the whole picture when the form is new) through the picture's colours.
unsigned char* CRenderRoot::WidenPicture(const unsigned char* pixels, const CRect& area) {
  const int width = m_screen.GetWidth(), height = m_screen.GetHeight();
  if (width <= 0 || height <= 0) return nullptr;
  const std::uint64_t bytes = DibImageSize(static_cast<DWORD>(width), static_cast<DWORD>(height), 24);
  if (bytes == 0 || bytes > 0xFFFFFFFFull) return nullptr;
  // The back buffer copies a pixel more around the area: convert that too.
  CRect convert = area;
  if (!convert.IsRectEmpty()) {
    convert.InflateRect(1, 1);
    convert.IntersectRect(convert, CRect(0, 0, width, height));
  }
  if (m_widePictureSize != bytes || !m_widePicture) {
    m_widePicture.reset(new (std::nothrow) unsigned char[bytes]);
    m_widePictureSize = m_widePicture ? static_cast<DWORD>(bytes) : 0;
    if (!m_widePicture) return nullptr;
    convert.SetRect(0, 0, width, height);
  }
  if (convert.IsRectEmpty()) return m_widePicture.get();
  const RGBQUAD* colours = m_screen.GetInfo().bmiColors;
  const std::size_t sourceStride = DibStride(static_cast<DWORD>(width), 8);
  const std::size_t stride = DibStride(static_cast<DWORD>(width), 24);
  for (int y = convert.top; y < convert.bottom; ++y) {
    const unsigned char* in = pixels + static_cast<std::size_t>(y) * sourceStride;
    unsigned char* out = m_widePicture.get() + static_cast<std::size_t>(y) * stride;
    for (int x = convert.left; x < convert.right; ++x) {
      const RGBQUAD& q = colours[in[x]];
      out[3 * x] = q.rgbBlue;
      out[3 * x + 1] = q.rgbGreen;
      out[3 * x + 2] = q.rgbRed;
    }
  }
  return m_widePicture.get();
}

void CRenderRoot::CopyBufferRect(unsigned char* dest, const unsigned char* source, const CRect& area,
                                 const BITMAPINFOHEADER* header, unsigned long count) {
  if (!dest || !source || !header) return;
  const int width = header->biWidth;
  const int height = std::abs(header->biHeight);
  const DWORD stride = static_cast<DWORD>(DibStride(static_cast<DWORD>(width), header->biBitCount));
  const std::uint64_t bytes = static_cast<std::uint64_t>(stride) * static_cast<DWORD>(height);
  if (area.left == 0 && area.top == 0 && area.Width() == width && area.Height() == height) {
    std::memcpy(dest, source, std::min<std::uint64_t>(count, bytes));
    return;
  }
  CRect r;
  if (!r.IntersectRect(area, CRect(0, 0, width, height))) return;
  if (r.left > 0) --r.left;
  if (r.top > 0) --r.top;
  if (r.right + 1 <= width) ++r.right;
  if (r.bottom + 1 <= height) ++r.bottom;
  if (bytes > count) return;  // the destination does not hold the picture
  const int bpp = header->biBitCount / 8;
  const std::size_t rowBytes = static_cast<std::size_t>(r.Width()) * bpp;
  for (int y = r.top; y < r.bottom; ++y) {
    const std::size_t offset = static_cast<std::size_t>(r.left) * bpp + static_cast<std::size_t>(y) * stride;
    std::memcpy(dest + offset, source + offset, rowBytes);
  }
}

// --- Settings -------------------------------------------------------------------

int CRenderRoot::GetVideoPosition() {
  CRenderVars* vars = GetRenderVars();
  return vars ? vars->GetVideoPosition() : 2;
}

int CRenderRoot::GetVideoTransparency() {
  CRenderVars* vars = GetRenderVars();
  return vars ? vars->GetVideoTransparency() : 50;
}

int CRenderRoot::GetHighQualityReplay() {
  CRenderVars* vars = GetRenderVars();
  return vars ? vars->GetHighQualityReplay() : 0;
}

int CRenderRoot::GetCursorDisplay() {
  CRenderVars* vars = GetRenderVars();
  return vars ? vars->GetCursorDisplay() : 1;
}

int CRenderRoot::GetVideoReplayMode() {
  CRenderVars* vars = GetRenderVars();
  return vars ? vars->GetVideoReplayMode() : 3;
}

void CRenderRoot::GetVideoScale() {
  switch (GetVideoReplayMode()) {
    case 2:
      m_videoScaleNum = 2;
      m_videoScaleDen = 1;
      break;
    case 4:
      m_videoScaleNum = 1;
      m_videoScaleDen = 2;
      break;
    case 5:
      m_videoScaleNum = 1;
      m_videoScaleDen = 4;
      break;
    case 6:
      m_videoScaleNum = 1;
      m_videoScaleDen = 8;
      break;
    case 7:
      m_videoScaleNum = 1;
      m_videoScaleDen = 16;
      break;
    default:
      m_videoScaleNum = 1;
      m_videoScaleDen = 1;
      break;
  }
}

void CRenderRoot::GetPointerScale() {
  CRenderVars* vars = GetRenderVars();
  const int size = vars ? vars->GetCursorSize() : 0;
  m_cursorScale = size == 2 ? 3 : (size == 1 ? 2 : 1);
}

void CRenderRoot::SetSize(int width, int height) {
  CSingleLock lock(&m_lock);
  m_pictureWidth = width;
  m_pictureHeight = height;
}

void CRenderRoot::GetSize(int& width, int& height) {
  CSingleLock lock(&m_lock);
  width = m_pictureWidth;
  height = m_pictureHeight;
}

int CRenderRoot::GetWidth(int height) {
  CSingleLock lock(&m_lock);
  if (!m_pictureHeight) return 0;
  return static_cast<int>(static_cast<std::int64_t>(height) * m_pictureWidth / m_pictureHeight);
}

int CRenderRoot::GetHeight(int width) {
  CSingleLock lock(&m_lock);
  if (!m_pictureWidth) return 0;
  return static_cast<int>(static_cast<std::int64_t>(width) * m_pictureHeight / m_pictureWidth);
}

void CRenderRoot::SetForVideoOnly(int on) {
  CSingleLock lock(&m_lock);
  m_videoOnly = on;
  if (on) m_backBufferEnabled = 0;
}

int CRenderRoot::CanRender() {
  CSingleLock lock(&m_lock);
  return (m_backBuffer || m_screen.GetPixels()) ? 1 : 0;
}

// --- Replay state -----------------------------------------------------------------

void CRenderRoot::ClearPreview() {
  CSingleLock lock(&m_lock);
  m_screen.Clear();
  m_cursor.Clear();
  m_video.Clear();
  m_backBuffer.reset();
  m_backBufferSize = 0;
  m_widePicture.reset();
  m_widePictureSize = 0;
  m_backWidened = false;
  m_clickActive = 0;
  m_heldClick = 0;
  m_clickHoldMode = CursorDisplaySetting() == 3 ? 1 : 0;
  m_cursor.SetRawMode(true);
}

int CRenderRoot::CursorDisplaySetting() { return GetCursorDisplay(); }

void CRenderRoot::TimerPoll() {
  CSingleLock lock(&m_lock);
  const int holdMode = CursorDisplaySetting() == 3 ? 1 : 0;
  if (holdMode != m_clickHoldMode) {
    m_clickActive = 0;
    m_heldClick = 0;
    m_clickHoldMode = holdMode;
    InvalidateUpdateArea(m_lastCursorArea, kStreamCursor);
    return;
  }
  if (m_clickHoldMode && m_clickActive && static_cast<std::int32_t>(GetTickCount() - m_clickExpiry) > 0) {
    m_heldClick = 0;
    m_clickActive = 0;
    InvalidateUpdateArea(m_lastCursorArea, kStreamCursor);
  }
}

void CRenderRoot::UpdateAnnotation(const CRect& pictureArea) { InvalidateScreenRect(DeviceToScreen(pictureArea), 0); }

CAnnotateData& CRenderRoot::GetAnnotateData() { return GetRenderVars()->GetAnnotateData(); }

int CRenderRoot::RenderAnnotation(unsigned char* frame, unsigned char* source, const BITMAPINFO* header,
                                  const CRect& update, const CSize& window) {
  CRenderVars* vars = GetRenderVars();
  return vars ? vars->RenderAnnotation(frame, source, header, update, window) : 0;
}

void CRenderRoot::InvalidateVideo() { InvalidateUpdateArea(GetVideoRect(), kStreamVideo); }

// --- Coordinate mapping -------------------------------------------------------------

void CRenderRoot::SetScreenDeviceSize(int screenW, int screenH, int deviceW, int deviceH) {
  if (!screenW || !screenH || !deviceW || !deviceH) screenW = screenH = deviceW = deviceH = 1;
  m_screenW = screenW;
  m_screenH = screenH;
  m_deviceW = deviceW;
  m_deviceH = deviceH;
}

int CRenderRoot::DeviceXToScreen(int x) const { return MulDiv(x, m_screenW, m_deviceW); }
int CRenderRoot::DeviceYToScreen(int y) const { return MulDiv(y, m_screenH, m_deviceH); }
int CRenderRoot::ScreenXToDevice(int x) const { return MulDiv(x, m_deviceW, m_screenW); }
int CRenderRoot::ScreenYToDevice(int y) const { return MulDiv(y, m_deviceH, m_screenH); }

CPoint CRenderRoot::DeviceToScreen(const CPoint& p) const { return CPoint(DeviceXToScreen(p.x), DeviceYToScreen(p.y)); }
CSize CRenderRoot::DeviceToScreen(const CSize& s) const { return CSize(DeviceXToScreen(s.cx), DeviceYToScreen(s.cy)); }
CRect CRenderRoot::DeviceToScreen(const CRect& r) const {
  return CRect(DeviceXToScreen(r.left), DeviceYToScreen(r.top), DeviceXToScreen(r.right), DeviceYToScreen(r.bottom));
}
CPoint CRenderRoot::ScreenToDevice(const CPoint& p) const { return CPoint(ScreenXToDevice(p.x), ScreenYToDevice(p.y)); }
CSize CRenderRoot::ScreenToDevice(const CSize& s) const { return CSize(ScreenXToDevice(s.cx), ScreenYToDevice(s.cy)); }
CRect CRenderRoot::ScreenToDevice(const CRect& r) const {
  return CRect(ScreenXToDevice(r.left), ScreenYToDevice(r.top), ScreenXToDevice(r.right), ScreenYToDevice(r.bottom));
}
