// Archive layout: sizes, every kind saved and loaded back, lists merged at one
// start time, ranges cut into new archives, and hostile archives refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "GlimraTestSupport.h"
#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateBrush.h"
#include "glimra/AnnotateLine.h"
#include "glimra/AnnotateText.h"
#include "tests/common/TestEnvironment.h"

using glimratest::Le32;
using glimratest::LoadSet;
using glimratest::SaveSet;

namespace {

CAnnotateText* EmptyShapeText() {
  auto* text = new CAnnotateText();
  CScriptShape shape;
  shape.SetName("");
  for (int i = 0; i < CScriptShape::kScripts; ++i) shape.SetScript(i, "");
  text->SetScriptShape(shape);
  return text;
}

// A set with objects of every kind and non-default values in every field.
void FillSet(CAnnotateData& set, std::mt19937& rng, int lists) {
  auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  set.SetComment(r(0, 1) ? "set comment" : "");
  for (int l = 0; l < lists; ++l) {
    CAnnotateList* list = set.AddNew(static_cast<DWORD>(r(0, 100000)));
    list->SetDelay(static_cast<DWORD>(r(0, 9000)));
    list->SetPauseMode(r(0, 3));
    list->SetComment(r(0, 1) ? "chapter" : "");
    const int objects = r(0, 5);
    for (int o = 0; o < objects; ++o) {
      CAnnotateObject* obj = nullptr;
      switch (r(0, 3)) {
        case 0: {
          auto* box = new CAnnotateBox(static_cast<DWORD>(r(0, 1)));
          box->SetZoom(static_cast<DWORD>(r(1, 8)));
          const int x = r(0, 500), y = r(0, 400);
          box->SetRect(CRect(x, y, x + r(1, 100), y + r(1, 100)));
          obj = box;
          break;
        }
        case 1: {
          auto* brush = new CAnnotateBrush(r(0, 7));
          for (int p = r(1, 6); p > 0; --p) {
            CPoint pt(r(0, 600), r(0, 400));
            brush->AddData(&pt);
          }
          obj = brush;
          break;
        }
        case 2: {
          auto* line = new CAnnotateLine(r(0, 7), static_cast<DWORD>(r(0, 3)));
          CPoint a(r(0, 600), r(0, 400)), b(r(0, 600), r(0, 400));
          line->AddData(&a);
          line->SetData(&b);
          obj = line;
          break;
        }
        default: {
          auto* text = r(0, 1) ? new CAnnotateText() : EmptyShapeText();
          text->SetComment(r(0, 1) ? "Hello there" : "");
          text->SetTextMargin(r(0, 20));
          CRect rc(r(0, 300), r(0, 300), 0, 0);
          rc.right = rc.left + r(30, 200);
          rc.bottom = rc.top + r(30, 100);
          text->AddData(&rc);
          obj = text;
          break;
        }
      }
      obj->SetColor(static_cast<COLORREF>(r(0, 0xFFFFFF)));
      obj->SetOutlineColor(static_cast<COLORREF>(r(0, 0xFFFFFF)));
      obj->SetOutlineSize(static_cast<DWORD>(r(0, 5)));
      obj->SetTransparency(static_cast<DWORD>(r(0, 100)));
      list->Add(obj);
    }
    list->UpdateBoundingRect();
  }
}

}  // namespace

TEST(ArchiveLayout, EmptyTextShapeIs144BytesAfterItsCommonBlock) {
  std::unique_ptr<CAnnotateText> text(EmptyShapeText());
  text->SetComment("");
  EXPECT_EQ(text->CalculateDataSize(), 60u + 144u);
  CMemoryArchive ar(1000, TRUE);
  ASSERT_TRUE(text->Save(ar));
  EXPECT_EQ(ar.GetBufferSize(), 204u);
  text->SetComment("abc");
  EXPECT_EQ(text->CalculateDataSize(), 64u + 144u);
}

TEST(ArchiveLayout, KindBlockSizes) {
  CAnnotateBox box(0);
  box.SetComment("");
  EXPECT_EQ(box.CalculateDataSize(), 68u);
  CAnnotateLine line(2, 1);
  line.SetComment("");
  EXPECT_EQ(line.CalculateDataSize(), 88u);
  CAnnotateBrush brush(3);
  brush.SetComment("");
  brush.Add(CPoint(1, 2));
  brush.Add(CPoint(3, 4));
  EXPECT_EQ(brush.CalculateDataSize(), 60u + 28u + 16u);
  CAnnotateList list(CSize(10, 10));
  list.SetComment("");
  EXPECT_EQ(list.CalculateDataSize(), 40u);
}

TEST(ArchiveLayout, ObjectRecordStartsWithTheCommonBlock) {
  CAnnotateData set;
  auto* box = new CAnnotateBox(1);
  box->SetRect(CRect(10, 20, 30, 40));
  box->SetColor(RGB(1, 2, 3));
  CAnnotateList* list = set.AddNew(1234);
  list->SetComment("");
  list->Add(box);
  list->UpdateBoundingRect();
  const std::vector<BYTE> b = SaveSet(set);
  ASSERT_EQ(b.size(), 50u + 4u + 40u + 68u + 5u);  // comment "Zoom"
  EXPECT_EQ(Le32(b, 50), 1234u);
  const size_t listAt = 54, objectAt = listAt + 40;
  EXPECT_EQ(Le32(b, listAt), 1u);
  EXPECT_EQ(Le32(b, listAt + 4), 5000u);
  EXPECT_EQ(Le32(b, listAt + 8), 1u);
  EXPECT_EQ(Le32(b, listAt + 12), 1024u);
  EXPECT_EQ(Le32(b, objectAt), 2u);
  EXPECT_EQ(Le32(b, objectAt + 4), 2u);  // box
  EXPECT_EQ(Le32(b, objectAt + 8), 1u);  // magnifying
  EXPECT_EQ(Le32(b, objectAt + 12), 70u);
  EXPECT_EQ(Le32(b, objectAt + 16), 0xFFFFFFFFu);
  EXPECT_EQ(Le32(b, objectAt + 24), 0x030201u);
  EXPECT_EQ(Le32(b, objectAt + 40), 10u);
  EXPECT_EQ(Le32(b, objectAt + 48), 40u);
  EXPECT_EQ(Le32(b, objectAt + 52), 30u);
  EXPECT_EQ(Le32(b, objectAt + 56), 5u);
  EXPECT_EQ(Le32(b, b.size() - 8), 1u);  // box version
  EXPECT_EQ(Le32(b, b.size() - 4), 4u);  // zoom
}

TEST(ArchiveLayout, RandomSetsSizeExactlyAndComeBackEqual) {
  std::mt19937 rng(7);
  for (int round = 0; round < 25; ++round) {
    CAnnotateData set;
    FillSet(set, rng, 1 + round % 5);
    const std::vector<BYTE> bytes = SaveSet(set);
    ASSERT_EQ(bytes.size(), set.CalculateDataSize()) << round;
    CAnnotateData loaded;
    ASSERT_TRUE(LoadSet(loaded, bytes)) << round;
    ASSERT_EQ(loaded.GetListCount(), set.GetListCount());
    EXPECT_EQ(SaveSet(loaded), bytes) << round;
    for (int i = 0; i < set.GetListCount(); ++i) {
      CAnnotateList* a = set.GetListAt(i);
      CAnnotateList* b = loaded.GetListAt(i);
      EXPECT_EQ(a->GetTime(), b->GetTime());
      EXPECT_EQ(a->GetHoldWord(), b->GetHoldWord());
      EXPECT_EQ(a->GetRect(), b->GetRect());
      EXPECT_EQ(a->ComplexIntersect(), b->ComplexIntersect());
      ASSERT_EQ(a->GetSize(), b->GetSize());
      for (int k = 0; k < a->GetSize(); ++k) {
        EXPECT_EQ(a->GetAt(k)->GetType(), b->GetAt(k)->GetType());
        EXPECT_EQ(a->GetAt(k)->GetRect(), b->GetAt(k)->GetRect());
        EXPECT_EQ(a->GetAt(k)->GetWColor(), b->GetAt(k)->GetWColor());
        EXPECT_EQ(a->GetAt(k)->GetComment(), b->GetAt(k)->GetComment());
      }
    }
  }
}

TEST(ArchiveLayout, KindFieldsSurviveTheRoundTrip) {
  CAnnotateData set;
  CAnnotateList* list = set.AddNew(0);
  auto* brush = new CAnnotateBrush(5);
  brush->Add(CPoint(3, 4));
  brush->Add(CPoint(-5, 6));
  auto* line = new CAnnotateLine(4, 3);
  CPoint a(1, 2), b(50, 60);
  line->AddData(&a);
  line->SetData(&b);
  LOGFONTA lf{};
  lf.lfHeight = -13;
  std::strcpy(lf.lfFaceName, "Serif");
  auto* text = new CAnnotateText(&lf, RGB(9, 8, 7), 0x25, 3);
  text->SetTextMargin(300);  // clamps to 255
  list->Add(brush);
  list->Add(line);
  list->Add(text);
  CAnnotateData loaded;
  ASSERT_TRUE(LoadSet(loaded, SaveSet(set)));
  CAnnotateList* got = loaded.GetListAt(0);
  ASSERT_EQ(got->GetSize(), 3);
  auto* brush2 = dynamic_cast<CAnnotateBrush*>(got->GetAt(0));
  auto* line2 = dynamic_cast<CAnnotateLine*>(got->GetAt(1));
  auto* text2 = dynamic_cast<CAnnotateText*>(got->GetAt(2));
  ASSERT_TRUE(brush2 && line2 && text2);
  EXPECT_EQ(brush2->GetBrushIndex(), 5);
  ASSERT_EQ(brush2->GetSize(), 2);
  EXPECT_EQ(brush2->GetAt(1), CPoint(-5, 6));
  EXPECT_EQ(line2->GetOrigin(), CPoint(1, 2));
  EXPECT_EQ(line2->GetEnd(), CPoint(50, 60));
  EXPECT_EQ(line2->GetWidth(), 13);
  EXPECT_EQ(line2->GetStyle(), 3u);
  EXPECT_EQ(text2->GetTextColor(), RGB(9, 8, 7));
  EXPECT_EQ(text2->GetFormat(), 0x25u);
  EXPECT_EQ(text2->GetTextMargin(), 255);
  EXPECT_EQ(text2->GetLogFont().lfHeight, -13);
  EXPECT_STREQ(text2->GetLogFont().lfFaceName, "Serif");
  EXPECT_EQ(text2->GetScriptShape().GetName(), text->GetScriptShape().GetName());
  EXPECT_EQ(text2->GetComment(), "Enter text here");
}

TEST(ArchiveLayout, TwoListsAtOneStartTimeKeepTheSecondListsObjects) {
  CAnnotateData first, second;
  first.AddNew(700)->Add(new CAnnotateBox(0));
  CAnnotateList* l2 = second.AddNew(700);
  l2->Add(new CAnnotateLine(1, 0));
  l2->Add(new CAnnotateBrush(1));
  // Join the two archives' entries under one header counting both.
  CAnnotateAdd add;
  add.StartInsert();
  ASSERT_TRUE(add.InsertAnnotation(&first, 0, 1000, 0));
  ASSERT_TRUE(add.InsertAnnotation(&second, 0, 1000, 0));
  ASSERT_TRUE(add.EndInsert(&first));
  CMemoryArchive* ar = add.GetMemoryArchivePtr();
  std::vector<BYTE> bytes(ar->GetBuffer(), ar->GetBuffer() + ar->GetBufferSize());
  EXPECT_EQ(Le32(bytes, 8), 2u);
  CAnnotateData merged;
  ASSERT_TRUE(LoadSet(merged, bytes));
  ASSERT_EQ(merged.GetListCount(), 1);
  ASSERT_EQ(merged.GetListAt(0)->GetSize(), 2);
  EXPECT_EQ(merged.GetListAt(0)->GetAt(0)->GetType(), static_cast<DWORD>(ANNOTATE_LINE));
}

TEST(ArchiveLayout, AnnotateAddJoinsTwoRanges) {
  CAnnotateData set;
  for (DWORD t : {100u, 900u, 1000u, 5000u, 5500u, 6000u}) set.AddNew(t)->Add(new CAnnotateBox(0));
  CAnnotateAdd add;
  add.StartInsert();
  ASSERT_TRUE(add.InsertAnnotation(&set, 0, 1000, 0));
  ASSERT_TRUE(add.InsertAnnotation(&set, 5000, 6000, 1000));
  ASSERT_TRUE(add.EndInsert(&set));
  EXPECT_EQ(add.GetCount(), 4);
  CMemoryArchive* ar = add.GetMemoryArchivePtr();
  std::vector<BYTE> bytes(ar->GetBuffer(), ar->GetBuffer() + ar->GetBufferSize());
  EXPECT_EQ(Le32(bytes, 8), 4u);
  CAnnotateData joined;
  ASSERT_TRUE(LoadSet(joined, bytes));
  ASSERT_EQ(joined.GetListCount(), 4);
  const DWORD expected[] = {100, 900, 1000, 1500};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(joined.GetListAt(i)->GetTime(), expected[i]);
}

TEST(ArchiveLayout, SaveFromToCutsRanges) {
  CAnnotateData set;
  for (DWORD t : {100u, 1200u, 2500u, 3100u}) set.AddNew(t)->Add(new CAnnotateBox(0));
  {
    CMemoryArchive ar(set.CalculateDataSize(), TRUE);
    ASSERT_TRUE(set.SaveFromTo(ar, 1000, 3000));
    ar.Reset();
    CAnnotateData cut;
    ASSERT_TRUE(cut.Load(ar, TRUE));
    ASSERT_EQ(cut.GetListCount(), 2);
    EXPECT_EQ(cut.GetListAt(0)->GetTime(), 200u);
    EXPECT_EQ(cut.GetListAt(1)->GetTime(), 1500u);
  }
  CClipRangeList ranges;
  ranges.Insert(0, 1000);
  ranges.Insert(2000, 3500);
  ranges.Insert(0, 200);  // the first list again, in a third range
  CMemoryArchive ar(2 * set.CalculateDataSize(), TRUE);
  ASSERT_TRUE(set.SaveFromTo(ar, ranges));
  ar.Reset();
  CAnnotateData cut;
  ASSERT_TRUE(cut.Load(ar, TRUE));
  ASSERT_EQ(cut.GetListCount(), 4);
  // Range k starts at k times its own length.
  const DWORD expected[] = {100, 500, 2000, 2600};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(cut.GetListAt(i)->GetTime(), expected[i]) << i;
}

TEST(ArchiveLayout, CheckForAnnotationAndPasteList) {
  CAnnotateData set;
  set.AddNew(10);
  std::vector<BYTE> bytes = SaveSet(set);
  EXPECT_FALSE(CAnnotateData::CheckForAnnotation(bytes.data(), static_cast<DWORD>(bytes.size())));
  EXPECT_FALSE(CAnnotateData::CheckForAnnotation(nullptr, 10));
  set.GetListAt(0)->Add(new CAnnotateBox(0));
  bytes = SaveSet(set);
  EXPECT_TRUE(CAnnotateData::CheckForAnnotation(bytes.data(), static_cast<DWORD>(bytes.size())));

  // One list block pasted twice appends its objects.
  CAnnotateList* list = set.GetListAt(0);
  CMemoryArchive block(list->CalculateDataSize(), TRUE);
  ASSERT_TRUE(list->Save(block));
  CAnnotateData target;
  block.Reset();
  ASSERT_TRUE(target.PasteList(block, 3000));
  block.Reset();
  ASSERT_TRUE(target.PasteList(block, 3000));
  ASSERT_EQ(target.GetListCount(), 1);
  EXPECT_EQ(target.GetListAt(0)->GetSize(), 2);
}

TEST(ArchiveLayout, EveryTruncationFailsAndLeavesTheSetEmpty) {
  std::mt19937 rng(11);
  CAnnotateData set;
  FillSet(set, rng, 3);
  const std::vector<BYTE> bytes = SaveSet(set);
  for (size_t n = 0; n < bytes.size(); n += (n < 200 ? 1 : 7)) {
    std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
    CAnnotateData loaded;
    loaded.AddNew(1);
    CMemoryArchive ar(cut.data(), static_cast<DWORD>(cut.size()));
    // Truncation inside the last list's objects must fail; only complete archives load.
    if (loaded.Load(ar, FALSE)) {
      ADD_FAILURE() << "loaded " << n << " of " << bytes.size();
    }
    EXPECT_EQ(loaded.GetListCount(), 0) << n;
  }
}

TEST(ArchiveLayout, HostileCountsAndValuesAreRefused) {
  CAnnotateData set;
  auto* brush = new CAnnotateBrush(2);
  brush->Add(CPoint(1, 1));
  set.AddNew(0)->Add(brush);
  set.GetListAt(0)->SetComment("");
  brush->SetComment("");
  const std::vector<BYTE> good = SaveSet(set);
  ASSERT_TRUE(CAnnotateData().Load(
      *std::make_unique<CMemoryArchive>(const_cast<BYTE*>(good.data()), static_cast<DWORD>(good.size())), TRUE));
  auto refused = [](std::vector<BYTE> b) {
    CAnnotateData s;
    CMemoryArchive ar(b.data(), static_cast<DWORD>(b.size()));
    return !s.Load(ar, TRUE) && s.GetListCount() == 0;
  };
  auto put = [](std::vector<BYTE>& b, size_t at, DWORD v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<BYTE>(v >> (8 * i));
  };
  const size_t list = 54, object = list + 40, brushBlock = object + 60;
  std::vector<BYTE> b = good;
  put(b, 8, 0x7FFFFFFF);  // list count
  EXPECT_TRUE(refused(b));
  b = good;
  put(b, list + 8, 1000000);  // object count
  EXPECT_TRUE(refused(b));
  b = good;
  put(b, brushBlock + 4, 0x40000000);  // coordinate count
  EXPECT_TRUE(refused(b));
  b = good;
  put(b, brushBlock + 12, 0x7FC00000);  // NaN scale
  EXPECT_TRUE(refused(b));
  b = good;
  put(b, object + 40, 0x7FFFFFFF);  // rectangle far outside
  EXPECT_TRUE(refused(b));
  b = good;
  put(b, object + 4, 9);  // unknown kind
  EXPECT_TRUE(refused(b));
  b = good;
  put(b, list + 36, 0xFFFFFF00);  // comment length
  EXPECT_TRUE(refused(b));
}

// Writes the fuzz seed corpus (run with --gtest_also_run_disabled_tests and
// OLVANE_CORPUS_DIR set); the seeds are the sets these tests build.
TEST(ArchiveLayout, DISABLED_WriteSeedCorpus) {
  const char* dir = std::getenv("OLVANE_CORPUS_DIR");
  ASSERT_NE(dir, nullptr);
  auto write = [&](const std::string& name, const std::vector<BYTE>& b) {
    ASSERT_TRUE(testenv::WriteFile(std::string(dir) + "/" + name, std::string(b.begin(), b.end())));
  };
  CAnnotateData empty;
  write("empty.anno", SaveSet(empty));
  std::mt19937 rng(3);
  for (int i = 0; i < 4; ++i) {
    CAnnotateData set;
    FillSet(set, rng, 1 + i);
    write("set" + std::to_string(i) + ".anno", SaveSet(set));
  }
}

TEST(ArchiveLayout, SeedCorpusLoads) {
  const std::string dir = testenv::SourceDir() + "/fuzz/corpus/annotate_archive/";
  int loaded = 0;
  for (const char* name : {"empty.anno", "set0.anno", "set1.anno", "set2.anno", "set3.anno"}) {
    const std::string bytes = testenv::ReadFile(dir + name);
    ASSERT_FALSE(bytes.empty()) << name;
    CAnnotateData set;
    EXPECT_TRUE(LoadSet(set, std::vector<BYTE>(bytes.begin(), bytes.end()))) << name;
    loaded += set.GetListCount();
  }
  EXPECT_GT(loaded, 5);
}
