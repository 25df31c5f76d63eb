#include "pravex/capture/SharedBuffer.h"

#include <cstring>
#include <new>

#include "pravex/capture/CaptureFormat.h"

CSharedBuffer* CSharedBuffer::Allocate(std::uint64_t size) {
  if (size > capture::kMaxBlockSize) return nullptr;
  void* memory = ::operator new(sizeof(CSharedBuffer) + static_cast<std::size_t>(size), std::nothrow);
  if (!memory) return nullptr;
  return new (memory) CSharedBuffer(static_cast<DWORD>(size));
}

CSharedBuffer* CSharedBuffer::Copy(const void* bytes, std::uint64_t size) {
  CSharedBuffer* buffer = Allocate(size);
  if (buffer && size) std::memcpy(buffer->GetBytes(), bytes, static_cast<std::size_t>(size));
  return buffer;
}

void CSharedBuffer::Release() {
  if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    this->~CSharedBuffer();
    ::operator delete(static_cast<void*>(this));
  }
}
