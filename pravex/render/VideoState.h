// The camera stream's state inside a renderer: the latest camera frame as a
// bottom-up 24-bit picture (JPEG frames decoded here), the frame kept
// undecoded during a preroll, and the flags the renderer reads.
#pragma once

#include <cstdint>

#include "platform/base/WinTypes.h"
#include "pravex/render/StreamControl.h"

class CCaptureData;
class CCaptureVideo;
class CSharedBuffer;

class CVideoState {
 public:
  CVideoState() = default;
  virtual ~CVideoState();
  CVideoState(const CVideoState&) = delete;
  CVideoState& operator=(const CVideoState&) = delete;

  // Applies one camera-stream record (taking over its reference); true when
  // a new frame is ready. A frame that does not decode to the size its
  // record states, or that is not 24-bit, is dropped: the previous frame
  // stays.
  virtual bool Apply(CCaptureData* record);
  // The frame record kept during the running preroll, with one reference for
  // the caller; null when none.
  virtual CCaptureData* GetStateRecord();

  // Releases the frame and the kept record, clears the flags (the header stays).
  void Clear();

  const BITMAPINFO& GetInfo() const { return m_info; }
  const BYTE* GetPixels() const;
  bool HasFrame() const { return m_frame != nullptr; }
  int GetWidth() const { return m_info.bmiHeader.biWidth; }
  int GetHeight() const { return m_info.bmiHeader.biHeight; }
  bool HasSizeChanged() const { return m_sizeChanged; }
  bool IsPreroll() const { return m_control.IsPreroll(); }
  bool TakeEndOfStream() { return m_control.TakeEndOfStream(); }
  bool TakeEndOfPreroll() { return m_control.TakeEndOfPreroll(); }

 private:
  bool Decode(const CCaptureVideo& video);

  BITMAPINFO m_info{};
  CSharedBuffer* m_frame = nullptr;  // owned reference: bottom-up 24-bit rows
  DWORD m_frameSize = 0;
  CCaptureData* m_kept = nullptr;  // owned reference
  bool m_sizeChanged = false;
  CStreamControl m_control;
};

// Decodes a JPEG image held in memory into a bottom-up 24-bit BGR picture of
// exactly width x height pixels with rows of DibStride(width, 24) bytes.
// False (output untouched or partly written) on a library error, another
// size, or other than three colour components.
bool DecodeJpegToDib(const BYTE* data, DWORD length, DWORD width, DWORD height, BYTE* out, std::uint64_t outSize);
