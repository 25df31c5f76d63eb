// The demo captures carry an annotation archive built with the annotation
// library; olvane-probe lists it, and every list of it draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/ToolRun.h"
#include "glimra/AnnotateData.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "tests/common/TestEnvironment.h"

namespace {

std::string WriteDemo() {
  const std::string path = testenv::MakeTempDir() + "/demo.zeph";
  const ToolRun run = RunTool("olvane-mkcapture", "demo " + ShellQuote(path) + " --size 320x240 --seconds 4 --quiet");
  EXPECT_EQ(run.code, 0) << run.out;
  return path;
}

}  // namespace

TEST(DemoAnnotations, ProbeListsTheListsInTextAndJson) {
  const std::string path = WriteDemo();
  const ToolRun text = RunTool("olvane-probe", "--verify " + ShellQuote(path));
  EXPECT_EQ(text.code, 0) << text.out;
  for (const char* line : {"Annotations (4 lists):", "pause mode 2", "\"Chapter 3: files\"", "zoom box", "brush",
                           "arrow", "line", "text", "\"Dragged here\""}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
  }
  const ToolRun json = RunTool("olvane-probe", "--json " + ShellQuote(path));
  EXPECT_EQ(json.code, 0);
  for (const char* field : {"\"annotationArchive\": \"ok\"", "\"start\": 0, \"hold\": 1000, \"pauseMode\": 0",
                            "\"kind\": \"zoom box\"", "\"pauseMode\": 2"}) {
    EXPECT_NE(json.out.find(field), std::string::npos) << field << "\n" << json.out;
  }
}

TEST(DemoAnnotations, EveryListDrawsOverTheCapture) {
  const std::string path = WriteDemo();
  CCaptureFileReader reader;
  ASSERT_TRUE(reader.Open(path));
  const CCaptureData* record = reader.GetAnnotationRecord();
  ASSERT_NE(record, nullptr);
  std::vector<BYTE> bytes(record->GetDataBytes(), record->GetDataBytes() + record->GetDataLength());
  CMemoryArchive archive(bytes.data(), static_cast<DWORD>(bytes.size()));
  CAnnotateData set;
  ASSERT_TRUE(set.Load(archive, TRUE));
  ASSERT_EQ(set.GetListCount(), 4);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 320;
  info.bmiHeader.biHeight = -240;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biPlanes = 1;
  for (int i = 0; i < set.GetListCount(); ++i) {
    std::vector<WORD> frame(320 * 240, 0x8410);
    const std::vector<WORD> before = frame;
    set.UpdateAnnotationDisplayList(set.GetListAt(i)->GetTime(), nullptr);
    ASSERT_EQ(set.GetDisplayListCount(), 1) << i;
    auto* bits = reinterpret_cast<BYTE*>(frame.data());
    set.RenderAnnotation(bits, bits, &info, CRect(0, 0, 320, 240), CSize(320, 240), i % 2);
    int changed = 0;
    for (size_t p = 0; p < frame.size(); ++p) changed += frame[p] != before[p];
    EXPECT_GT(changed, 100) << i;
  }
}
