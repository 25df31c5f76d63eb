// The base object's rasterisers and the line's handles; archives through files.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"
#include "glimra/AnnotateLine.h"
#include "tests/common/TestEnvironment.h"

namespace {

// Records the spans the rasterisers ask for.
class SpanRecorder : public CAnnotateObject {
 public:
  void DrawSpan(int x, int y, int count) override {
    for (int i = 0; i < count; ++i) pixels.insert({x + i, y});
    ++spans;
  }
  std::set<std::pair<int, int>> pixels;
  int spans = 0;
};

}  // namespace

TEST(ObjectBase, CircleOutlineAndDisc) {
  SpanRecorder outline;
  outline.SetRect(CRect(0, 0, 20, 20));
  outline.DrawCircle(TRUE);
  // Every outline point lies about 10 from the centre (10, 10), on all four sides.
  for (const auto& [x, y] : outline.pixels) {
    const int d2 = (x - 10) * (x - 10) + (y - 10) * (y - 10);
    EXPECT_GE(d2, 81);
    EXPECT_LE(d2, 121);
  }
  EXPECT_TRUE(outline.pixels.count({0, 10}) && outline.pixels.count({20, 10}) && outline.pixels.count({10, 0}) &&
              outline.pixels.count({10, 20}));
  SpanRecorder disc;
  disc.SetRect(CRect(0, 0, 20, 20));
  disc.DrawCircle(FALSE);
  EXPECT_TRUE(disc.pixels.count({10, 10}));
  EXPECT_TRUE(disc.pixels.count({3, 10}));
  EXPECT_FALSE(disc.pixels.count({1, 1}));
  EXPECT_GT(disc.pixels.size(), 300u);
}

TEST(ObjectBase, LinesLeaveOutTheirEndPoint) {
  SpanRecorder slanted;
  slanted.DrawLine(0, 0, 4, 2);
  EXPECT_EQ(slanted.pixels.size(), 4u);
  EXPECT_TRUE(slanted.pixels.count({0, 0}));
  EXPECT_FALSE(slanted.pixels.count({4, 2}));
}

TEST(ObjectBase, LineHandlesMoveItsEnds) {
  CAnnotateLine line(1, 1);
  CPoint a(10, 10), b(50, 10);
  line.AddData(&a);
  line.SetData(&b);
  line.PrepareHandle();
  line.ProcessHandle(HANDLE_END, CPoint(50, 40));
  EXPECT_EQ(line.GetEnd(), CPoint(50, 40));
  line.PrepareHandle();
  const CPoint c = line.GetRect().CenterPoint();
  line.ProcessHandle(HANDLE_CENTER, CPoint(c.x + 5, c.y - 3));
  EXPECT_EQ(line.GetOrigin(), CPoint(15, 7));
  EXPECT_EQ(line.GetEnd(), CPoint(55, 37));
  line.ProcessHandle(HANDLE_TOP, CPoint(0, 0));  // not a line handle: nothing moves
  EXPECT_EQ(line.GetOrigin(), CPoint(15, 7));
}

TEST(ObjectBase, SetsGoThroughFiles) {
  CAnnotateData set;
  set.AddNew(250)->Add(new CAnnotateBox(1));
  const std::string path = testenv::MakeTempDir() + "/set.anno";
  ASSERT_TRUE(set.Save(path.c_str()));
  EXPECT_EQ(testenv::ReadFile(path).size(), set.CalculateDataSize());
  CAnnotateData loaded;
  ASSERT_TRUE(loaded.Load(path.c_str(), TRUE));
  ASSERT_EQ(loaded.GetListCount(), 1);
  EXPECT_TRUE(loaded.GetListAt(0)->ComplexIntersect());
  EXPECT_FALSE(loaded.Load((path + ".missing").c_str(), TRUE));
  EXPECT_EQ(loaded.GetListCount(), 0);
  EXPECT_FALSE(set.Save("/nonexistent-folder/x.anno"));
}
