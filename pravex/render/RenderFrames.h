// Turns a capture into equally spaced frames (and, optionally, its decoded
// sound) without a window or real-time pacing: the reader runs in frame
// mode and sends a frame tick every 1000 / frame-rate ms of capture time; at
// each tick the worker hands the composed picture to the caller's thread and
// waits until the caller has taken it (two auto-reset events, strictly
// alternating). The caller drives it with Open, Start, GetFrame (and
// GetAudio), Stop and Close.
#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

#include "platform/base/Sync.h"
#include "pravex/capture/AudioReplay.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/capture/ReplayClock.h"
#include "pravex/render/RenderDirect.h"
#include "pravex/render/RenderVars.h"

// A frame handed over without a copy: the extractor's own 24-bit picture
// (bottom-up blue-green-red rows) at the current picture size. It stays valid
// until the next GetPicture, CurrentPicture, Start or Close.
struct ExtractedPicture {
  const unsigned char* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  CRect changed;         // what differs from the picture handed over before; empty: nothing
  bool resized = false;  // the size differs from the picture handed over before
};

class CRenderFrames : public CRenderDirect {
 public:
  CRenderFrames();
  ~CRenderFrames() override;

  // Opens a capture for extraction at frameRate frames per second; 1 on success.
  int Open(const char* path, unsigned long frameRate);
  // Starts extraction at time t (0: the beginning); 0 when not open. In one
  // frame mode exactly the frame at t is delivered.
  int Start(unsigned long time);
  // Waits for the next frame and renders `area` of it into the frame; 0 at
  // the end (at once when the end was already reached).
  int GetFrame(unsigned char* frame, BITMAPINFOHEADER* header, const CRect& area);
  // Waits for the next frame and brings the extractor's own 24-bit picture up
  // to date at the current picture size (screen, camera picture, annotations,
  // cursor), recomposing and converting only the area that changed since the
  // last picture; 0 at the end. Before the first screen picture the frame is
  // black at the stream's size.
  int GetPicture(ExtractedPicture& picture);
  // The picture as it stands, without waiting (after the end: the last one).
  int CurrentPicture(ExtractedPicture& picture);
  // Copies up to `length` bytes of decoded sound; sets length to the count.
  int GetAudio(unsigned char* buffer, int& length);
  int Stop();
  void Close();

  int IsEOF() const { return m_endOfFile || m_stoppedAfterOneFrame ? 1 : 0; }
  int GetXRes() const { return m_xRes; }
  int GetYRes() const { return m_yRes; }
  int DetectAudioStream() const { return m_audioPresent; }
  // The format of the capture's first sound block; 0 when there is none.
  int GetAudioFormat(CaptureAudioFormat& format) const;
  // How far ahead of the frames sound is decoded (ms): 2000, less when the
  // memory ring could not hold that much of the capture's sound.
  DWORD GetAudioLead() const { return m_audioLead; }
  int IsOpen() const { return m_open; }
  // Capture duration x frame rate / 1000, less one; 0 when that product is 0.
  unsigned long GetTotalFrames();
  void SetOneFrameMode() { m_oneFrameMode = 1; }
  void SetRenderAudio(int on) { m_renderAudio = on; }
  int GetRenderAudio() const { return m_renderAudio; }
  void SetRenderAnnotation(int on) { m_renderAnnotation = on; }
  int GetRenderAnnotation() const { return m_renderAnnotation; }
  // Stores the flag and the rectangle in the annotation set's export settings
  // (the flag does not change what is drawn).
  void SetAnnotaionData(int render, const CRect& rect);
  const CCaptureInfo& GetInformation() const { return m_information; }
  CCaptureFileReader& GetReader() { return m_reader; }

  CRenderVars* GetRenderVars() override { return &m_vars; }
  void SetScreenDeviceSize() override {}
  void InvalidateScreen() override;
  void ResizeParent() override {}
  void FirstGraphicFrame() override {}
  void InvalidateScreenRect(const CRect& rect, int erase) override;
  void InvalidateUpdateArea(const CRect& rect, unsigned short stream) override;
  void EndOfFile(unsigned short) override {}
  int ProcessData(CCaptureData* record) override;

 private:
  void ReadDescriptions();
  void LoadAnnotations();
  bool FindAudioFormat();
  // Under the lock: recomposes what changed and notes what to convert.
  void ComposePicture(ExtractedPicture& picture);
  // Converts what was composed into m_picture. It reads the composed picture
  // only, which the worker never touches, so it runs after the worker is let go.
  void ConvertPicture();

  CRenderVars m_vars;
  CCaptureFileReader m_reader;
  CReplayClock m_clock;
  CAudioReplay m_audio;
  CCaptureInfo m_information;
  CEvent m_frameReady{false, false};
  CEvent m_frameTaken{false, false};
  int m_open = 0;
  int m_renderAudio = 0;
  int m_renderAnnotation = 1;
  std::atomic<int> m_endOfFile{0};
  int m_xRes = -1;
  int m_yRes = -1;
  unsigned long m_frameRate = 1;
  int m_audioPresent = 0;
  CaptureAudioFormat m_audioFormat;
  bool m_audioFormatKnown = false;
  DWORD m_audioLead = 2000;
  std::atomic<int> m_oneFrameMode{0};
  std::atomic<int> m_stoppedAfterOneFrame{0};
  // The 24-bit picture handed over by GetPicture and what changed since
  // (guarded by the renderer lock).
  // The changed areas are kept apart (a caret at one corner and a clock at
  // another do not make the whole picture changed), up to a count.
  void AddDirty(const CRect& rect);
  static std::vector<CRect> SeparateParts(std::vector<CRect> areas);
  std::vector<unsigned char> m_picture;
  // The composed picture as last converted, and its colour table: only what
  // differs from it is converted again.
  std::vector<unsigned char> m_converted;
  std::vector<unsigned char> m_convertedColours;
  int m_pictureW = 0;
  int m_pictureH = 0;
  std::vector<CRect> m_dirty;
  bool m_dirtyAll = true;
  // The composition's result, for the conversion that follows it.
  struct Conversion {
    const unsigned char* composed = nullptr;  // the back buffer; null: nothing to convert
    BITMAPINFO info{};
    bool full = false;
    std::vector<CRect> areas;
  };
  Conversion m_conversion;
};
