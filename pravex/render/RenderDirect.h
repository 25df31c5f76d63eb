// A renderer that composes whole frames and scales a chosen area of them
// into a caller's picture of any size: by plain sampling, or (high quality
// on) by averaging the source pixels each output pixel covers when shrinking
// and interpolating in tenth-pixel steps when enlarging. Output is 16-bit
// 5-6-5 or 24-bit, bottom-up.
#pragma once

#include <cstddef>

#include "pravex/render/RenderRoot.h"

class CRenderDirect : public CRenderRoot {
 public:
  CRenderDirect();
  ~CRenderDirect() override;

  // Composes the picture and scales `area` of it (clamped to the picture)
  // into the frame; a frame of zeros when there is no picture or no area.
  // Always 1 for a usable frame header, 0 for one whose size or stride
  // cannot hold its rows.
  int RenderFrame(unsigned char* frame, BITMAPINFOHEADER* header, const CRect& area);
  // Scales an area of a source picture in the screen picture's format into
  // a frame (header: width, height, bit count, biSizeImage).
  void ScaleFrameBuffer(unsigned char* frame, const unsigned char* source, BITMAPINFOHEADER* header, const CRect& area);
  CRect GetVideoRect() override;

  const CRect& GetFrameArea() const { return m_frameArea; }

 private:
  CRect m_frameArea;
};

namespace renderscale {

// The frame row stride a header describes (biSizeImage / height), or 0 when
// the header cannot hold its rows at its depth.
std::size_t FrameStride(const BITMAPINFOHEADER& header);

// Scales `area` of a top-down source picture (sourceInfo: width, height,
// depth 8, 16 or 24, colour table for 8 bits) into a bottom-up frame.
void Scale(unsigned char* frame, const BITMAPINFOHEADER& frameHeader, const unsigned char* source,
           const BITMAPINFO& sourceInfo, const CRect& area, bool smooth);

// Converts `area` of a top-down source picture (depth 8, 16 or 24) pixel
// for pixel into the same area of a bottom-up 24-bit frame of the source's
// size, exactly as Scale does at 1:1.
void ConvertArea(unsigned char* frame, std::size_t frameStride, int frameHeight, const unsigned char* source,
                 const BITMAPINFO& sourceInfo, const CRect& area);

// As ConvertArea, but only the pixels that differ from `previous` (a copy of
// the source as last converted, same layout), which is brought up to date.
void ConvertChangedArea(unsigned char* frame, std::size_t frameStride, int frameHeight, const unsigned char* source,
                        const BITMAPINFO& sourceInfo, const CRect& area, unsigned char* previous);

// Scales a picture given as a table of top-down rows of 24-bit blue-green-red
// pixels (sw x sh) into a bottom-up frame.
void ScaleRows(unsigned char* frame, const BITMAPINFOHEADER& frameHeader, const unsigned char* const* rows, int sw,
               int sh, bool smooth);

}  // namespace renderscale
