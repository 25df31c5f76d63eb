// The visibility rule, the display list, nudging start times and time strings.
#include <gtest/gtest.h>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"

namespace {

CAnnotateList* AddList(CAnnotateData& set, DWORD start, DWORD delay, int mode, CRect rect) {
  CAnnotateList* list = set.AddNew(start);
  list->SetDelay(delay);
  list->SetPauseMode(mode);
  auto* box = new CAnnotateBox(0);
  box->SetRect(rect);
  list->Add(box);
  list->UpdateBoundingRect();
  return list;
}

}  // namespace

TEST(Timeline, VisibilityEdges) {
  struct Case {
    DWORD start, delay;
    int mode, pauseDelay;
    DWORD time;
    bool visible;
  } cases[] = {
      {1050, 5000, 0, 100, 999, false},
      {1050, 5000, 0, 100, 1000, true},
      {1050, 5000, 0, 100, 5999, true},
      {1050, 5000, 0, 100, 6000, false},
      {1000, 0, 0, 100, 1099, true},
      {1000, 0, 0, 100, 1100, false},
      {1000, 5000, 2, 300, 1299, true},
      {1000, 5000, 2, 300, 1300, false},
      {1000, 50, 1, 100, 1099, true},
      {1000, 50, 1, 100, 1100, false},
      {1000, 100, 3, 100, 900000, true},
      {1000, 100, 3, 100, 999, false},
      {0xFFFFFF00u, 5000, 0, 100, 0xFFFFFFFFu, true},
  };
  for (const Case& c : cases) {
    CAnnotateData set;
    set.SetPauseDelay(c.pauseDelay);
    CAnnotateList* list = AddList(set, c.start, c.delay, c.mode, CRect(0, 0, 4, 4));
    EXPECT_EQ(set.IsVisible(list, c.time) != FALSE, c.visible) << c.start << " " << c.delay << " " << c.time;
    set.UpdateAnnotationDisplayList(c.time, nullptr);
    EXPECT_EQ(set.GetDisplayListCount(), c.visible ? 1 : 0);
  }
}

TEST(Timeline, DisplayListChangesReportTheirArea) {
  CAnnotateData set;
  CAnnotateList* a = AddList(set, 1000, 2000, 0, CRect(0, 0, 10, 10));
  CAnnotateList* b = AddList(set, 1500, 2000, 0, CRect(20, 20, 30, 30));
  CAnnotateList* added = a;
  EXPECT_TRUE(set.UpdateAnnotationDisplayList(500, &added).IsRectEmpty());
  EXPECT_EQ(added, nullptr);
  // Both enter at once: in start order, added names the later one.
  EXPECT_EQ(set.UpdateAnnotationDisplayList(1600, &added), CRect(0, 0, 30, 30));
  EXPECT_EQ(added, b);
  ASSERT_EQ(set.GetDisplayListCount(), 2);
  EXPECT_EQ(set.GetDisplayListAt(0), a);
  EXPECT_EQ(set.GetDisplayListAt(1), b);
  EXPECT_EQ(set.GetDisplayListRect(), CRect(0, 0, 30, 30));
  // An unchanged time changes nothing.
  EXPECT_TRUE(set.UpdateAnnotationDisplayList(1600, &added).IsRectEmpty());
  EXPECT_EQ(added, nullptr);
  // a leaves at 3000.
  EXPECT_EQ(set.UpdateAnnotationDisplayList(3000, nullptr), CRect(0, 0, 10, 10));
  EXPECT_EQ(set.GetDisplayListAt(0), b);
  // Going back in time: b leaves, a comes back.
  EXPECT_EQ(set.UpdateAnnotationDisplayList(1200, &added), CRect(0, 0, 30, 30));
  EXPECT_EQ(added, a);
  EXPECT_EQ(set.GetDisplayListCount(), 1);
  EXPECT_TRUE(set.DisplayLookup(a));
  EXPECT_EQ(set.DisplayLookup(1000u), a);
  EXPECT_EQ(set.ResetAnnotationDisplayList(), CRect(0, 0, 10, 10));
  EXPECT_EQ(set.GetDisplayListCount(), 0);
  // A deleted list leaves the display list too.
  set.UpdateAnnotationDisplayList(1600, nullptr);
  set.DeleteList(a);
  EXPECT_EQ(set.GetDisplayListCount(), 1);
  EXPECT_EQ(set.GetListCount(), 1);
}

TEST(Timeline, PauseModeThreeStaysUntilTimeGoesBack) {
  CAnnotateData set;
  AddList(set, 2000, 100, 3, CRect(0, 0, 5, 5));
  set.UpdateAnnotationDisplayList(2000, nullptr);
  EXPECT_TRUE(set.UpdateAnnotationDisplayList(60 * 60 * 1000, nullptr).IsRectEmpty());
  EXPECT_EQ(set.GetDisplayListCount(), 1);
  EXPECT_EQ(set.UpdateAnnotationDisplayList(1999, nullptr), CRect(0, 0, 5, 5));
  EXPECT_EQ(set.GetDisplayListCount(), 0);
}

TEST(Timeline, ListsStayInStartOrderAndStartsAreUnique) {
  CAnnotateData set;
  CAnnotateList* c = set.AddNew(3000);
  CAnnotateList* a = set.AddNew(1000);
  CAnnotateList* b = set.AddNew(2000);
  EXPECT_EQ(set.AddNew(2000), b);
  EXPECT_TRUE(set.HasChanged());
  ASSERT_EQ(set.GetListCount(), 3);
  EXPECT_EQ(set.GetListAt(0), a);
  EXPECT_EQ(set.GetListAt(1), b);
  EXPECT_EQ(set.GetListAt(2), c);
  EXPECT_EQ(set.Lookup(2000), b);
  EXPECT_EQ(set.GetList(2500), nullptr);
  EXPECT_EQ(a->GetBitmapSize(), CSize(1024, 768));
  EXPECT_EQ(a->GetComment(), "#add comment here#");
}

TEST(Timeline, NudgeStartTimes) {
  struct Case {
    DWORD starts[3];
    int which, delta;
    DWORD limit;
    bool ok;
    DWORD expected;
  } cases[] = {
      {{300, 2000, 4000}, 0, -500, 10000, true, 0},       // first list goes to 0
      {{0, 2000, 4000}, 0, -500, 10000, false, 0},        // already at 0
      {{300, 2000, 4000}, 1, -500, 10000, true, 1500},    // room enough
      {{300, 2000, 4000}, 1, -1800, 10000, true, 400},    // not enough: just after the previous
      {{300, 2000, 4000}, 1, 1000, 10000, true, 3000},    // room enough
      {{300, 2000, 4000}, 1, 2500, 10000, true, 3900},    // stops before the next
      {{300, 2000, 4000}, 2, 7000, 10000, true, 9900},    // the last stops before the limit
      {{300, 2000, 10000}, 2, 100, 10000, false, 10000},  // at the limit
  };
  for (const Case& c : cases) {
    CAnnotateData set;
    CAnnotateList* lists[3];
    for (int i = 0; i < 3; ++i) lists[i] = set.AddNew(c.starts[i]);
    EXPECT_EQ(set.NudgeAnnotateListTime(lists[c.which], c.delta, c.limit) != FALSE, c.ok) << c.which << c.delta;
    EXPECT_EQ(lists[c.which]->GetTime(), c.expected) << c.which << " " << c.delta;
    EXPECT_EQ(lists[c.which]->TimeString(), AnnotateTimeString(c.expected));
  }
  CAnnotateData set;
  CAnnotateList stray(CSize(1, 1));
  EXPECT_FALSE(set.NudgeAnnotateListTime(&stray, 100, 1000));
}

TEST(Timeline, TimeStringsAndHoldWord) {
  EXPECT_EQ(AnnotateTimeString(3600000 + 2 * 60000 + 3450), "01:02:03:45");
  EXPECT_EQ(AnnotateTimeString(0), "00:00:00:00");
  EXPECT_EQ(AnnotateTimeString(59999), "00:00:59:99");
  CAnnotateList list(CSize(10, 10));
  list.SetTime(3723450);
  EXPECT_EQ(list.TimeString(), "01:02:03:45");
  list.SetPauseMode(2);
  list.SetDelay(0x1F000123);  // only the low 28 bits are the delay
  EXPECT_EQ(list.GetDelay(), 0x0F000123u);
  EXPECT_EQ(list.GetPauseMode(), 2);
  EXPECT_EQ(list.DelayString(), AnnotateTimeString(0x0F000123u));
  list.SetPauseMode(3);
  EXPECT_EQ(list.GetDelay(), 0x0F000123u);
}

TEST(Timeline, ClipRangeList) {
  CClipRangeList ranges;
  for (DWORD i = 0; i < 25; ++i) ranges.Insert(i * 10, i * 10 + 5);
  EXPECT_EQ(ranges.GetCount(), 25);
  EXPECT_EQ(ranges.GetTo(24), 245u);
  CClipRangeList copy = ranges;
  copy.SetFrom(0, 99);
  EXPECT_EQ(ranges.GetFrom(0), 0u);
  EXPECT_EQ(copy.GetFrom(0), 99u);
  EXPECT_EQ(copy.GetFrom(30), 0u);
}
