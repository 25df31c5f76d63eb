#include "sintra/SintraVersion.h"

const char* GetSintraVersion() { return "0.1.0"; }
