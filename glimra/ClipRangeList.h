// Time ranges [from, to) of replay time, used to cut archives from a set.
#pragma once

#include <vector>

#include "platform/base/WinTypes.h"

struct CClipRangeItem {
  CClipRangeItem(DWORD f = 0, DWORD t = 0) : from(f), to(t) {}
  DWORD from;
  DWORD to;
};

class CClipRangeList {
 public:
  void Insert(DWORD from, DWORD to) { m_items.emplace_back(from, to); }
  int GetCount() const { return static_cast<int>(m_items.size()); }
  DWORD GetFrom(int i) const { return Valid(i) ? m_items[static_cast<size_t>(i)].from : 0; }
  DWORD GetTo(int i) const { return Valid(i) ? m_items[static_cast<size_t>(i)].to : 0; }
  void SetFrom(int i, DWORD v) {
    if (Valid(i)) m_items[static_cast<size_t>(i)].from = v;
  }
  void SetTo(int i, DWORD v) {
    if (Valid(i)) m_items[static_cast<size_t>(i)].to = v;
  }

 private:
  bool Valid(int i) const { return i >= 0 && i < GetCount(); }
  std::vector<CClipRangeItem> m_items;
};
