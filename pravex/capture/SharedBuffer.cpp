#include "pravex/capture/SharedBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "pravex/capture/CaptureFormat.h"

CSharedBuffer* CSharedBuffer::Construct(void* memory, std::uint64_t size) {
  return memory ? new (memory) CSharedBuffer(static_cast<DWORD>(size)) : nullptr;
}

CSharedBuffer* CSharedBuffer::Allocate(std::uint64_t size) {
  if (size > capture::kMaxBlockSize) return nullptr;
  return Construct(std::malloc(sizeof(CSharedBuffer) + static_cast<std::size_t>(size)), size);
}

CSharedBuffer* CSharedBuffer::AllocateZeroed(std::uint64_t size) {
  if (size > capture::kMaxBlockSize) return nullptr;
  return Construct(std::calloc(1, sizeof(CSharedBuffer) + static_cast<std::size_t>(size)), size);
}

CSharedBuffer* CSharedBuffer::Copy(const void* bytes, std::uint64_t size) {
  CSharedBuffer* buffer = Allocate(size);
  if (buffer && size) std::memcpy(buffer->GetBytes(), bytes, static_cast<std::size_t>(size));
  return buffer;
}

void CSharedBuffer::Release() {
  if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    this->~CSharedBuffer();
    std::free(static_cast<void*>(this));
  }
}
