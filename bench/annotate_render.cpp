// bench-lib: glimra
// Drawing one annotation list per frame into a 1024 x 768 5-6-5 frame: a
// translucent box, a magnifying box, a brush stroke, an arrow and a framed
// text; the whole frame as update area, and a small area (a typical screen
// change) to show the work follows the area.
#include <benchmark/benchmark.h>

#include <vector>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateBrush.h"
#include "glimra/AnnotateData.h"
#include "glimra/AnnotateLine.h"
#include "glimra/AnnotateText.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

void Fill(CAnnotateData& set) {
  CAnnotateList* list = set.AddNew(0);
  auto* box = new CAnnotateBox(0);
  box->SetRect(CRect(100, 100, 500, 400));
  list->Add(box);
  auto* zoom = new CAnnotateBox(1);
  zoom->SetRect(CRect(600, 100, 900, 300));
  list->Add(zoom);
  auto* brush = new CAnnotateBrush(5);
  for (int i = 0; i < 40; ++i) {
    CPoint p(200 + i * 10, 500 + (i % 7) * 9);
    brush->AddData(&p);
  }
  list->Add(brush);
  auto* arrow = new CAnnotateLine(3, 1);
  CPoint a(50, 700), b(600, 450);
  arrow->AddData(&a);
  arrow->SetData(&b);
  list->Add(arrow);
  auto* text = new CAnnotateText();
  text->SetStyle(2);
  text->SetComment("Annotation text");
  CRect r(600, 500, 1000, 600);
  text->AddData(&r);
  list->Add(text);
  list->UpdateBoundingRect();
  set.UpdateAnnotationDisplayList(0, nullptr);
}

void Render(benchmark::State& state, const CRect& update, BOOL antiAlias) {
  CAnnotateData set;
  Fill(set);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biPlanes = 1;
  std::vector<WORD> frame(kWidth * kHeight, 0x8410), source = frame;
  auto* bits = reinterpret_cast<BYTE*>(frame.data());
  for (auto _ : state) {
    set.RenderAnnotation(bits, reinterpret_cast<BYTE*>(source.data()), &info, update, CSize(kWidth, kHeight),
                         antiAlias);
    benchmark::DoNotOptimize(frame.data());
  }
}

void BM_RenderWholeFrame(benchmark::State& state) { Render(state, CRect(0, 0, kWidth, kHeight), FALSE); }
void BM_RenderWholeFrameAntiAliased(benchmark::State& state) { Render(state, CRect(0, 0, kWidth, kHeight), TRUE); }
void BM_RenderSmallArea(benchmark::State& state) { Render(state, CRect(300, 300, 364, 340), FALSE); }

}  // namespace

BENCHMARK(BM_RenderWholeFrame);
BENCHMARK(BM_RenderWholeFrameAntiAliased);
BENCHMARK(BM_RenderSmallArea);
BENCHMARK_MAIN();
