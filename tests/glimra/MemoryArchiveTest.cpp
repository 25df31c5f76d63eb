// The archive reader/writer: byte layout of values and the room checks.
#include <gtest/gtest.h>

#include "GlimraTestSupport.h"
#include "glimra/MemoryArchive.h"

using glimratest::Le32;

TEST(MemoryArchive, RectIsStoredLeftTopBottomRight) {
  CMemoryArchive ar(16, TRUE);
  ASSERT_TRUE(ar.SetRect(CRect(10, 20, 30, 40)));
  const std::vector<BYTE> b(ar.GetBuffer(), ar.GetBuffer() + 16);
  EXPECT_EQ(Le32(b, 0), 10u);
  EXPECT_EQ(Le32(b, 4), 20u);
  EXPECT_EQ(Le32(b, 8), 40u);
  EXPECT_EQ(Le32(b, 12), 30u);
  ar.Reset();
  CRect back;
  ASSERT_TRUE(ar.GetRect(back));
  EXPECT_EQ(back, CRect(10, 20, 30, 40));
}

TEST(MemoryArchive, StringsCarryTheirNulAndEmptyIsOneLength) {
  CMemoryArchive ar(11, TRUE);
  ASSERT_TRUE(ar.SetString("ab"));
  EXPECT_EQ(ar.GetBufferSize(), 7u);
  ASSERT_TRUE(ar.SetString(""));
  EXPECT_EQ(ar.GetBufferSize(), 11u);
  const BYTE* p = ar.GetBuffer();
  EXPECT_EQ(p[0], 3);
  EXPECT_EQ(p[4], 'a');
  EXPECT_EQ(p[5], 'b');
  EXPECT_EQ(p[6], 0);
  EXPECT_EQ(p[7], 0);
  ar.Reset();
  std::string a, b;
  ASSERT_TRUE(ar.GetString(a));
  ASSERT_TRUE(ar.GetString(b));
  EXPECT_EQ(a, "ab");
  EXPECT_EQ(b, "");
}

TEST(MemoryArchive, PutsAndGetsThatDoNotFitMoveNothing) {
  CMemoryArchive ar(6, TRUE);
  ASSERT_TRUE(ar.SetDWORD(7));
  EXPECT_FALSE(ar.SetDWORD(8));
  EXPECT_FALSE(ar.SetString("x"));
  EXPECT_FALSE(ar.SetRect(CRect()));
  EXPECT_EQ(ar.GetBufferSize(), 4u);
  // A string whose length runs past the end is refused and leaves the position.
  BYTE bytes[8] = {100, 0, 0, 0, 'a', 'b', 'c', 0};
  CMemoryArchive reader(bytes, sizeof bytes);
  std::string s = "kept";
  EXPECT_FALSE(reader.GetString(s));
  EXPECT_EQ(reader.GetBufferSize(), 0u);
  EXPECT_EQ(s, "kept");
}

TEST(MemoryArchive, StringStopsAtFirstNul) {
  BYTE bytes[10] = {6, 0, 0, 0, 'a', 0, 'z', 'z', 'z', 0};
  CMemoryArchive reader(bytes, sizeof bytes);
  std::string s;
  ASSERT_TRUE(reader.GetString(s));
  EXPECT_EQ(s, "a");
  EXPECT_EQ(reader.GetBufferSize(), 10u);
}

TEST(MemoryArchive, GrowsOnlyWhenOwningAndInsertsAtFront) {
  CMemoryArchive ar(1, TRUE);
  ASSERT_TRUE(ar.EnsureSpace(8));
  ASSERT_TRUE(ar.SetDWORD(1));
  ASSERT_TRUE(ar.SetDWORD(2));
  const BYTE head[4] = {9, 0, 0, 0};
  ASSERT_TRUE(ar.InsertData(0, head, 4));
  EXPECT_EQ(ar.GetBufferSize(), 12u);
  const std::vector<BYTE> b(ar.GetBuffer(), ar.GetBuffer() + 12);
  EXPECT_EQ(Le32(b, 0), 9u);
  EXPECT_EQ(Le32(b, 4), 1u);
  EXPECT_EQ(Le32(b, 8), 2u);
  EXPECT_FALSE(ar.Resize(4));  // below the position

  BYTE fixed[4];
  CMemoryArchive view(fixed, 4);
  EXPECT_FALSE(view.EnsureSpace(8));
  // A copy is a view: it reads the same bytes and never frees them.
  CMemoryArchive copy(1, FALSE);
  copy = ar;
  EXPECT_EQ(copy.GetBuffer(), ar.GetBuffer());
  EXPECT_FALSE(copy.IsOwner());
}
