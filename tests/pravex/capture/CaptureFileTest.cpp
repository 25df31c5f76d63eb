// Capture files written with CCaptureFileWriter (and patched where a test
// needs a broken one), opened and walked with CCaptureFileReader.
#include <gtest/gtest.h>

#include "CaptureTestUtil.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureIndex.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/capture/CaptureInfoRecord.h"
#include "pravex/capture/CaptureScreen.h"
#include "tests/common/TestEnvironment.h"

using namespace capture;
using namespace capturetest;

namespace {

struct Read {
  DWORD type;
  WORD stream;
  DWORD time;
};

// Reads every record forward from the data start until a failure/the end.
std::vector<Read> ReadAll(CCaptureFileReader& reader, int limit = 1000) {
  std::vector<Read> out;
  reader.SeekToTime(0);
  for (int i = 0; i < limit; ++i) {
    CCaptureData* record = reader.ReadRecord(true);
    out.push_back({record->GetRecordType(), record->GetStreamType(), record->GetTime()});
    record->Release();
    if (out.back().type == kRecordEndOfStream) break;
  }
  return out;
}

DWORD FirstRecordType(const std::string& path, std::string* failure = nullptr) {
  CCaptureFileReader reader;
  if (!reader.Open(path)) return 0xFFFF;
  reader.SeekToTime(0);
  CCaptureData* record = reader.ReadRecord(true);
  const DWORD type = record->GetRecordType();
  record->Release();
  if (failure) *failure = reader.GetSource().GetLastFailure();
  return type;
}

}  // namespace

TEST(CaptureFile, MinimalFileOpensWithTheLastDataRecordsTimeAsDuration) {
  const std::string path = testenv::MakeTempDir() + "/min.zeph";
  CCaptureFileWriter writer;
  ASSERT_TRUE(writer.Create(path));
  ASSERT_TRUE(writer.AddStream(kStreamScreen, 8, 4));
  ASSERT_TRUE(writer.EndHeaders());
  const std::int64_t dataStart = writer.GetPosition();
  const auto picture = DesktopPicture(8, 4, 16, 0);
  ASSERT_TRUE(writer.AddScreenPicture(1234, picture.data(), 8, 4, 16, true));
  ASSERT_TRUE(writer.Finish());

  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(reader.GetDuration(), 1234u);
  EXPECT_EQ(reader.GetDataStart(), dataStart);
  ASSERT_EQ(reader.GetHeaderCount(), 1u);
  EXPECT_EQ(reader.GetHeader(0)->GetRecordType(), kRecordStreamInfo);
  ASSERT_EQ(reader.GetTrailerCount(), 1u);
  ASSERT_NE(reader.GetIndex(), nullptr);
  EXPECT_EQ(reader.GetIndex()->GetEntryCount(), 1u);
  EXPECT_EQ(reader.GetIndex()->GetEntry(0).position, static_cast<std::uint64_t>(dataStart));
  const auto records = ReadAll(reader);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].type, kRecordScreen);
  EXPECT_EQ(records[0].time, 1234u);
  EXPECT_EQ(records[1].stream, kStreamTrailer);
  EXPECT_EQ(records[2].type, kRecordEndOfStream);
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_TRUE(reader.GetFileName().empty());
  EXPECT_EQ(reader.GetHeaderCount(), 1u);  // lists stay until the next Open
}

TEST(CaptureFile, RefusesFilesWithoutStreamDescriptionOrTrailer) {
  const std::string dir = testenv::MakeTempDir();
  const auto picture = DesktopPicture(8, 4, 16, 0);
  struct Case {
    const char* name;
    bool streamInfo;
    bool finish;
  } cases[] = {{"no-trailer", true, false}, {"no-description", false, true}};
  for (const Case& c : cases) {
    const std::string path = dir + "/" + c.name;
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(path));
    if (c.streamInfo) writer.AddStream(kStreamScreen, 8, 4);
    writer.EndHeaders(c.streamInfo);
    writer.AddScreenPicture(10, picture.data(), 8, 4, 16, true);
    if (c.finish) writer.Finish();
    else writer.Close();
    CCaptureFileReader reader;
    EXPECT_FALSE(reader.Open(path)) << c.name;
    EXPECT_FALSE(reader.IsOpen()) << c.name;
  }
  CCaptureFileReader reader;
  EXPECT_FALSE(reader.Open(dir + "/missing.zeph"));
  testenv::WriteFile(dir + "/empty", "");
  EXPECT_FALSE(reader.Open(dir + "/empty"));
  testenv::WriteFile(dir + "/text", "#kalvo#1 but nothing else of a capture");
  EXPECT_FALSE(reader.Open(dir + "/text"));
  // A file cut short loses its trailer.
  const std::string whole = WriteSimpleCapture(dir, {0, 100, 200});
  auto bytes = ReadBytes(whole);
  bytes.pop_back();
  WriteBytes(dir + "/cut", bytes);
  EXPECT_FALSE(reader.Open(dir + "/cut"));
}

TEST(CaptureFile, HeaderSectionWithoutMarkerEndsAtTheFirstDataRecord) {
  const std::string path = testenv::MakeTempDir() + "/nomarker.zeph";
  CCaptureFileWriter writer;
  ASSERT_TRUE(writer.Create(path));
  writer.AddStream(kStreamScreen, 8, 4);
  writer.AddStream(kStreamCursor);
  ASSERT_TRUE(writer.EndHeaders(false));
  const std::int64_t dataStart = writer.GetPosition();
  const auto picture = DesktopPicture(8, 4, 16, 0);
  writer.AddScreenPicture(40, picture.data(), 8, 4, 16, true);
  ASSERT_TRUE(writer.Finish());
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(reader.GetHeaderCount(), 2u);
  EXPECT_EQ(reader.GetDataStart(), dataStart);
  EXPECT_EQ(reader.GetDuration(), 40u);
}

// A header section followed directly by the trailer is an empty capture: it
// opens with duration 0, and backward reading stops at the data start
// instead of taking the end-of-headers marker for a record.
TEST(CaptureFile, CaptureWithoutDataRecordsOpensWithDurationZero) {
  const std::string dir = testenv::MakeTempDir();
  for (bool marker : {true, false}) {
    const std::string path = dir + (marker ? "/marker" : "/plain");
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(path));
    writer.AddStream(kStreamScreen, 8, 4);
    writer.EndHeaders(marker);
    writer.AddInfo("a|b", false);
    ASSERT_TRUE(writer.Finish());
    CCaptureFileReader reader;
    ASSERT_TRUE(reader.Open(path)) << marker;
    EXPECT_EQ(reader.GetDuration(), 0u);
    EXPECT_EQ(reader.GetTrailerCount(), 2u);
    const auto records = ReadAll(reader);
    EXPECT_EQ(records.front().stream, kStreamTrailer);
    reader.SeekToTime(0);
    CCaptureData* before = reader.ReadRecord(false);
    EXPECT_EQ(before->GetRecordType(), kRecordEndOfStream);
    before->Release();
  }
}

TEST(CaptureFile, RecordsOfAnotherHeaderOrPayloadVersionAreSkipped) {
  const std::string path = testenv::MakeTempDir() + "/v2.zeph";
  CCaptureFileWriter writer;
  ASSERT_TRUE(writer.Create(path));
  writer.AddStream(kStreamScreen, 8, 4);
  const auto picture = DesktopPicture(8, 4, 16, 0);
  writer.AddScreenPicture(10, picture.data(), 8, 4, 16, true);
  CCaptureData* future = MakePlainRecord(kRecordScreen, kStreamScreen, 20, std::vector<BYTE>(57, 0xAB));
  CaptureRecordHeader header = future->GetHeader();
  header.headerVersion = 2;
  future->SetHeader(header);
  ASSERT_TRUE(writer.WriteRecord(*future));
  future->Release();
  ScreenPayload payload;
  payload.version = 9;
  payload.data.assign(16, 1);
  CCaptureData* newer = MakePlainRecord(kRecordScreen, kStreamScreen, 30, payload.Bytes());
  ASSERT_TRUE(writer.WriteRecord(*newer));
  newer->Release();
  writer.AddScreenPicture(40, picture.data(), 8, 4, 16, false);
  ASSERT_TRUE(writer.Finish());

  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  const auto records = ReadAll(reader);
  ASSERT_GE(records.size(), 4u);
  EXPECT_EQ(records[0].type, kRecordScreen);
  EXPECT_EQ(records[1].type, kRecordSkipped);
  EXPECT_EQ(records[1].time, 20u);
  EXPECT_EQ(records[2].type, kRecordSkipped);
  EXPECT_EQ(records[3].type, kRecordScreen);
  EXPECT_EQ(records[3].time, 40u);
}

TEST(CaptureFile, SeekToTimeFollowsTheIndex) {
  const std::string dir = testenv::MakeTempDir();
  // Pictures every 500 ms from 500; seek points at 500, 2000 and 3500.
  std::vector<DWORD> times;
  for (DWORD t = 500; t <= 4500; t += 500) times.push_back(t);
  const std::string path = WriteSimpleCapture(dir, times);
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  ASSERT_EQ(reader.GetIndex()->GetEntryCount(), 3u);
  // Every entry points at the key picture it was made for.
  for (DWORD i = 0; i < 3; ++i) {
    const CaptureIndexEntry entry = reader.GetIndex()->GetEntry(i);
    ASSERT_TRUE(reader.GetSource().SeekTo(static_cast<std::int64_t>(entry.position)));
    CCaptureData* record = reader.ReadRecord(true);
    EXPECT_EQ(record->GetRecordType(), kRecordScreen);
    EXPECT_EQ(record->GetTime(), entry.time);
    EXPECT_EQ(static_cast<CCaptureScreen*>(record)->GetFlags(), kFlagComplete);
    record->Release();
  }
  auto timeAfterSeek = [&](DWORD t, bool oneMore) {
    EXPECT_TRUE(reader.SeekToTime(t, oneMore));
    CCaptureData* record = reader.ReadRecord(true);
    const DWORD time = record->GetTime();
    record->Release();
    return time;
  };
  struct Case {
    DWORD t;
    bool oneMore;
    DWORD expected;
  } cases[] = {{0, false, 500},    {100, false, 500},   {499, false, 500},   {2500, false, 2000},
               {2000, false, 2000}, {9999, false, 3500}, {2500, true, 500},    {3000, true, 500},
               {3600, true, 3500},  {1000, true, 500}};
  for (const Case& c : cases) EXPECT_EQ(timeAfterSeek(c.t, c.oneMore), c.expected) << c.t << " " << c.oneMore;
  EXPECT_EQ(reader.GetSource().Tell() > reader.GetDataStart(), true);
}

TEST(CaptureFile, BackwardReadingWalksTheDataSectionAndStopsAtItsStart) {
  const std::string dir = testenv::MakeTempDir();
  const std::string path = WriteSimpleCapture(dir, {0, 100, 200, 300});
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(reader.GetDuration(), 300u);
  ASSERT_TRUE(reader.GetSource().SeekToEnd());
  std::vector<DWORD> times;
  for (;;) {
    CCaptureData* record = reader.ReadRecord(false);
    const DWORD type = record->GetRecordType();
    if (record->GetStreamType() == kStreamScreen) times.push_back(record->GetTime());
    record->Release();
    if (type == kRecordEndOfStream) break;
  }
  EXPECT_EQ(times, (std::vector<DWORD>{300, 200, 100, 0}));
  EXPECT_EQ(reader.GetSource().Tell(), reader.GetDataStart());
}

TEST(CaptureFile, InformationRecordsBuildTheTable) {
  const std::string path = testenv::MakeTempDir() + "/info.zeph";
  CCaptureFileWriter writer;
  ASSERT_TRUE(writer.Create(path));
  writer.AddStream(kStreamScreen, 8, 4);
  writer.AddInfo("CaptureFile_Version|2;Title|First", false);
  writer.AddInfo("title|Second;Author|#QWRh", true);
  writer.SetAnnotationArchive({1, 2, 3});
  ASSERT_TRUE(writer.Finish());
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  CCaptureInfo info;
  reader.BuildInfo(info);
  // Trailer order runs from the end of the file: the second record is applied
  // first, and the first one's "Title" replaces its value in place.
  EXPECT_EQ(info.GetCount(), 3u);
  EXPECT_EQ(info.Lookup("CAPTUREFILE_VERSION"), "2");
  EXPECT_EQ(info.Lookup("Title"), "First");
  EXPECT_EQ(info.GetKey(0), "title");
  EXPECT_EQ(info.GetKey(1), "Author");
  EXPECT_EQ(info.Lookup("Author"), "Ada");
  ASSERT_NE(reader.GetAnnotationRecord(), nullptr);
  EXPECT_EQ(reader.GetAnnotationRecord()->GetDataLength(), 3u);
}

TEST(CaptureFile, InformationRecordsApplyFromTheEndOfTheFileTowardsItsStart) {
  const std::string path = testenv::MakeTempDir() + "/order.zeph";
  CCaptureFileWriter writer;
  ASSERT_TRUE(writer.Create(path));
  writer.AddStream(kStreamScreen, 8, 4);
  std::vector<BYTE> pixels(DibStride(8, 16) * 4, 0);
  ASSERT_TRUE(writer.AddScreenPicture(0, pixels.data(), 8, 4, 16, true));
  auto write = [&](auto fill) {
    auto* record = new CCaptureInfoRecord();
    fill(*record);
    const bool ok = writer.WriteRecord(*record);
    record->Release();
    return ok;
  };
  // In file order: c, a, an empty compressed record, a damaged one, b.
  ASSERT_TRUE(write([](CCaptureInfoRecord& r) { r.SetText("Shared|from-c;Gamma|3", false); }));
  ASSERT_TRUE(write([](CCaptureInfoRecord& r) { r.SetText("Alpha|1", true); }));
  ASSERT_TRUE(write([](CCaptureInfoRecord& r) {
    r.SetDataCopy("x", 1);
    r.SetEncoding(CCaptureInfoRecord::kEncodingZlib, 0);
  }));
  ASSERT_TRUE(write([](CCaptureInfoRecord& r) {
    r.SetDataCopy("not zlib", 8);
    r.SetEncoding(CCaptureInfoRecord::kEncodingZlib, 40);
  }));
  ASSERT_TRUE(write([](CCaptureInfoRecord& r) { r.SetText("Beta|2;shared|from-b", false); }));
  ASSERT_TRUE(writer.Finish());
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  CCaptureInfo info;
  info.Set("Stale", "from an earlier file");
  reader.BuildInfo(info);
  // b is applied first, the damaged record is skipped, the empty one clears
  // the table, then a and c fill it.
  ASSERT_EQ(info.GetCount(), 3u);
  EXPECT_EQ(info.GetKey(0), "Alpha");
  EXPECT_EQ(info.GetValue(0), "1");
  EXPECT_EQ(info.GetKey(1), "Shared");
  EXPECT_EQ(info.GetValue(1), "from-c");
  EXPECT_EQ(info.GetKey(2), "Gamma");
  EXPECT_EQ(info.GetValue(2), "3");
}

// Lengths that do not fit the record or the file make the read fail; nothing
// is read outside the record and nothing large is allocated.
TEST(CaptureFile, BrokenLengthsAreReadFailures) {
  const std::string dir = testenv::MakeTempDir();
  struct Case {
    const char* name;
    ScreenPayload payload;
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, auto change) {
    ScreenPayload p;
    p.data.assign(16, 7);
    change(p);
    cases.push_back({name, p});
  };
  add("payload header size below 4", [](ScreenPayload& p) { p.headerSize = 3; });
  add("payload header size below 2", [](ScreenPayload& p) { p.headerSize = 1; });
  add("payload header beyond the record", [](ScreenPayload& p) { p.headerSize = 900; });
  add("payload header shorter than its fields", [](ScreenPayload& p) { p.headerSize = 30; });
  add("stored length beyond the payload", [](ScreenPayload& p) { p.storedLength = 17; });
  add("stored length huge", [](ScreenPayload& p) { p.storedLength = 0xFFFFFFF0u; });
  for (const Case& c : cases) {
    const std::string path = dir + "/broken.zeph";
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(path));
    writer.AddStream(kStreamScreen, 4, 2);
    std::vector<BYTE> bytes = c.payload.Bytes();
    if (c.payload.headerSize != 38) bytes.resize(std::min<std::size_t>(c.payload.headerSize, 38) + c.payload.data.size());
    CCaptureData* record = MakePlainRecord(kRecordScreen, kStreamScreen, 5, bytes);
    writer.WriteRecord(*record);
    record->Release();
    // A good last data record, so that the file opens.
    const auto picture = DesktopPicture(4, 2, 16, 0);
    writer.AddScreenPicture(6, picture.data(), 4, 2, 16, true);
    ASSERT_TRUE(writer.Finish());
    EXPECT_EQ(FirstRecordType(path), kRecordEndOfStream) << c.name;
  }
}

TEST(CaptureFile, BrokenFramingIsAReadFailureOrARefusal) {
  const std::string dir = testenv::MakeTempDir();
  const std::string good = WriteSimpleCapture(dir, {0, 100});
  CCaptureFileReader probe;
  ASSERT_TRUE(probe.Open(good));
  const std::size_t data = static_cast<std::size_t>(probe.GetDataStart());
  probe.Close();
  const auto original = ReadBytes(good);
  struct Case {
    const char* name;
    std::size_t offset;  // from the first data record's signature
    int size;            // 2 or 4
    DWORD value;
    const char* why;
  } framing[] = {
      {"header size below 26", 8, 2, 20, "shorter than 26"},
      {"length prefix below 2", 8, 2, 1, "header cut short"},
      {"total length below 38", 8 + 18, 4, 37, "below its framing"},
      {"total length beyond the file", 8 + 18, 4, 0x7FFFFFF0, "beyond the end"},
      {"signature", 0, 4, 0x12345678, "signature"},
  };
  for (const Case& c : framing) {
    auto bytes = original;
    if (c.size == 2) PutLE16At(bytes, data + c.offset, static_cast<WORD>(c.value));
    else PutLE32At(bytes, data + c.offset, c.value);
    const std::string path = dir + "/framing.zeph";
    WriteBytes(path, bytes);
    std::string why;
    EXPECT_EQ(FirstRecordType(path, &why), kRecordEndOfStream) << c.name;
    EXPECT_NE(why.find(c.why), std::string::npos) << c.name << ": " << why;
  }
  // The trailing length of the last record steers the trailer scan.
  for (DWORD length : {0u, 37u, 0x7FFFFFFFu, static_cast<DWORD>(original.size() + 1)}) {
    auto bytes = original;
    PutLE32At(bytes, bytes.size() - 4, length);
    WriteBytes(dir + "/tail.zeph", bytes);
    CCaptureFileReader reader;
    EXPECT_FALSE(reader.Open(dir + "/tail.zeph")) << length;
  }
}

TEST(CaptureFile, WriterKeepsDataInTimeOrderAndSectionsInPlace) {
  const std::string path = testenv::MakeTempDir() + "/order.zeph";
  CCaptureFileWriter writer;
  ASSERT_TRUE(writer.Create(path));
  writer.AddStream(kStreamScreen, 8, 4);
  const auto picture = DesktopPicture(8, 4, 16, 0);
  EXPECT_TRUE(writer.AddScreenPicture(100, picture.data(), 8, 4, 16, true));
  EXPECT_FALSE(writer.AddScreenPicture(99, picture.data(), 8, 4, 16, false));
  EXPECT_FALSE(writer.AddStream(kStreamCursor));
  EXPECT_FALSE(writer.AddScreenPicture(101, picture.data(), 8, 4, 12, false));
  EXPECT_TRUE(writer.AddScreenPicture(100, picture.data(), 8, 4, 16, false));
  EXPECT_EQ(writer.GetLastScreenEncoding(), kScreenUnchanged);
  EXPECT_FALSE(writer.HasFailed());
  EXPECT_TRUE(writer.Finish());
  EXPECT_FALSE(writer.AddScreenPicture(200, picture.data(), 8, 4, 16, false));
}
