#include "pravex/render/RenderFrames.h"

#include <algorithm>

#include <vector>

#include "glimra/MemoryArchive.h"
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
      m_vars.GetAnnotateData().UpdateAnnotationDisplayList(m_clock.Now(), nullptr);
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
