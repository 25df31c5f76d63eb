// The two report forms of olvane-probe: text for people, JSON for programs.
#pragma once

#include <string>

#include "CaptureProbe.h"

std::string FormatProbeText(const ProbeResult& result, bool listRecords);
std::string FormatProbeJson(const ProbeResult& result, bool listRecords);
