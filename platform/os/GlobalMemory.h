// Movable memory blocks handed between a program and the clipboard: the
// clipboard takes over a block given to it and hands out blocks it owns.
// A handle is checked against the live blocks, so a stale or doubly freed
// handle fails instead of corrupting memory.
#pragma once

#include <cstddef>

#include "platform/base/WinTypes.h"

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// A block of `bytes` bytes (at least one; zeroed with GMEM_ZEROINIT); null when
// the size is 0, above 1 GiB, or memory runs out.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's memory (blocks never move here); null for a handle that is not live.
void* GlobalLock(HGLOBAL block);
// Non-zero while the block stays locked by an earlier GlobalLock.
BOOL GlobalUnlock(HGLOBAL block);
// The block's size in bytes; 0 for a handle that is not live.
std::size_t GlobalSize(HGLOBAL block);
// Frees the block; returns null on success, the handle itself when it was not live.
HGLOBAL GlobalFree(HGLOBAL block);
