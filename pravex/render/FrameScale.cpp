// Frame scaling: plain sampling, or area averaging (shrinking) and
// tenth-pixel interpolation (enlarging) per axis. Everything per pixel is
// integer; each output row and column is mapped to source indices once,
// through the float ratio, into tables.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderDirect.h"

namespace renderscale {
namespace {

struct Rgb {
  unsigned r, g, b;
};

// How one axis maps output index i to the source.
enum class AxisKind { Shrink, Same, Enlarge };

struct AxisMap {
  AxisKind kind = AxisKind::Same;
  float ratio = 1.0f;
  std::vector<int> first, last;  // shrinking: inclusive span per output index
  std::vector<int> index;        // plain index / tenth position's source index
  std::vector<int> tenth;        // enlarging: fraction in tenths
};

int Clamp(int v, int count) { return std::clamp(v, 0, count - 1); }

// ratio = (out - 1) / (in - 1); an axis one pixel long on either side has no
// such ratio: one source pixel is spread (ratio above 1), one output pixel
// averages the whole source (ratio below 1).
float AxisRatio(int out, int in) {
  if (in <= 1) return out <= 1 ? 1.0f : static_cast<float>(out);
  if (out <= 1) return 1.0f / static_cast<float>(in);
  return static_cast<float>(out - 1) / static_cast<float>(in - 1);
}

AxisMap MapAxis(int out, int in, bool smooth) {
  AxisMap map;
  map.ratio = AxisRatio(out, in);
  map.kind = map.ratio < 1.0f ? AxisKind::Shrink : (map.ratio > 1.0f ? AxisKind::Enlarge : AxisKind::Same);
  map.index.resize(out);
  for (int i = 0; i < out; ++i) map.index[i] = Clamp(static_cast<int>(static_cast<float>(i) / map.ratio), in);
  if (!smooth) return map;
  if (map.kind == AxisKind::Shrink) {
    map.first.resize(out);
    map.last.resize(out);
    int s0 = 0;
    int s1 = in - 1;
    for (int i = 0; i < out; ++i) {
      if (i + 1 < out) s1 = Clamp(static_cast<int>(static_cast<float>(i + 1) / map.ratio), in);
      map.first[i] = s0;
      map.last[i] = std::max(s0, s1);
      s0 = s1;
    }
  } else if (map.kind == AxisKind::Enlarge) {
    map.tenth.resize(out);
    for (int i = 0; i < out; ++i) {
      const int q = std::max(0, static_cast<int>(static_cast<float>(10 * i) / map.ratio));
      map.index[i] = Clamp(q / 10, in);
      map.tenth[i] = q % 10;
    }
  }
  return map;
}

template <int Bits>
struct Source {
  const BYTE* const* rows;  // area rows, area-left pixel first
  const RGBQUAD* palette;

  Rgb Get(int row, int col) const {
    const BYTE* p = rows[row];
    if constexpr (Bits == 16) {
      const unsigned v = p[2 * col] | (p[2 * col + 1] << 8);
      return Rgb{(v >> 8) & 0xF8, (v >> 3) & 0xF8, (v << 3) & 0xFF};
    } else if constexpr (Bits == 24) {
      return Rgb{p[3 * col + 2], p[3 * col + 1], p[3 * col]};
    } else {
      const RGBQUAD& q = palette[p[col]];
      return Rgb{q.rgbRed, q.rgbGreen, q.rgbBlue};
    }
  }
  // The stored 16-bit value, for pixels copied unchanged into 16-bit frames.
  WORD Raw(int row, int col) const {
    const BYTE* p = rows[row];
    return static_cast<WORD>(p[2 * col] | (p[2 * col + 1] << 8));
  }
};

template <int Bits>
class Scaler {
 public:
  Scaler(const Source<Bits>& src, int sw, int sh, bool out24) : m_src(src), m_sw(sw), m_sh(sh), m_out24(out24) {}

  void Put(BYTE* out, int c, Rgb v) const {
    // 5-6-5 components top out at 248: those are full intensity.
    if constexpr (Bits == 16) {
      if (v.r >= 248) v.r = 255;
      if (v.g >= 248) v.g = 255;
      if (v.b >= 248) v.b = 255;
    }
    if (m_out24) {
      out[3 * c] = static_cast<BYTE>(v.b);
      out[3 * c + 1] = static_cast<BYTE>(v.g);
      out[3 * c + 2] = static_cast<BYTE>(v.r);
    } else {
      const unsigned w = ((v.r & 0xF8) << 8) | ((v.g >> 2) << 5) | (v.b >> 3);
      out[2 * c] = static_cast<BYTE>(w);
      out[2 * c + 1] = static_cast<BYTE>(w >> 8);
    }
  }
  // A single source pixel: 16-bit frames of 16-bit sources take it unchanged.
  void PutSingle(BYTE* out, int c, int row, int col) const {
    if constexpr (Bits == 16) {
      if (!m_out24) {
        const WORD w = m_src.Raw(row, col);
        out[2 * c] = static_cast<BYTE>(w);
        out[2 * c + 1] = static_cast<BYTE>(w >> 8);
        return;
      }
    }
    Put(out, c, m_src.Get(row, col));
  }

  static Rgb Lerp(Rgb a, Rgb b, int f) {
    return Rgb{((10 - f) * a.r + f * b.r) / 10, ((10 - f) * a.g + f * b.g) / 10, ((10 - f) * a.b + f * b.b) / 10};
  }
  static Rgb Average(Rgb sum, unsigned n) { return Rgb{sum.r / n, sum.g / n, sum.b / n}; }
  static void Add(Rgb& sum, Rgb v) {
    sum.r += v.r;
    sum.g += v.g;
    sum.b += v.b;
  }

  Rgb Block(int r0, int r1, int c0, int c1) const {
    Rgb sum{0, 0, 0};
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) Add(sum, m_src.Get(r, c));
    return Average(sum, static_cast<unsigned>((r1 - r0 + 1) * (c1 - c0 + 1)));
  }

  void Pixel(BYTE* out, int oc, const AxisMap& x, int c, const AxisMap& y, int r) const;

  const Source<Bits>& m_src;
  int m_sw, m_sh;
  bool m_out24;
};

template <int Bits>
void Scaler<Bits>::Pixel(BYTE* out, int oc, const AxisMap& x, int c, const AxisMap& y, int r) const {
  using K = AxisKind;
  if (y.kind == K::Shrink && x.kind == K::Shrink)
    return Put(out, oc, Block(y.first[r], y.last[r], x.first[c], x.last[c]));
  if (x.kind == K::Shrink && y.kind == K::Same) return Put(out, oc, Block(r, r, x.first[c], x.last[c]));
  if (x.kind == K::Same && y.kind == K::Shrink) return Put(out, oc, Block(y.first[r], y.last[r], c, c));
  if (y.kind == K::Enlarge && x.kind != K::Enlarge) {
    const int n = y.index[r], f = y.tenth[r];
    const int c0 = x.kind == K::Shrink ? x.first[c] : c;
    const int c1 = x.kind == K::Shrink ? x.last[c] : c;
    if (f == 0 || n + 1 >= m_sh) return PutSingle(out, oc, n, c0);
    Rgb sum{0, 0, 0};
    for (int col = c0; col <= c1; ++col) Add(sum, Lerp(m_src.Get(n, col), m_src.Get(n + 1, col), f));
    return Put(out, oc, Average(sum, static_cast<unsigned>(c1 - c0 + 1)));
  }
  const int m = x.index[c], fx = x.tenth[c];
  const int m1 = std::min(m + 1, m_sw - 1);
  if (y.kind == K::Shrink) {
    Rgb sum{0, 0, 0};
    for (int row = y.first[r]; row <= y.last[r]; ++row) Add(sum, Lerp(m_src.Get(row, m), m_src.Get(row, m1), fx));
    return Put(out, oc, Average(sum, static_cast<unsigned>(y.last[r] - y.first[r] + 1)));
  }
  if (y.kind == K::Same) {
    if (fx == 0 || m + 1 >= m_sw) return PutSingle(out, oc, r, m);
    return Put(out, oc, Lerp(m_src.Get(r, m), m_src.Get(r, m + 1), fx));
  }
  const int n = y.index[r], fy = y.tenth[r];
  const bool horizontal = fx != 0 && m + 1 < m_sw;
  const bool vertical = fy != 0 && n + 1 < m_sh;
  if (!horizontal && !vertical) return PutSingle(out, oc, n, m);
  if (!vertical) return Put(out, oc, Lerp(m_src.Get(n, m), m_src.Get(n, m + 1), fx));
  if (!horizontal) return Put(out, oc, Lerp(m_src.Get(n, m), m_src.Get(n + 1, m), fy));
  const Rgb a = Lerp(m_src.Get(n, m), m_src.Get(n, m + 1), fx);
  const Rgb b = Lerp(m_src.Get(n + 1, m), m_src.Get(n + 1, m + 1), fx);
  Put(out, oc, Lerp(a, b, fy));
}

template <int Bits>
void ScaleDepth(BYTE* frame, std::size_t stride, int W, int H, bool out24, const std::vector<const BYTE*>& rows,
                const RGBQUAD* palette, int sw, int sh, bool smooth) {
  const Source<Bits> src{rows.data(), palette};
  const Scaler<Bits> scaler(src, sw, sh, out24);
  const AxisMap x = MapAxis(W, sw, smooth);
  const AxisMap y = MapAxis(H, sh, smooth);
  const bool plain = !smooth || (x.kind == AxisKind::Same && y.kind == AxisKind::Same);
  for (int r = 0; r < H; ++r) {
    BYTE* out = frame + static_cast<std::size_t>(H - 1 - r) * stride;
    for (int c = 0; c < W; ++c) {
      if (plain)
        scaler.PutSingle(out, c, y.index[r], x.index[c]);
      else
        scaler.Pixel(out, c, x, c, y, r);
    }
  }
}

}  // namespace

std::size_t FrameStride(const BITMAPINFOHEADER& header) {
  const int W = header.biWidth;
  const int H = std::abs(header.biHeight);
  if (W <= 0 || H <= 0) return 0;
  const std::size_t bytes = header.biBitCount == 24 ? 3 : 2;
  const std::size_t stride = header.biSizeImage / static_cast<std::size_t>(H);
  return stride >= bytes * static_cast<std::size_t>(W) ? stride : 0;
}

void Scale(unsigned char* frame, const BITMAPINFOHEADER& frameHeader, const unsigned char* source,
           const BITMAPINFO& sourceInfo, const CRect& area, bool smooth) {
  const std::size_t stride = FrameStride(frameHeader);
  const BITMAPINFOHEADER& sh = sourceInfo.bmiHeader;
  const int bits = sh.biBitCount;
  if (!frame || !source || !stride || (bits != 8 && bits != 16 && bits != 24)) return;
  CRect clamped;
  if (!clamped.IntersectRect(area, CRect(0, 0, sh.biWidth, std::abs(sh.biHeight)))) return;
  const std::size_t sourceStride = DibStride(static_cast<DWORD>(sh.biWidth), static_cast<WORD>(bits));
  std::vector<const BYTE*> rows(static_cast<std::size_t>(clamped.Height()));
  for (int i = 0; i < clamped.Height(); ++i) {
    rows[i] = source + static_cast<std::size_t>(clamped.top + i) * sourceStride +
              static_cast<std::size_t>(clamped.left) * (bits / 8);
  }
  const int W = frameHeader.biWidth;
  const int H = std::abs(frameHeader.biHeight);
  const bool out24 = frameHeader.biBitCount == 24;
  const int sw = clamped.Width();
  const int shh = clamped.Height();
  if (bits == 16)
    ScaleDepth<16>(frame, stride, W, H, out24, rows, nullptr, sw, shh, smooth);
  else if (bits == 24)
    ScaleDepth<24>(frame, stride, W, H, out24, rows, nullptr, sw, shh, smooth);
  else
    ScaleDepth<8>(frame, stride, W, H, out24, rows, sourceInfo.bmiColors, sw, shh, smooth);
}

namespace {

// The 24-bit form of every 5-6-5 value: blue, green, red in the low three
// bytes (little-endian). Components top out at 248: those are full intensity.
const std::uint32_t* Expanded565() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> t(65536);
    for (unsigned v = 0; v < 65536; ++v) {
      const unsigned red = (v >> 8) & 0xF8, green = (v >> 3) & 0xF8, blue = (v << 3) & 0xF8;
      const unsigned b = blue >= 248 ? 255 : blue, g = green >= 248 ? 255 : green, r = red >= 248 ? 255 : red;
      const BYTE bytes[4] = {static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
      std::memcpy(&t[v], bytes, 4);
    }
    return t;
  }();
  return table.data();
}

// Pixels x0..x1 of one source row into one 24-bit frame row.
void ConvertSpan(const BYTE* in, BYTE* out, int x0, int x1, int bits, const RGBQUAD* palette) {
  if (bits == 24) {
    std::memcpy(out + 3 * x0, in + 3 * x0, static_cast<std::size_t>(x1 - x0) * 3);
  } else if (bits == 16) {
    if (x0 >= x1) return;
    const std::uint32_t* table = Expanded565();
    // Four bytes written per pixel, the fourth overwritten by the next pixel;
    // the last pixel gets its three bytes alone.
    for (int x = x0; x < x1 - 1; ++x) std::memcpy(out + 3 * x, &table[in[2 * x] | (in[2 * x + 1] << 8)], 4);
    const std::uint32_t last = table[in[2 * (x1 - 1)] | (in[2 * (x1 - 1) + 1] << 8)];
    std::memcpy(out + 3 * (x1 - 1), &last, 3);
  } else {
    for (int x = x0; x < x1; ++x) {
      const RGBQUAD& q = palette[in[x]];
      out[3 * x] = q.rgbBlue;
      out[3 * x + 1] = q.rgbGreen;
      out[3 * x + 2] = q.rgbRed;
    }
  }
}

// The area clamped to the source and the frame; false when nothing is left.
bool ConvertibleArea(const BITMAPINFOHEADER& sh, int frameHeight, std::size_t frameStride, const CRect& area,
                     CRect& r) {
  const int bits = sh.biBitCount;
  if (bits != 8 && bits != 16 && bits != 24) return false;
  const int height = std::min(frameHeight, std::abs(sh.biHeight));
  if (!r.IntersectRect(area, CRect(0, 0, sh.biWidth, height))) return false;
  return static_cast<std::size_t>(r.right) * 3 <= frameStride;
}

// Whether two runs of 32 5-6-5 pixels (64 bytes) are equal, without a call.
inline bool SameRun565(const BYTE* a, const BYTE* b) {
  std::uint64_t differ = 0;
  for (int i = 0; i < 8; ++i) {
    std::uint64_t u, v;
    std::memcpy(&u, a + 8 * i, 8);
    std::memcpy(&v, b + 8 * i, 8);
    differ |= u ^ v;
  }
  return differ == 0;
}

// ConvertChangedArea for 5-6-5 pictures: whole runs of 32 pixels compared and
// converted inline, the run at the area's right edge as ConvertSpan does it.
void ConvertChanged565(BYTE* frame, std::size_t frameStride, int frameHeight, const BYTE* source,
                       std::size_t sourceStride, const CRect& r, BYTE* previous) {
  constexpr int kRun = 32;
  const std::uint32_t* table = Expanded565();
  for (int y = r.top; y < r.bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * sourceStride;
    const BYTE* in = source + row;
    BYTE* kept = previous + row;
    BYTE* out = frame + static_cast<std::size_t>(frameHeight - 1 - y) * frameStride;
    int x0 = r.left;
    for (; x0 + kRun <= r.right; x0 += kRun) {
      if (SameRun565(in + 2 * x0, kept + 2 * x0)) continue;
      // Four bytes per pixel, each overwriting the next pixel's first byte;
      // the run's last pixel gets its three bytes alone.
      for (int x = x0; x < x0 + kRun - 1; ++x) std::memcpy(out + 3 * x, &table[in[2 * x] | (in[2 * x + 1] << 8)], 4);
      const int last = x0 + kRun - 1;
      std::memcpy(out + 3 * last, &table[in[2 * last] | (in[2 * last + 1] << 8)], 3);
      std::memcpy(kept + 2 * x0, in + 2 * x0, 2 * kRun);
    }
    if (x0 < r.right) {
      const std::size_t bytes = static_cast<std::size_t>(r.right - x0) * 2;
      if (std::memcmp(in + 2 * x0, kept + 2 * x0, bytes) == 0) continue;
      ConvertSpan(in, out, x0, r.right, 16, nullptr);
      std::memcpy(kept + 2 * x0, in + 2 * x0, bytes);
    }
  }
}

}  // namespace

void ConvertArea(unsigned char* frame, std::size_t frameStride, int frameHeight, const unsigned char* source,
                 const BITMAPINFO& sourceInfo, const CRect& area) {
  const BITMAPINFOHEADER& sh = sourceInfo.bmiHeader;
  CRect r;
  if (!frame || !source || !ConvertibleArea(sh, frameHeight, frameStride, area, r)) return;
  const std::size_t sourceStride = DibStride(static_cast<DWORD>(sh.biWidth), sh.biBitCount);
  for (int y = r.top; y < r.bottom; ++y) {
    ConvertSpan(source + static_cast<std::size_t>(y) * sourceStride,
                frame + static_cast<std::size_t>(frameHeight - 1 - y) * frameStride, r.left, r.right, sh.biBitCount,
                sourceInfo.bmiColors);
  }
}

void ConvertChangedArea(unsigned char* frame, std::size_t frameStride, int frameHeight, const unsigned char* source,
                        const BITMAPINFO& sourceInfo, const CRect& area, unsigned char* previous) {
  const BITMAPINFOHEADER& sh = sourceInfo.bmiHeader;
  CRect r;
  if (!frame || !source || !previous || !ConvertibleArea(sh, frameHeight, frameStride, area, r)) return;
  const int bpp = sh.biBitCount / 8;
  const std::size_t sourceStride = DibStride(static_cast<DWORD>(sh.biWidth), sh.biBitCount);
  constexpr int kChunk = 32;  // pixels compared at a time
  if (sh.biBitCount == 16) {
    ConvertChanged565(frame, frameStride, frameHeight, source, sourceStride, r, previous);
    return;
  }
  for (int y = r.top; y < r.bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * sourceStride;
    BYTE* out = frame + static_cast<std::size_t>(frameHeight - 1 - y) * frameStride;
    for (int x0 = r.left; x0 < r.right; x0 += kChunk) {
      const int x1 = std::min(x0 + kChunk, static_cast<int>(r.right));
      const std::size_t at = row + static_cast<std::size_t>(x0) * bpp;
      const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * bpp;
      if (std::memcmp(source + at, previous + at, bytes) == 0) continue;
      ConvertSpan(source + row, out, x0, x1, sh.biBitCount, sourceInfo.bmiColors);
      std::memcpy(previous + at, source + at, bytes);
    }
  }
}

void ScaleRows(unsigned char* frame, const BITMAPINFOHEADER& frameHeader, const unsigned char* const* rows, int sw,
               int sh, bool smooth) {
  const std::size_t stride = FrameStride(frameHeader);
  if (!frame || !rows || !stride || sw <= 0 || sh <= 0) return;
  const std::vector<const BYTE*> table(rows, rows + sh);
  ScaleDepth<24>(frame, stride, frameHeader.biWidth, std::abs(frameHeader.biHeight), frameHeader.biBitCount == 24,
                 table, nullptr, sw, sh, smooth);
}

}  // namespace renderscale
