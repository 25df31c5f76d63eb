// The project's version (libraries and programs share one), for the
// "PROGRAM VERSION" line every program prints with --version.
#pragma once

const char* GetPravexVersion();
