#include "pravex/PravexVersion.h"

const char* GetPravexVersion() { return "0.1.0"; }
