// olvane-probe run as a program on captures written by CCaptureFileWriter.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "tests/common/TestEnvironment.h"

namespace {

struct ProbeRun {
  int code;
  std::string out;
};

ProbeRun Probe(const std::string& args) {
  const std::string command = testenv::BinDir() + "/olvane-probe " + args + " 2>&1";
  ProbeRun run{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Four 16-bit pictures (a key picture, two deltas, an unchanged one) and info.
std::string WriteCapture(const std::string& dir, bool brokenDelta) {
  const std::string path = dir + "/probe.zeph";
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(capture::kStreamScreen, 16, 8);
  std::vector<BYTE> picture(DibImageSize(16, 8, 16), 0x20);
  for (DWORD i = 0; i < 4; ++i) {
    if (i == 1 || i == 2) picture[i * 40] ^= 0xFF;
    writer.AddScreenPicture(i * 100 + 100, picture.data(), 16, 8, 16, i == 0);
  }
  if (brokenDelta) {
    auto* record = new CCaptureData(capture::kRecordScreen, capture::kStreamScreen, 500);
    std::vector<BYTE> payload = {38, 0, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, 0, 8, 0, 0, 0, 16, 0,
                                 0, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0, 8, 0, 0, 1, 0, 9};
    record->SetDataCopy(payload.data(), static_cast<DWORD>(payload.size()));
    writer.WriteRecord(*record);
    record->Release();
  }
  writer.AddInfo("CaptureFile_Version|2;Title|Probe \"test\"", true);
  writer.Finish();
  return path;
}

}  // namespace

TEST(Probe, ReportsAndVerifiesACapture) {
  const std::string path = WriteCapture(testenv::MakeTempDir(), false);
  const ProbeRun text = Probe(path + " --verify --records");
  EXPECT_EQ(text.code, 0) << text.out;
  EXPECT_NE(text.out.find("Duration: 400 ms"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("100 screen 16x8"), std::string::npos);
  EXPECT_NE(text.out.find("Verify: ok"), std::string::npos);
  EXPECT_NE(text.out.find("delta"), std::string::npos);
  EXPECT_NE(text.out.find("unchanged"), std::string::npos);
  const ProbeRun json = Probe("--json " + path + " --records --verify");
  EXPECT_EQ(json.code, 0);
  for (const char* field : {"\"duration\": 400", "\"streams\": [", "\"info\": [", "\"index\": [", "\"records\": [",
                            "\"value\": \"Probe \\\"test\\\"\"", "\"ok\": true"}) {
    EXPECT_NE(json.out.find(field), std::string::npos) << field << "\n" << json.out;
  }
}

TEST(Probe, ExitCodesTellBadInputFromBadUsage) {
  const std::string dir = testenv::MakeTempDir();
  const std::string broken = WriteCapture(dir, true);
  const ProbeRun verify = Probe(broken + " --verify");
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.out.find("screen picture: codes end early"), std::string::npos) << verify.out;
  testenv::WriteFile(dir + "/not-a-capture", "hello");
  EXPECT_EQ(Probe(dir + "/not-a-capture").code, 1);
  EXPECT_EQ(Probe(dir + "/missing.zeph").code, 1);
  EXPECT_EQ(Probe("").code, 2);
  EXPECT_EQ(Probe("--frobnicate " + broken).code, 2);
  EXPECT_EQ(Probe(broken + " " + broken).code, 2);
  const ProbeRun help = Probe("--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("usage: olvane-probe"), std::string::npos);
}

TEST(Probe, VerifyAcceptsWideSoundAndNamesWhatCannotBePlayed) {
  const std::string dir = testenv::MakeTempDir();
  // One capture per sound format: 24-bit stereo and 32-bit 6 channels play,
  // a zero rate and 12-bit samples do not.
  struct Case {
    DWORD rate;
    WORD bits, channels;
    const char* problem;  // null: verifies clean
  } cases[] = {
      {8000, 24, 2, nullptr},
      {48000, 32, 6, nullptr},
      {0, 16, 1, "format that cannot be played (dropped): PCM 0 Hz, 16 bits, 1 channels"},
      {8000, 12, 1, "format that cannot be played (dropped): PCM 8000 Hz, 12 bits, 1 channels"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    const std::string path = dir + "/sound" + std::to_string(n++) + ".zeph";
    CCaptureFileWriter writer;
    ASSERT_TRUE(writer.Create(path));
    writer.AddStream(capture::kStreamScreen, 16, 8);
    writer.AddStream(capture::kStreamAudio);
    std::vector<BYTE> picture(DibImageSize(16, 8, 16), 0x20);
    ASSERT_TRUE(writer.AddScreenPicture(0, picture.data(), 16, 8, 16, true));
    auto* block = new CCaptureAudio;
    block->SetTime(0);
    block->SetFormat(CaptureAudioFormat{CCaptureAudio::kCodecPcm, c.rate, c.bits, c.channels});
    const DWORD frame = static_cast<DWORD>(c.channels) * (c.bits / 8u);
    const std::vector<BYTE> data(frame * 100, 1);
    block->SetDecodedLength(static_cast<DWORD>(data.size()));
    block->SetDataCopy(data.data(), static_cast<DWORD>(data.size()));
    ASSERT_TRUE(writer.WriteRecord(*block));
    block->Release();
    ASSERT_TRUE(writer.Finish());
    const ProbeRun run = Probe(path + " --verify");
    if (c.problem) {
      EXPECT_EQ(run.code, 1) << run.out;
      EXPECT_NE(run.out.find(c.problem), std::string::npos) << run.out;
    } else {
      EXPECT_EQ(run.code, 0) << run.out;
      EXPECT_NE(run.out.find("Verify: ok"), std::string::npos) << run.out;
    }
  }
}
