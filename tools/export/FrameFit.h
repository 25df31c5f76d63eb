// Turns the extractor's pictures into output frames: the picture itself when
// it has the output size (or no size is fixed), otherwise the whole picture
// scaled into the frame keeping its aspect ratio, centred on black.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/base/WinTypes.h"
#include "pravex/render/RenderFrames.h"

// Bottom-up blue-green-red rows.
struct OutputFrame {
  const BYTE* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  bool same = false;  // equal to the frame made before
  // Rows (top row 0) outside [changedTop, changedBottom) are as in the frame
  // made before; by default every row may differ.
  int changedTop = 0;
  int changedBottom = 0x7FFFFFFF;
};

// Where a picture of pw x ph lands in a frame of w x h keeping its aspect
// ratio: the largest such rectangle, centred (at least one pixel each way).
CRect FitRect(int pw, int ph, int w, int h);

class CFrameFit {
 public:
  // width 0: every frame has its picture's size.
  CFrameFit(int width, int height, bool smooth) : m_width(width), m_height(height), m_smooth(smooth) {}
  // False for a picture without pixels or a frame too large to hold.
  bool Make(const ExtractedPicture& picture, OutputFrame& out);

 private:
  int m_width;
  int m_height;
  bool m_smooth;
  bool m_made = false;
  bool m_direct = false;  // the last frame was the picture itself
  std::vector<BYTE> m_buffer;
};
