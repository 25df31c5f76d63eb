#include "olvane/ProgressMarks.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/base/Strings.h"

namespace {
constexpr std::size_t kMaxNameBytes = 120;
}  // namespace

void CProgressMarks::SetMarks(ProgressMark::Kind kind, std::vector<ProgressMark> marks) {
  std::erase_if(m_marks, [kind](const ProgressMark& m) { return m.kind == kind; });
  for (ProgressMark& m : marks) {
    m.kind = kind;
    if (m.end < m.start || kind != ProgressMark::Kind::Span) m.end = m.start;
    m_marks.push_back(std::move(m));
  }
  std::stable_sort(m_marks.begin(), m_marks.end(),
                   [](const ProgressMark& a, const ProgressMark& b) { return a.start < b.start; });
}

int CProgressMarks::XForTime(DWORD time, DWORD duration, int left, int right) {
  if (right <= left) return left;
  if (duration == 0 || time >= duration) return right;
  return left + static_cast<int>(static_cast<std::int64_t>(right - left) * time / duration);
}

DWORD CProgressMarks::TimeAtX(int x, const CRect& track) const {
  if (x <= track.left || track.right <= track.left) return 0;
  if (x >= track.right) return m_duration;
  return static_cast<DWORD>(static_cast<std::uint64_t>(x - track.left) * m_duration /
                            static_cast<std::uint64_t>(track.right - track.left));
}

int CProgressMarks::TickAt(int x, const CRect& track) const {
  int best = -1;
  int bestDistance = kHitZone + 1;
  for (std::size_t i = 0; i < m_marks.size(); ++i) {
    if (!m_marks[i].IsTick()) continue;
    const int distance = std::abs(x - XForTime(m_marks[i].start, track));
    // The first of ticks drawn on one pixel wins: it is the earliest.
    if (distance < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  }
  return best;
}

std::string CProgressMarks::FormatTime(DWORD ms) {
  const DWORD seconds = ms / 1000;
  return str::Format("%02lu:%02lu", static_cast<unsigned long>(seconds / 60), static_cast<unsigned long>(seconds % 60));
}

namespace {

std::string MarkName(const ProgressMark& mark) {
  std::string name = mark.kind == ProgressMark::Kind::Pause ? std::string("Pause") : mark.name;
  // A long name is cut at a character boundary, so the tooltip stays one short line.
  if (name.size() > kMaxNameBytes) {
    std::size_t cut = kMaxNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name;
}

}  // namespace

std::string CProgressMarks::Label(const ProgressMark& mark) {
  const std::string name = MarkName(mark);
  return name.empty() ? FormatTime(mark.start) : name + "  " + FormatTime(mark.start);
}

std::string CProgressMarks::TickText(int index, const CRect& track) const {
  if (index < 0 || static_cast<std::size_t>(index) >= m_marks.size() ||
      !m_marks[static_cast<std::size_t>(index)].IsTick())
    return {};
  const ProgressMark& first = m_marks[static_cast<std::size_t>(index)];
  const int x = XForTime(first.start, track);
  std::vector<std::string> seen;
  std::string names;
  for (const ProgressMark& m : m_marks) {
    if (!m.IsTick() || XForTime(m.start, track) != x) continue;
    std::string name = MarkName(m);
    if (name.empty() || std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
    if (!names.empty()) names += " / ";
    names += name;
    seen.push_back(std::move(name));
  }
  return names.empty() ? FormatTime(first.start) : names + "  " + FormatTime(first.start);
}
