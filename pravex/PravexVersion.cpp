#include "pravex/PravexVersion.h"

// OLVANE_VERSION comes from the project's version in the build (pravex/CMakeLists.txt).
const char* GetPravexVersion() { return OLVANE_VERSION; }
