// Reference-counted byte blocks. Record data and decoded pictures live in
// them, so that a picture can be handed from the reader to the codec and on
// to the renderers without copying. A buffer starts with one reference and
// frees itself when the last one is released; counts change atomically, since
// buffers are released on the reader, window and audio threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/base/WinTypes.h"

class CSharedBuffer {
 public:
  // A new buffer of `size` bytes (contents undefined) holding one reference,
  // or null when size exceeds the capture block bound or memory runs out.
  static CSharedBuffer* Allocate(std::uint64_t size);
  // The same, with every byte zero. Large blocks come zeroed from the system,
  // so pages nobody writes cost no memory.
  static CSharedBuffer* AllocateZeroed(std::uint64_t size);
  // A new buffer holding a copy of the bytes, or null.
  static CSharedBuffer* Copy(const void* bytes, std::uint64_t size);

  CSharedBuffer(const CSharedBuffer&) = delete;
  CSharedBuffer& operator=(const CSharedBuffer&) = delete;

  void AddRef() { m_refs.fetch_add(1, std::memory_order_relaxed); }
  // Drops one reference; the buffer is freed when none is left.
  void Release();
  std::uint32_t GetRefCount() const { return m_refs.load(std::memory_order_acquire); }

  BYTE* GetBytes() { return reinterpret_cast<BYTE*>(this + 1); }
  const BYTE* GetBytes() const { return reinterpret_cast<const BYTE*>(this + 1); }
  DWORD GetSize() const { return m_size; }

 private:
  explicit CSharedBuffer(DWORD size) : m_refs(1), m_size(size) {}
  static CSharedBuffer* Construct(void* memory, std::uint64_t size);
  ~CSharedBuffer() = default;

  std::atomic<std::uint32_t> m_refs;
  DWORD m_size;
  // The bytes follow the object in the same allocation (8-byte aligned).
};

static_assert(sizeof(CSharedBuffer) % 8 == 0, "bytes after the header must stay aligned");

// Holds one reference to a shared buffer for a scope (or a member's life).
class CSharedBufferRef {
 public:
  CSharedBufferRef() = default;
  // Takes over a reference the caller holds.
  explicit CSharedBufferRef(CSharedBuffer* adopted) : m_buffer(adopted) {}
  ~CSharedBufferRef() { Reset(); }
  CSharedBufferRef(const CSharedBufferRef&) = delete;
  CSharedBufferRef& operator=(const CSharedBufferRef&) = delete;
  CSharedBufferRef(CSharedBufferRef&& other) noexcept : m_buffer(other.Detach()) {}
  CSharedBufferRef& operator=(CSharedBufferRef&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  CSharedBuffer* Get() const { return m_buffer; }
  explicit operator bool() const { return m_buffer != nullptr; }
  // Replaces the held reference with an adopted one.
  void Reset(CSharedBuffer* adopted = nullptr) {
    if (m_buffer) m_buffer->Release();
    m_buffer = adopted;
  }
  // Gives the held reference to the caller.
  CSharedBuffer* Detach() {
    CSharedBuffer* b = m_buffer;
    m_buffer = nullptr;
    return b;
  }

 private:
  CSharedBuffer* m_buffer = nullptr;
};
