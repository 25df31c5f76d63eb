// The synthetic demo session olvane-mkcapture records: a desktop with icons
// and a taskbar clock, an editor in which text is typed, a file list whose
// selection follows a click, a dialog that the pointer drags across the
// screen, a context menu after a right click, a camera picture of a swaying
// face, and a tune with a tick at every click.
//
// Everything is a pure function of time, so a capture can be written in any
// order of frames and the same arguments always give the same bytes. The
// scene knows nothing of files: CDemoCapture (DemoCapture.h) turns it into
// records. A later part can add annotations the same way, by asking the
// scene where its windows are at a given time (GetLayout).
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"
#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

// Pointer state at one moment: position of the hot spot, mouse buttons
// (bit 0 left, bit 1 middle, bit 2 right) and the shape shown.
struct DemoPointer {
  int x = 0;
  int y = 0;
  BYTE buttons = 0;
  bool textShape = false;
};

// Where the scene's windows are at one moment.
struct DemoLayout {
  CRect editor;
  CRect files;
  CRect dialog;
  CRect taskbar;
};

class CDemoScene {
 public:
  // Size of the camera picture.
  static constexpr int kCameraWidth = 160;
  static constexpr int kCameraHeight = 120;

  CDemoScene(int width, int height, DWORD lengthMs);

  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  DWORD GetLength() const { return m_length; }

  DemoLayout GetLayout(DWORD time) const;
  // The screen at `time`, without the pointer (captures carry it apart).
  void DrawScreen(DWORD time, CCanvas& canvas) const;
  DemoPointer GetPointer(DWORD time) const;
  // The camera picture at `time` (kCameraWidth x kCameraHeight).
  void DrawCamera(DWORD time, CCanvas& canvas) const;
  // The sound from the start, `count` 16-bit mono samples at `rate`.
  std::vector<short> MakeSound(DWORD rate, std::size_t count) const;

 private:
  double Phase(DWORD time) const { return m_length ? static_cast<double>(time) / m_length : 0.0; }
  CRect DialogAt(double phase) const;
  CPoint FileRowCentre(int row) const;
  int SelectedFile(DWORD time) const;
  void DrawDesktop(DWORD time, CCanvas& canvas) const;
  void DrawWindowFrame(CCanvas& canvas, const CRect& r, const char* title, bool active) const;
  void DrawEditor(DWORD time, CCanvas& canvas, const CRect& r) const;
  void DrawFiles(DWORD time, CCanvas& canvas, const CRect& r) const;
  void DrawDialog(CCanvas& canvas, const CRect& r) const;
  void DrawMenu(DWORD time, CCanvas& canvas) const;

  int m_width;
  int m_height;
  DWORD m_length;
  CRect m_editor;
  CRect m_files;
  CSize m_dialogSize;
  CPoint m_dialogFrom;
  CPoint m_dialogTo;
};
