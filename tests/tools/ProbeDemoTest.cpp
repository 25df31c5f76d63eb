// olvane-probe on captures written by olvane-mkcapture: the report names
// every stream with what its records tell, --verify finds damage in screen,
// camera and sound records and says where, and broken files are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/ToolRun.h"
#include "platform/base/Strings.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "tests/common/TestEnvironment.h"

using namespace capture;

namespace {

std::string WriteDemo(const std::string& dir) {
  const std::string path = dir + "/demo.zeph";
  const ToolRun run = RunTool("olvane-mkcapture", "demo " + ShellQuote(path) + " --size 320x240 --seconds 2 --quiet");
  EXPECT_EQ(run.code, 0) << run.out;
  return path;
}

// File offset of the first data record matching `match`, or -1.
template <typename Match>
std::int64_t FindRecord(const std::string& path, Match match) {
  CCaptureFileReader reader;
  if (!reader.Open(path)) return -1;
  reader.SeekToTime(0);
  for (;;) {
    const std::int64_t offset = reader.GetSource().Tell();
    CCaptureData* record = reader.ReadRecord(true);
    const bool end = record->GetRecordType() == kRecordEndOfStream || record->GetStreamType() == kStreamTrailer;
    const bool found = !end && match(*record);
    record->Release();
    if (found) return offset;
    if (end) return -1;
  }
}

void PatchFile(const std::string& path, std::int64_t offset, const std::string& bytes) {
  std::string file = testenv::ReadFile(path);
  ASSERT_LE(static_cast<std::size_t>(offset) + bytes.size(), file.size());
  file.replace(static_cast<std::size_t>(offset), bytes.size(), bytes);
  ASSERT_TRUE(testenv::WriteFile(path, file));
}

constexpr std::int64_t kPayload = kSignatureSize + kRecordHeaderSize;  // payload offset within a record

}  // namespace

TEST(ProbeDemo, ReportsEveryStreamInTextAndJson) {
  const std::string path = WriteDemo(testenv::MakeTempDir());
  const ToolRun text = RunTool("olvane-probe", ShellQuote(path));
  EXPECT_EQ(text.code, 0) << text.out;
  for (const char* line :
       {"Duration: 2000 ms", "100 screen 320x240", "101 cursor", "104 camera 160x120 pictures 160x120 JPEG",
        "105 audio GSM 8000 Hz 16-bit mono, 2.0 s", "CaptureFile_Version = 3",
        "Description = 320x240, 16 bits, 10 frames a second, demo session"}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
  }
  const ToolRun json = RunTool("olvane-probe", "--json --records " + ShellQuote(path));
  EXPECT_EQ(json.code, 0);
  for (const char* field :
       {"\"duration\": 2000", "\"pictures\": {\"width\": 160, \"height\": 120, \"encoding\": \"jpeg\"}",
        "\"sound\": {\"codec\": \"GSM\", \"rate\": 8000, \"bits\": 16, \"channels\": 1, \"bytes\": 32000}",
        "\"typeName\": \"cursor\"", "\"encoding\": \"delta\"", "\"encoding\": \"run-length\""}) {
    EXPECT_NE(json.out.find(field), std::string::npos) << field;
  }
  EXPECT_EQ(json.out.find("\"verify\""), std::string::npos);  // only with --verify
}

TEST(ProbeDemo, VerifyFindsDamagedRecordsAndSaysWhere) {
  struct Case {
    const char* name;
    std::int64_t (*find)(const std::string&);
    std::int64_t patchAt;  // within the record
    std::string bytes;
    const char* problem;
  };
  const std::vector<Case> cases = {
      // A delta claiming 65535 changed rows runs out of codes.
      {"delta rows",
       [](const std::string& p) {
         return FindRecord(p, [](CCaptureData& r) {
           return r.GetRecordType() == kRecordScreen && static_cast<CCaptureScreen&>(r).GetEncoding() == kScreenDelta;
         });
       },
       kPayload + 38, "\xFF\xFF", "screen picture: codes end early or leave the picture"},
      // A key picture whose zlib stream is damaged does not inflate.
      {"key zlib",
       [](const std::string& p) {
         return FindRecord(p, [](CCaptureData& r) { return r.GetRecordType() == kRecordScreen && r.GetTime() == 0; });
       },
       kPayload + 38, std::string("\x00\x00\x00\x00", 4), "screen picture: zlib data does not inflate"},
      {"camera",
       [](const std::string& p) {
         return FindRecord(p, [](CCaptureData& r) { return r.GetRecordType() == kRecordVideo && r.GetTime() > 0; });
       },
       kPayload + 28, std::string("\x00\x00", 2), "camera picture: JPEG data without a start marker"},
      // The second sound block claims to start at byte 0 of the stream.
      {"sound",
       [](const std::string& p) {
         return FindRecord(p, [](CCaptureData& r) { return r.GetRecordType() == kRecordAudio && r.GetTime() > 0; });
       },
       kPayload + 22, std::string("\x00\x00\x00\x00", 4), "sound block: starts at stream byte 0"},
  };
  for (const Case& c : cases) {
    const std::string path = WriteDemo(testenv::MakeTempDir());
    const std::int64_t offset = c.find(path);
    ASSERT_GT(offset, 0) << c.name;
    PatchFile(path, offset + c.patchAt, c.bytes);
    const ToolRun run = RunTool("olvane-probe", "--verify " + ShellQuote(path));
    EXPECT_EQ(run.code, 1) << c.name << "\n" << run.out;
    EXPECT_NE(run.out.find(c.problem), std::string::npos) << c.name << "\n" << run.out;
    EXPECT_NE(run.out.find(str::Format("at %lld (", static_cast<long long>(offset))), std::string::npos)
        << c.name << ": the problem's place\n"
        << run.out;
    EXPECT_EQ(RunTool("olvane-probe", ShellQuote(path)).code, 0) << c.name << ": without --verify nothing is decoded";
  }
}

TEST(ProbeDemo, RefusesTruncatedAndMissingFiles) {
  const std::string dir = testenv::MakeTempDir();
  const std::string path = WriteDemo(dir);
  std::string bytes = testenv::ReadFile(path);
  ASSERT_TRUE(testenv::WriteFile(dir + "/cut.zeph", bytes.substr(0, bytes.size() - 3)));
  const ToolRun cut = RunTool("olvane-probe", "--json " + ShellQuote(dir + "/cut.zeph"));
  EXPECT_EQ(cut.code, 1);
  EXPECT_NE(cut.out.find("is not a capture"), std::string::npos) << cut.out;
  const ToolRun missing = RunTool("olvane-probe", "--verify " + ShellQuote(dir + "/gone.zeph"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.out.find("cannot open"), std::string::npos) << missing.out;
}
