// Typed records: payload pieces, cursor upgrade and merge, the audio anchor
// mapping, reference counts; and the information table's text decoding.
#include <gtest/gtest.h>

#include "CaptureTestUtil.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/capture/CaptureInfoRecord.h"
#include "pravex/capture/CaptureScreen.h"
#include "tests/common/TestEnvironment.h"

using namespace capture;
using namespace capturetest;

namespace {

// Writes the records as data records of a capture, then reads them back.
std::vector<CCaptureData*> RoundTrip(const std::vector<CCaptureData*>& records) {
  const std::string path = testenv::MakeTempDir() + "/records.zeph";
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(kStreamCursor);
  for (CCaptureData* record : records) EXPECT_TRUE(writer.WriteRecord(*record));
  writer.Finish();
  CCaptureFileReader reader;
  std::vector<CCaptureData*> out;
  if (!reader.Open(path)) return out;
  reader.SeekToTime(0);
  for (std::size_t i = 0; i < records.size(); ++i) out.push_back(reader.ReadRecord(true));
  return out;
}

std::vector<BYTE> CursorShape(WORD width, WORD height) {
  return std::vector<BYTE>(2 * CCaptureCursor::MaskRowBytes(width) * height, 0xF0);
}

}  // namespace

TEST(CaptureRecords, VersionOneCursorIsReadAsVersionTwoWithoutHotSpot) {
  auto* v1 = new CCaptureCursor();
  ASSERT_TRUE(v1->SetPayloadVersion(1));
  v1->SetTime(7);
  v1->SetContentFlags(CCaptureCursor::kHasPosition | CCaptureCursor::kHasShape);
  v1->SetPosition(-3, 40, 9, 9);  // the hot spot is not stored in version 1
  v1->SetShape(false, 5, 32, 32, 1, 0);
  const auto shape = CursorShape(32, 32);
  v1->SetDataCopy(shape.data(), static_cast<DWORD>(shape.size()));
  EXPECT_EQ(v1->GetPayloadHeaderSize(), 34);
  auto read = RoundTrip({v1});
  v1->Release();
  ASSERT_EQ(read.size(), 1u);
  ASSERT_EQ(read[0]->GetRecordType(), kRecordCursor);
  auto* cursor = static_cast<CCaptureCursor*>(read[0]);
  EXPECT_EQ(cursor->GetPayloadVersion(), 2);
  EXPECT_EQ(cursor->GetPayloadHeaderSize(), 42);
  EXPECT_EQ(cursor->GetX(), -3);
  EXPECT_EQ(cursor->GetY(), 40);
  EXPECT_EQ(cursor->GetHotSpotX(), 0);
  EXPECT_EQ(cursor->GetHotSpotY(), 0);
  EXPECT_EQ(cursor->GetShapeAttribute(), 5);
  const BYTE* piece = nullptr;
  DWORD length = 0;
  ASSERT_TRUE(cursor->GetPiece(0, piece, length));
  EXPECT_EQ(length, 42u);
  EXPECT_EQ(piece[0], 42);
  EXPECT_EQ(piece[2], 2);
  cursor->Release();
}

TEST(CaptureRecords, CursorShapeShorterThanItsMasksIsSkipped) {
  // Rows are unpadded: a mask row is (width + 7) / 8 bytes, a colour row
  // width x bits / 8 bytes.
  struct Case {
    WORD width, height;
    bool colour;
    WORD colourBits, offset;
    DWORD length;
    bool complete;
  } cases[] = {
      {32, 32, false, 1, 0, 256, true},
      {32, 32, false, 1, 0, 255, false},
      {16, 16, false, 1, 0, 64, true},
      {16, 16, false, 1, 0, 63, false},
      {48, 4, false, 1, 0, 48, true},
      {48, 4, false, 1, 0, 47, false},
      {12, 2, false, 1, 0, 8, true},
      {12, 2, false, 1, 0, 7, false},
      {32, 32, true, 16, 128, 128 + 2048, true},
      {32, 32, true, 16, 128, 2175, false},
      {32, 32, true, 16, 64, 4000, false},
      {32, 32, true, 0, 128, 4000, false},
      {48, 2, true, 24, 12, 12 + 288, true},
      {48, 2, true, 24, 12, 299, false},
      {48, 2, true, 24, 11, 400, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " colour " << c.colour);
    auto* cursor = new CCaptureCursor();
    cursor->SetContentFlags(CCaptureCursor::kHasShape);
    cursor->SetShape(c.colour, 0, c.width, c.height, c.colourBits, c.offset);
    const std::vector<BYTE> data(c.length, 1);
    cursor->SetDataCopy(data.data(), c.length);
    EXPECT_EQ(cursor->IsShapeComplete(), c.complete) << c.length;
    auto read = RoundTrip({cursor});
    cursor->Release();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->GetRecordType(), c.complete ? kRecordCursor : kRecordSkipped) << c.length;
    read[0]->Release();
  }
}

TEST(CaptureRecords, CursorMergeAccumulatesWhatEachRecordCarries) {
  auto* target = new CCaptureCursor();
  target->SetFlags(kFlagDelta | kFlagComplete);
  auto* shape = new CCaptureCursor();
  shape->SetContentFlags(CCaptureCursor::kHasShape);
  shape->SetShape(false, 1, 32, 32, 1, 0);
  const auto bits = CursorShape(32, 32);
  shape->SetDataCopy(bits.data(), static_cast<DWORD>(bits.size()));
  auto* move = new CCaptureCursor();
  move->SetContentFlags(CCaptureCursor::kHasPosition | CCaptureCursor::kHasClick);
  move->SetPosition(10, 20, 3, 4);
  move->SetClickState(1);
  move->SetReserved(0xBEEF);
  shape->MergeInto(*target);
  move->MergeInto(*target);
  EXPECT_EQ(target->GetContentFlags(), 7);
  EXPECT_EQ(target->GetX(), 10);
  EXPECT_EQ(target->GetHotSpotY(), 4);
  EXPECT_EQ(target->GetClickState(), 1);
  EXPECT_EQ(target->GetShapeWidth(), 32);
  EXPECT_EQ(target->GetDataBuffer(), shape->GetDataBuffer());
  EXPECT_EQ(shape->GetDataBuffer()->GetRefCount(), 2u);
  EXPECT_EQ(target->GetReserved(), 0xBEEFu);
  EXPECT_EQ(target->GetStreamType(), kStreamCursor);
  EXPECT_EQ(target->GetFlags(), kFlagComplete);
  shape->Release();
  EXPECT_EQ(target->GetDataBuffer()->GetRefCount(), 1u);
  move->Release();
  target->Release();
}

TEST(CaptureRecords, AudioAnchorMapsTimesAndBytesBothWays) {
  CCaptureAudio* audio = new CCaptureAudio();
  audio->SetFormat({CCaptureAudio::kCodecPcm, 8000, 16, 2});  // 32000 bytes per second
  audio->SetAnchor(64000, 2000);
  EXPECT_EQ(audio->BytesAtTime(2000), 64000u);
  EXPECT_EQ(audio->BytesAtTime(3000), 96000u);
  EXPECT_EQ(audio->BytesAtTime(0), 0u);
  audio->SetAnchor(1000, 2000);
  EXPECT_EQ(audio->BytesAtTime(1990), 680u);
  EXPECT_EQ(audio->BytesAtTime(1900), 0u);  // before the stream's start
  audio->SetAnchor(64000, 2000);
  EXPECT_EQ(audio->TimeAtBytes(96000), 3000u);
  EXPECT_EQ(audio->TimeAtBytes(64016), 2001u);  // 0.5 ms rounds up
  EXPECT_EQ(audio->TimeAtBytes(0), 0u);
  audio->SetFormat({CCaptureAudio::kCodecGsm, 0xFFFFFFFF, 0xFFFF, 0xFFFF});
  EXPECT_EQ(audio->BytesAtTime(0xFFFFFFFF), 0xFFFFFFFFu);  // saturates instead of wrapping
  audio->SetFormat({CCaptureAudio::kCodecPcm, 0, 16, 1});
  EXPECT_EQ(audio->TimeAtBytes(5), 0u);
  audio->Release();
}

TEST(CaptureRecords, PiecesDescribeThePayloadAsStored) {
  auto* screen = new CCaptureScreen();
  screen->SetGeometry(10, 5, 24);
  screen->SetEncoding(kScreenDelta);
  screen->SetChangedRect(1, 2, 3, 4);
  const std::vector<BYTE> data = {0, 0};
  screen->SetDataCopy(data.data(), 2);
  EXPECT_EQ(screen->GetPieceCount(), 2);
  EXPECT_EQ(screen->GetTotalLength(), 38u + 38u + 2u);
  const BYTE* bytes = nullptr;
  DWORD length = 0;
  ASSERT_TRUE(screen->GetPiece(0, bytes, length));
  EXPECT_EQ(length, 38u);
  CByteReader header(bytes, length);
  EXPECT_EQ(header.GetLE16(), 38);
  EXPECT_EQ(header.GetLE16(), 1);
  EXPECT_EQ(header.GetLE32(), 2u);
  ASSERT_TRUE(screen->GetPiece(1, bytes, length));
  EXPECT_EQ(length, 2u);
  EXPECT_FALSE(screen->GetPiece(2, bytes, length));
  EXPECT_EQ(screen->ShiftTime(100, 350), 250);
  EXPECT_EQ(screen->GetTime(), 250u);
  screen->Release();

  auto* plain = new CCaptureData(77, kStreamVideo, 5);
  EXPECT_EQ(plain->GetPieceCount(), 0);
  plain->AddRef();
  EXPECT_EQ(plain->GetRefCount(), 2u);
  plain->Release();
  plain->Release();
}

TEST(CaptureInfo, ParsesEntriesAndDecodesHexAndBase64) {
  CCaptureInfo info;
  info.Parse("Title|Demo;Author|Kim", true);
  EXPECT_EQ(info.GetCount(), 2u);
  info.Parse("TITLE|Other;no bar here;;Bytes|:414243;Name|#QWJj;Lines|a\r\nb;:4B|#  IHg= \r\n", false);
  EXPECT_EQ(info.GetCount(), 6u);
  EXPECT_EQ(info.GetKey(0), "Title");
  EXPECT_EQ(info.GetValue(0), "Other");
  EXPECT_EQ(info.Lookup("bytes"), "ABC");
  EXPECT_EQ(info.Lookup("Name"), "Abc");
  EXPECT_EQ(info.Lookup("Lines"), "ab");
  EXPECT_EQ(info.Lookup("K"), "x");  // " x" trimmed after Base64 decoding
  EXPECT_EQ(info.Lookup("CaptureFile_Version", "1"), "1");
  EXPECT_EQ(CCaptureInfo::DecodeText(":41G2"), "A");  // stops at a pair that is not hex
  EXPECT_EQ(CCaptureInfo::DecodeText("#QQ"), "A");
  info.Parse("x|y", true);
  EXPECT_EQ(info.GetCount(), 1u);
}

TEST(CaptureInfo, ApplyRecordDecodesStoredAndCompressedText) {
  CCaptureInfo info;
  auto* plain = new CCaptureInfoRecord();
  plain->SetText("a|1;b|2", false);
  EXPECT_TRUE(info.ApplyRecord(*plain));
  auto* packed = new CCaptureInfoRecord();
  packed->SetText("B|3", true);
  EXPECT_EQ(packed->GetEncoding(), CCaptureInfoRecord::kEncodingZlib);
  EXPECT_TRUE(info.ApplyRecord(*packed));
  EXPECT_EQ(info.Lookup("b"), "3");
  EXPECT_EQ(info.GetCount(), 2u);
  auto* broken = new CCaptureInfoRecord();
  broken->SetDataCopy("not zlib", 8);
  broken->SetEncoding(CCaptureInfoRecord::kEncodingZlib, 100);
  EXPECT_FALSE(info.ApplyRecord(*broken));
  EXPECT_EQ(info.GetCount(), 2u);
  auto* none = new CCaptureInfoRecord();
  EXPECT_FALSE(info.ApplyRecord(*none));
  broken->SetEncoding(CCaptureInfoRecord::kEncodingZlib, 0);
  EXPECT_TRUE(info.ApplyRecord(*broken));
  EXPECT_EQ(info.GetCount(), 0u);
  for (auto* r : {plain, packed, broken, none}) r->Release();
}
