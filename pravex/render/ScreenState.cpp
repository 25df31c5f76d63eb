#include "pravex/render/ScreenState.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/SharedBuffer.h"

using namespace capture;

namespace {

// A fixed colour table for 8-bit pictures, whose records carry none: the
// 6 x 6 x 6 colour cube (index 36 r + 6 g + b, levels in steps of 51) that
// the recorder and the capture tools use, then a ramp of greys.
void FillEightBitColours(BITMAPINFO& info) {
  for (int i = 0; i < 256; ++i) {
    RGBQUAD& q = info.bmiColors[i];
    if (i < 216) {
      q.rgbRed = static_cast<BYTE>(i / 36 * 51);
      q.rgbGreen = static_cast<BYTE>(i / 6 % 6 * 51);
      q.rgbBlue = static_cast<BYTE>(i % 6 * 51);
    } else {
      q.rgbRed = q.rgbGreen = q.rgbBlue = static_cast<BYTE>((i - 216) * 255 / 39);
    }
    q.rgbReserved = 0;
  }
}

}  // namespace

CScreenState::CScreenState() : m_codec(false, true) {}

CScreenState::~CScreenState() { ReleasePicture(); }

void CScreenState::ReleasePicture() {
  if (m_picture) m_picture->Release();
  m_picture = nullptr;
  m_pixelSize = 0;
}

void CScreenState::Clear() {
  ReleasePicture();
  m_codec.Reset();
  m_changed.SetRectEmpty();
  m_control.Clear();
}

BYTE* CScreenState::GetPixels() const { return m_picture ? m_picture->GetBytes() : nullptr; }

int CScreenState::GetHeight() const { return std::abs(m_info.bmiHeader.biHeight); }

bool CScreenState::Apply(CCaptureData* record) {
  if (!record) return false;
  const DWORD type = record->GetRecordType();
  m_control.Note(type);
  bool changed = false;
  if (type == kRecordReset) {
    ReleasePicture();
    m_codec.Reset();
  } else if (type == kRecordScreen) {
    changed = ApplyPicture(record);
  }
  record->Release();
  return changed;
}

bool CScreenState::ApplyPicture(CCaptureData* record) {
  auto* screen = dynamic_cast<CCaptureScreen*>(record);
  if (!screen) return false;
  if (screen->GetEncoding() != kScreenDecoded && !m_codec.Decode(*screen)) return false;
  if (screen->GetEncoding() != kScreenDecoded) return false;
  const DWORD width = screen->GetWidth();
  const DWORD height = screen->GetHeight();
  const WORD bits = screen->GetBitsPerPixel();
  std::uint64_t needed = 0;
  if (!CScreenCodec::IsValidGeometry(width, height, bits, &needed) || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
    return false;
  CSharedBuffer* data = screen->GetDataBuffer();
  // Every row the renderers walk must be inside the block.
  if (!data || screen->GetDataLength() < needed) return false;
  data->AddRef();
  ReleasePicture();
  m_picture = data;
  m_pixelSize = static_cast<DWORD>(needed);
  m_stride = static_cast<DWORD>(DibStride(width, bits));
  FillHeader(width, height, bits, screen->GetBitmapCompression());
  const CRect whole(0, 0, static_cast<int>(width), static_cast<int>(height));
  if (m_control.IsPreroll()) {
    m_changed = whole;
  } else {
    m_changed.IntersectRect(screen->GetChangedRect(), whole);
  }
  return true;
}

void CScreenState::FillHeader(DWORD width, DWORD height, WORD bits, DWORD compression) {
  BITMAPINFOHEADER& h = m_info.bmiHeader;
  h = BITMAPINFOHEADER{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = static_cast<LONG>(width);
  h.biHeight = -static_cast<LONG>(height);
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = compression;
  h.biSizeImage = m_pixelSize;
  if (bits == 16) {
    h.biCompression = BI_BITFIELDS;
    h.biClrUsed = 3;
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(m_info.bmiColors, masks, sizeof(masks));
  } else if (bits == 8) {
    FillEightBitColours(m_info);
  }
}

CCaptureData* CScreenState::GetStateRecord() {
  if (!m_picture) return nullptr;
  auto* record = new CCaptureScreen();
  record->SetStreamType(kStreamScreen);
  record->SetGeometry(static_cast<DWORD>(GetWidth()), static_cast<DWORD>(GetHeight()),
                      static_cast<WORD>(GetBitCount()));
  record->SetEncoding(kScreenDecoded);
  record->SetChangedRect(0, 0, static_cast<WORD>(std::min(GetWidth(), 0xFFFF)),
                         static_cast<WORD>(std::min(GetHeight(), 0xFFFF)));
  record->SetFlags((record->GetFlags() & ~kFlagDelta) | kFlagComplete);
  CScreenCodec encoder(true, false);
  if (!record->SetDataCopy(GetPixels(), m_pixelSize) || !encoder.Encode(*record, true)) {
    record->Release();
    return nullptr;
  }
  return record;
}
