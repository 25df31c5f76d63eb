// bench-lib: sintra
// Blending a 400 x 200 text annotation (a framed box with two lines of text)
// into a 16-bit frame every frame, with the masks cached after the first blit.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "sintra/overlay/OverlayText.h"
#include "sintra/overlay/ScriptShape.h"

namespace {

// Fill, text and outline planes as a text annotation draws them.
class TextAnnotation : public COverlayText {
 public:
  explicit TextAnnotation(CFont* font) : COverlayText(font, DT_CENTER | DT_VCENTER | DT_WORDBREAK, 0, 0, 0, 0x444) {
    CreateHeader();
  }
  void Render(const CRect& rect, const CRect& clip, int scale, int plane) override {
    if (plane == OVERLAY_TEXT) {
      RenderText("Annotation text[BREAK]on two lines", CRect(8, 8, rect.Width() * scale - 8, rect.Height() * scale - 8),
                 0, 0);
      return;
    }
    m_shape.Render(GetRenderDC(), rect, clip, scale, plane, 2);
  }
  Color16 GetRenderColor(int plane) override {
    return plane == OVERLAY_TEXT ? Color16(RGB(255, 153, 0)) : plane == OVERLAY_FILL ? Color16(RGB(250, 250, 210)) : Color16(0);
  }

 private:
  CScriptShape m_shape;
};

void Blit(benchmark::State& state, int scale) {
  const int w = 1920, h = 1080;
  std::vector<WORD> frame(static_cast<size_t>(w) * h, 0x4208);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biBitCount = 16;
  LOGFONTA lf{};
  lf.lfHeight = 20 * scale;
  std::strcpy(lf.lfFaceName, "Verdana");
  CFont font;
  font.CreateFontIndirect(&lf);
  TextAnnotation text(&font);
  const CRect rect(300, 200, 700, 400), clip(0, 0, w, h);
  text.BlitBuffer(reinterpret_cast<BYTE*>(frame.data()), &info, rect, clip, 102, scale);  // renders the masks
  for (auto _ : state) {
    text.BlitBuffer(reinterpret_cast<BYTE*>(frame.data()), &info, rect, clip, 102, scale);
    benchmark::DoNotOptimize(frame.data());
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_BlitBufferText400x200_Scale1(benchmark::State& state) { Blit(state, 1); }
void BM_BlitBufferText400x200_Scale2(benchmark::State& state) { Blit(state, 2); }

// First blit of a new size: the masks are rendered through the drawing layer.
void BM_BlitBufferText400x200_RenderMasksScale2(benchmark::State& state) {
  std::vector<WORD> frame(static_cast<size_t>(1920) * 1080, 0x4208);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 1920;
  info.bmiHeader.biHeight = -1080;
  info.bmiHeader.biBitCount = 16;
  LOGFONTA lf{};
  lf.lfHeight = 40;
  std::strcpy(lf.lfFaceName, "Verdana");
  CFont font;
  font.CreateFontIndirect(&lf);
  TextAnnotation text(&font);
  for (auto _ : state) {
    text.ClearBuffers();
    text.BlitBuffer(reinterpret_cast<BYTE*>(frame.data()), &info, CRect(300, 200, 700, 400), CRect(0, 0, 1920, 1080),
                    102, 2);
  }
}

}  // namespace

BENCHMARK(BM_BlitBufferText400x200_Scale1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlitBufferText400x200_Scale2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlitBufferText400x200_RenderMasksScale2)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
