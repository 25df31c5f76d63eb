// The preview program's windows: a replay view (a window that renders the
// capture's screen, cursor and camera streams) hosted by a screen preview
// window that can pause the replay and copy its picture.
#pragma once

#include <atomic>
#include <string>

#include "pravex/render/RenderDirect.h"
#include "pravex/render/RenderVars.h"
#include "pravex/render/ScreenPreview.h"

class CCaptureFileReader;

class CPreviewView : public CWnd, public CRenderDirect {
 public:
  CRenderVars* GetRenderVars() override { return &m_vars; }
  void InvalidateScreen() override;
  void InvalidateScreenRect(const CRect& rect, int erase) override;
  void SetScreenDeviceSize() override;
  void InvalidateUpdateArea(const CRect& rect, unsigned short stream) override;

 protected:
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnPaint() override;

 private:
  CRenderVars m_vars;
};

class CPreviewWindow : public CScreenPreview {
 public:
  CPreviewWindow(CCaptureFileReader& reader, bool fit);
  ~CPreviewWindow() override;

  BOOL Open(const char* title);
  CPreviewView& View() { return m_view; }
  // Copies what the view shows now; true when a picture went to the clipboard.
  bool CopyPicture();
  void TogglePause();
  // Replay time at which to copy the picture once (0: never), and whether to
  // close when the replay has reached the end.
  void SetCopyAt(DWORD time) { m_copyAt = time; }
  void SetCloseAtEnd(bool on) { m_closeAtEnd = on; }
  // A PNG picture of the window to write when the picture is copied.
  void SetScreenshot(const std::string& path) { m_screenshot = path; }
  int CopiesMade() const { return m_copies; }
  // Set from a signal handler: the window closes at its next tick.
  static std::atomic<bool> s_closeRequested;

  CWnd* GetHostedView() override { return m_view.m_hWnd ? static_cast<CWnd*>(&m_view) : nullptr; }
  void ClosePreview() override { DestroyWindow(); }
  void PreviewReserved() override {}
  void GetCaptureSize(int& width, int& height) override { m_view.GetSize(width, height); }
  int GetWidthForHeight(int height) override { return m_view.GetWidth(height); }
  int GetHeightForWidth(int width) override { return m_view.GetHeight(width); }
  int GetFitToWindow() override { return m_fit ? 1 : 0; }

 protected:
  int OnCreate(CREATESTRUCT* create) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnTimer(std::uintptr_t id) override;
  void OnDestroy() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CCaptureFileReader& m_reader;
  CPreviewView m_view;
  bool m_fit;
  DWORD m_copyAt = 0;
  bool m_copied = false;
  bool m_closeAtEnd = false;
  bool m_ended = false;
  int m_copies = 0;
  std::string m_screenshot;
};
