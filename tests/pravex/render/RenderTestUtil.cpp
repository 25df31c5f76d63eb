#include "tests/pravex/render/RenderTestUtil.h"

#include <cstring>
#include <thread>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"
#include "glimra/AnnotateList.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/CaptureVideo.h"

using namespace capture;

namespace rendertest {

void CTestRenderer::ResizeParent() {
  calls.push_back("resize");
  // The lock is re-entrant: only another thread can tell whether it is held.
  std::thread probe([this] {
    if (GetLock().TryLock())
      GetLock().Unlock();
    else
      lockHeldAtResize = true;
  });
  probe.join();
}

unsigned char* CTestRenderer::ComposeAll() {
  int w = 0, h = 0;
  GetSize(w, h);
  return RenderScreen(CRect(0, 0, w, h), CRect(0, 0, w, h));
}

int CTestRenderer::Count(const char* call) const {
  int n = 0;
  for (const char* c : calls) n += std::strcmp(c, call) == 0;
  return n;
}

std::vector<BYTE> FlatPicture(int width, int height, WORD bits, WORD value) {
  const std::size_t stride = DibStride(width, bits);
  std::vector<BYTE> pixels(stride * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      BYTE* p = pixels.data() + y * stride + x * (bits / 8);
      if (bits == 16) {
        p[0] = static_cast<BYTE>(value);
        p[1] = static_cast<BYTE>(value >> 8);
      } else {
        p[0] = static_cast<BYTE>((value << 3) & 0xF8);
        p[1] = static_cast<BYTE>((value >> 3) & 0xFC);
        p[2] = static_cast<BYTE>((value >> 8) & 0xF8);
      }
    }
  }
  return pixels;
}

CCaptureData* ScreenRecord(const std::vector<BYTE>& pixels, int width, int height, WORD bits, const CRect& changed,
                           DWORD time) {
  auto* record = new CCaptureScreen();
  record->SetStreamType(kStreamScreen);
  record->SetTime(time);
  record->SetGeometry(width, height, bits);
  record->SetEncoding(kScreenRaw);
  record->SetChangedRect(static_cast<WORD>(changed.left), static_cast<WORD>(changed.top),
                         static_cast<WORD>(changed.right), static_cast<WORD>(changed.bottom));
  record->SetDataCopy(pixels.data(), static_cast<DWORD>(pixels.size()));
  return record;
}

CCaptureData* Control(DWORD type, WORD stream, DWORD time) { return CCaptureData::CreateControl(type, stream, time); }

CCaptureData* MonoCursor(int w, int h, const std::vector<MonoPixel>& pixels, int x, int y, int hotX, int hotY,
                         BYTE click) {
  const std::size_t row = CCaptureCursor::MaskRowBytes(static_cast<std::uint64_t>(w));
  std::vector<BYTE> data(2 * row * h, 0);
  std::memset(data.data(), 0xFF, row * h);  // AND 1: transparent
  for (const MonoPixel& p : pixels) {
    const BYTE bit = static_cast<BYTE>(0x80 >> (p.x % 8));
    BYTE& a = data[p.y * row + p.x / 8];
    BYTE& b = data[row * h + p.y * row + p.x / 8];
    a = p.andBit ? (a | bit) : (a & ~bit);
    b = p.xorBit ? (b | bit) : (b & ~bit);
  }
  auto* record = new CCaptureCursor();
  record->SetContentFlags(CCaptureCursor::kHasPosition | CCaptureCursor::kHasShape | CCaptureCursor::kHasClick);
  record->SetShape(false, 0, static_cast<WORD>(w), static_cast<WORD>(h), 1, 0);
  record->SetPosition(x, y, hotX, hotY);
  record->SetClickState(click);
  record->SetDataCopy(data.data(), static_cast<DWORD>(data.size()));
  return record;
}

CCaptureData* ColourCursor(int w, int h, WORD bits, WORD value, int x, int y) {
  const std::size_t mask = CCaptureCursor::MaskRowBytes(static_cast<std::uint64_t>(w)) * h;
  const std::size_t colourRow = CCaptureCursor::ColourRowBytes(static_cast<std::uint64_t>(w), bits);
  std::vector<BYTE> data(mask + colourRow * h, 0);
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c) {
      BYTE* p = data.data() + mask + r * colourRow + c * (bits / 8);
      p[0] = static_cast<BYTE>(value);
      p[1] = static_cast<BYTE>(value >> 8);
      if (bits == 24) p[2] = 0x77;
    }
  }
  auto* record = new CCaptureCursor();
  record->SetContentFlags(CCaptureCursor::kHasPosition | CCaptureCursor::kHasShape);
  record->SetShape(true, 0, static_cast<WORD>(w), static_cast<WORD>(h), bits, static_cast<WORD>(mask));
  record->SetPosition(x, y, 0, 0);
  record->SetDataCopy(data.data(), static_cast<DWORD>(data.size()));
  return record;
}

CCaptureData* CursorMove(int x, int y, int hotX, int hotY, BYTE click) {
  auto* record = new CCaptureCursor();
  record->SetContentFlags(CCaptureCursor::kHasPosition | CCaptureCursor::kHasClick);
  record->SetPosition(x, y, hotX, hotY);
  record->SetClickState(click);
  return record;
}

CCaptureData* CursorClick(BYTE click) {
  auto* record = new CCaptureCursor();
  record->SetContentFlags(CCaptureCursor::kHasClick);
  record->SetClickState(click);
  return record;
}

CCaptureData* VideoFrame(int width, int height, BYTE (*red)(int, int), BYTE (*green)(int, int),
                         BYTE (*blue)(int, int)) {
  const std::size_t stride = DibStride(width, 24);
  std::vector<BYTE> pixels(stride * height, 0);
  for (int y = 0; y < height; ++y) {
    BYTE* row = pixels.data() + (height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      row[3 * x] = blue(x, y);
      row[3 * x + 1] = green(x, y);
      row[3 * x + 2] = red(x, y);
    }
  }
  auto* record = new CCaptureVideo();
  record->SetEncoding(0);
  record->SetGeometry(width, height, 24);
  record->SetPictureSize(static_cast<DWORD>(pixels.size()));
  record->SetDataCopy(pixels.data(), static_cast<DWORD>(pixels.size()));
  return record;
}

WORD Pixel16(const unsigned char* picture, int width, int x, int y) {
  const unsigned char* p = picture + y * DibStride(width, 16) + 2 * x;
  return static_cast<WORD>(p[0] | (p[1] << 8));
}

}  // namespace rendertest

void rendertest::AddOpaqueBox(CAnnotateData& set, DWORD start, DWORD delay) {
  CAnnotateList* list = set.AddNew(start);
  list->SetDelay(delay);
  auto* box = new CAnnotateBox(0);
  box->SetRect(CRect(4, 4, 12, 10));
  box->SetTransparency(0);
  box->SetColor(RGB(255, 0, 0));
  box->SetOutlineColor(RGB(0, 0, 255));
  list->Add(box);
  list->UpdateBoundingRect();
}
