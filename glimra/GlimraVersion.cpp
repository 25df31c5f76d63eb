#include "glimra/GlimraVersion.h"

const char* GetGlimraVersion() { return "0.1.0"; }
