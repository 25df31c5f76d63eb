// The player's side of the progress-bar marks: the open clip's chapters and
// pause marks handed to the bar, and the exact seek a clicked tick asks for.
#include <algorithm>

#include "glimra/AnnotateData.h"
#include "glimra/AnnotateList.h"
#include "olvane/MarkedProgress.h"
#include "olvane/PlayerWnd.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureStreamInfo.h"

CMarkedProgress* CPlayerWnd::GetMarkedProgress() { return static_cast<CMarkedProgress*>(m_progress.get()); }

void CPlayerWnd::UpdateProgressMarks() {
  CMarkedProgress* bar = GetMarkedProgress();
  if (!bar) return;
  CSize picture(0, 0);
  for (std::size_t i = 0; i < m_reader.GetHeaderCount(); ++i) {
    auto* info = dynamic_cast<CCaptureStreamInfo*>(m_reader.GetHeader(i));
    if (!info || info->GetDescribedStream() != capture::kStreamScreen) continue;
    picture = CSize(static_cast<int>(std::min<DWORD>(info->GetWidth(), 32768)),
                    static_cast<int>(std::min<DWORD>(info->GetHeight(), 32768)));
    break;
  }
  bar->SetClip(GetClipPath(), m_clipDuration, picture);
  // Chapters start where a jump to them starts replay.
  std::vector<ProgressMark> chapters;
  for (int i : Chapters()) {
    ProgressMark mark;
    mark.start = ChapterStart(i);
    mark.name = m_renderVars.GetAnnotateData().GetListAt(i)->GetComment();
    chapters.push_back(std::move(mark));
  }
  bar->SetMarks(ProgressMark::Kind::Chapter, std::move(chapters));
  // Pause marks as the reader holds them, the clip's closing pause included.
  std::vector<ProgressMark> pauses;
  for (DWORD time : m_reader.PauseMarkTimes()) {
    ProgressMark mark;
    mark.start = time;
    pauses.push_back(std::move(mark));
  }
  bar->SetMarks(ProgressMark::Kind::Pause, std::move(pauses));
}

void CPlayerWnd::SeekExactly(DWORD time) {
  if (!m_clipLoaded || m_tracking) return;
  // The steps of a click on the bar, with the exact time in place of the
  // percent the LEDs stand for.
  OnProgressDragBegin();
  m_seekPending = true;
  m_pendingSeek = std::min(time, m_clipDuration);
  OnProgressDragEnd();
}
