#include "DemoAnnotations.h"

#include <algorithm>
#include <cstring>

#include "DemoScene.h"
#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateBrush.h"
#include "glimra/AnnotateData.h"
#include "glimra/AnnotateLine.h"
#include "glimra/AnnotateText.h"

namespace {

constexpr COLORREF kYellow = RGB(255, 220, 0);
constexpr COLORREF kRed = RGB(220, 30, 30);
constexpr COLORREF kBlue = RGB(30, 80, 220);
constexpr COLORREF kWhite = RGB(255, 255, 255);

CAnnotateList* NewList(CAnnotateData& set, const CDemoScene& scene, DWORD start, DWORD hold, int pauseMode,
                       const char* chapter) {
  CAnnotateList* list = set.AddNew(start);
  list->SetBitmapSize(scene.GetWidth(), scene.GetHeight());
  list->SetDelay(hold);
  list->SetPauseMode(pauseMode);
  list->SetComment(chapter);
  return list;
}

void AddBox(CAnnotateList* list, const CRect& r, COLORREF fill, DWORD transparency) {
  auto* box = new CAnnotateBox(0);
  box->SetRect(r);
  box->SetColor(fill);
  box->SetOutlineColor(kRed);
  box->SetTransparency(transparency);
  list->Add(box);
}

void AddZoom(CAnnotateList* list, const CRect& r) {
  auto* zoom = new CAnnotateBox(1);
  zoom->SetZoom(2);
  zoom->SetRect(r);
  zoom->SetOutlineColor(kBlue);
  list->Add(zoom);
}

void AddArrow(CAnnotateList* list, CPoint from, CPoint to, DWORD style, int widthIndex) {
  auto* line = new CAnnotateLine(widthIndex, style);
  line->SetColor(style == 0 ? kBlue : kRed);
  line->SetTransparency(10);
  line->AddData(&from);
  line->SetData(&to);
  list->Add(line);
}

void AddStroke(CAnnotateList* list, const CRect& around) {
  auto* brush = new CAnnotateBrush(4);
  brush->SetColor(kYellow);
  const CPoint c = around.CenterPoint();
  const int rx = around.Width() / 2 + 8, ry = around.Height() / 2 + 8;
  // An ellipse drawn by hand: 24 points, a little open at the end.
  static const int kCos[] = {100,  97,  87,  71,  50,  26,  0, -26, -50, -71, -87, -97,
                             -100, -97, -87, -71, -50, -26, 0, 26,  50,  71,  87,  97};
  for (int i = 0; i < 22; ++i) {
    CPoint pt(c.x + rx * kCos[i] / 100, c.y + ry * kCos[(i + 18) % 24] / 100);
    brush->AddData(&pt);
  }
  list->Add(brush);
}

CScriptShape Shape(const char* name, const char* fill, const char* text) {
  CScriptShape shape;
  shape.SetName(name);
  for (int i = 0; i < CScriptShape::kScripts; ++i) shape.SetScript(i, "");
  shape.SetScript(2, fill);
  shape.SetScript(6, text);
  shape.SetScript(10, "COPYFILL");
  return shape;
}

void AddText(CAnnotateList* list, const CRect& r, const char* text, const CScriptShape* shape, COLORREF fill,
             DWORD style) {
  LOGFONTA lf{};
  lf.lfHeight = -std::clamp(static_cast<int>(r.Height() / 3), 10, 24);
  lf.lfWeight = 700;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  auto* note = new CAnnotateText(&lf, RGB(20, 20, 20), 0x25 /* centred single line */, style);
  if (shape) note->SetScriptShape(*shape);
  note->SetColor(fill);
  note->SetOutlineColor(kBlue);
  note->SetTransparency(15);
  note->SetComment(text);
  CRect rect = r;
  note->AddData(&rect);
  list->Add(note);
}

// Keeps a rectangle inside the picture.
CRect Inside(const CDemoScene& scene, CRect r) {
  r.OffsetRect(std::max(0, 4 - static_cast<int>(r.left)), std::max(0, 4 - static_cast<int>(r.top)));
  r.OffsetRect(std::min(0, scene.GetWidth() - 4 - static_cast<int>(r.right)),
               std::min(0, scene.GetHeight() - 4 - static_cast<int>(r.bottom)));
  return r;
}

}  // namespace

void BuildDemoAnnotations(const CDemoScene& scene, CAnnotateData& set) {
  set.RemoveAll();
  set.SetComment("Demo tour annotations");
  const DWORD length = std::max<DWORD>(scene.GetLength(), 1000);
  const DWORD step = length / 4 / 100 * 100;
  const int w = scene.GetWidth(), h = scene.GetHeight();

  // Chapter 1: the editor, boxed, with a note in a rounded frame.
  const DemoLayout at0 = scene.GetLayout(0);
  CAnnotateList* intro = NewList(set, scene, 0, step, 0, "Chapter 1: typing");
  CRect editor = at0.editor;
  AddBox(intro, editor, kYellow, 85);
  const CScriptShape rounded = Shape("Rounded", "<POLY>8,0, W-8,0, W,8, W,H-8, W-8,H, 8,H, 0,H-8, 0,8</POLY>",
                                     "<CLIPRECT>6,4,W-6,H-4</CLIPRECT>");
  AddText(intro, Inside(scene, CRect(editor.left, editor.bottom + 6, editor.left + w / 3, editor.bottom + 6 + h / 10)),
          "Text is typed here", &rounded, kWhite, 2);

  // Chapter 2: a magnifier over the line being typed, and a pause mark (mode 2).
  const DemoLayout at1 = scene.GetLayout(step);
  CAnnotateList* zoom = NewList(set, scene, step, step, 2, "Chapter 2: close-up");
  const CRect typed(at1.editor.left + 4, at1.editor.top + 20, at1.editor.left + 4 + w / 4, at1.editor.top + 20 + h / 8);
  AddZoom(zoom, Inside(scene, CRect(typed.left, typed.bottom + 8, typed.left + typed.Width() * 3 / 2,
                                    typed.bottom + 8 + typed.Height() * 3 / 2)));
  AddBox(zoom, typed, kYellow, 100);

  // Chapter 3: the file list circled with the brush, arrows of every style.
  const DemoLayout at2 = scene.GetLayout(2 * step);
  CAnnotateList* files = NewList(set, scene, 2 * step, step, 0, "Chapter 3: files");
  AddStroke(files, at2.files);
  const CPoint target = at2.files.CenterPoint();
  AddArrow(files, CPoint(w / 2, h - 20), target, 1, 3);
  AddArrow(files, CPoint(20, h / 2), CPoint(at2.files.left, target.y), 2, 2);
  AddArrow(files, CPoint(w - 30, 30), CPoint(w - 120, 90), 3, 2);
  AddArrow(files, CPoint(at2.files.left, at2.files.bottom + 4), CPoint(at2.files.right, at2.files.bottom + 4), 0, 1);

  // Chapter 4: the dialog, with texts in a plain box and a speech bubble, and a
  // pause mark of mode 0 (held for its delay).
  const DemoLayout at3 = scene.GetLayout(3 * step);
  CAnnotateList* dialog = NewList(set, scene, 3 * step, length - 3 * step, 0, "Chapter 4: the dialog");
  AddBox(dialog, at3.dialog, kBlue, 90);
  const CScriptShape bubble = Shape("Bubble", "<POLY>0,0, W,0, W,H*3/4, W/3,H*3/4, W/6,H, W/5,H*3/4, 0,H*3/4</POLY>",
                                    "<CLIPRECT>4,2,W-4,H*3/4-2</CLIPRECT>");
  AddText(dialog,
          Inside(scene, CRect(at3.dialog.right + 8, at3.dialog.top - 40, at3.dialog.right + 8 + w / 4,
                              at3.dialog.top + h / 8 - 40)),
          "Dragged here", &bubble, kYellow, 2);
  AddText(dialog, Inside(scene, CRect(8, 8, 8 + w / 3, 8 + h / 12)), "Olvane demo", nullptr, kWhite, 3);

  for (int i = 0; i < set.GetListCount(); ++i) set.GetListAt(i)->UpdateBoundingRect();
  set.UpdateChange(FALSE);
}

std::vector<BYTE> DemoAnnotationArchive(const CDemoScene& scene, DWORD stillFrom, DWORD stillLength) {
  CAnnotateData set;
  BuildDemoAnnotations(scene, set);
  for (int i = 0; stillLength && i < set.GetListCount(); ++i) {
    CAnnotateList* list = set.GetListAt(i);
    if (list->GetTime() >= stillFrom) list->SetTime(list->GetTime() + stillLength);
  }
  const DWORD size = set.CalculateDataSize();
  CMemoryArchive archive(size, TRUE);
  if (archive.GetCapacity() != size || !set.Save(archive)) return {};
  return std::vector<BYTE>(archive.GetBuffer(), archive.GetBuffer() + archive.GetBufferSize());
}
