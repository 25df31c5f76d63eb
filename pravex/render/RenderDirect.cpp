#include "pravex/render/RenderDirect.h"

#include <cstdlib>
#include <cstring>

CRenderDirect::CRenderDirect() = default;

CRenderDirect::~CRenderDirect() = default;

// Before the first frame (no frame area) the video is placed in the whole
// picture, as the root places it.
CRect CRenderDirect::GetVideoRect() {
  if (m_frameArea.IsRectEmpty()) return CRenderRoot::GetVideoRect();
  return GetCropVideoRect(m_frameArea);
}

int CRenderDirect::RenderFrame(unsigned char* frame, BITMAPINFOHEADER* header, const CRect& area) {
  if (!frame || !header || renderscale::FrameStride(*header) == 0) return 0;
  CSingleLock lock(&m_lock);
  const int width = ScreenState().GetWidth();
  const int height = ScreenState().GetHeight();
  // A caller may still ask for an older picture size: only the part inside
  // the current picture is read.
  CRect clamped;
  if (!clamped.IntersectRect(area, CRect(0, 0, width, height))) clamped.SetRectEmpty();
  m_frameArea = clamped;
  if (width > 0 && height > 0 && ScreenState().GetPixels()) {
    const CRect whole(0, 0, width, height);
    const unsigned char* picture = RenderScreen(whole, whole);
    if (picture && !clamped.IsRectEmpty()) {
      ScaleFrameBuffer(frame, picture, header, clamped);
      return 1;
    }
  }
  std::memset(frame, 0, header->biSizeImage);
  return 1;
}

void CRenderDirect::ScaleFrameBuffer(unsigned char* frame, const unsigned char* source, BITMAPINFOHEADER* header,
                                     const CRect& area) {
  if (!frame || !source || !header) return;
  CSingleLock lock(&m_lock);
  CRect clamped;
  if (!clamped.IntersectRect(area, CRect(0, 0, ScreenState().GetWidth(), ScreenState().GetHeight()))) return;
  renderscale::Scale(frame, *header, source, GetPictureInfo(), clamped, GetHighQualityReplay() != 0);
}
