// Fixtures of the opening tests (drop, Open Recent, resume, --start): small
// timed captures, reading back which of their pictures the player shows, and
// a recorder of the player's message boxes.
#pragma once

#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "platform/os/MessageBox.h"
#include "platform/settings/SettingsKey.h"
#include "platform/ui/Headless.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"

namespace playertest {

constexpr DWORD kClipStepMs = 500;
constexpr DWORD kClipWidth = 640;
constexpr DWORD kClipHeight = 400;

// A 640 x 400 capture (the window is sized to show it whole) of `durationMs` with one picture every kClipStepMs, each
// in one colour that tells its index (red 5 bits low, blue 5 bits high), a
// seek point every 2 s; `version` goes into the information table when given.
inline std::string WriteTimedClip(const std::string& path, DWORD durationMs, const char* version = nullptr) {
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(capture::kStreamScreen, kClipWidth, kClipHeight);
  std::vector<BYTE> pixels(DibStride(kClipWidth, 16) * kClipHeight);
  for (DWORD t = 0, index = 0; t <= durationMs; t += kClipStepMs, ++index) {
    const WORD colour = static_cast<WORD>(((index & 31) << 11) | ((index >> 5) & 31));
    for (std::size_t i = 0; i + 1 < pixels.size(); i += 2) {
      pixels[i] = static_cast<BYTE>(colour & 0xFF);
      pixels[i + 1] = static_cast<BYTE>(colour >> 8);
    }
    writer.AddScreenPicture(t, pixels.data(), kClipWidth, kClipHeight, 16, t % 2000 == 0);
  }
  if (version) writer.AddInfo(std::string("CaptureFile_Version|") + version, false);
  writer.Finish();
  return path;
}

// The time of the picture of WriteTimedClip shown at the middle of `view`.
inline DWORD ShownClipTime(CWnd& view) {
  CRect r;
  view.GetClientRect(&r);
  const COLORREF c = ui::GetWindowPixel(view.GetSafeHwnd(), r.Width() / 2, r.Height() / 2);
  const DWORD index = (GetRValue(c) >> 3) | ((GetBValue(c) >> 3) << 5);
  return index * kClipStepMs;
}

// Forgets the files opened before (recent list and resume places), so each
// test starts from none whatever ran before it in the process.
inline void ForgetOpenedFiles() {
  CSettingsKey::DeleteKey("Software\\Kalvo\\Olvo\\Recent");
  CSettingsKey::DeleteKey("Software\\Kalvo\\Olvo\\Resume");
}

// Records every message box's text and answers each with `answer`.
struct MessageRecorder {
  std::vector<std::string> texts;
  int answer = IDOK;
  CScopedMessageBoxHook hook{[this](const std::string& text, const std::string&, unsigned) {
    texts.push_back(text);
    return answer;
  }};
  explicit MessageRecorder(int answerWith = IDOK) : answer(answerWith) {}
};

}  // namespace playertest
