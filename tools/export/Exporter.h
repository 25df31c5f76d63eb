// Runs one export: frames through CRenderFrames into PNG files, the decoded
// sound into a WAV file, a progress line on standard error.
#pragma once

#include <string>

#include "ExportOptions.h"

// 0 ok, 1 failure (message in error).
int RunExport(const ExportOptions& options, std::string& error);
