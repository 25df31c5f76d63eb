// The operations the renderers call on a set: loading, the display list,
// intersecting and drawing.
#include <gtest/gtest.h>

#include "GlimraTestSupport.h"
#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"

using glimratest::Frame;

TEST(AnnotateDataApi, EmptySetIsFiftyBytesAndRendersNothing) {
  CAnnotateData set;
  const std::vector<BYTE> bytes = glimratest::SaveSet(set);
  ASSERT_EQ(bytes.size(), 50u);
  EXPECT_EQ(glimratest::Le32(bytes, 0), 10u);
  EXPECT_EQ(glimratest::Le32(bytes, 4), 50u);
  EXPECT_EQ(glimratest::Le32(bytes, 8), 0u);
  EXPECT_EQ(glimratest::Le32(bytes, 16), 22u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 20), "Kalvo Annotation Data");

  CAnnotateData loaded;
  ASSERT_TRUE(glimratest::LoadSet(loaded, bytes));
  EXPECT_EQ(loaded.GetListCount(), 0);
  EXPECT_TRUE(loaded.UpdateAnnotationDisplayList(1000, nullptr).IsRectEmpty());
  EXPECT_EQ(loaded.ProcessIntersect(CRect(1, 2, 3, 4)), CRect(1, 2, 3, 4));
  Frame f(8, 6, 0x1234);
  loaded.SetExportVars(TRUE, CRect());
  EXPECT_TRUE(loaded.RenderAnnotation(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 8, 6), CSize(8, 6), FALSE));
  EXPECT_EQ(f.Count(0x1234), 48);
}

TEST(AnnotateDataApi, SignatureOfDifferentCaseIsRefusedAndEmptiesTheSet) {
  CAnnotateData set;
  set.AddNew(500)->Add(new CAnnotateBox(0));
  std::vector<BYTE> bytes = glimratest::SaveSet(set);
  bytes[20] = 'k';
  CAnnotateData other;
  other.AddNew(100);
  CMemoryArchive ar(bytes.data(), static_cast<DWORD>(bytes.size()));
  EXPECT_FALSE(other.Load(ar, FALSE));
  EXPECT_EQ(other.GetListCount(), 0);
}

TEST(AnnotateDataApi, BoxListShowsInItsTimeAndDraws) {
  CAnnotateData set;
  auto* box = new CAnnotateBox(0);
  box->SetRect(CRect(1, 1, 5, 4));
  box->SetTransparency(0);
  box->SetColor(RGB(255, 0, 0));
  box->SetOutlineColor(RGB(0, 0, 255));
  CAnnotateList* list = set.AddNew(1000);
  list->Add(box);
  list->UpdateBoundingRect();
  CAnnotateData loaded;
  ASSERT_TRUE(glimratest::LoadSet(loaded, glimratest::SaveSet(set)));
  ASSERT_EQ(loaded.GetListCount(), 1);
  EXPECT_TRUE(loaded.UpdateAnnotationDisplayList(900, nullptr).IsRectEmpty());
  EXPECT_EQ(loaded.UpdateAnnotationDisplayList(1000, nullptr), CRect(1, 1, 5, 4));
  Frame f(8, 6, 0);
  loaded.RenderAnnotation(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 8, 6), CSize(8, 6), FALSE);
  EXPECT_EQ(f.At(2, 2), 0xF800);
  EXPECT_EQ(f.At(2, 1), 0x001F);
  EXPECT_EQ(f.At(0, 0), 0);
  loaded.RemoveAll();
  EXPECT_EQ(loaded.GetListCount(), 0);
  EXPECT_EQ(loaded.GetDisplayListCount(), 0);
}
