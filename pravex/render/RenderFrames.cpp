#include "pravex/render/RenderFrames.h"

#include <algorithm>

#include <vector>

#include "glimra/MemoryArchive.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureStreamInfo.h"

using namespace capture;

namespace {

constexpr DWORD kVideoLeadMs = 500;
constexpr DWORD kAudioLeadMs = 2000;

}  // namespace

CRenderFrames::CRenderFrames() = default;

CRenderFrames::~CRenderFrames() {
  Close();
  m_reader.ClearHandlers();
}

int CRenderFrames::Open(const char* path, unsigned long frameRate) {
  m_frameRate = frameRate ? frameRate : 1;
  Close();
  if (!path) return 0;
  m_reader.ClearHandlers();
  m_reader.SetClock(&m_clock);
  m_reader.AddHandler(this, kStreamScreen, 0, true);
  m_reader.AddHandler(this, kStreamCursor, 0, true);
  if (m_vars.GetVideoReplayMode() > 1) m_reader.AddHandler(this, kStreamVideo, kVideoLeadMs, true);
  m_reader.SetFrameRate(static_cast<DWORD>(std::min<unsigned long>(m_frameRate, 0xFFFFFFFFul)));
  if (!m_reader.Open(path, 1)) return 0;
  ReadDescriptions();
  LoadAnnotations();
  if (m_audioPresent && m_renderAudio) {
    m_audioLead = kAudioLeadMs;
    if (FindAudioFormat()) {
      // The ring takes the sound decoded ahead of the frames plus one frame's
      // worth at a time: keep the lead within half of it, so that no block is
      // dropped for want of room.
      const std::uint64_t rate = static_cast<std::uint64_t>(m_audioFormat.samplesPerSecond) * m_audioFormat.channels *
                                 (m_audioFormat.bitsPerSample / 8);
      const std::uint64_t ringMs = rate ? CAudioReplay::kRingSize * 1000ull / rate : kAudioLeadMs;
      const std::uint64_t frameMs = 1000 / m_frameRate;
      const std::uint64_t room = ringMs / 2 > frameMs ? ringMs / 2 - frameMs : 0;
      m_audioLead = static_cast<DWORD>(std::min<std::uint64_t>(kAudioLeadMs, room));
    }
    m_audio.SetClock(&m_clock);
    m_audio.EnableMemoryMode();
    m_reader.AddHandler(&m_audio, kStreamAudio, m_audioLead, true);
  }
  ClearPreview();
  m_open = 1;
  return 1;
}

// Screen size and sound from the stream descriptions; the information table
// from the trailer.
void CRenderFrames::ReadDescriptions() {
  m_information.Clear();
  m_xRes = m_yRes = -1;
  m_audioPresent = 0;
  m_audioFormatKnown = false;
  for (std::size_t i = 0; i < m_reader.GetHeaderCount(); ++i) {
    auto* info = dynamic_cast<CCaptureStreamInfo*>(m_reader.GetHeader(i));
    if (!info) continue;
    if (info->GetDescribedStream() == kStreamScreen) {
      m_xRes = static_cast<int>(std::min<DWORD>(info->GetWidth(), 0x7FFFFFFF));
      m_yRes = static_cast<int>(std::min<DWORD>(info->GetHeight(), 0x7FFFFFFF));
    } else if (info->GetDescribedStream() == kStreamAudio) {
      m_audioPresent = 1;
    }
  }
  m_reader.BuildInfo(m_information);
}

bool CRenderFrames::FindAudioFormat() {
  m_audioFormatKnown = false;
  m_reader.GetSource().SeekTo(m_reader.GetDataStart());
  for (;;) {
    CCaptureData* record = m_reader.ReadRecord(true);
    const DWORD type = record->GetRecordType();
    auto* audio = type == kRecordAudio ? dynamic_cast<CCaptureAudio*>(record) : nullptr;
    if (audio) m_audioFormat = audio->GetFormat();
    record->Release();
    if (audio) {
      m_audioFormatKnown = true;
      return true;
    }
    if (type == kRecordEndOfStream) return false;
  }
}

int CRenderFrames::GetAudioFormat(CaptureAudioFormat& format) const {
  if (!m_open || !m_audioPresent || !m_audioFormatKnown) return 0;
  format = m_audioFormat;
  return 1;
}

// The trailer's annotation archive, read from a copy of its payload.
void CRenderFrames::LoadAnnotations() {
  CSingleLock lock(&m_lock);
  CAnnotateData& annotations = m_vars.GetAnnotateData();
  annotations.RemoveAll();
  const CCaptureData* record = m_reader.GetAnnotationRecord();
  if (m_renderAnnotation && record && record->GetDataBytes() && record->GetDataLength()) {
    std::vector<BYTE> copy(record->GetDataBytes(), record->GetDataBytes() + record->GetDataLength());
    CMemoryArchive archive(copy.data(), static_cast<DWORD>(copy.size()));
    annotations.Load(archive, TRUE);
  }
  annotations.UpdateAnnotationDisplayList(0, nullptr);
}

void CRenderFrames::SetAnnotaionData(int render, const CRect& rect) {
  CSingleLock lock(&m_lock);
  m_vars.GetAnnotateData().SetExportVars(render, rect);
}

int CRenderFrames::Start(unsigned long time) {
  if (!m_open) return 0;
  m_reader.Stop();
  m_frameReady.ResetEvent();
  m_frameTaken.ResetEvent();
  m_endOfFile = 0;
  m_stoppedAfterOneFrame = 0;
  {
    CSingleLock lock(&m_lock);
    m_dirtyAll = true;
  }
  const DWORD start = static_cast<DWORD>(std::min<unsigned long>(time, 0xFFFFFFFFul));
  // One frame at t: t is start and stop time. Otherwise the ticks run from t
  // to the end of the capture.
  const DWORD stop = (start && m_oneFrameMode) ? start : 0;
  return m_reader.Start(start, stop) ? 1 : 0;
}

int CRenderFrames::ProcessData(CCaptureData* record) {
  if (!record) return 1;
  const DWORD type = record->GetRecordType();
  const bool ending = type == kRecordStopped || type == kRecordEndOfStream;
  if (m_endOfFile || m_stoppedAfterOneFrame) {
    // A caller may already wait for a frame that will not come.
    if (ending) {
      m_endOfFile = 1;
      m_frameReady.SetEvent();
    }
    record->Release();
    return 1;
  }
  if (record->GetStreamType() == kStreamScreen && type == kRecordFrameTick) {
    {
      CSingleLock lock(&m_lock);
      const CRect changed = m_vars.GetAnnotateData().UpdateAnnotationDisplayList(m_clock.Now(), nullptr);
      AddDirty(changed);
    }
    m_frameReady.SetEvent();
    m_frameTaken.Wait(INFINITE);
    record->Release();
    return 1;
  }
  if (ending) {
    m_endOfFile = 1;
    m_frameReady.SetEvent();
  }
  return CRenderRoot::ProcessData(record);
}

int CRenderFrames::GetFrame(unsigned char* frame, BITMAPINFOHEADER* header, const CRect& area) {
  if (IsEOF()) return 0;
  m_frameReady.Wait(INFINITE);
  if (m_endOfFile) return 0;
  const int result = RenderFrame(frame, header, area);
  // Marked before the worker runs on, so that the next call returns at once.
  if (m_oneFrameMode) m_stoppedAfterOneFrame = 1;
  m_frameTaken.SetEvent();
  return result;
}

void CRenderFrames::InvalidateScreen() {
  CSingleLock lock(&m_lock);
  m_dirtyAll = true;
}

void CRenderFrames::InvalidateScreenRect(const CRect& rect, int) { InvalidateUpdateArea(rect, 0); }

void CRenderFrames::InvalidateUpdateArea(const CRect& rect, unsigned short) {
  CSingleLock lock(&m_lock);
  AddDirty(rect);
}

void CRenderFrames::AddDirty(const CRect& rect) {
  constexpr std::size_t kMaxAreas = 16;
  if (rect.IsRectEmpty() || m_dirtyAll) return;
  CRect grown = rect;
  // Merged with an area it touches, or that costs little more together.
  for (std::size_t i = 0; i < m_dirty.size(); ++i) {
    CRect both;
    both.UnionRect(m_dirty[i], grown);
    const std::int64_t apart = static_cast<std::int64_t>(m_dirty[i].Width()) * m_dirty[i].Height() +
                               static_cast<std::int64_t>(grown.Width()) * grown.Height();
    if (static_cast<std::int64_t>(both.Width()) * both.Height() <= apart + apart / 4 + 4096) {
      m_dirty.erase(m_dirty.begin() + static_cast<long>(i));
      AddDirty(both);
      return;
    }
  }
  if (m_dirty.size() < kMaxAreas) {
    m_dirty.push_back(grown);
    return;
  }
  for (const CRect& r : m_dirty) grown.UnionRect(grown, r);
  m_dirty.assign(1, grown);
}

int CRenderFrames::GetPicture(ExtractedPicture& picture) {
  if (IsEOF()) return 0;
  m_frameReady.Wait(INFINITE);
  if (m_endOfFile) return 0;
  {
    CSingleLock lock(&m_lock);
    ComposePicture(picture);
  }
  // The composed picture is this thread's until the next composition: the
  // worker reads and applies the next records while it is converted.
  if (m_oneFrameMode) m_stoppedAfterOneFrame = 1;
  m_frameTaken.SetEvent();
  ConvertPicture();
  return 1;
}

int CRenderFrames::CurrentPicture(ExtractedPicture& picture) {
  if (!m_open) return 0;
  CSingleLock lock(&m_lock);
  ComposePicture(picture);
  ConvertPicture();
  return 1;
}

// Joins areas that come within a few pixels of each other: composing one
// area copies a pixel around it and draws the cursor two pixels beyond, which
// must not reach into another area composed before it.
std::vector<CRect> CRenderFrames::SeparateParts(std::vector<CRect> areas) {
  for (bool joined = true; joined;) {
    joined = false;
    for (std::size_t i = 0; i < areas.size() && !joined; ++i) {
      CRect reach = areas[i];
      reach.InflateRect(4, 4);
      for (std::size_t j = i + 1; j < areas.size(); ++j) {
        CRect common;
        if (!common.IntersectRect(reach, areas[j])) continue;
        areas[i].UnionRect(areas[i], areas[j]);
        areas.erase(areas.begin() + static_cast<long>(j));
        joined = true;
        break;
      }
    }
  }
  return areas;
}

void CRenderFrames::ComposePicture(ExtractedPicture& picture) {
  m_conversion = Conversion();
  picture = ExtractedPicture();
  const bool hasPicture = ScreenState().GetPixels() && ScreenState().GetWidth() > 0 && ScreenState().GetHeight() > 0;
  const int width = hasPicture ? ScreenState().GetWidth() : std::max(m_xRes, 1);
  const int height = hasPicture ? ScreenState().GetHeight() : std::max(m_yRes, 1);
  const std::size_t stride = DibStride(static_cast<DWORD>(width), 24);
  const CRect whole(0, 0, width, height);
  if (width != m_pictureW || height != m_pictureH || m_picture.empty()) {
    m_picture.assign(stride * static_cast<std::size_t>(height), 0);
    picture.resized = m_pictureW != width || m_pictureH != height;
    m_pictureW = width;
    m_pictureH = height;
    m_dirtyAll = true;
  }
  std::vector<CRect> areas;
  const bool full = m_dirtyAll;
  if (m_dirtyAll) {
    areas.push_back(whole);
  } else {
    for (const CRect& r : m_dirty) {
      CRect clamped;
      if (clamped.IntersectRect(r, whole)) areas.push_back(clamped);
    }
  }
  m_dirty.clear();
  m_dirtyAll = false;
  CRect changed;
  for (const CRect& r : areas) changed.UnionRect(changed, r);
  if (!hasPicture) {
    if (!changed.IsRectEmpty()) std::fill(m_picture.begin(), m_picture.end(), 0);
  } else if (!changed.IsRectEmpty()) {
    // Magnifying boxes show what lies under them elsewhere. The camera picture
    // is blended into the composed buffer in place: an area that reaches it
    // (its copy from the screen picture grows by a pixel, and areas this close
    // are composed together) has the whole camera rectangle redone with it; a
    // new camera picture marks its rectangle changed itself.
    if (m_vars.GetAnnotation()) {
      for (std::size_t i = 0, n = areas.size(); i < n; ++i) {
        CRect shown;
        if (shown.IntersectRect(m_vars.ProcessIntersect(areas[i]), whole)) areas.push_back(shown);
      }
    }
    CRect video;
    if (GetVideoReplayMode() > 1 && m_vars.GetVideoDisplay() && VideoState().HasFrame() &&
        video.IntersectRect(GetVideoRect(), whole)) {
      CRect reach = video;
      reach.InflateRect(4, 4);
      const bool reached = std::any_of(areas.begin(), areas.end(), [&](const CRect& r) {
        CRect common;
        return common.IntersectRect(r, reach) != 0;
      });
      if (reached)
        areas.push_back(video);
      else
        video.SetRectEmpty();
    }
    for (const CRect& r : areas) changed.UnionRect(changed, r);
    const unsigned char* composed = nullptr;
    if (full) {
      composed = RenderScreen(whole, whole);
    } else {
      // Each apart: annotations are redrawn over the area composed only. The
      // camera picture, blended in place, is blended once, in the part that
      // holds its rectangle (freshly copied there).
      const int display = m_vars.GetVideoDisplay();
      for (const CRect& part : SeparateParts(areas)) {
        CRect inside;
        const bool holdsVideo = !video.IsRectEmpty() && inside.IntersectRect(part, video);
        m_vars.SetVideoDisplay(holdsVideo ? display : 0);
        composed = RenderScreen(whole, part);
      }
      m_vars.SetVideoDisplay(display);
    }
    // What the conversion needs, taken while the states cannot change.
    m_conversion.composed = composed;
    m_conversion.info = GetPictureInfo();
    m_conversion.full = full;
    m_conversion.areas = std::move(areas);
  }
  picture.pixels = m_picture.data();
  picture.width = width;
  picture.height = height;
  picture.stride = stride;
  picture.changed = changed;
}

void CRenderFrames::ConvertPicture() {
  const Conversion& c = m_conversion;
  if (!c.composed) return;
  const int width = m_pictureW, height = m_pictureH;
  const std::size_t stride = DibStride(static_cast<DWORD>(width), 24);
  const std::size_t size = DibStride(static_cast<DWORD>(width), c.info.bmiHeader.biBitCount) * height;
  const BYTE* table = reinterpret_cast<const BYTE*>(c.info.bmiColors);
  const bool paletted = c.info.bmiHeader.biBitCount == 8;
  const bool coloursAgree =
      paletted ? m_convertedColours.size() == sizeof(c.info.bmiColors) &&
                     std::equal(table, table + sizeof(c.info.bmiColors), m_convertedColours.begin())
               : m_convertedColours.empty();
  if (c.full || m_converted.size() != size || !coloursAgree) {
    m_converted.assign(c.composed, c.composed + size);
    if (paletted)
      m_convertedColours.assign(table, table + sizeof(c.info.bmiColors));
    else
      m_convertedColours.clear();
    renderscale::ConvertArea(m_picture.data(), stride, height, c.composed, c.info, CRect(0, 0, width, height));
  } else {
    for (const CRect& r : c.areas)
      renderscale::ConvertChangedArea(m_picture.data(), stride, height, c.composed, c.info, r, m_converted.data());
  }
  m_conversion.composed = nullptr;
}

int CRenderFrames::GetAudio(unsigned char* buffer, int& length) { return m_audio.GetAudio(buffer, length) ? 1 : 0; }

int CRenderFrames::Stop() {
  m_endOfFile = 1;
  m_frameReady.SetEvent();
  m_frameTaken.SetEvent();
  m_reader.Stop();
  return 1;
}

void CRenderFrames::Close() {
  Stop();
  m_reader.Close();
  m_open = 0;
}

unsigned long CRenderFrames::GetTotalFrames() {
  const std::uint64_t product = static_cast<std::uint64_t>(m_reader.GetDuration()) * m_frameRate / 1000;
  if (product == 0) return 0;
  return static_cast<unsigned long>(product - 1);
}
