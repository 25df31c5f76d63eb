// Skipping idle stretches: the plan of what is skipped, the search worker,
// the shading on the progress bar, and the player's commands and tick.
#include "olvane/SkipIdle.h"

#include <algorithm>
#include <cmath>

#include "glimra/AnnotateData.h"
#include "olvane/PlayerWnd.h"
#include "platform/gfx/DC.h"
#include "platform/ui/Menu.h"
#include "sintra/widgets/TransLedProgress.h"

using namespace player;

// --- The plan ---------------------------------------------------------------------

namespace skipidle {

std::vector<IdleStretch> SkippedSpans(const std::vector<IdleStretch>& stretches, DWORD thresholdMs,
                                      std::vector<DWORD> stops) {
  std::sort(stops.begin(), stops.end());
  std::vector<IdleStretch> spans;
  const auto add = [&](std::uint64_t from, std::uint64_t to) {
    if (from < to) spans.push_back(IdleStretch{static_cast<DWORD>(from), static_cast<DWORD>(to)});
  };
  for (const IdleStretch& s : stretches) {
    if (s.end <= s.start || s.end < kLeadIn) continue;
    // Stops between the stretch's start and the last jump's target end its
    // parts; one in the last half second is played up to anyway.
    const DWORD last = s.end - kLeadIn;
    std::uint64_t partStart = s.start;
    auto it = std::upper_bound(stops.begin(), stops.end(), s.start);
    for (; it != stops.end() && *it < last; ++it) {
      add(partStart + thresholdMs, *it);
      partStart = *it;
    }
    add(partStart + thresholdMs, last);
  }
  return spans;
}

DWORD JumpTarget(const std::vector<IdleStretch>& spans, DWORD now) {
  // The last span starting at or before now.
  auto it = std::upper_bound(spans.begin(), spans.end(), now,
                             [](DWORD t, const IdleStretch& span) { return t < span.start; });
  if (it == spans.begin()) return now;
  --it;
  if (now >= it->end || it->end - now < kMinJump) return now;
  return it->end;
}

namespace {

// Half way between a colour and mid grey.
COLORREF Greyed(COLORREF colour) {
  const auto mix = [](BYTE c) { return static_cast<BYTE>((c + 0x80u) / 2); };
  return RGB(mix(GetRValue(colour)), mix(GetGValue(colour)), mix(GetBValue(colour)));
}

}  // namespace

void DrawShadedSpans(CTransLedProgress& bar, CDC& dc, const CRect& client, const ShadedSpans& shaded) {
  const CLedLayout& layout = bar.Layout();
  if (shaded.duration == 0 || shaded.spans.empty() || layout.cells < 1 || layout.rows < 1) return;
  const std::vector<CRect> rects = layout.CellRects(client);
  const double cells = layout.cells;
  const double duration = shaded.duration;
  std::vector<bool> shade(static_cast<std::size_t>(layout.cells), false);
  for (const IdleStretch& span : shaded.spans) {
    // Cells whose middle ((i + 0.5) / cells of the duration) lies in the span.
    const double from = std::ceil(span.start * cells / duration - 0.5);
    const double to = std::ceil(span.end * cells / duration - 0.5) - 1;
    int first = static_cast<int>(std::clamp(from, 0.0, cells - 1));
    int last = static_cast<int>(std::clamp(to, -1.0, cells - 1));
    if (last < first) {
      const double middle = (static_cast<double>(span.start) + span.end) / 2;
      first = last = static_cast<int>(std::clamp(std::floor(middle * cells / duration), 0.0, cells - 1));
    }
    for (int i = first; i <= last; ++i) shade[static_cast<std::size_t>(i)] = true;
  }
  const std::size_t rows = static_cast<std::size_t>(layout.rows);
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const std::size_t cell = i / rows;
    if (cell >= shade.size() || !shade[cell]) continue;
    dc.FillSolidRect(&rects[i], Greyed(dc.GetPixel(rects[i].left, rects[i].top)));
  }
}

}  // namespace skipidle

// --- The search worker --------------------------------------------------------------

CIdleStretchSearch::~CIdleStretchSearch() { Reset(); }

void CIdleStretchSearch::Join() {
  m_cancel = true;
  if (m_thread.joinable()) m_thread.join();
  m_cancel = false;
}

void CIdleStretchSearch::Reset() {
  Join();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_finished = false;
  m_found = IdleStretchResult{};
  m_path.clear();
  m_hasResult = false;
  m_result = IdleStretchResult{};
}

void CIdleStretchSearch::Start(const std::string& path) {
  Reset();
  m_path = path;
  m_thread = std::thread([this, path] {
    IdleStretchResult found;
    if (!CIdleStretchFinder::Find(path, skipidle::kMinStretch, found, &m_cancel) && m_cancel) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_found = std::move(found);
    m_finished = true;
  });
}

bool CIdleStretchSearch::Poll() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_finished) return false;
    m_finished = false;
    m_result = std::move(m_found);
    m_found = IdleStretchResult{};
  }
  m_hasResult = true;
  if (m_thread.joinable()) m_thread.join();  // it has finished its work
  return true;
}

// --- The player ---------------------------------------------------------------------

void CPlayerWnd::SetSkipIdle(int seconds) {
  seconds = std::clamp(seconds, 0, skipidle::kMaxSeconds);
  CSkipIdle& s = *m_skipIdle;
  if (seconds == s.seconds) return;
  s.seconds = seconds;
  if (seconds > 0) s.menuSeconds = seconds;
  s.spansStale = true;
  if (seconds == 0) {
    s.spans.clear();
    s.shaded->spans.clear();
    if (m_progress && m_progress->GetSafeHwnd()) m_progress->Invalidate(FALSE);
  }
  SkipIdleTick();
}

int CPlayerWnd::GetSkipIdle() const { return m_skipIdle->seconds; }

bool CPlayerWnd::IsSkipIdleReady() const {
  const CSkipIdle& s = *m_skipIdle;
  return s.seconds > 0 && m_clipLoaded && s.search.HasResult() && !s.spansStale &&
         s.search.GetPath() == m_reader.GetFileName();
}

void CPlayerWnd::ToggleSkipIdle() { SetSkipIdle(m_skipIdle->seconds > 0 ? 0 : m_skipIdle->menuSeconds); }

void CPlayerWnd::AddSkipIdleMenuItem(CMenu& popup) {
  popup.AppendMenu(MF_SEPARATOR);
  popup.AppendMenu(MF_STRING | (m_skipIdle->seconds > 0 ? MF_CHECKED : MF_UNCHECKED), ID_SKIPIDLE,
                   "Skip idle stretches");
}

// The skipped spans from the stretches, the pause marks and the chapter
// starts of the open clip, and the progress bar's shading of them.
void CPlayerWnd::UpdateSkippedSpans() {
  CSkipIdle& s = *m_skipIdle;
  std::vector<DWORD> stops = m_reader.PauseMarkTimes();
  for (int i : Chapters()) stops.push_back(ChapterStart(i));
  s.spans = skipidle::SkippedSpans(s.search.GetResult().stretches, static_cast<DWORD>(s.seconds) * 1000, stops);
  s.spansStale = false;
  s.shaded->spans = s.spans;
  s.shaded->duration = m_clipDuration;
  if (!m_progress) return;
  if (!s.overlayAdded) {
    std::shared_ptr<const skipidle::ShadedSpans> shaded = s.shaded;
    m_progress->SetOverlay(kSkipIdleOverlay, [shaded](CTransLedProgress& bar, CDC& dc, const CRect& client) {
      skipidle::DrawShadedSpans(bar, dc, client, *shaded);
    });
    s.overlayAdded = true;
  }
  if (m_progress->GetSafeHwnd()) m_progress->Invalidate(FALSE);
}

void CPlayerWnd::SkipIdleTick() {
  CSkipIdle& s = *m_skipIdle;
  if (s.seconds <= 0 || !m_clipLoaded) return;
  // A new clip (or the first with skipping on): search it in the background.
  if (s.search.GetPath() != m_reader.GetFileName()) {
    s.search.Start(m_reader.GetFileName());
    s.spans.clear();
    s.shaded->spans.clear();
    s.spansStale = true;
    if (m_progress && m_progress->GetSafeHwnd()) m_progress->Invalidate(FALSE);
  }
  // A script may hold one file twice, with other pause marks.
  if (s.clipIndex != m_clipIndex) {
    s.clipIndex = m_clipIndex;
    s.spansStale = true;
  }
  if (s.search.Poll()) s.spansStale = true;
  // The pause marks are read under the reader lock, which a preroll holds.
  if (s.spansStale && s.search.HasResult() && !m_reader.IsInPreroll()) UpdateSkippedSpans();
  if (s.spansStale) return;
  // Jumps wait while the user or a pause mark holds the replay, and, like the
  // progress bar's seeks, until a preroll is over.
  if (!IsPlaying() || m_paused || m_tracking || m_seekPending) return;
  if (!m_reader.IsRunning() || m_reader.IsInPreroll() || m_reader.IsPaused() || m_reader.IsHolding()) return;
  const DWORD now = m_clock.Now();
  const DWORD target = skipidle::JumpTarget(s.spans, now);
  if (target != now) PlayFrom(target, 0);
}
