// Helpers for the renderer tests: a renderer that records what it asks its
// owner to repaint, and records of known content (screen pictures, cursor
// shapes, camera frames) to feed it.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "glimra/AnnotateData.h"
#include "platform/base/Rect.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/render/RenderDirect.h"
#include "pravex/render/RenderVars.h"

namespace rendertest {

struct Invalidation {
  CRect rect;
  unsigned short stream;
};

class CTestRenderer : public CRenderDirect {
 public:
  CRenderVars vars;
  std::vector<Invalidation> updates;
  std::vector<const char*> calls;  // "resize", "full", "endofscan", "first", "eof"
  std::vector<unsigned short> endedStreams;
  std::atomic<bool> lockHeldAtResize{false};

  CRenderVars* GetRenderVars() override { return &vars; }
  void InvalidateScreen() override { calls.push_back("full"); }
  void InvalidateScreenRect(const CRect& rect, int) override { updates.push_back({rect, 0}); }
  void SetScreenDeviceSize() override {
    int w = 0, h = 0;
    GetSize(w, h);
    CRenderRoot::SetScreenDeviceSize(w, h, w, h);
  }
  void InvalidateUpdateArea(const CRect& rect, unsigned short stream) override { updates.push_back({rect, stream}); }
  void ResizeParent() override;
  void FirstGraphicFrame() override { calls.push_back("first"); }
  void EndOfFile(unsigned short stream) override { endedStreams.push_back(stream); }
  void OnEndOfScan() override { calls.push_back("endofscan"); }
  // Composes the whole picture (window = picture coordinates).
  unsigned char* ComposeAll();
  int Count(const char* call) const;
};

// Adds to `set` a list from `start` for `delay` ms holding one opaque box at
// (4, 4, 12, 10), red inside with a blue outline.
void AddOpaqueBox(CAnnotateData& set, DWORD start, DWORD delay);

// A 16-bit (or 24-bit) picture of one value / pattern.
std::vector<BYTE> FlatPicture(int width, int height, WORD bits, WORD value565);

// A decodable screen record (raw picture) covering `changed`.
CCaptureData* ScreenRecord(const std::vector<BYTE>& pixels, int width, int height, WORD bits, const CRect& changed,
                           DWORD time = 0);
CCaptureData* Control(DWORD type, WORD stream, DWORD time = 0);

// A monochrome cursor of w x h (multiple of 8 wide), every pixel transparent
// (AND 1, XOR 0) except those given, each with its AND and XOR bits.
struct MonoPixel {
  int x, y;
  bool andBit, xorBit;
};
CCaptureData* MonoCursor(int w, int h, const std::vector<MonoPixel>& pixels, int x, int y, int hotX, int hotY,
                         BYTE click = 0);
// A colour cursor: AND 0 everywhere (opaque) with colour bits of one value.
CCaptureData* ColourCursor(int w, int h, WORD bits, WORD value, int x, int y);
// A record with position (and click state) only.
CCaptureData* CursorMove(int x, int y, int hotX, int hotY, BYTE click);
CCaptureData* CursorClick(BYTE click);

// A 24-bit camera frame stored as it is (bottom-up); pixel (x, y) from the top
// gets colour(x, y).
CCaptureData* VideoFrame(int width, int height, BYTE (*red)(int, int), BYTE (*green)(int, int), BYTE (*blue)(int, int));

WORD Pixel16(const unsigned char* picture, int width, int x, int y);

}  // namespace rendertest
