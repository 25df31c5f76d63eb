#include "platform/os/ResourceLookup.h"

#include <cstring>

#include "resources/ResourceData.h"

namespace os {

bool FindResourceData(const char* type, UINT id, const BYTE** data, DWORD* size) {
  if (!type || !data || !size) return false;
  for (unsigned long i = 0; i < g_olvaneResourceCount; ++i) {
    const OlvaneResourceEntry& e = g_olvaneResources[i];
    if (e.id != id || std::strcmp(e.type, type) != 0) continue;
    *data = e.data;
    *size = static_cast<DWORD>(e.size);
    return true;
  }
  return false;
}

}  // namespace os
