// Skipping idle stretches: while a clip plays, a stretch in which nothing on
// screen, of the cursor or of the sound changes is played for the threshold's
// seconds, then the replay jumps to half a second before the next change.
// Pause marks and chapter starts inside a stretch are never jumped over: a
// jump stops at them, and the time after them counts as a new stretch.
//
// The stretches come from CIdleStretchFinder, run on a worker thread of its
// own per clip, so opening a clip never waits on it; the window thread polls
// for the result in the player's clock tick. The progress bar shades the
// spans that are skipped.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/WinTypes.h"
#include "pravex/capture/IdleStretches.h"

class CDC;
class CRect;
class CTransLedProgress;

namespace player {
// The context menu's "Skip idle stretches" item.
constexpr UINT ID_SKIPIDLE = 33400;
// The progress bar's overlay key for the skipped spans.
constexpr int kSkipIdleOverlay = 20;
}  // namespace player

namespace skipidle {

// Time kept before the change that ends a stretch.
constexpr DWORD kLeadIn = 500;
// Jumps shorter than this are not worth a seek (and its preroll).
constexpr DWORD kMinJump = 200;
// The shortest stretch the finder keeps: the smallest threshold, one second.
constexpr DWORD kMinStretch = 1000;
// The threshold the context menu turns on when none was chosen before.
constexpr int kMenuSeconds = 5;
// The largest threshold taken (a day); larger values are cut to it.
constexpr int kMaxSeconds = 86400;

// The spans a replay skips, ascending. Each stretch is cut into parts at the
// stops (pause marks, chapter starts) inside it before its last kLeadIn; in
// each part the replay plays thresholdMs, then jumps to the next stop, or to
// kLeadIn before the stretch's end in its last part. Empty spans are left out.
std::vector<IdleStretch> SkippedSpans(const std::vector<IdleStretch>& stretches, DWORD thresholdMs,
                                      std::vector<DWORD> stops);
// Where a replay at `now` jumps to: the end of the span holding `now` when
// that is at least kMinJump ahead, else `now` itself.
DWORD JumpTarget(const std::vector<IdleStretch>& spans, DWORD now);

// What the progress bar shades: the spans of a clip of `duration` ms. Shared
// between the player and the bar's painter, so neither outlives the other's
// data.
struct ShadedSpans {
  std::vector<IdleStretch> spans;
  DWORD duration = 0;
};
// Shades the cells of the bar whose middle lies in a span (a span too short
// to hold a cell's middle shades the cell it falls in): each such cell is
// drawn half way between its colour and mid grey.
void DrawShadedSpans(CTransLedProgress& bar, CDC& dc, const CRect& client, const ShadedSpans& shaded);

}  // namespace skipidle

// Finds a clip's idle stretches on a worker thread; the window thread starts
// it and polls for the result, never waiting for the search.
class CIdleStretchSearch {
 public:
  CIdleStretchSearch() = default;
  ~CIdleStretchSearch();
  CIdleStretchSearch(const CIdleStretchSearch&) = delete;
  CIdleStretchSearch& operator=(const CIdleStretchSearch&) = delete;

  // Starts searching `path` (a search under way is cancelled and forgotten).
  void Start(const std::string& path);
  // Cancels a search under way and forgets the result.
  void Reset();
  // Takes a finished search's result; true when a new result was taken.
  bool Poll();
  // The path of the last Start ("" after Reset).
  const std::string& GetPath() const { return m_path; }
  // Whether the result of the last Start has been taken.
  bool HasResult() const { return m_hasResult; }
  // The taken result (empty when the file could not be read).
  const IdleStretchResult& GetResult() const { return m_result; }

 private:
  void Join();

  std::string m_path;
  std::thread m_thread;
  std::atomic<bool> m_cancel{false};
  std::mutex m_mutex;
  bool m_finished = false;    // guarded by m_mutex
  IdleStretchResult m_found;  // guarded by m_mutex
  bool m_hasResult = false;
  IdleStretchResult m_result;
};

// The player's skip-idle state.
struct CSkipIdle {
  int seconds = 0;                           // 0: off
  int menuSeconds = skipidle::kMenuSeconds;  // what the menu turns on
  CIdleStretchSearch search;
  int clipIndex = -1;              // the script entry the spans are for
  bool spansStale = true;          // the spans need computing again
  std::vector<IdleStretch> spans;  // skipped spans of the open clip
  std::shared_ptr<skipidle::ShadedSpans> shaded = std::make_shared<skipidle::ShadedSpans>();
  bool overlayAdded = false;
};
