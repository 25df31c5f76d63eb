// Finds a built-in resource (resources/data/TYPE_ID_name.ext) by type and id.
// A small lookup over the embedded table; the bytes stay valid for the
// program's lifetime.
#pragma once

#include "platform/base/WinTypes.h"

namespace os {

// The resource's bytes and size, or false when there is none.
bool FindResourceData(const char* type, UINT id, const BYTE** data, DWORD* size);

}  // namespace os
