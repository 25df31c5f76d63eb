// Idle stretches of a capture: spans of replay time in which neither the
// screen, nor the cursor, nor the sound changes. The player skips the long
// ones; the progress bar shades them.
//
// What counts as a change:
// - screen: a delta with a changed area, a geometry change, or a complete
//   picture whose pixels differ from the picture before it (recorders write
//   complete pictures at seek points whether or not anything moved, so these
//   are decoded and compared); "unchanged" records are no change;
// - cursor: a new position, a different shape, or a different click state;
// - sound: a block whose decoded samples are not all silence, from its first
//   to its last loud sample. A sample is silence when its magnitude, scaled
//   to 16 bits, is below kSilenceLevel (about -42 dBFS: room noise and the
//   residue of a speech codec coding silence stay under it). Sound in a
//   format that cannot be played is never heard and counts as silence.
// The camera picture is not looked at: a talking head would keep every
// stretch busy.
//
// The finder reads the file on its own (a reader of its own, so a replay on
// the same file is never disturbed), once from start to end: work bounded by
// the file (every block is bounded by capture::kMaxBlockSize), with a cancel
// flag checked between records.
#pragma once

#include <atomic>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

class CCaptureFileReader;

// A span of replay time [start, end) in ms without a change; `end` is the
// time of the next change (or the end of the capture).
struct IdleStretch {
  DWORD start = 0;
  DWORD end = 0;
  DWORD Length() const { return end - start; }
  bool operator==(const IdleStretch&) const = default;
};

// Collects busy times in any order and keeps the gaps between them that are
// at least a minimum length long. Busy times usually arrive in time order;
// a late one (sound sounds after its record's time, broken files go back in
// time) cuts the stretches it falls into.
class CIdleStretchList {
 public:
  // More stretches than this are not collected (a hostile file could ask for
  // one per record); the list is then marked truncated.
  static constexpr std::size_t kMaxStretches = 65536;

  explicit CIdleStretchList(DWORD minLength);
  // Something changed at every time in [from, to] (from == to: one moment).
  void AddBusy(DWORD from, DWORD to);
  // Closes the list at the capture's end: the time after the last busy time
  // up to `end` is a stretch too, when long enough.
  void Finish(DWORD end);
  std::vector<IdleStretch> Take() const;
  bool IsTruncated() const { return m_truncated; }

 private:
  void Keep(DWORD start, DWORD end);

  DWORD m_minLength;
  DWORD m_busyEnd = 0;  // the latest busy time so far
  bool m_truncated = false;
  std::map<DWORD, DWORD> m_stretches;  // start -> end, disjoint
};

struct IdleStretchResult {
  std::vector<IdleStretch> stretches;  // ascending, disjoint
  DWORD duration = 0;                  // the capture's length in ms
  bool truncated = false;              // more stretches than CIdleStretchList::kMaxStretches
};

class CIdleStretchFinder {
 public:
  // Magnitude (16-bit scale) below which a sample is silence.
  static constexpr int kSilenceLevel = 256;

  // Opens `path` and finds its stretches of at least minLength ms (at least
  // 1). False when the file does not open as a capture or `cancel` was set.
  static bool Find(const std::string& path, DWORD minLength, IdleStretchResult& result,
                   const std::atomic<bool>* cancel = nullptr);
  // The same on a reader that is open and not replaying; its file position
  // is moved.
  static bool Find(CCaptureFileReader& reader, DWORD minLength, IdleStretchResult& result,
                   const std::atomic<bool>* cancel = nullptr);
};
