// The editing services: drawing a new object through a list, picking on the
// set, the handle frame drawn with the annotations, deleting.
#include <gtest/gtest.h>

#include "GlimraTestSupport.h"
#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"
#include "glimra/AnnotateLine.h"

using glimratest::Frame;

TEST(Editing, EditObjectDrawsIntoTheEditBufferAndIsKept) {
  CAnnotateList list(CSize(20, 10));
  list.SetWindowSize(40, 20);  // the window is twice the picture
  auto* box = new CAnnotateBox(0);
  box->SetTransparency(0);
  box->SetColor(RGB(255, 0, 0));
  box->SetOutlineColor(RGB(255, 0, 0));
  list.SetEditObject(box);
  EXPECT_TRUE(list.EditMode());
  CRect r(2, 2, 6, 6);
  EXPECT_EQ(list.AddEditData(&r), CRect(4, 4, 12, 12));  // window pixels
  Frame f(20, 10, 0x1111);
  BYTE* result = list.Render(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 40, 20), FALSE);
  ASSERT_NE(result, f.Bits());  // the edit buffer
  const WORD* pixels = reinterpret_cast<const WORD*>(result);
  EXPECT_EQ(pixels[3 * f.stride + 3], 0xF800);
  EXPECT_EQ(pixels[0], 0x1111);
  EXPECT_EQ(f.At(3, 3), 0x1111);  // the frame itself is untouched while editing
  EXPECT_EQ(list.FinishEdit(TRUE), CRect(4, 4, 12, 12));
  EXPECT_FALSE(list.EditMode());
  EXPECT_EQ(list.GetSize(), 1);
  EXPECT_EQ(list.GetRect(), CRect(2, 2, 6, 6));
  EXPECT_EQ(list.Render(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 40, 20), FALSE), f.Bits());
  EXPECT_EQ(f.At(3, 3), 0xF800);

  list.SetEditObject(new CAnnotateBox(0));
  EXPECT_TRUE(list.FinishEdit(FALSE).IsRectEmpty());
  EXPECT_EQ(list.GetSize(), 1);
}

TEST(Editing, ObjectsMoveAndBitmapSizeResets) {
  CAnnotateList list(CSize(20, 10));
  CAnnotateObject* a = new CAnnotateBox(0);
  CAnnotateObject* b = new CAnnotateBox(1);
  CAnnotateObject* c = new CAnnotateLine(0, 0);
  list.Add(a);
  list.Add(b);
  list.Add(c);
  EXPECT_TRUE(list.MoveObject(0, 2));
  EXPECT_EQ(list.GetAt(0), b);
  EXPECT_EQ(list.GetAt(2), a);
  EXPECT_FALSE(list.MoveObject(0, 3));
  EXPECT_FALSE(list.SetBitmapSize(20, 10));
  list.SetComment("named");
  EXPECT_TRUE(list.SetBitmapSize(30, 10));
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(list.GetComment(), "#add comment here#");
  EXPECT_EQ(list.WindowToBitmap(CRect(0, 0, 30, 10), 1), CRect(0, 0, 30, 10));  // clamped to the bitmap
}

TEST(Editing, PickOnTheSetDrawsTheHandleFrameAndDeletes) {
  CAnnotateData set;
  CAnnotateList* list = set.AddNew(0);
  list->SetBitmapSize(40, 40);
  auto* under = new CAnnotateBox(0);
  under->SetRect(CRect(5, 5, 30, 30));
  auto* over = new CAnnotateBox(0);
  over->SetRect(CRect(20, 20, 35, 35));
  list->Add(under);
  list->Add(over);
  list->UpdateBoundingRect();
  set.UpdateAnnotationDisplayList(0, nullptr);
  Frame f(40, 40, 0);
  set.RenderAnnotation(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 40, 40), CSize(40, 40), FALSE);  // sets window sizes
  // The topmost object under the point wins.
  EXPECT_EQ(set.Pick(CPoint(25, 25), &f.info), CRect(14, 14, 41, 41));
  EXPECT_EQ(set.GetPickedObject(), over);
  EXPECT_EQ(set.GetPickedList(), list);
  CPoint offset;
  EXPECT_EQ(set.GetHandle(CPoint(27, 27), offset), HANDLE_CENTER);
  EXPECT_EQ(set.GetLastHandle(), HANDLE_CENTER);
  // The handle frame inverts pixels over the drawn objects; without the
  // handle-draw flag the same render leaves them.
  Frame withHandle(40, 40, 0), without(40, 40, 0);
  set.RenderAnnotation(withHandle.Bits(), withHandle.Bits(), &withHandle.info, CRect(0, 0, 40, 40), CSize(40, 40),
                       FALSE);
  set.SetHandleDraw(FALSE);
  set.RenderAnnotation(without.Bits(), without.Bits(), &without.info, CRect(0, 0, 40, 40), CSize(40, 40), FALSE);
  EXPECT_NE(withHandle.pixels, without.pixels);
  EXPECT_EQ(set.RemovePickedObject(), CRect(14, 14, 41, 41));
  EXPECT_FALSE(set.HasPickedObject());
  EXPECT_EQ(list->GetSize(), 1);
  EXPECT_EQ(list->GetRect(), CRect(5, 5, 30, 30));
  EXPECT_EQ(set.Pick(CPoint(38, 38), &f.info), CRect());
  EXPECT_EQ(set.Pick(list, under), CRect(-1, -1, 36, 36));
  EXPECT_EQ(set.ResetPick(), CRect(-1, -1, 36, 36));
  EXPECT_EQ(set.DeleteObject(list, under), CRect(-1, -1, 36, 36));
  EXPECT_EQ(list->GetSize(), 0);
}

TEST(Editing, RenderingSkipsWhenTheRenderFlagIsOff) {
  CAnnotateData set;
  auto* box = new CAnnotateBox(0);
  box->SetRect(CRect(0, 0, 4, 4));
  box->SetTransparency(0);
  set.AddNew(0)->Add(box);
  set.GetListAt(0)->UpdateBoundingRect();
  set.UpdateAnnotationDisplayList(0, nullptr);
  set.SetExportVars(FALSE, CRect(1, 2, 3, 4));
  EXPECT_EQ(set.GetExportRect(), CRect(1, 2, 3, 4));
  Frame f(8, 8, 0x5555);
  set.RenderAnnotation(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 8, 8), CSize(8, 8), FALSE);
  EXPECT_EQ(f.Count(0x5555), 64);
}
