#include "platform/os/GlobalMemory.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

constexpr std::size_t kMaxBlock = std::size_t{1} << 30;

struct Block {
  std::unique_ptr<unsigned char[]> data;
  std::size_t size = 0;
  int locks = 0;
};

struct Blocks {
  std::mutex mutex;
  std::unordered_map<HGLOBAL, Block> live;
  std::uintptr_t next = 0;
};

Blocks& Table() {
  static Blocks* blocks = new Blocks;  // lives to the end of the process
  return *blocks;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
  if (bytes == 0 || bytes > kMaxBlock) return nullptr;
  std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[bytes]);
  if (!data) return nullptr;
  if (flags & GMEM_ZEROINIT) std::memset(data.get(), 0, bytes);
  Blocks& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  // Handles are counters, never addresses, and never reused.
  const auto handle = reinterpret_cast<HGLOBAL>(++t.next * 16);
  t.live.emplace(handle, Block{std::move(data), bytes, 0});
  return handle;
}

void* GlobalLock(HGLOBAL block) {
  Blocks& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.live.find(block);
  if (it == t.live.end()) return nullptr;
  ++it->second.locks;
  return it->second.data.get();
}

BOOL GlobalUnlock(HGLOBAL block) {
  Blocks& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.live.find(block);
  if (it == t.live.end() || it->second.locks == 0) return FALSE;
  return --it->second.locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL block) {
  Blocks& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.live.find(block);
  return it == t.live.end() ? 0 : it->second.size;
}

HGLOBAL GlobalFree(HGLOBAL block) {
  Blocks& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.live.erase(block) ? nullptr : block;
}
