// The thumbnail worker's source of pictures: a frame extractor of its own,
// on its own reader of the capture, in one-frame mode, scaled down smoothly.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "olvane/ThumbnailWorker.h"
#include "pravex/render/RenderFrames.h"

namespace {

// The extractor never speaks to the player: whatever a renderer would tell
// the main window (end of file, first frame) stays on the worker.
class CThumbnailFrames : public CRenderFrames {
 public:
  CWnd* GetMainWnd() override { return nullptr; }
};

class CCaptureThumbnailSource : public IThumbnailSource {
 public:
  bool Open(const std::string& path) override {
    m_frames = std::make_unique<CThumbnailFrames>();
    m_frames->SetRenderAudio(0);
    m_frames->SetOneFrameMode();
    // One picture a second is all a thumbnail needs of the frame clock.
    if (path.empty() || !m_frames->Open(path.c_str(), 10)) {
      m_frames.reset();
      return false;
    }
    return m_frames->GetXRes() > 0 && m_frames->GetYRes() > 0;
  }

  std::shared_ptr<Thumbnail> Make(int second) override {
    if (!m_frames || second < 0) return nullptr;
    const unsigned long time = static_cast<unsigned long>(second) * 1000ul;
    if (!m_frames->Start(time)) return nullptr;
    // Past the end the last picture is the one shown.
    ExtractedPicture picture;
    if (!m_frames->GetPicture(picture)) m_frames->CurrentPicture(picture);
    m_frames->Stop();
    return Scale(picture);
  }

 private:
  static std::shared_ptr<Thumbnail> Scale(const ExtractedPicture& picture) {
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0 ||
        picture.stride < static_cast<std::size_t>(picture.width) * 3)
      return nullptr;
    const CSize size = FitThumbnail(picture.width, picture.height);
    auto thumbnail = std::make_shared<Thumbnail>();
    thumbnail->width = size.cx;
    thumbnail->height = size.cy;
    thumbnail->stride = (static_cast<std::size_t>(size.cx) * 3 + 3) & ~static_cast<std::size_t>(3);
    thumbnail->pixels.assign(thumbnail->stride * static_cast<std::size_t>(size.cy), 0);
    // The picture is stored bottom-up; the scaler reads top-down rows.
    std::vector<const unsigned char*> rows(static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
      rows[static_cast<std::size_t>(y)] =
          picture.pixels + static_cast<std::size_t>(picture.height - 1 - y) * picture.stride;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = size.cx;
    header.biHeight = size.cy;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(thumbnail->pixels.size());
    renderscale::ScaleRows(thumbnail->pixels.data(), header, rows.data(), picture.width, picture.height, true);
    return thumbnail;
  }

  std::unique_ptr<CThumbnailFrames> m_frames;
};

}  // namespace

std::unique_ptr<IThumbnailSource> MakeCaptureThumbnailSource() { return std::make_unique<CCaptureThumbnailSource>(); }
