#include "Exporter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "FrameFit.h"
#include "PngFile.h"
#include "PngPool.h"
#include "VideoEncoder.h"
#include "WavFile.h"
#include "platform/base/DibStride.h"
#include "platform/base/File.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/render/RenderFrames.h"

namespace {

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

bool IsVideo(ExportKind kind) { return kind == ExportKind::Mp4 || kind == ExportKind::Webm || kind == ExportKind::Gif; }

// The sound of the range, in the capture's format, as it leaves the extractor.
struct AudioPlan {
  bool active = false;
  CaptureAudioFormat format;
  std::uint64_t limit = 0;  // bytes of the range
  std::uint64_t taken = 0;
  std::vector<BYTE> chunk = std::vector<BYTE>(65536);
  std::size_t Block() const { return static_cast<std::size_t>(format.channels) * (format.bitsPerSample / 8); }
};

bool PlanAudio(CRenderFrames& frames, unsigned long count, unsigned fps, AudioPlan& audio) {
  if (!frames.GetAudioFormat(audio.format)) return false;
  const CaptureAudioFormat& f = audio.format;
  if (!f.samplesPerSecond || !f.channels || (f.bitsPerSample != 8 && f.bitsPerSample != 16)) return false;
  // The frames' span: count frames of 1/fps second each.
  audio.limit = static_cast<std::uint64_t>(count) * f.samplesPerSecond / fps * audio.Block();
  audio.active = true;
  return true;
}

// Hands the sound decoded so far (up to the range's end) to `put`.
template <typename Put>
bool DrainAudio(CRenderFrames& frames, AudioPlan& audio, Put&& put) {
  if (!audio.active) return true;
  for (;;) {
    int length = static_cast<int>(audio.chunk.size());
    if (!frames.GetAudio(audio.chunk.data(), length) || length <= 0) return true;
    const std::uint64_t room = audio.limit > audio.taken ? audio.limit - audio.taken : 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(room, static_cast<std::uint64_t>(length)));
    if (n && !put(audio.chunk.data(), n)) return false;
    audio.taken += n;
  }
}

// Silence up to the range's end.
template <typename Put>
bool PadAudio(AudioPlan& audio, Put&& put) {
  if (!audio.active) return true;
  const std::vector<BYTE> silence(16384 - 16384 % std::max<std::size_t>(audio.Block(), 1),
                                  audio.format.bitsPerSample == 8 ? 0x80 : 0);
  while (audio.taken < audio.limit) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(silence.size(), audio.limit - audio.taken));
    if (!put(silence.data(), n)) return false;
    audio.taken += n;
  }
  return true;
}

// The reason a capture cannot be read, in the words olvane-probe uses.
int OpenCapture(const ExportOptions& o, CRenderFrames& frames, std::string& error) {
  CFile file;
  if (!file.Open(o.capture, CFile::modeRead)) {
    error = "cannot open " + o.capture + ": " + std::strerror(file.GetLastError());
    return 1;
  }
  file.Close();
  CRenderVars& vars = *frames.GetRenderVars();
  vars.SetHighQualityReplay(o.smooth ? 1 : 0);
  // The player's view with click indicators while buttons are down.
  vars.SetCursorDisplay(o.cursor ? 2 : 0);
  vars.SetAnnotation(o.annotations ? 1 : 0);
  frames.SetRenderAnnotation(o.annotations ? 1 : 0);
  frames.SetRenderAudio(o.kind != ExportKind::Single && o.kind != ExportKind::Gif ? 1 : 0);
  if (!frames.Open(o.capture.c_str(), o.fps)) {
    error = o.capture +
            " is not a capture this player can read: it must start with a stream description and end with a "
            "trailer record";
    return 1;
  }
  if (frames.GetXRes() <= 0 || frames.GetYRes() <= 0) {
    error = "capture has no screen stream: " + o.capture;
    return 1;
  }
  return 0;
}

// Pictures a second as the capture's screen records come: their count over
// their time span, 10 when that cannot be told.
unsigned PictureRate(const std::string& path) {
  CCaptureFileReader reader;
  if (!reader.Open(path)) return 10;
  reader.GetSource().SeekTo(reader.GetDataStart());
  std::uint64_t count = 0;
  DWORD first = 0, last = 0;
  for (;;) {
    CCaptureData* record = reader.ReadRecord(true);
    const DWORD type = record->GetRecordType();
    if (type == capture::kRecordScreen && record->GetStreamType() == capture::kStreamScreen) {
      if (!count++) first = record->GetTime();
      last = record->GetTime();
    }
    record->Release();
    if (type == capture::kRecordEndOfStream) break;
  }
  if (count < 2 || last <= first) return 10;
  const std::uint64_t rate = ((count - 1) * 1000 + (last - first) / 2) / (last - first);
  return static_cast<unsigned>(std::clamp<std::uint64_t>(rate, 1, 60));
}

// The number of frames whose time from + round(k x 1000 / fps) lies within
// the range, its end included.
unsigned long FrameCount(std::uint64_t span, unsigned fps) {
  std::uint64_t k = span * fps / 1000;
  while (k > 0 && (k * 1000 + fps / 2) / fps > span) --k;
  while (((k + 1) * 1000 + fps / 2) / fps <= span) ++k;
  return static_cast<unsigned long>(std::min<std::uint64_t>(k + 1, 0xFFFFFFFFu));
}

int ExportSingle(const ExportOptions& o, CRenderFrames& frames, std::string& error) {
  frames.SetOneFrameMode();
  if (!frames.Start(static_cast<unsigned long>(o.single))) {
    error = "cannot start replay";
    return 1;
  }
  // Past the end, the last picture is the one shown.
  ExtractedPicture picture;
  if (!frames.GetPicture(picture)) frames.CurrentPicture(picture);
  frames.Stop();
  CFrameFit fit(o.width, o.height, o.smooth);
  OutputFrame out;
  if (!fit.Make(picture, out)) {
    error = "frame size too large";
    return 1;
  }
  return WritePngFrame(o.output, out.pixels, out.width, out.height, out.stride, error) ? 0 : 1;
}

// Runs the extraction over the range, handing each output frame to `put`.
// After the capture's last tick the last picture is repeated.
template <typename Put>
int RunFrames(CRenderFrames& frames, std::uint64_t from, unsigned long total, CFrameFit& fit, Put&& put,
              std::string& error) {
  if (!frames.Start(static_cast<unsigned long>(from))) {
    error = "cannot start replay";
    return 1;
  }
  bool ended = false;
  ExtractedPicture picture;
  OutputFrame out;
  for (unsigned long k = 0; k < total; ++k) {
    if (!ended && !frames.GetPicture(picture)) {
      ended = true;
      if (k == 0) frames.CurrentPicture(picture);
      picture.changed.SetRectEmpty();
      picture.resized = false;
    } else if (ended) {
      picture.changed.SetRectEmpty();
      picture.resized = false;
    }
    if (!fit.Make(picture, out)) {
      error = "frame size too large";
      frames.Stop();
      return 1;
    }
    if (!put(k, out)) {
      frames.Stop();
      return 1;
    }
  }
  frames.Stop();
  return 0;
}

struct Range {
  std::uint64_t from = 0;
  unsigned long total = 0;
};

int ExportFrames(const ExportOptions& o, CRenderFrames& frames, const Range& range, std::string& error) {
  if (mkdir(o.output.c_str(), 0777) != 0 && errno != EEXIST) {
    error = "cannot create " + o.output + ": " + std::strerror(errno);
    return 1;
  }
  AudioPlan audio;
  CWavWriter wav;
  const std::string wavPath = o.audio.empty() ? o.output + "/audio.wav" : o.audio;
  if (PlanAudio(frames, range.total, o.fps, audio) &&
      !wav.Create(wavPath, audio.format.samplesPerSecond, audio.format.bitsPerSample, audio.format.channels)) {
    error = "cannot create " + wavPath;
    return 1;
  }
  auto toWav = [&](const BYTE* p, std::size_t n) { return wav.Write(p, n); };
  CPngPool pool(o.output);
  CProgress progress(range.total, o.fps);
  CFrameFit fit(o.width, o.height, o.smooth);
  int code = RunFrames(
      frames, range.from, range.total, fit,
      [&](unsigned long k, const OutputFrame& f) {
        if (!pool.Add(k, f, error)) return false;
        if (!DrainAudio(frames, audio, toWav)) {
          error = "cannot write the sound file " + wavPath;
          return false;
        }
        progress.Show(k + 1, k + 1 == range.total);
        return true;
      },
      error);
  if (!pool.Finish(code == 0 ? &error : nullptr)) code = 1;
  if (code == 0 && (!DrainAudio(frames, audio, toWav) || !PadAudio(audio, toWav) || (audio.active && !wav.Close()))) {
    error = "cannot write the sound file " + wavPath;
    code = 1;
  }
  if (code != 0) {
    // No partial output: the frames and the sound written so far go.
    pool.RemoveWritten();
    if (audio.active) {
      wav.Close();
      ::unlink(wavPath.c_str());
    }
  }
  return code;
}

int ExportVideo(const ExportOptions& o, CRenderFrames& frames, const Range& range, std::string& error) {
  CVideoEncoder::Settings settings;
  settings.format = o.kind == ExportKind::Mp4    ? CVideoEncoder::Format::Mp4
                    : o.kind == ExportKind::Webm ? CVideoEncoder::Format::Webm
                                                 : CVideoEncoder::Format::Gif;
  settings.fps = o.fps;
  settings.crf = o.crf;
  settings.preset = o.preset;
  AudioPlan audio;
  if (o.kind != ExportKind::Gif && PlanAudio(frames, range.total, o.fps, audio)) {
    settings.rate = audio.format.samplesPerSecond;
    settings.bits = audio.format.bitsPerSample;
    settings.channels = audio.format.channels;
  }
  // The output size: --size, or the first picture's (made even for the
  // codecs that subsample colour).
  settings.width = o.width;
  settings.height = o.height;
  if (!settings.width) {
    // A second extractor in one-frame mode tells the first picture's size.
    CRenderFrames probe;
    ExportOptions single = o;
    single.kind = ExportKind::Single;
    if (OpenCapture(single, probe, error)) return 1;
    probe.SetOneFrameMode();
    ExtractedPicture first;
    if (probe.Start(static_cast<unsigned long>(range.from)) && !probe.GetPicture(first)) probe.CurrentPicture(first);
    probe.Stop();
    settings.width = first.width > 0 ? first.width : frames.GetXRes();
    settings.height = first.height > 0 ? first.height : frames.GetYRes();
    if (o.kind != ExportKind::Gif) {
      settings.width = std::max(2, settings.width & ~1);
      settings.height = std::max(2, settings.height & ~1);
    }
  }
  CVideoEncoder encoder;
  if (!encoder.Open(o.output, settings, error)) return 1;
  CFrameFit fit(settings.width, settings.height, o.smooth);
  CProgress progress(encoder.NeedsPalettePass() ? range.total * 2 : range.total, o.fps);
  unsigned long done = 0;
  if (encoder.NeedsPalettePass()) {
    const int code = RunFrames(
        frames, range.from, range.total, fit,
        [&](unsigned long, const OutputFrame& f) {
          if (!encoder.AddPaletteFrame(f.pixels, f.stride, error)) return false;
          progress.Show(++done, false);
          return true;
        },
        error);
    if (code || !encoder.EndPalette(error)) return 1;
  }
  auto toEncoder = [&](const BYTE* p, std::size_t n) { return encoder.AddAudio(p, n, error); };
  const int code = RunFrames(
      frames, range.from, range.total, fit,
      [&](unsigned long, const OutputFrame& f) {
        if (!encoder.AddFrame(f.pixels, f.stride, error) || !DrainAudio(frames, audio, toEncoder)) return false;
        ++done;
        progress.Show(done, done == (encoder.NeedsPalettePass() ? 2 * range.total : range.total));
        return true;
      },
      error);
  if (code) return 1;
  if (!DrainAudio(frames, audio, toEncoder) || !PadAudio(audio, toEncoder) || !encoder.Finish(error)) {
    if (error.empty()) error = "cannot write " + o.output;
    return 1;
  }
  return 0;
}

}  // namespace

int RunExport(const ExportOptions& options, std::string& error) {
  ExportOptions o = options;
  if (IsVideo(o.kind) && !o.fpsGiven && o.kind != ExportKind::Gif) o.fps = PictureRate(o.capture);
  CRenderFrames frames;
  if (OpenCapture(o, frames, error)) return 1;
  if (o.kind == ExportKind::Single) return ExportSingle(o, frames, error);
  const std::uint64_t duration = frames.GetReader().GetDuration();
  const std::uint64_t to = o.to >= 0 ? static_cast<std::uint64_t>(o.to) : duration;
  Range range;
  range.from = static_cast<std::uint64_t>(o.from);
  if (to <= range.from) {
    error = "the time range is empty (capture length " + std::to_string(duration) + " ms)";
    return 1;
  }
  range.total = FrameCount(to - range.from, o.fps);
  return IsVideo(o.kind) ? ExportVideo(o, frames, range, error) : ExportFrames(o, frames, range, error);
}
