// Compresses camera pictures to JPEG in memory (libjpeg-turbo).
#pragma once

#include <string>
#include <vector>

#include "platform/base/WinTypes.h"

// Encodes rows of red, green, blue bytes (top row first) at the given quality
// (1-100). False, with `error` set, when the library reports a failure.
bool EncodeJpeg(const std::vector<BYTE>& rgbRows, int width, int height, int quality, std::vector<BYTE>& out,
                std::string& error);
