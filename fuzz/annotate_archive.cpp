// Annotation archives from outside: loading a set, saving it back (which must
// take exactly the computed size), the display list at a few times, widening
// changed areas, drawing into a small frame at both scales, and picking.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/FontLeakSuppressions.h"
#include "glimra/AnnotateData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  std::vector<BYTE> bytes(data, data + size);
  CAnnotateData set;
  CMemoryArchive ar(bytes.data(), static_cast<DWORD>(bytes.size()));
  if (!set.Load(ar, TRUE)) {
    if (set.GetListCount() != 0) std::abort();  // a failed load leaves the set empty
    return 0;
  }
  const DWORD expected = set.CalculateDataSize();
  CMemoryArchive out(expected, TRUE);
  if (!set.Save(out) || out.GetBufferSize() != expected) std::abort();

  constexpr int kWidth = 64, kHeight = 48;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biSizeImage = kWidth * kHeight * 2;
  std::vector<WORD> frame(kWidth * kHeight, 0x8410), source(kWidth * kHeight, 0x1234);
  auto* bits = reinterpret_cast<BYTE*>(frame.data());
  auto* sourceBits = reinterpret_cast<BYTE*>(source.data());
  int round = 0;
  for (DWORD time : {0u, 1000u, 5000u, 60000u}) {
    set.UpdateAnnotationDisplayList(time, nullptr);
    set.ProcessIntersect(CRect(10, 10, 20, 20));
    set.RenderAnnotation(bits, sourceBits, &info, CRect(0, 0, kWidth * 2, kHeight * 2), CSize(kWidth * 2, kHeight * 2),
                         (round++ & 1) != 0);
  }
  set.UpdateAnnotationDisplayList(0, nullptr);
  for (int i = 0; i < set.GetListCount(); ++i) set.AddDisplay(set.GetListAt(i));
  set.Pick(CPoint(30, 20), &info);
  set.RenderAnnotation(bits, sourceBits, &info, CRect(5, 5, 50, 40), CSize(kWidth, kHeight), FALSE);
  return 0;
}
