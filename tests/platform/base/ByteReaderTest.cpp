// The saturating byte reader: values in both byte orders, and reads past the
// end that return 0, pin the position and stay flagged.
#include <gtest/gtest.h>

#include "platform/base/ByteReader.h"
#include "platform/base/DibStride.h"

TEST(ByteReader, ReadsLittleAndBigEndianValues) {
  const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0xFF};
  CByteReader r(bytes, sizeof bytes);
  EXPECT_EQ(r.GetLE16(), 0x0201);
  EXPECT_EQ(r.GetBE16(), 0x0304);
  EXPECT_EQ(r.GetLE32(), 0x08070605u);
  EXPECT_EQ(r.GetLE16(), 0x0A09);
  EXPECT_EQ(r.GetU8(), 0x0B);
  EXPECT_EQ(r.GetRemaining(), 4u);
  EXPECT_EQ(r.Take(3)[0], 0x0C);
  EXPECT_EQ(r.GetS8(), -1);
  EXPECT_TRUE(r.IsAtEnd());
  EXPECT_FALSE(r.HasOverrun());
}

TEST(ByteReader, ReadingPastTheEndSaturates) {
  const std::uint8_t bytes[] = {1, 2, 3};
  CByteReader r(bytes, sizeof bytes);
  EXPECT_EQ(r.GetLE32(), 0u);
  EXPECT_TRUE(r.HasOverrun());
  EXPECT_TRUE(r.IsAtEnd());
  EXPECT_EQ(r.GetU8(), 0);
  CByteReader s(bytes, sizeof bytes);
  EXPECT_EQ(s.Take(4), nullptr);
  EXPECT_FALSE(CByteReader(bytes, 3).Skip(4));
  std::uint8_t out[4] = {9, 9, 9, 9};
  CByteReader t(bytes, sizeof bytes);
  EXPECT_FALSE(t.GetBytes(out, 4));
  EXPECT_EQ(out[0], 9);  // nothing copied
  CByteReader empty(nullptr, 100);
  EXPECT_EQ(empty.GetSize(), 0u);
  EXPECT_EQ(empty.GetLE16(), 0);
}

TEST(ByteReader, WriterRoundTripsThroughTheReader) {
  std::vector<std::uint8_t> out;
  CByteWriter w(out);
  w.PutLE16(0xBEEF);
  w.PutBE16(0x1234);
  w.PutLE32(0xCAFEF00Du);
  w.PutLE64(0x0102030405060708ull);
  CByteReader r(out.data(), out.size());
  EXPECT_EQ(r.GetLE16(), 0xBEEF);
  EXPECT_EQ(r.GetBE16(), 0x1234);
  EXPECT_EQ(r.GetLE32(), 0xCAFEF00Du);
  EXPECT_EQ(r.GetLE64(), 0x0102030405060708ull);
  EXPECT_TRUE(r.IsAtEnd());
}

TEST(DibStride, RowsAreRoundedToFourBytesIn64Bits) {
  EXPECT_EQ(DibStride(3, 24), 12u);
  EXPECT_EQ(DibStride(1024, 16), 2048u);
  EXPECT_EQ(DibStride(0xFFFFFFFFu, 24), 12884901888ull);
  EXPECT_EQ(DibImageSize(0xFFFFFFFFu, 0xFFFFFFFFu, 24), UINT64_MAX);
  EXPECT_EQ(DibImageSize(1920, 1080, 16), 4147200u);
}
