// The base of every top-level replay window. On top of its skin it owns what
// a replay window needs: the capture reader and the audio player, the render
// settings with the capture's annotations, the capture's information table,
// the tray icon and the caption-bar parts; it keeps the preview and display
// options; it stores and restores window positions in the settings store; and
// it loads the annotations stored in a capture file. The concrete window
// supplies window creation, the controls and the replay commands.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Rect.h"
#include "pravex/capture/AudioReplay.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/render/RenderVars.h"
#include "pravex/shell/SkinBase.h"
#include "sintra/toolkit/RoundSlider.h"
#include "sintra/toolkit/TransStatic.h"
#include "sintra/widgets/CaptionBar.h"
#include "sintra/widgets/TimeDisplay.h"
#include "sintra/widgets/TransButton.h"
#include "sintra/widgets/Tray.h"

class CAnnotateData;

class CBaseInterface : public CSkinBase {
 public:
  CBaseInterface();
  ~CBaseInterface() override;

  // Creates the child windows once the skinned window is set up.
  virtual void CreateChildWindows() = 0;
  // Repaints the annotation overlay in a rectangle of the view (null: all of it).
  virtual void UpdateOverlay(const CRect* rect) = 0;
  // Starts replay at a time in ms.
  virtual void PlayFrom(DWORD time, int flag) = 0;

  // Loads the skin and creates the window (CSkinBase::Setup).
  int Setup(const char* skinName = nullptr) { return CSkinBase::Setup(skinName); }
  // Sets up the skinned window for a skin bitmap of `hotSpots` hot spots,
  // then creates the child windows.
  void SetupWindows(int hotSpots);
  // Shows icon resource `id` in the tray with string `id` as its tip, and as
  // the window's big and small icon. The player uses 128 stopped, 129
  // playing and 130 paused.
  void SetUpIcon(UINT id, int remember);

  // Window positions under "Software\Kalvo\Positions", value names made of
  // the prefix and "Interface", "Screen", "ScreenSize", "Video", "Coords" or
  // "Tree". ReadPlacement returns the shown field of the last value it used,
  // 1 when it used none.
  void SavePlacement(const char* prefix);
  int ReadPlacement(const char* prefix);

  // Loads the capture's annotation archive into `data`; 1 when loaded, 0
  // (with `data` empty) when the capture has none or it cannot be read.
  int GetAnnotationFromFile(CAnnotateData* data);

  CCaptureFileReader* GetCaptureFileReader() { return &m_reader; }
  CAudioReplay& GetAudioReplay() { return m_audio; }
  CRenderVars& GetRenderVars() { return m_renderVars; }
  CCaptureInfo& GetCaptureInfo() { return m_info; }
  CRect& GetCaptureRect() { return m_captureRect; }
  void SetCaptureRect(const CRect& rect) { m_captureRect = rect; }
  void SetCaptureRect(int x, int y, int width, int height) { m_captureRect = CRect(x, y, x + width, y + height); }
  // The video preview is the render settings' video display under a second name.
  int GetVideoPreview() const { return m_renderVars.GetVideoDisplay(); }
  void SetVideoPreview(int value) { m_renderVars.SetVideoDisplay(value); }
  int GetAudioPreview() const { return m_audioPreview; }
  void SetAudioPreview(int value) { m_audioPreview = value; }
  int GetScreenPreview() const { return m_screenPreview; }
  void SetScreenPreview(int value) { m_screenPreview = value; }
  // Two 16-bit halves (high, low), each at least 1.
  unsigned GetPreviewWndScale() const { return m_previewScale; }
  void SetPreviewWndScale(unsigned scale);
  int GetAutoHide() const { return m_autoHide; }
  void SetAutoHide(int value) { m_autoHide = value; }
  void SetCursorDisplay(int value) { m_renderVars.SetCursorDisplay(value); }
  int GetOntop() const { return m_onTop; }
  void SetOntop(int value) { m_onTop = value; }
  int GetVideoCrop() const { return m_videoCrop; }
  void SetVideoCrop(int value) { m_videoCrop = value; }

  // The windows whose positions SavePlacement stores (not owned; null: none).
  void SetScreenWindow(CWnd* wnd) { m_screenWnd = wnd; }
  void SetVideoWindow(CWnd* wnd) { m_videoWnd = wnd; }
  void SetCoordsWindow(CWnd* wnd) { m_coordsWnd = wnd; }
  void SetTreeWindow(CWnd* wnd) { m_treeWnd = wnd; }
  CWnd* GetScreenWindow() const { return m_screenWnd; }

  CTray& GetTray() { return m_tray; }
  CCaptionBar& GetCaptionBar() { return m_captionBar; }
  CTimeDisplay& GetTimeDisplay() { return m_timeDisplay; }
  // Caption parts a derived window may create on its caption bar.
  CTransStatic& GetTransStatic() { return m_transStatic; }
  CRoundSlider& GetRoundSlider() { return m_roundSlider; }

  int GetInterfaceShown() const { return m_interfaceShown; }
  void SetInterfaceShown(int value) { m_interfaceShown = value; }
  const std::string& GetClipTitle() const { return m_clipTitle; }
  void SetClipTitle(const std::string& title) { m_clipTitle = title; }

 protected:
  // The tray part of SetUpIcon.
  void SetTrayIcon(UINT id, int remember);

  CRenderVars m_renderVars;  // display settings and the capture's annotations
  CCaptureInfo m_info;       // the open capture's information table
  int m_onTop = 0;
  int m_interfaceShown = 1;
  int m_playing = 0;
  int m_clipLoaded = 0;
  int m_paused = 0;
  int m_audioPreview = 0;
  int m_screenPreview = 0;
  int m_autoHide = 0;
  int m_speedButtonIndex = -1;
  unsigned m_previewScale = 0x00010001;
  int m_videoCrop = 0;
  CRect m_captureRect;
  std::string m_clipTitle;
  // Caption parts for derived windows: constructed here, created by them.
  std::array<CTransButton, 5> m_captionButtons;
  std::vector<std::unique_ptr<CTransButton>> m_moreCaptionButtons;  // owned
  CFont m_captionButtonFont;
  CTray m_tray;  // the notification icon
  CCaptionBar m_captionBar;
  CTimeDisplay m_timeDisplay;
  CTransStatic m_transStatic;  // constructed, created by a derived window if it wants one
  CRoundSlider m_roundSlider;  // likewise
  CCaptureFileReader m_reader;
  CAudioReplay m_audio;
  CWnd* m_screenWnd = nullptr;  // not owned
  CWnd* m_videoWnd = nullptr;   // not owned
  CWnd* m_coordsWnd = nullptr;  // not owned
  CWnd* m_treeWnd = nullptr;    // not owned
};
