// Painting the composed picture into a DC, stretched to the client: one
// nearest-pixel stretch, or smooth stretching in horizontal bands clipped one
// at a time when high quality is on and the sizes differ.
#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/gfx/Gdi.h"
#include "platform/gfx/Rgn.h"
#include "platform/ui/PaintDC.h"
#include "pravex/render/RenderRoot.h"

namespace {

// Pixel count each smooth band covers (band height = this / clip width).
constexpr int kBandPixels = 100000;

void Fill(CDC& dc, const CRect& rect, unsigned long fill) {
  if (fill != 0xFFFFFFFFul) dc.FillSolidRect(&rect, static_cast<COLORREF>(fill));
}

}  // namespace

int CRenderRoot::Paint(CPaintDC& dc, const CRect& client, const CRect& update, unsigned long fill) {
  return Paint(static_cast<CDC&>(dc), client, update, fill);
}

int CRenderRoot::Paint(CDC& dc, const CRect& client, const CRect& update, unsigned long fill) {
  CSingleLock lock(&m_lock);
  const int cw = client.Width();
  const int ch = client.Height();
  if (m_videoOnly) {
    if (!m_video.HasFrame()) {
      Fill(dc, client, fill);
      return 0;
    }
    const BITMAPINFO& info = m_video.GetInfo();
    dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchDIBits(0, 0, cw, ch, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, m_video.GetPixels(), &info,
                     DIB_RGB_COLORS, SRCCOPY);
    return 1;
  }
  const unsigned char* picture = RenderScreen(client, update);
  if (!picture) {
    Fill(dc, update, fill);
    return 0;
  }
  const BITMAPINFO& info = GetPictureInfo();
  const int pw = m_screen.GetWidth();
  const int ph = m_screen.GetHeight();
  if (GetHighQualityReplay() && (pw != cw || ph != ch)) {
    const int saved = dc.SaveDC();
    dc.SetStretchBltMode(HALFTONE);
    dc.SetBrushOrg(0, 0);
    CRect box;
    dc.GetClipBox(&box);
    const int band = box.Width() > 0 ? std::max(1, kBandPixels / box.Width()) : box.Height();
    for (int top = box.top; top < box.bottom; top += band) {
      CRgn region;
      region.CreateRectRgn(box.left, top, box.right, std::min(top + band, static_cast<int>(box.bottom)));
      dc.SelectClipRgn(&region, RGN_COPY);
      dc.StretchDIBits(0, 0, cw, ch, 0, 0, pw, ph, picture, &info, DIB_RGB_COLORS, SRCCOPY);
    }
    dc.RestoreDC(saved);
    return 1;
  }
  dc.SetStretchBltMode(COLORONCOLOR);
  dc.StretchDIBits(0, 0, cw, ch, 0, 0, pw, ph, picture, &info, DIB_RGB_COLORS, SRCCOPY);
  return 1;
}
