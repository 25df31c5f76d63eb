// The screen stream's state inside a renderer: the current screen picture
// (a top-down picture decoded by the stream's codec), the area the last
// record changed, and the preroll and end flags the renderer reads.
#pragma once

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/ScreenCodec.h"
#include "pravex/render/StreamControl.h"

class CCaptureData;
class CSharedBuffer;

class CScreenState {
 public:
  CScreenState();
  virtual ~CScreenState();
  CScreenState(const CScreenState&) = delete;
  CScreenState& operator=(const CScreenState&) = delete;

  // Applies one screen-stream record (taking over its reference); true when
  // the picture changed. A picture whose pixel block is shorter than its rows
  // need is refused and leaves the held picture as it was.
  virtual bool Apply(CCaptureData* record);
  // The held picture coded as one complete screen record (flag bit 0 clear,
  // bit 1 set), holding one reference for the caller; null without a picture.
  virtual CCaptureData* GetStateRecord();

  // Forgets the picture and every flag (a new replay).
  void Clear();

  const BITMAPINFO& GetInfo() const { return m_info; }
  BITMAPINFO& GetInfo() { return m_info; }
  BYTE* GetPixels() const;
  DWORD GetPixelSize() const { return m_pixelSize; }
  int GetWidth() const { return m_info.bmiHeader.biWidth; }
  int GetHeight() const;
  int GetBitCount() const { return m_info.bmiHeader.biBitCount; }
  // Bytes of one picture row (the codec's stride).
  DWORD GetStride() const { return m_stride; }
  const CRect& GetChangedRect() const { return m_changed; }

  bool IsPreroll() const { return m_control.IsPreroll(); }
  // Read-and-clear of the end flags.
  bool TakeEndOfStream() { return m_control.TakeEndOfStream(); }
  bool TakeEndOfPreroll() { return m_control.TakeEndOfPreroll(); }

 private:
  bool ApplyPicture(CCaptureData* record);
  void FillHeader(DWORD width, DWORD height, WORD bits, DWORD compression);
  void ReleasePicture();

  BITMAPINFO m_info{};
  CSharedBuffer* m_picture = nullptr;  // owned reference: the held pixel block
  DWORD m_pixelSize = 0;
  DWORD m_stride = 0;
  CRect m_changed;
  CScreenCodec m_codec;
  CStreamControl m_control;
};
