#include "pravex/render/RenderVars.h"

CRenderVars::CRenderVars(const CRenderVars* other) {
  if (other) CopySettings(*other);
}

CRenderVars& CRenderVars::operator=(const CRenderVars& other) {
  if (this != &other) CopySettings(other);
  return *this;
}

void CRenderVars::CopySettings(const CRenderVars& other) {
  m_videoTransparency = other.m_videoTransparency;
  m_videoPosition = other.m_videoPosition;
  m_videoReplayMode = other.m_videoReplayMode;
  m_cursorDisplay = other.m_cursorDisplay;
  m_highQualityReplay = other.m_highQualityReplay;
  m_annotation = other.m_annotation;
  m_cursorSize = other.m_cursorSize;
  m_videoDisplay = other.m_videoDisplay;
}

int CRenderVars::RenderAnnotation(unsigned char* frame, unsigned char* source, const BITMAPINFO* header,
                                  const CRect& update, const CSize& window) {
  return m_annotateData.RenderAnnotation(frame, source, header, update, window, m_highQualityReplay) ? 1 : 0;
}
