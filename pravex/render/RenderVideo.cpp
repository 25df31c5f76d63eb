// Placing the camera picture (scaled by a power of two at one of nine
// positions) and mixing it into the composed picture.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderPixels.h"
#include "pravex/render/RenderRoot.h"

CRect CRenderRoot::GetVideoRect() { return GetCropVideoRect(CRect(0, 0, m_pictureWidth, m_pictureHeight)); }

CRect CRenderRoot::GetCropVideoRect(const CRect& area) {
  const std::int64_t vw64 = static_cast<std::int64_t>(m_video.GetWidth()) * m_videoScaleNum / m_videoScaleDen;
  const std::int64_t vh64 =
      static_cast<std::int64_t>(std::abs(m_video.GetHeight())) * m_videoScaleNum / m_videoScaleDen;
  const int vw = static_cast<int>(std::min<std::int64_t>(vw64, 0x3FFFFFFF));
  const int vh = static_cast<int>(std::min<std::int64_t>(vh64, 0x3FFFFFFF));
  const int position = (m_videoPosition >= 0 && m_videoPosition <= 8) ? m_videoPosition : 2;
  int x = area.left;
  int y = area.top;
  switch (position % 3) {
    case 1:
      x = area.left + (area.Width() - vw) / 2;
      break;
    case 2:
      x = area.right - vw;
      break;
    default:
      break;
  }
  switch (position / 3) {
    case 1:
      y = area.top + (area.Height() - vh) / 2;
      break;
    case 2:
      y = area.bottom - vh;
      break;
    default:
      break;
  }
  CRect result(x, y, x + vw, y + vh);
  if (vw > area.Width()) {
    result.left = 0;
    result.right = vw;
  }
  if (vh > area.Height()) {
    result.top = 0;
    result.bottom = vh;
  }
  return result;
}

namespace {

// Mixes one row of camera pixels into a picture row of `Bits` (16: 5-6-5, or
// 24) bits: columns j of [j0, j1) land on picture column left + j and take
// camera column vx, which starts at vx0 and steps as the scale says.
// The common case, a 5-6-5 picture and the camera at its own size, as a
// plain loop over both rows (the same arithmetic as below).
void BlendVideoRow565(BYTE* prow, const BYTE* vrow, int count, unsigned a, unsigned u) {
  for (int j = 0; j < count; ++j) {
    WORD p;
    __builtin_memcpy(&p, prow + 2 * j, 2);
    const unsigned r = (p >> 8) & 0xF8u, g = (p >> 3) & 0xF8u, b = (p & 0x1Fu) * 8;
    const BYTE* v = vrow + 3 * j;
    // At most 100 x 255 / 100: no component exceeds 255.
    const unsigned nr = (a * r + u * v[2]) / 100;
    const unsigned ng = (a * g + u * v[1]) / 100;
    const unsigned nb = (a * b + u * v[0]) / 100;
    p = static_cast<WORD>(((nr & 0xF8) << 8) | ((ng >> 2) << 5) | (nb >> 3));
    __builtin_memcpy(prow + 2 * j, &p, 2);
  }
}

template <int Bits>
void BlendVideoRow(BYTE* prow, const BYTE* vrow, int left, int j0, int j1, int vx0, int videoW, int num, int den,
                   int a, int u) {
  int vx = vx0;
  for (int j = j0; j < j1 && vx < videoW; ++j) {
    const int px = left + j;
    const WORD p = renderpx::Get565(prow, px, Bits);
    const int r = (p >> 8) & 0xF8, g = (p >> 3) & 0xF8, b = (p & 0x1F) * 8;
    const BYTE* v = vrow + 3 * vx;
    const int nr = std::min(255, (a * r + u * v[2]) / 100);
    const int ng = std::min(255, (a * g + u * v[1]) / 100);
    const int nb = std::min(255, (a * b + u * v[0]) / 100);
    renderpx::Put565(prow, px, Bits, static_cast<WORD>(((nr & 0xF8) << 8) | ((ng >> 2) << 5) | (nb >> 3)));
    if (den > 1)
      vx += den;
    else if (num == 2)
      vx += (j & 1);
    else
      ++vx;
  }
}

// The camera column of output column j (see the steps above).
int VideoColumn(int j, int num, int den) {
  if (den > 1) return j * den;
  if (num == 2) return j / 2;
  return j;
}

}  // namespace

// The camera picture is bottom-up 24-bit; the target rows are clipped to the
// picture so that no position or size writes outside it.
void CRenderRoot::BlendVideo(unsigned char* picture, const BITMAPINFO* pictureInfo, const unsigned char* video,
                             const BITMAPINFO* videoInfo, int transparency) {
  if (!picture || !pictureInfo || !video || !videoInfo) return;
  const BITMAPINFOHEADER& ph = pictureInfo->bmiHeader;
  const BITMAPINFOHEADER& vh = videoInfo->bmiHeader;
  if (!renderpx::HasOverlays(ph.biBitCount) || vh.biBitCount != 24 || vh.biWidth <= 0 || vh.biHeight == 0) return;
  const int pictureW = ph.biWidth;
  const int pictureH = std::abs(ph.biHeight);
  const int videoW = vh.biWidth;
  const int videoH = std::abs(vh.biHeight);
  const CRect target = GetVideoRect();
  const std::size_t pStride = DibStride(static_cast<DWORD>(pictureW), ph.biBitCount);
  const std::size_t vStride = DibStride(static_cast<DWORD>(videoW), 24);
  const int a = std::clamp(transparency, 0, 100);
  const int u = 100 - a;
  const int num = m_videoScaleNum;
  const int den = m_videoScaleDen;
  const int rows = std::min(target.Height(), pictureH);
  const int columns = std::min(target.Width(), pictureW);
  // The columns that fall inside the picture, and the camera column of the first.
  const int j0 = static_cast<int>(std::max<std::int64_t>(0, -static_cast<std::int64_t>(target.left)));
  const int j1 = static_cast<int>(
      std::min<std::int64_t>(columns, static_cast<std::int64_t>(pictureW) - target.left));
  if (j0 >= j1) return;
  const int vx0 = VideoColumn(j0, num, den);
  for (int i = 0; i < rows; ++i) {
    const int py = target.top + i;
    const int sourceRow = static_cast<int>(static_cast<std::int64_t>(i) * den / num);
    if (py < 0 || py >= pictureH || sourceRow >= videoH) continue;
    const BYTE* vrow = video + static_cast<std::size_t>(videoH - 1 - sourceRow) * vStride;
    BYTE* prow = picture + static_cast<std::size_t>(py) * pStride;
    if (ph.biBitCount == 16 && num == 1 && den == 1)
      BlendVideoRow565(prow + 2 * (target.left + j0), vrow + 3 * vx0, std::min(j1, j0 + videoW - vx0) - j0,
                       static_cast<unsigned>(a), static_cast<unsigned>(u));
    else if (ph.biBitCount == 16)
      BlendVideoRow<16>(prow, vrow, target.left, j0, j1, vx0, videoW, num, den, a, u);
    else
      BlendVideoRow<24>(prow, vrow, target.left, j0, j1, vx0, videoW, num, den, a, u);
  }
}
