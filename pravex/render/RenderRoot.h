// The base of every renderer: the stream handler of a capture's screen,
// cursor and camera streams. It keeps the current state of the three
// pictures, composes the back buffer (screen copy, camera picture,
// annotations, cursor and click indicator) on request, paints it into a DC,
// and tells its owner which areas changed, when the picture size changed,
// when the first picture arrived and when a stream ended.
//
// Threads: ProcessData runs on the reader's worker; RenderScreen, Paint,
// TimerPoll and ClearPreview on the window thread. One lock serialises them;
// the invalidation hooks are called with it held and must not block on the
// window thread; the messages to windows are posted.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/Point.h"
#include "platform/base/Rect.h"
#include "platform/base/Sync.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureSink.h"
#include "pravex/render/CursorState.h"
#include "pravex/render/ScreenState.h"
#include "pravex/render/VideoState.h"

class CDC;
class CPaintDC;
class CWnd;
class CRenderVars;
class CAnnotateData;

// Messages a renderer posts (the application range plus an offset).
constexpr UINT WM_RENDERWND_ENDOFFILE = 0x812F;
constexpr UINT WM_RENDERWND_RESIZE = 0x8130;
constexpr UINT WM_RENDERWND_FIRSTFRAME = 0x8131;

class CRenderRoot : public CCaptureSink {
 public:
  // Resource id of the click indicator picture.
  static constexpr UINT kClickIndicatorId = 12013;
  // How long a click stays visible with cursor display 3.
  static constexpr DWORD kClickHoldMs = 500;

  CRenderRoot();
  ~CRenderRoot() override;
  CRenderRoot(const CRenderRoot&) = delete;
  CRenderRoot& operator=(const CRenderRoot&) = delete;

  int WriteCaptureData(CCaptureData* record) override;
  virtual int WriteCaptureDataRaw(CCaptureData* record);
  // The thread's main window, or null.
  virtual CWnd* GetMainWnd();
  virtual void InvalidateScreen() = 0;
  virtual void InvalidateScreenRect(const CRect& rect, int erase) = 0;
  virtual void SetScreenDeviceSize() = 0;
  virtual void InvalidateUpdateArea(const CRect& rect, unsigned short stream) = 0;
  // Composes the back buffer for a client rectangle and a window-coordinate
  // update rectangle; null when there is nothing to show. Its header is
  // GetPictureInfo(): 8-bit pictures are shown through a 24-bit back buffer.
  virtual unsigned char* RenderScreen(const CRect& client, const CRect& update);
  // The header of the picture the last RenderScreen returned (the screen
  // picture's own when there is no back buffer).
  const BITMAPINFO& GetPictureInfo() const;
  virtual void EndOfFile(unsigned short stream);
  virtual void ResizeParent();
  virtual CRenderVars* GetRenderVars() = 0;
  virtual void FirstGraphicFrame();
  // Applies one record; always 1.
  virtual int ProcessData(CCaptureData* record);
  virtual void OnEndOfScan() {}
  virtual CRect GetVideoRect();

  // Paints the composed picture stretched to the client; 1 when a picture was
  // painted, 0 when only filled (fill 0xFFFFFFFF: nothing at all).
  int Paint(CPaintDC& dc, const CRect& client, const CRect& update, unsigned long fill);
  int Paint(CDC& dc, const CRect& client, const CRect& update, unsigned long fill);
  // Expires a held click indicator (from a 100 ms timer).
  void TimerPoll();
  // Resets all replay state before a (re)start.
  void ClearPreview();
  void UpdateAnnotation(const CRect& pictureArea);
  // The annotation set inside the render settings (there must be settings).
  CAnnotateData& GetAnnotateData();
  int RenderAnnotation(unsigned char* frame, unsigned char* source, const BITMAPINFO* header, const CRect& update,
                       const CSize& window);
  void InvalidateVideo();

  int GetVideoPosition();
  int GetVideoTransparency();
  int GetHighQualityReplay();
  int GetCursorDisplay();
  int GetVideoReplayMode();
  void GetVideoScale();
  void GetPointerScale();
  int IsFirstFrame() const { return m_firstFrame; }
  void ResetFirstFrame(int value) { m_firstFrame = value; }
  void SetSize(int width, int height);
  void GetSize(int& width, int& height);
  int GetWidth(int height);
  int GetHeight(int width);
  int VideoOnly() const { return m_videoOnly; }
  void SetForVideoOnly(int on);
  void NoBackBuffer() { m_backBufferEnabled = 0; }
  int CanRender();

  int EnsureMouseBitmap();
  // Draws cursor and click indicator into a picture, limited to an area.
  void RenderRawCursor(unsigned char* pixels, BITMAPINFOHEADER* header, const CRect& limit);
  // Mixes the camera picture into a picture at GetVideoRect.
  void BlendVideo(unsigned char* picture, const BITMAPINFO* pictureInfo, const unsigned char* video,
                  const BITMAPINFO* videoInfo, int transparency);
  CRect GetCropVideoRect(const CRect& area);

  void SetParentWnd(CWnd* parent) { m_parent = parent; }
  CWnd* GetParentWnd() const { return m_parent; }
  int GetCursorScale() const { return m_cursorScale; }
  // The lock that guards the states (for owners that read them).
  CCriticalSection& GetLock() { return m_lock; }
  const CScreenState& GetScreenState() const { return m_screen; }

 protected:
  void SetScreenDeviceSize(int screenW, int screenH, int deviceW, int deviceH);
  int DeviceXToScreen(int x) const;
  int DeviceYToScreen(int y) const;
  int ScreenXToDevice(int x) const;
  int ScreenYToDevice(int y) const;
  CPoint DeviceToScreen(const CPoint& p) const;
  CSize DeviceToScreen(const CSize& s) const;
  CRect DeviceToScreen(const CRect& r) const;
  CPoint ScreenToDevice(const CPoint& p) const;
  CSize ScreenToDevice(const CSize& s) const;
  CRect ScreenToDevice(const CRect& r) const;
  // Copies an area (grown by a pixel where it can) of one picture into
  // another of the same header; count is the destination's byte count.
  void CopyBufferRect(unsigned char* dest, const unsigned char* source, const CRect& area,
                      const BITMAPINFOHEADER* header, unsigned long count);

  CCursorState& CursorState() { return m_cursor; }
  CVideoState& VideoState() { return m_video; }
  CScreenState& ScreenState() { return m_screen; }
  unsigned char* GetBackBuffer() const { return m_backBuffer.get(); }

  CCriticalSection m_lock;
  CWnd* m_parent = nullptr;  // not owned

 private:
  bool ProcessScreen(CCaptureData* record, bool& resize);
  void ProcessCursor(CCaptureData* record);
  bool ProcessVideo(CCaptureData* record, bool& resize);
  bool NoteSize(int width, int height);
  CRect CursorArea(const CRect& area, int hotX, int hotY, bool scaled) const;
  void DrawCursorShape(unsigned char* pixels, const BITMAPINFOHEADER* header, const CRect& clip);
  void DrawClickIndicator(unsigned char* pixels, const BITMAPINFOHEADER* header, const CRect& clip);
  int CursorDisplaySetting();
  unsigned char* WidenPicture(const unsigned char* pixels, const CRect& area);

  CScreenState m_screen;
  CCursorState m_cursor;
  CVideoState m_video;
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
  int m_videoPosition = 0;
  int m_videoTransparency = 20;
  int m_videoScaleNum = 1;
  int m_videoScaleDen = 1;
  int m_screenW = 1;
  int m_screenH = 1;
  int m_deviceW = 1;
  int m_deviceH = 1;
  int m_cursorScale = 1;
  int m_videoOnly = 0;
  int m_backBufferEnabled = 1;
  int m_firstFrame = 1;
  std::unique_ptr<unsigned char[]> m_backBuffer;  // owned; the screen picture's size
  DWORD m_backBufferSize = 0;
  BITMAPINFO m_backInfo{};  // the back buffer's header
  bool m_backWidened = false;  // the back buffer is the 24-bit form of an 8-bit picture
  // An 8-bit picture widened to 24 bits: what the back buffer is refreshed
  // from and what magnifying annotations read.
  std::unique_ptr<unsigned char[]> m_widePicture;
  DWORD m_widePictureSize = 0;
  int m_clickActive = 0;
  CRect m_lastCursorArea;
  DWORD m_clickExpiry = 0;
  BYTE m_heldClick = 0;
  int m_clickHoldMode = 0;
  std::vector<BYTE> m_clickImage;  // top row first, 96-byte rows; empty until loaded
};
