#include "olvane/ThumbnailCache.h"

#include <algorithm>
#include <cstdint>

CSize FitThumbnail(int width, int height) {
  if (width <= 0 || height <= 0) return CSize(0, 0);
  const std::int64_t w = width, h = height;
  // Width-bound unless the height would pass its limit.
  if (h * kThumbnailMaxWidth <= w * kThumbnailMaxHeight)
    return CSize(kThumbnailMaxWidth, static_cast<int>(std::max<std::int64_t>(1, (h * kThumbnailMaxWidth + w / 2) / w)));
  return CSize(static_cast<int>(std::max<std::int64_t>(1, (w * kThumbnailMaxHeight + h / 2) / h)), kThumbnailMaxHeight);
}

std::shared_ptr<const Thumbnail> CThumbnailCache::Find(int second) {
  const auto it =
      std::find_if(m_entries.begin(), m_entries.end(), [second](const auto& t) { return t->second == second; });
  if (it == m_entries.end()) return nullptr;
  m_entries.splice(m_entries.begin(), m_entries, it);
  return m_entries.front();
}

void CThumbnailCache::Put(std::shared_ptr<const Thumbnail> thumbnail) {
  if (!thumbnail) return;
  const int second = thumbnail->second;
  std::erase_if(m_entries, [second](const auto& t) { return t->second == second; });
  m_entries.push_front(std::move(thumbnail));
  while (m_entries.size() > m_capacity) m_entries.pop_back();
}
