// Small 16-bit frames and archive helpers shared by the annotation tests.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "glimra/AnnotateData.h"
#include "glimra/MemoryArchive.h"

namespace glimratest {

// A top-down 5-6-5 frame of w x h pixels filled with one value.
struct Frame {
  BITMAPINFO info{};
  std::vector<WORD> pixels;
  int stride;  // in pixels, even

  Frame(int w, int h, WORD fill) : stride((w + 1) / 2 * 2) {
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(stride * 2 * h);
    pixels.assign(static_cast<size_t>(stride) * h, fill);
  }
  BYTE* Bits() { return reinterpret_cast<BYTE*>(pixels.data()); }
  WORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * stride + x]; }
  WORD& Ref(int x, int y) { return pixels[static_cast<size_t>(y) * stride + x]; }
  int Count(WORD v) const {
    int n = 0;
    for (int y = 0; y < -info.bmiHeader.biHeight; ++y)
      for (int x = 0; x < info.bmiHeader.biWidth; ++x) n += At(x, y) == v;
    return n;
  }
};

// The bytes a set saves, through an archive of exactly CalculateDataSize bytes.
inline std::vector<BYTE> SaveSet(CAnnotateData& set) {
  const DWORD size = set.CalculateDataSize();
  CMemoryArchive ar(size, TRUE);
  if (!set.Save(ar)) return {};
  return std::vector<BYTE>(ar.GetBuffer(), ar.GetBuffer() + ar.GetBufferSize());
}

inline BOOL LoadSet(CAnnotateData& set, std::vector<BYTE> bytes) {
  CMemoryArchive ar(bytes.data(), static_cast<DWORD>(bytes.size()));
  return set.Load(ar, TRUE);
}

inline DWORD Le32(const std::vector<BYTE>& b, size_t at) {
  return static_cast<DWORD>(b[at]) | (static_cast<DWORD>(b[at + 1]) << 8) | (static_cast<DWORD>(b[at + 2]) << 16) |
         (static_cast<DWORD>(b[at + 3]) << 24);
}

}  // namespace glimratest
