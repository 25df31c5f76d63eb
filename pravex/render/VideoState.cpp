#include "pravex/render/VideoState.h"

#include <cstring>

#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureVideo.h"
#include "pravex/capture/SharedBuffer.h"

using namespace capture;

CVideoState::~CVideoState() { Clear(); }

void CVideoState::Clear() {
  if (m_frame) m_frame->Release();
  m_frame = nullptr;
  m_frameSize = 0;
  if (m_kept) m_kept->Release();
  m_kept = nullptr;
  m_control.Clear();
}

const BYTE* CVideoState::GetPixels() const { return m_frame ? m_frame->GetBytes() : nullptr; }

bool CVideoState::Apply(CCaptureData* record) {
  if (!record) return false;
  m_control.Note(record->GetRecordType());
  bool applied = false;
  switch (record->GetRecordType()) {
    case kRecordReset:
      if (m_kept) m_kept->Release();
      m_kept = nullptr;
      break;
    case kRecordEndPreroll:
      if (m_kept) {
        if (auto* video = dynamic_cast<CCaptureVideo*>(m_kept)) applied = Decode(*video);
        m_kept->Release();
        m_kept = nullptr;
      }
      break;
    case kRecordVideo:
      if (m_control.IsPreroll()) {
        if (m_kept) m_kept->Release();
        record->AddRef();
        m_kept = record;
      } else if (auto* video = dynamic_cast<CCaptureVideo*>(record)) {
        applied = Decode(*video);
      }
      break;
    default:
      break;
  }
  record->Release();
  return applied;
}

bool CVideoState::Decode(const CCaptureVideo& video) {
  const DWORD width = video.GetWidth();
  const DWORD height = video.GetHeight();
  if (!width || !height || width > 0x7FFFFFFF || height > 0x7FFFFFFF || video.GetBitsPerPixel() != 24) return false;
  const std::uint64_t size = DibImageSize(width, height, 24);
  if (size > kMaxBlockSize) return false;
  CSharedBuffer* frame = nullptr;
  if (video.GetEncoding() == CCaptureVideo::kEncodingJpeg) {
    frame = CSharedBuffer::Allocate(size);
    if (!frame) return false;
    if (!DecodeJpegToDib(video.GetDataBytes(), video.GetDataLength(), width, height, frame->GetBytes(), size)) {
      frame->Release();
      return false;
    }
  } else {
    if (video.GetDataLength() < size || !video.GetDataBuffer()) return false;
    frame = video.GetDataBuffer();
    frame->AddRef();
  }
  if (m_frame) m_frame->Release();
  m_frame = frame;
  m_frameSize = static_cast<DWORD>(size);
  BITMAPINFOHEADER& h = m_info.bmiHeader;
  m_sizeChanged = h.biWidth != static_cast<LONG>(width) || h.biHeight != static_cast<LONG>(height);
  h = BITMAPINFOHEADER{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = static_cast<LONG>(width);
  h.biHeight = static_cast<LONG>(height);
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = video.GetEncoding() == CCaptureVideo::kEncodingJpeg ? BI_RGB : video.GetBitmapCompression();
  h.biSizeImage = m_frameSize;
  return true;
}

CCaptureData* CVideoState::GetStateRecord() {
  if (!m_kept) return nullptr;
  m_kept->AddRef();
  return m_kept;
}
