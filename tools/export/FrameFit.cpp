#include "FrameFit.h"

#include <algorithm>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderDirect.h"

namespace {

// Frames larger than this many bytes are refused (a 16384 x 16384 frame).
constexpr std::uint64_t kMaxFrameBytes = 16384ull * 16384ull * 3ull;

}  // namespace

CRect FitRect(int pw, int ph, int w, int h) {
  if (pw <= 0 || ph <= 0 || w <= 0 || h <= 0) return CRect(0, 0, std::max(w, 0), std::max(h, 0));
  int fw = w, fh = h;
  const std::int64_t across = static_cast<std::int64_t>(pw) * h;
  const std::int64_t down = static_cast<std::int64_t>(ph) * w;
  if (across > down)  // wider than the frame: full width
    fh = static_cast<int>(std::clamp<std::int64_t>((static_cast<std::int64_t>(ph) * w * 2 + pw) / (2 * pw), 1, h));
  else if (across < down)
    fw = static_cast<int>(std::clamp<std::int64_t>((static_cast<std::int64_t>(pw) * h * 2 + ph) / (2 * ph), 1, w));
  const int left = (w - fw) / 2, top = (h - fh) / 2;
  return CRect(left, top, left + fw, top + fh);
}

bool CFrameFit::Make(const ExtractedPicture& p, OutputFrame& out) {
  if (!p.pixels || p.width <= 0 || p.height <= 0) return false;
  if (!m_width || (p.width == m_width && p.height == m_height)) {
    out.pixels = p.pixels;
    out.width = p.width;
    out.height = p.height;
    out.stride = p.stride;
    const bool follows = m_made && m_direct && !p.resized;
    out.same = follows && p.changed.IsRectEmpty();
    out.changedTop = follows ? p.changed.top : 0;
    out.changedBottom = follows ? p.changed.bottom : p.height;
    m_made = m_direct = true;
    return true;
  }
  const std::size_t stride = DibStride(static_cast<DWORD>(m_width), 24);
  const std::uint64_t bytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(m_height);
  if (bytes > kMaxFrameBytes) return false;
  const bool redo = !m_made || m_direct || p.resized || !p.changed.IsRectEmpty();
  if (redo) {
    if (!m_made || m_direct || p.resized || m_buffer.size() != bytes) m_buffer.assign(bytes, 0);
    const CRect r = FitRect(p.width, p.height, m_width, m_height);
    std::vector<const BYTE*> rows(static_cast<std::size_t>(p.height));
    for (int i = 0; i < p.height; ++i) rows[i] = p.pixels + static_cast<std::size_t>(p.height - 1 - i) * p.stride;
    BITMAPINFOHEADER header{};
    header.biWidth = r.Width();
    header.biHeight = r.Height();
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(r.Height()));
    BYTE* target =
        m_buffer.data() + static_cast<std::size_t>(m_height - r.bottom) * stride + static_cast<std::size_t>(r.left) * 3;
    renderscale::ScaleRows(target, header, rows.data(), p.width, p.height, m_smooth);
  }
  out.pixels = m_buffer.data();
  out.width = m_width;
  out.height = m_height;
  out.stride = stride;
  out.same = !redo;
  out.changedTop = 0;
  out.changedBottom = redo ? m_height : 0;
  m_made = true;
  m_direct = false;
  return true;
}
