// The replay display settings every renderer consults while composing a
// picture: how the camera picture and the cursor are shown, whether
// annotations and high-quality scaling are used. Values are stored as given;
// the renderers treat values outside the listed ranges as the plain choice
// (normal video size, cursor at recorded size). The record also owns the
// capture's annotation set; copies take the settings only.
#pragma once

#include "glimra/AnnotateData.h"
#include "platform/base/Point.h"
#include "platform/base/Rect.h"

class CRenderVars {
 public:
  CRenderVars() = default;
  // Copies the settings of another record (none when null).
  explicit CRenderVars(const CRenderVars* other);
  // Copying takes the settings only.
  CRenderVars(const CRenderVars& other) : CRenderVars(&other) {}
  CRenderVars& operator=(const CRenderVars& other);
  virtual ~CRenderVars() = default;

  CAnnotateData& GetAnnotateData() { return m_annotateData; }
  // Draws the annotations on display into a 16-bit frame (quality: the
  // high-quality setting).
  int RenderAnnotation(unsigned char* frame, unsigned char* source, const BITMAPINFO* header, const CRect& update,
                       const CSize& window);
  CRect ProcessIntersect(const CRect& changed) { return m_annotateData.ProcessIntersect(changed); }

  // Percent of the screen that shows through the camera picture (0 opaque).
  int GetVideoTransparency() const { return m_videoTransparency; }
  void SetVideoTransparency(int value) { m_videoTransparency = value; }
  // 0..8: top-left, top-centre, top-right, middle row, bottom row.
  int GetVideoPosition() const { return m_videoPosition; }
  void SetVideoPosition(int value) { m_videoPosition = value; }
  // 0, 1 not blended; 2 double; 3 normal; 4 half; 5 quarter; 6 eighth; 7 sixteenth.
  int GetVideoReplayMode() const { return m_videoReplayMode; }
  void SetVideoReplayMode(int value) { m_videoReplayMode = value; }
  // 0 none; 1 cursor; 2 cursor and clicks; 3 clicks held for 500 ms.
  int GetCursorDisplay() const { return m_cursorDisplay; }
  void SetCursorDisplay(int value) { m_cursorDisplay = value; }
  int GetHighQualityReplay() const { return m_highQualityReplay; }
  void SetHighQualityReplay(int value) { m_highQualityReplay = value; }
  int GetAnnotation() const { return m_annotation; }
  void SetAnnotation(int value) { m_annotation = value; }
  // 0 recorded size, 1 double, 2 triple.
  int GetCursorSize() const { return m_cursorSize; }
  void SetCursorSize(int value) { m_cursorSize = value; }
  int GetVideoDisplay() const { return m_videoDisplay; }
  void SetVideoDisplay(int value) { m_videoDisplay = value; }

 private:
  void CopySettings(const CRenderVars& other);

  CAnnotateData m_annotateData;  // never copied

  int m_videoTransparency = 50;
  int m_videoPosition = 2;
  int m_videoReplayMode = 3;
  int m_cursorDisplay = 1;
  int m_highQualityReplay = 1;
  int m_annotation = 1;
  int m_cursorSize = 0;
  int m_videoDisplay = 1;
};
