// Small pictures of a capture, one per whole second of replay time, and the
// bounded cache that keeps the most recently used of them. The cache has no
// lock of its own: the thumbnail worker guards it.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <vector>

#include "platform/base/Point.h"

struct Thumbnail {
  int second = 0;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;             // bytes a row, a multiple of 4
  std::vector<unsigned char> pixels;  // bottom-up blue-green-red rows
};

// The largest thumbnail: about 160 pixels wide for a screen picture.
constexpr int kThumbnailMaxWidth = 160;
constexpr int kThumbnailMaxHeight = 120;

// The size a picture of width x height is shown at: within the largest
// thumbnail, its aspect kept, at least one pixel a side; 0 x 0 for an empty
// picture.
CSize FitThumbnail(int width, int height);

class CThumbnailCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 64;

  explicit CThumbnailCache(std::size_t capacity = kDefaultCapacity) : m_capacity(capacity ? capacity : 1) {}

  // The picture of a second (now the most recently used), or null.
  std::shared_ptr<const Thumbnail> Find(int second);
  // Adds a picture, replacing one of the same second; beyond the capacity
  // the least recently used goes.
  void Put(std::shared_ptr<const Thumbnail> thumbnail);
  void Clear() { m_entries.clear(); }
  std::size_t Size() const { return m_entries.size(); }
  std::size_t Capacity() const { return m_capacity; }

 private:
  std::size_t m_capacity;
  std::list<std::shared_ptr<const Thumbnail>> m_entries;  // most recently used first
};
