// Shape scripts from outside: the tokeniser, the left-to-right evaluator, the
// text rectangle and restrictions, and drawing every phase into small masks at
// both scales.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sintra/overlay/OverlayBuffer.h"
#include "sintra/overlay/ScriptShape.h"

namespace {

class FuzzMask : public COverlayBuffer {
 public:
  explicit FuzzMask(CScriptShape& shape) : COverlayBuffer(shape.GetOverlayFlags()), m_shape(shape) { CreateHeader(); }
  void Render(const CRect& rect, const CRect& clip, int scale, int plane) override {
    m_shape.Render(GetRenderDC(), rect, clip, scale, plane, 2);
  }

 private:
  CScriptShape& m_shape;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 16384) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  // The first line picks the phase scripts: text up to '\n' goes to the restrict
  // script, the rest is split over the fill, text and outline phases by '|'.
  const size_t newline = text.find('\n');
  const std::string restrict = newline == std::string::npos ? std::string() : text.substr(0, newline);
  const std::string rest = newline == std::string::npos ? text : text.substr(newline + 1);
  CScriptShape shape;
  shape.SetScript(CScriptShape::kRestrict, restrict);
  const int phases[4] = {2, 6, 0, 10};
  size_t start = 0;
  for (int i = 0; i < 4 && start <= rest.size(); ++i) {
    const size_t bar = rest.find('|', start);
    shape.SetScript(phases[i], rest.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  CRect textRect;
  shape.GetTextRect(textRect, 37, 23, 2);
  int w = 37, h = 23;
  shape.ProcessRestrictData(w, h, 30, 20);
  std::vector<uint16_t> pixels(64 * 48, 0x1234);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 64;
  info.bmiHeader.biHeight = -48;
  info.bmiHeader.biBitCount = 16;
  FuzzMask mask(shape);
  for (int scale = 1; scale <= 2; ++scale) {
    mask.ClearBuffers();
    mask.BlitBuffer(reinterpret_cast<BYTE*>(pixels.data()), &info, CRect(-5, 3, 32, 26), CRect(0, 0, 64, 48), 77,
                    scale);
  }
  mask.Pick(CPoint(10, 10));
  return 0;
}
