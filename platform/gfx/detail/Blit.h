// Block combination shared by the block transfers and the DIB painting.
#pragma once

#include "platform/gfx/detail/GfxInternal.h"

namespace gfx_detail {

// Applies rop over the device rectangle area of dst (within its visible region),
// with src an area-sized block of source values already in dst's terms (or null).
void CombineBlock(DCImpl& dst, const CRect& area, const std::uint32_t* src, long srcStride, DWORD rop);

// A source value (0x00RRGGBB) of a surface of kind from, in dst's terms:
// monochrome sources take dst's text and background colours, colour pixels of
// dst's background colour become paper in a monochrome dst.
std::uint32_t MapToDest(std::uint32_t v, PixelKind from, const DCImpl& dst);

}  // namespace gfx_detail
