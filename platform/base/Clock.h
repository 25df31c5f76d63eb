// The monotonic millisecond clock behind replay timing and widget animation.
// Readings are 32-bit and wrap after about 49.7 days, like the clock the
// libraries were designed around; compare readings by unsigned difference.
#pragma once

#include <cstdint>

std::uint32_t timeGetTime();
std::uint32_t GetTickCount();
// Blocks the calling thread for at least ms milliseconds.
void Sleep(std::uint32_t ms);
