#include "Exporter.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "PngFile.h"
#include "WavFile.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/render/RenderFrames.h"

namespace {

// Frames larger than this many bytes are refused (a 16384 x 16384 frame).
constexpr std::uint64_t kMaxFrameBytes = 16384ull * 16384ull * 3ull;

struct Frame {
  BITMAPINFOHEADER header{};
  std::vector<BYTE> bytes;
  std::size_t stride = 0;
  bool Allocate(int width, int height) {
    stride = DibStride(static_cast<DWORD>(width), 24);
    const std::uint64_t size = static_cast<std::uint64_t>(stride) * static_cast<DWORD>(height);
    if (size > kMaxFrameBytes) return false;
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(size);
    bytes.assign(size, 0);
    return true;
  }
};

class CProgress {
 public:
  CProgress(unsigned long total, unsigned fps) : m_total(total), m_fps(fps) {}
  void Show(unsigned long done, bool last) {
    const auto now = std::chrono::steady_clock::now();
    if (!last && now - m_shown < std::chrono::milliseconds(200)) return;
    m_shown = now;
    const double wall = std::chrono::duration<double>(now - m_start).count();
    const double media = static_cast<double>(done) / m_fps;
    const double speed = wall > 0 ? media / wall : 0.0;
    std::fprintf(stderr, "\rframes %lu/%lu (%3lu%%), %.1fx real time", done, m_total,
                 m_total ? done * 100 / m_total : 100, speed);
    if (last) std::fputc('\n', stderr);
    std::fflush(stderr);
  }

 private:
  const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point m_shown{};
  unsigned long m_total;
  unsigned m_fps;
};

struct AudioOut {
  CWavWriter wav;
  bool active = false;
  std::uint64_t limit = 0;  // bytes of the range
  std::vector<BYTE> chunk = std::vector<BYTE>(65536);

  bool Drain(CRenderFrames& frames) {
    if (!active) return true;
    for (;;) {
      int length = static_cast<int>(chunk.size());
      if (!frames.GetAudio(chunk.data(), length) || length <= 0) return true;
      const std::uint64_t room = limit > wav.GetDataLength() ? limit - wav.GetDataLength() : 0;
      if (!wav.Write(chunk.data(), static_cast<std::size_t>(std::min<std::uint64_t>(room, length)))) return false;
    }
  }
};

bool PrepareAudio(const ExportOptions& o, CRenderFrames& frames, std::uint64_t spanMs, AudioOut& audio,
                  std::string& error) {
  CaptureAudioFormat format;
  if (!frames.GetAudioFormat(format)) return true;
  if (!format.samplesPerSecond || !format.channels || (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
    return true;
  }
  const std::string path = o.audio.empty() ? o.output + "/audio.wav" : o.audio;
  const std::uint64_t block = static_cast<std::uint64_t>(format.channels) * (format.bitsPerSample / 8);
  audio.limit = spanMs * format.samplesPerSecond / 1000 * block;
  if (!audio.wav.Create(path, format.samplesPerSecond, format.bitsPerSample, format.channels)) {
    error = "cannot create " + path;
    return false;
  }
  audio.active = true;
  return true;
}

std::string FramePath(const std::string& folder, unsigned long index) {
  char name[32];
  std::snprintf(name, sizeof(name), "/frame_%06lu.png", index);
  return folder + name;
}

int OpenFrames(const ExportOptions& o, CRenderFrames& frames, std::string& error) {
  CRenderVars& vars = *frames.GetRenderVars();
  vars.SetHighQualityReplay(o.smooth ? 1 : 0);
  vars.SetCursorDisplay(o.cursor ? vars.GetCursorDisplay() : 0);
  vars.SetAnnotation(o.annotations ? 1 : 0);
  frames.SetRenderAnnotation(o.annotations ? 1 : 0);
  frames.SetRenderAudio(o.single < 0 ? 1 : 0);
  if (!frames.Open(o.capture.c_str(), o.fps)) {
    error = "cannot open capture " + o.capture;
    return 1;
  }
  if (frames.GetXRes() <= 0 || frames.GetYRes() <= 0) {
    error = "capture has no screen stream: " + o.capture;
    return 1;
  }
  return 0;
}

int ExportSingle(const ExportOptions& o, CRenderFrames& frames, Frame& frame, const CRect& area, std::string& error) {
  frames.SetOneFrameMode();
  if (!frames.Start(static_cast<unsigned long>(o.single))) {
    error = "cannot start replay";
    return 1;
  }
  // Past the end, the last picture is the one shown.
  if (!frames.GetFrame(frame.bytes.data(), &frame.header, area))
    frames.RenderFrame(frame.bytes.data(), &frame.header, area);
  frames.Stop();
  return WritePngFrame(o.output, frame.bytes.data(), frame.header.biWidth, frame.header.biHeight, frame.stride, error)
             ? 0
             : 1;
}

}  // namespace

int RunExport(const ExportOptions& o, std::string& error) {
  CRenderFrames frames;
  if (OpenFrames(o, frames, error)) return 1;
  const CRect area(0, 0, frames.GetXRes(), frames.GetYRes());
  Frame frame;
  if (!frame.Allocate(o.width ? o.width : area.Width(), o.height ? o.height : area.Height())) {
    error = "frame size too large";
    return 1;
  }
  if (o.single >= 0) return ExportSingle(o, frames, frame, area, error);
  const std::uint64_t duration = frames.GetReader().GetDuration();
  const std::uint64_t to = o.to >= 0 ? static_cast<std::uint64_t>(o.to) : duration;
  const std::uint64_t from = static_cast<std::uint64_t>(o.from);
  if (to <= from) {
    error = "the time range is empty (capture length " + std::to_string(duration) + " ms)";
    return 1;
  }
  const unsigned long total = static_cast<unsigned long>(std::max<std::uint64_t>(1, (to - from) * o.fps / 1000));
  mkdir(o.output.c_str(), 0777);
  AudioOut audio;
  if (!PrepareAudio(o, frames, to - from, audio, error)) return 1;
  if (!frames.Start(static_cast<unsigned long>(from))) {
    error = "cannot start replay";
    return 1;
  }
  CProgress progress(total, o.fps);
  bool ended = false;
  for (unsigned long k = 0; k < total; ++k) {
    // After the capture's last tick the picture no longer changes.
    if (!ended && !frames.GetFrame(frame.bytes.data(), &frame.header, area)) {
      ended = true;
      if (k == 0) frames.RenderFrame(frame.bytes.data(), &frame.header, area);
    }
    if (!WritePngFrame(FramePath(o.output, k), frame.bytes.data(), frame.header.biWidth, frame.header.biHeight,
                       frame.stride, error) ||
        !audio.Drain(frames)) {
      if (error.empty()) error = "cannot write the sound file";
      frames.Stop();
      return 1;
    }
    progress.Show(k + 1, k + 1 == total);
  }
  frames.Stop();
  if (!audio.Drain(frames) || (audio.active && (!audio.wav.PadTo(audio.limit) || !audio.wav.Close()))) {
    error = "cannot write the sound file";
    return 1;
  }
  return 0;
}
