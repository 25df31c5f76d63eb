#include "DemoCapture.h"

#include <algorithm>

#include "DemoAnnotations.h"

#include "CaptureBuilder.h"
#include "DemoScene.h"
#include "JpegEncoder.h"
#include "MediaRecords.h"
#include "PngFrames.h"
#include "WavFile.h"
#include "platform/base/Strings.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureVideo.h"

namespace {

constexpr DWORD kCameraIntervalMs = 200;  // five camera pictures a second
constexpr DWORD kSoundBlockMs = 500;
constexpr DWORD kGsmRate = 8000;
constexpr DWORD kPcmRate = 22050;

DWORD FrameTime(unsigned frame, DWORD fps) {
  return static_cast<DWORD>(static_cast<std::uint64_t>(frame) * 1000 / fps);
}

// Base64 of a text, for an information value stored in its encoded form.
std::string Base64(const std::string& text) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += 3) {
    std::uint32_t group = static_cast<BYTE>(text[i]) << 16;
    if (i + 1 < text.size()) group |= static_cast<BYTE>(text[i + 1]) << 8;
    if (i + 2 < text.size()) group |= static_cast<BYTE>(text[i + 2]);
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= text.size() - i ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

// Stored values may not contain the separators of the information string.
std::string Clean(std::string text) {
  for (char& c : text) {
    if (c == ';' || c == '|' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

// The demo's still span: the scene's own time stops at `from` while the
// capture's goes on, and runs again from `to`.
struct StillSpan {
  DWORD from = 0;
  DWORD to = 0;
  DWORD Length() const { return to - from; }
  DWORD SceneTime(DWORD time) const { return time < from ? time : time < to ? from : time - Length(); }
};

// Queues the cursor records that bring the pointer from `last` to `now`.
void QueueCursor(CCaptureBuilder& builder, DWORD time, const DemoPointer& now, const DemoPointer* last,
                 CaptureSummary& summary) {
  BYTE flags = 0;
  if (!last)
    flags = CCaptureCursor::kHasPosition | CCaptureCursor::kHasShape | CCaptureCursor::kHasClick;
  else {
    if (now.x != last->x || now.y != last->y || now.textShape != last->textShape) flags |= CCaptureCursor::kHasPosition;
    if (now.textShape != last->textShape) flags |= CCaptureCursor::kHasShape;
    if (now.buttons != last->buttons) flags |= CCaptureCursor::kHasClick;
  }
  if (!flags) return;
  builder.Queue(MakeCursorRecord(time, flags, now.x, now.y, now.textShape ? TextCursor() : ArrowCursor(), now.buttons));
  ++summary.cursorRecords;
}

bool QueueCamera(CCaptureBuilder& builder, const CDemoScene& scene, DWORD lengthMs, const StillSpan& still,
                 CaptureSummary& summary, std::string& error) {
  CCanvas picture(CDemoScene::kCameraWidth, CDemoScene::kCameraHeight);
  std::vector<BYTE> rgb, jpeg;
  for (DWORD time = 0; time <= lengthMs; time += kCameraIntervalMs) {
    scene.DrawCamera(still.SceneTime(time), picture);
    picture.ToRgbRows(rgb);
    if (!EncodeJpeg(rgb, picture.GetWidth(), picture.GetHeight(), 80, jpeg, error)) return false;
    builder.Queue(MakeCameraRecord(time, jpeg, picture.GetWidth(), picture.GetHeight()));
    ++summary.cameraRecords;
  }
  return true;
}

bool QueueSound(CCaptureBuilder& builder, const std::vector<BYTE>& pcm, const CaptureAudioFormat& format,
                CaptureSummary& summary, std::string& error) {
  std::vector<CCaptureData*> blocks;
  if (!MakeSoundBlocks(pcm, format, kSoundBlockMs, blocks, error)) return false;
  for (CCaptureData* block : blocks) builder.Queue(block);
  summary.soundRecords += static_cast<unsigned>(blocks.size());
  return true;
}

bool QueueDemoSound(CCaptureBuilder& builder, const CDemoScene& scene, SoundKind kind, DWORD lengthMs,
                    const StillSpan& still, CaptureSummary& summary, std::string& error) {
  CaptureAudioFormat format;
  format.codec = kind == SoundKind::Gsm ? CCaptureAudio::kCodecGsm : CCaptureAudio::kCodecPcm;
  format.samplesPerSecond = kind == SoundKind::Gsm ? kGsmRate : kPcmRate;
  format.bitsPerSample = 16;
  format.channels = 1;
  const auto count = [&](DWORD ms) { return static_cast<std::size_t>(ms) * format.samplesPerSecond / 1000; };
  std::vector<short> samples = scene.MakeSound(format.samplesPerSecond, count(lengthMs - still.Length()));
  if (still.Length()) {
    // Silence over the still span, the scene's sound around it.
    const std::size_t at = std::min(count(still.from), samples.size());
    samples.insert(samples.begin() + static_cast<std::ptrdiff_t>(at), count(still.Length()), 0);
    samples.resize(count(lengthMs), 0);
  }
  std::vector<BYTE> pcm(samples.size() * 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    pcm[2 * i] = static_cast<BYTE>(samples[i]);
    pcm[2 * i + 1] = static_cast<BYTE>(static_cast<unsigned short>(samples[i]) >> 8);
  }
  return QueueSound(builder, pcm, format, summary, error);
}

bool IsKeyFrame(DWORD time, DWORD previousTime, unsigned frame, DWORD keyEveryMs) {
  return frame == 0 || (keyEveryMs && time / keyEveryMs != previousTime / keyEveryMs);
}

}  // namespace

std::vector<std::string> CaptureInfoStrings(const CaptureOptions& options, const char* source) {
  const std::string description = str::Format("%dx%d, %u bits, %u frames a second, %s", options.width, options.height,
                                              options.bits, options.fps, source);
  return {
      "CaptureFile_Version|3;Title|" + Clean(options.title),
      "Generator|olvane-mkcapture;Description|#" + Base64(description) + str::Format(";Length|%u", options.lengthMs)};
}

bool WriteDemoCapture(const std::string& path, const CaptureOptions& options, CaptureSummary& summary,
                      std::string& error) {
  StillSpan still;
  if (options.stillFromMs < options.stillToMs && options.stillToMs <= options.lengthMs)
    still = StillSpan{options.stillFromMs, options.stillToMs};
  const CDemoScene scene(options.width, options.height, options.lengthMs - still.Length());
  CaptureLayout layout;
  layout.width = options.width;
  layout.height = options.height;
  layout.bits = options.bits;
  layout.cursor = options.cursor;
  layout.camera = options.camera;
  layout.cameraWidth = CDemoScene::kCameraWidth;
  layout.cameraHeight = CDemoScene::kCameraHeight;
  layout.audio = options.sound != SoundKind::None;
  CCaptureBuilder builder;
  if (!builder.Create(path, layout)) {
    error = builder.GetError();
    return false;
  }
  if (options.camera && !QueueCamera(builder, scene, options.lengthMs, still, summary, error)) return false;
  if (layout.audio && !QueueDemoSound(builder, scene, options.sound, options.lengthMs, still, summary, error))
    return false;
  CCanvas canvas(options.width, options.height);
  DemoPointer last;
  DWORD previousTime = 0;
  for (unsigned frame = 0;; ++frame) {
    const DWORD time = FrameTime(frame, options.fps);
    if (time > options.lengthMs) break;
    const DemoPointer pointer = scene.GetPointer(still.SceneTime(time));
    if (options.cursor) QueueCursor(builder, time, pointer, frame ? &last : nullptr, summary);
    last = pointer;
    scene.DrawScreen(still.SceneTime(time), canvas);
    const bool key = IsKeyFrame(time, previousTime, frame, options.keyEveryMs);
    if (!builder.AddScreen(time, canvas, key)) {
      error = builder.GetError();
      return false;
    }
    ++summary.pictures;
    summary.keyPictures += key;
    previousTime = time;
  }
  const std::vector<BYTE> annotations = DemoAnnotationArchive(scene, still.from, still.Length());
  if (!annotations.empty()) builder.SetAnnotationArchive(annotations);
  if (!builder.Finish(CaptureInfoStrings(options, "demo session"))) {
    error = builder.GetError();
    return false;
  }
  return true;
}

bool WriteFramesCapture(const std::string& path, const std::string& folder, const std::string& wavPath,
                        const CaptureOptions& options, CaptureSummary& summary, std::string& error) {
  std::vector<std::string> files;
  if (!ListPngFrames(folder, files, error)) return false;
  CCanvas canvas(0, 0);
  if (!LoadPng(files[0], canvas, error)) return false;
  WavSound sound;
  if (!wavPath.empty() && !ReadWavFile(wavPath, sound, error)) return false;
  CaptureOptions effective = options;
  effective.width = canvas.GetWidth();
  effective.height = canvas.GetHeight();
  effective.lengthMs = FrameTime(static_cast<unsigned>(files.size() - 1), options.fps);
  CaptureLayout layout;
  layout.width = canvas.GetWidth();
  layout.height = canvas.GetHeight();
  layout.bits = options.bits;
  layout.audio = !wavPath.empty();
  CCaptureBuilder builder;
  if (!builder.Create(path, layout)) {
    error = builder.GetError();
    return false;
  }
  if (layout.audio) {
    const CaptureAudioFormat format{CCaptureAudio::kCodecPcm, sound.samplesPerSecond, sound.bitsPerSample,
                                    sound.channels};
    if (!QueueSound(builder, sound.data, format, summary, error)) return false;
  }
  DWORD previousTime = 0;
  for (unsigned frame = 0; frame < files.size(); ++frame) {
    if (frame && !LoadPng(files[frame], canvas, error)) return false;
    if (canvas.GetWidth() != layout.width || canvas.GetHeight() != layout.height) {
      error = str::Format("%s is %dx%d, but the first frame is %dx%d; every frame must have the same size",
                          files[frame].c_str(), canvas.GetWidth(), canvas.GetHeight(), layout.width, layout.height);
      return false;
    }
    const DWORD time = FrameTime(frame, options.fps);
    const bool key = IsKeyFrame(time, previousTime, frame, options.keyEveryMs);
    if (!builder.AddScreen(time, canvas, key)) {
      error = builder.GetError();
      return false;
    }
    ++summary.pictures;
    summary.keyPictures += key;
    previousTime = time;
  }
  if (!builder.Finish(CaptureInfoStrings(effective, "PNG frames"))) {
    error = builder.GetError();
    return false;
  }
  return true;
}
