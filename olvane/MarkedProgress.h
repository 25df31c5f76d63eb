// The player's progress bar with its marks: chapter and pause ticks drawn
// over the LEDs at x = time / duration of the track (spans shaded along the
// bar's foot), the mark's name and time in a tooltip while the pointer rests
// on a tick, a click on a tick asking the player to seek exactly to the
// mark's time, and the thumbnail preview of the time under the pointer.
// Everything else (clicks and drags elsewhere) is the plain bar's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "olvane/ProgressMarks.h"
#include "sintra/widgets/TransLedProgress.h"

class CMyToolTip;
class CThumbnailPreview;
class IThumbnailSource;

class CMarkedProgress : public CTransLedProgress {
 public:
  // To the parent: seek to exactly wParam ms (a tick was clicked).
  static constexpr UINT WM_PROGRESS_MARK_SEEK = WM_APP + 0x1C1;
  // Tick colours: chapters, pause marks; the shade of spans.
  static constexpr COLORREF kChapterColour = RGB(0, 120, 215);
  static constexpr COLORREF kPauseColour = RGB(215, 40, 40);
  static constexpr COLORREF kSpanColour = RGB(240, 190, 60);

  // Thumbnails from the capture; or from `thumbnails` (null: the capture).
  CMarkedProgress();
  explicit CMarkedProgress(std::unique_ptr<IThumbnailSource> thumbnails);
  ~CMarkedProgress() override;

  // A new clip: its duration and marks, the capture and its picture size for
  // the thumbnails; the popups are hidden.
  void SetClip(const std::string& path, DWORD duration, CSize pictureSize);
  // Replaces the marks of one kind (the others stay) and redraws. SetClip
  // clears every kind: marks are set once the clip is open.
  void SetMarks(ProgressMark::Kind kind, std::vector<ProgressMark> marks);
  const CProgressMarks& Marks() const { return m_marks; }
  // The x (client coordinates) where mark `index` is drawn.
  int MarkX(std::size_t index) const;
  // Hides the tick tooltip and the thumbnail.
  void HidePopups();

  CMyToolTip* GetMarkToolTip() { return m_toolTip.get(); }
  CThumbnailPreview* GetThumbnailPreview() { return m_preview.get(); }

 protected:
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  void OnShowWindow(BOOL show, UINT status) override;

 private:
  // The bar's overlay key for the marks: above every other overlay, so ticks
  // stay visible over shaded spans.
  static constexpr int kMarksOverlay = 1000;
  void DrawMarks(CDC& dc, const CRect& client);
  void CreatePopups();
  void ShowHover(CPoint point);

  CProgressMarks m_marks;
  std::unique_ptr<CMyToolTip> m_toolTip;
  std::unique_ptr<CThumbnailPreview> m_preview;
  int m_toolTipMark = -1;
};
