// Fuzz target: a capture file is extracted frame by frame as an exporter
// does it: screen pictures, cursor shapes and clicks at triple size, camera
// frames (JPEG or stored) at half size, annotations and sound, composed and
// scaled smoothly into small 24-bit frames, then one plain 16-bit frame.
#include "fuzz/FontLeakSuppressions.h"
#include "fuzz/ScratchFile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/DibStride.h"
#include "pravex/render/RenderFrames.h"

namespace {

const std::string& InputPath() { return fuzz::ScratchPath("render"); }
bool WriteInput(const uint8_t* data, size_t size) { return fuzz::WriteScratch("render", data, size); }

BITMAPINFOHEADER FrameHeader(int width, int height, WORD bits) {
  BITMAPINFOHEADER h{};
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = bits;
  h.biSizeImage = static_cast<DWORD>(DibStride(width, bits) * height);
  return h;
}

}  // namespace

// Text annotations load fonts; the font libraries' process-lifetime caches are
// not leaks of ours.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteInput(data, size)) return 0;
  CRenderFrames frames;
  CRenderVars& vars = *frames.GetRenderVars();
  vars.SetCursorDisplay(3);
  vars.SetCursorSize(2);
  vars.SetVideoReplayMode(4);
  vars.SetVideoPosition(static_cast<int>(size % 9));
  frames.SetRenderAudio(1);
  if (!frames.Open(InputPath().c_str(), 5)) return 0;
  frames.Start(0);
  BITMAPINFOHEADER header = FrameHeader(37, 23, 24);
  std::vector<BYTE> frame(header.biSizeImage);
  const CRect area(0, 0, frames.GetXRes() > 0 ? frames.GetXRes() : 64, frames.GetYRes() > 0 ? frames.GetYRes() : 48);
  std::vector<BYTE> sound(4096);
  for (int i = 0; i < 40 && frames.GetFrame(frame.data(), &header, area); ++i) {
    int length = static_cast<int>(sound.size());
    frames.GetAudio(sound.data(), length);
  }
  frames.Stop();
  vars.SetHighQualityReplay(0);
  BITMAPINFOHEADER plain = FrameHeader(70, 50, 16);
  std::vector<BYTE> big(plain.biSizeImage);
  frames.RenderFrame(big.data(), &plain, CRect(-5, -5, 5000, 5000));
  frames.Close();
  return 0;
}
