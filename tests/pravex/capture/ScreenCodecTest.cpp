// The screen codec: exact pixels for hand-made codes, encode-then-decode for
// random and desktop-like pictures at every depth, share and copy modes, and
// records that must be refused without touching anything.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "CaptureTestUtil.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenCodec.h"

using namespace capture;
using namespace capturetest;

namespace {

// A screen record with the given geometry, encoding and data (one reference).
CCaptureScreen* MakeScreen(DWORD width, DWORD height, WORD bits, WORD encoding, const std::vector<BYTE>& data) {
  auto* record = new CCaptureScreen();
  record->SetGeometry(width, height, bits);
  record->SetEncoding(encoding);
  if (!data.empty()) record->SetDataCopy(data.data(), static_cast<DWORD>(data.size()));
  return record;
}

struct RecordHold {
  CCaptureScreen* record;
  ~RecordHold() { record->Release(); }
  CCaptureScreen* operator->() const { return record; }
  CCaptureScreen& operator*() const { return *record; }
};

}  // namespace

TEST(ScreenCodec, StrideRoundsRowsUpToFourBytes) {
  EXPECT_EQ(DibStride(3, 24), 12u);
  EXPECT_EQ(DibStride(1, 24), 4u);
  EXPECT_EQ(DibStride(5, 8), 8u);
  EXPECT_EQ(DibStride(7, 16), 16u);
  CScreenCodec codec;
  RecordHold raw{MakeScreen(3, 2, 24, kScreenRaw, std::vector<BYTE>(24, 9))};
  ASSERT_TRUE(codec.Decode(*raw));
  EXPECT_EQ(codec.GetStride(), 12u);
  EXPECT_EQ(codec.GetPictureSize(), 24u);
  RecordHold shortRaw{MakeScreen(3, 2, 24, kScreenRaw, std::vector<BYTE>(23, 9))};
  EXPECT_FALSE(codec.Decode(*shortRaw));
  EXPECT_EQ(shortRaw->GetEncoding(), kScreenRaw);
}

TEST(ScreenCodec, RunLengthCodesGiveExactPixels) {
  CScreenCodec codec;
  // 8-bit, 5 x 2: row 0 = run of 3, literal of 2; row 1 = literal 1, run 4.
  const std::vector<BYTE> codes = {3, 0x11, 0xFE, 0x22, 0x33, 0xFF, 0x44, 4, 0x55};
  RecordHold record{MakeScreen(5, 2, 8, kScreenRunLength, codes)};
  ASSERT_TRUE(codec.Decode(*record));
  EXPECT_EQ(record->GetEncoding(), kScreenDecoded);
  const BYTE* p = record->GetDataBytes();
  const BYTE expected[16] = {0x11, 0x11, 0x11, 0x22, 0x33, 0, 0, 0, 0x44, 0x55, 0x55, 0x55, 0x55, 0, 0, 0};
  EXPECT_EQ(std::memcmp(p, expected, 5), 0);
  EXPECT_EQ(std::memcmp(p + 8, expected + 8, 5), 0);
}

TEST(ScreenCodec, RunLengthRowOfZeroCodesStopsAtTheEndOfTheData) {
  CScreenCodec codec;
  RecordHold first{MakeScreen(4, 2, 16, kScreenRaw, std::vector<BYTE>(16, 0x5A))};
  ASSERT_TRUE(codec.Decode(*first));
  RecordHold zeros{MakeScreen(4, 2, 16, kScreenRunLength, std::vector<BYTE>(64, 0))};
  ASSERT_TRUE(codec.Decode(*zeros));
  EXPECT_EQ(codec.GetLastStatus(), CScreenCodec::kDecodeTruncated);
  EXPECT_EQ(zeros->GetDataLength(), 16u);
  for (DWORD i = 0; i < 16; ++i) EXPECT_EQ(zeros->GetDataBytes()[i], 0x5A);
}

TEST(ScreenCodec, DeltaCodesGiveExactPixels) {
  CScreenCodec codec;
  RecordHold key{MakeScreen(4, 3, 16, kScreenRaw, std::vector<BYTE>(24, 0))};
  ASSERT_TRUE(codec.Decode(*key));
  // Row 1 (skip 1): skip 1 column, fill 2 with 0xABCD; copy 1 pixel 0x1234.
  // Row 2 (skip 0): skip 255 + 0 columns with n = 0 only moves the column.
  const std::vector<BYTE> delta = {0, 2, 0, 1, 0, 2, 1, 0xFE, 0xCD, 0xAB, 0, 1, 0x34, 0x12,
                                   0, 0, 0, 1, 255, 0};
  RecordHold record{MakeScreen(4, 3, 16, kScreenDelta, delta)};
  ASSERT_TRUE(codec.Decode(*record));
  const auto* pixels = record->GetDataBytes();
  auto at = [&](int x, int y) { return pixels[y * 8 + x * 2] | (pixels[y * 8 + x * 2 + 1] << 8); };
  EXPECT_EQ(at(0, 1), 0);
  EXPECT_EQ(at(1, 1), 0xABCD);
  EXPECT_EQ(at(2, 1), 0xABCD);
  EXPECT_EQ(at(3, 1), 0x1234);
  EXPECT_EQ(at(0, 0), 0);
  EXPECT_EQ(at(3, 2), 0);
}

TEST(ScreenCodec, DeltaWithNoRowsStillYieldsADecodedPicture) {
  CScreenCodec codec;
  const auto picture = RandomPicture(6, 4, 24, 3);
  RecordHold key{MakeScreen(6, 4, 24, kScreenRaw, picture)};
  ASSERT_TRUE(codec.Decode(*key));
  RecordHold empty{MakeScreen(6, 4, 24, kScreenDelta, {0, 0})};
  ASSERT_TRUE(codec.Decode(*empty));
  EXPECT_EQ(codec.GetLastStatus(), CScreenCodec::kDecodeOk);
  EXPECT_EQ(empty->GetEncoding(), kScreenDecoded);
  EXPECT_TRUE(SamePixels(empty->GetDataBytes(), picture.data(), 6, 4, 24));
}

// Codes that point outside the picture stop decoding where they are.
TEST(ScreenCodec, DeltaOutsideThePictureStops) {
  const std::vector<std::vector<BYTE>> deltas = {
      {0, 1, 0, 9, 0, 1, 0, 1, 1, 1},         // row 9 of 4
      {0, 1, 0, 0, 0, 1, 3, 2, 1, 1, 1, 1},   // literal of 2 from column 3 of 4
      {0, 1, 0, 0, 0, 1, 2, 0x80, 1, 1},      // fill of 128
      {0, 1, 0, 0, 0, 2, 1, 1, 7},            // data ends inside a pixel
      {0, 0xFF, 0, 0},                        // rows announced, data missing
  };
  for (const auto& delta : deltas) {
    CScreenCodec codec;
    RecordHold key{MakeScreen(4, 4, 16, kScreenRaw, std::vector<BYTE>(32, 0))};
    ASSERT_TRUE(codec.Decode(*key));
    RecordHold record{MakeScreen(4, 4, 16, kScreenDelta, delta)};
    ASSERT_TRUE(codec.Decode(*record));
    EXPECT_EQ(codec.GetLastStatus(), CScreenCodec::kDecodeTruncated);
    for (DWORD i = 0; i < 32; ++i) EXPECT_EQ(record->GetDataBytes()[i], 0) << i;
  }
}

TEST(ScreenCodec, SizeChangeReallocatesThePicture) {
  CScreenCodec codec;
  RecordHold small{MakeScreen(4, 2, 16, kScreenRaw, std::vector<BYTE>(16, 0x77))};
  ASSERT_TRUE(codec.Decode(*small));
  // A delta right after the change starts from a cleared picture.
  RecordHold delta{MakeScreen(8, 3, 16, kScreenDelta, {0, 1, 0, 2, 0, 1, 7, 0xFF, 0x11, 0x22})};
  ASSERT_TRUE(codec.Decode(*delta));
  EXPECT_EQ(codec.GetWidth(), 8u);
  EXPECT_EQ(codec.GetHeight(), 3u);
  EXPECT_EQ(codec.GetPictureSize(), 48u);
  ASSERT_EQ(delta->GetDataLength(), 48u);
  for (DWORD i = 0; i < 46; ++i) EXPECT_EQ(delta->GetDataBytes()[i], 0) << i;
  EXPECT_EQ(delta->GetDataBytes()[46], 0x11);
}

TEST(ScreenCodec, ShareModeCarriesThePictureItselfAndCopyModeACopy) {
  const auto picture = RandomPicture(5, 3, 16, 1);
  for (bool share : {true, false}) {
    CScreenCodec codec(false, share);
    RecordHold raw{MakeScreen(5, 3, 16, kScreenRaw, picture)};
    CSharedBuffer* rawBuffer = raw->GetDataBuffer();
    ASSERT_TRUE(codec.Decode(*raw));
    EXPECT_EQ(codec.GetPictureBuffer() == rawBuffer, share);
    RecordHold same{MakeScreen(5, 3, 16, kScreenUnchanged, {})};
    ASSERT_TRUE(codec.Decode(*same));
    EXPECT_EQ(same->GetDataBuffer() == codec.GetPictureBuffer(), share);
    EXPECT_TRUE(SamePixels(same->GetDataBytes(), picture.data(), 5, 3, 16));
  }
}

TEST(ScreenCodec, UndecodableRecordsAreLeftAsTheyAre) {
  struct Case {
    const char* name;
    DWORD width, height;
    WORD bits, encoding;
    DWORD dataLength;
    CScreenCodec::DecodeStatus status;
  } cases[] = {
      {"unknown encoding", 4, 2, 16, 7, 16, CScreenCodec::kDecodeUnknownEncoding},
      {"depth 12", 4, 2, 12, 0, 16, CScreenCodec::kDecodeBadGeometry},
      {"zero width", 0, 2, 16, 0, 16, CScreenCodec::kDecodeBadGeometry},
      {"beyond 256 MiB", 65535, 65535, 24, 1, 4, CScreenCodec::kDecodeBadGeometry},
      {"width x height overflows", 0xFFFFFFFF, 0xFFFFFFFF, 24, 2, 4, CScreenCodec::kDecodeBadGeometry},
      {"short raw", 4, 2, 16, 0, 15, CScreenCodec::kDecodeShortPicture},
      {"short decoded", 4, 2, 16, 4, 0, CScreenCodec::kDecodeShortPicture},
  };
  for (const Case& c : cases) {
    CScreenCodec codec;
    RecordHold record{MakeScreen(c.width, c.height, c.bits, c.encoding, std::vector<BYTE>(c.dataLength, 1))};
    EXPECT_FALSE(codec.Decode(*record)) << c.name;
    EXPECT_EQ(codec.GetLastStatus(), c.status) << c.name;
    EXPECT_EQ(record->GetEncoding(), c.encoding) << c.name;
    EXPECT_EQ(record->GetDataLength(), c.dataLength) << c.name;
    EXPECT_EQ(codec.GetPicture(), nullptr) << c.name;
  }
}

TEST(ScreenCodec, BadZlibDataIsDecodedAsStored) {
  CScreenCodec codec;
  // Inflation refused (length beyond the bound) or failing: the delta goes on
  // with the stored bytes, here a valid empty delta.
  for (DWORD uncompressed : {0xFFFFFFFFu, 10u}) {
    RecordHold record{MakeScreen(4, 2, 16, kScreenDelta, {0, 0})};
    record->SetCompression(kCompressionZlib, uncompressed);
    EXPECT_TRUE(codec.Decode(*record));
  }
  RecordHold raw{MakeScreen(4, 2, 16, kScreenRaw, std::vector<BYTE>(16, 0))};
  raw->SetCompression(kCompressionZlib, 16);
  EXPECT_FALSE(codec.Decode(*raw));
  EXPECT_EQ(codec.GetLastStatus(), CScreenCodec::kDecodeInflateFailed);
}

TEST(ScreenCodec, ZlibKeyPicturesInflateAsZlibWouldTakeThem) {
  // 4 x 2 16-bit raw picture (16 bytes) as a zlib stream.
  std::vector<BYTE> picture(16);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<BYTE>(7 * i + 1);
  auto deflated = [](const std::vector<BYTE>& bytes) {
    std::vector<BYTE> out(compressBound(bytes.size()));
    uLongf length = out.size();
    compress2(out.data(), &length, bytes.data(), bytes.size(), 6);
    out.resize(length);
    return out;
  };
  const std::vector<BYTE> stream = deflated(picture);
  struct Case {
    const char* name;
    std::vector<BYTE> data;
    DWORD announced;
    bool decodes;
  };
  std::vector<BYTE> trailing = stream;
  trailing.insert(trailing.end(), {0xDE, 0xAD, 0xBE, 0xEF});  // bytes after the stream are ignored
  std::vector<BYTE> damaged = stream;
  damaged[damaged.size() - 1] ^= 0x01;  // the checksum no longer matches
  const Case cases[] = {
      {"exact", stream, 16, true},
      {"trailing bytes", trailing, 16, true},
      {"announced too small", stream, 15, false},
      {"stream ends short of the picture", deflated(std::vector<BYTE>(picture.begin(), picture.begin() + 8)), 16,
       false},
      {"bad checksum", damaged, 16, false},
      {"cut short", std::vector<BYTE>(stream.begin(), stream.end() - 3), 16, false},
  };
  for (const Case& c : cases) {
    CScreenCodec codec;
    RecordHold record{MakeScreen(4, 2, 16, kScreenRaw, c.data)};
    record->SetCompression(kCompressionZlib, c.announced);
    EXPECT_EQ(codec.Decode(*record), c.decodes) << c.name;
    if (c.decodes) {
      ASSERT_NE(codec.GetPicture(), nullptr) << c.name;
      EXPECT_EQ(std::memcmp(codec.GetPicture(), picture.data(), picture.size()), 0) << c.name;
    }
  }
}

// Encode then decode gives back the picture, for every depth, for noise and
// for desktop-like content, with and without zlib.
TEST(ScreenCodec, EncodeThenDecodeReturnsThePicture) {
  struct Size {
    DWORD width, height;
  } sizes[] = {{1, 1}, {3, 2}, {37, 11}, {130, 9}, {64, 48}};
  for (WORD bits : {8, 16, 24}) {
    for (const Size& size : sizes) {
      for (int content = 0; content < 2; ++content) {
        const auto picture = content ? RandomPicture(size.width, size.height, bits, size.width)
                                     : DesktopPicture(std::max<DWORD>(size.width, 8), std::max<DWORD>(size.height, 6),
                                                      bits, 3);
        const DWORD width = content ? size.width : std::max<DWORD>(size.width, 8);
        const DWORD height = content ? size.height : std::max<DWORD>(size.height, 6);
        for (bool zlib : {false, true}) {
          CScreenCodec encoder(true, false);
          RecordHold record{MakeScreen(width, height, bits, kScreenDecoded, picture)};
          ASSERT_TRUE(encoder.Encode(*record, zlib));
          const WORD encoding = record->GetEncoding();
          EXPECT_TRUE(encoding == kScreenRunLength || encoding == kScreenRaw);
          if (!content) {
            EXPECT_EQ(encoding, kScreenRunLength);
          }
          CScreenCodec decoder;
          ASSERT_TRUE(decoder.Decode(*record));
          EXPECT_TRUE(SamePixels(record->GetDataBytes(), picture.data(), width, height, bits))
              << bits << " " << width << "x" << height << " content " << content << " zlib " << zlib;
        }
      }
    }
  }
}

TEST(ScreenCodec, DeltaEncodingFollowsASequenceOfPictures) {
  for (WORD bits : {8, 16, 24}) {
    const DWORD width = 300, height = 20;  // wider than 255 columns: long skips
    CScreenCodec decoder;
    auto previous = DesktopPicture(width, height, bits, 0);
    RecordHold key{MakeScreen(width, height, bits, kScreenRaw, previous)};
    ASSERT_TRUE(decoder.Decode(*key));
    for (int frame = 1; frame < 12; ++frame) {
      auto current = DesktopPicture(width, height, bits, frame);
      if (frame == 5) current = RandomPicture(width, height, bits, 5);
      if (frame == 7) current[current.size() - DibStride(width, bits) + (width - 1) * (bits / 8)] ^= 0xFF;
      std::vector<BYTE> delta;
      CRect changed;
      ASSERT_TRUE(CScreenCodec::EncodeDelta(previous.data(), current.data(), width, height, bits, delta, changed));
      RecordHold record{MakeScreen(width, height, bits, kScreenDelta, delta)};
      ASSERT_TRUE(decoder.Decode(*record));
      EXPECT_TRUE(SamePixels(record->GetDataBytes(), current.data(), width, height, bits)) << bits << " " << frame;
      EXPECT_FALSE(changed.IsRectEmpty());
      previous = current;
    }
  }
}

TEST(ScreenCodec, EncodingNeedsEncoderModeAndACompletePicture) {
  const auto picture = DesktopPicture(8, 6, 16, 0);
  CScreenCodec decoder;
  RecordHold record{MakeScreen(8, 6, 16, kScreenDecoded, picture)};
  EXPECT_FALSE(decoder.Encode(*record, true));
  CScreenCodec encoder(true);
  RecordHold delta{MakeScreen(8, 6, 16, kScreenDelta, {0, 0})};
  EXPECT_FALSE(encoder.Encode(*delta, false));
  RecordHold shortPicture{MakeScreen(8, 6, 16, kScreenDecoded, std::vector<BYTE>(10, 0))};
  EXPECT_FALSE(encoder.Encode(*shortPicture, false));
}
