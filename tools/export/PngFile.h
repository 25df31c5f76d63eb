// Writes 24-bit frames (bottom-up BGR rows, as the extractor renders them)
// as RGB PNG files.
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/WinTypes.h"

bool WritePngFrame(const std::string& path, const BYTE* bottomUpBgr, int width, int height, std::size_t stride,
                   std::string& error);
