// The picture of the capture at the time under the pointer, shown while the
// pointer rests over the progress bar: a small popup above the pointer with
// the thumbnail (about 160 pixels wide) and the time "MM:SS" under it. The
// pictures come from a thumbnail worker; until the wanted one arrives the
// last picture shown stays (or a dark face), with the new time already under
// it. Nothing here waits for the worker.
#pragma once

#include <memory>
#include <string>

#include "olvane/ThumbnailWorker.h"
#include "platform/gfx/Font.h"
#include "platform/ui/Wnd.h"

class CThumbnailPreview : public CWnd {
 public:
  // Posted by the worker to this window: wParam the second, lParam the generation.
  static constexpr UINT WM_THUMBNAIL_READY = WM_APP + 0x1C0;
  static constexpr int kTextHeight = 16;  // the time line under the picture
  static constexpr int kGap = 4;          // between the popup and the pointer's point

  // A null source is the capture source.
  explicit CThumbnailPreview(std::unique_ptr<IThumbnailSource> source = nullptr);
  ~CThumbnailPreview() override;

  using CWnd::Create;
  // A hidden popup owned by `owner`.
  BOOL Create(CWnd* owner);
  // A new clip: hidden, the old clip's pictures forgotten. `pictureSize` is
  // the capture's picture size (the popup's shape before its first picture).
  void SetClip(const std::string& path, CSize pictureSize);
  // Shows the picture of `time` with its bottom edge centred kGap above
  // `anchor` (screen coordinates), kept on the work area.
  void ShowAt(DWORD time, CPoint anchor);
  void HidePreview();

  bool IsShown() const { return m_hWnd && IsWindowVisible(); }
  // The second asked for, and the second of the picture shown (-1: none).
  int WantedSecond() const { return m_wantedSecond; }
  int ShownSecond() const { return m_picture ? m_picture->second : -1; }
  const std::string& TimeText() const { return m_timeText; }
  // The picture area in client coordinates.
  CRect PictureRect() const;
  CThumbnailWorker& Worker() { return m_worker; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

 private:
  void OnThumbnailReady(int second, unsigned generation);
  CSize PopupSize() const;
  void Place();

  CThumbnailWorker m_worker;
  CFont m_font;
  unsigned m_generation = 0;
  CSize m_pictureSize{kThumbnailMaxWidth, kThumbnailMaxHeight};
  std::shared_ptr<const Thumbnail> m_picture;  // what is shown
  int m_wantedSecond = -1;
  std::string m_timeText;
  CPoint m_anchor;
};
