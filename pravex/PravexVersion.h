// Version of the Pravex library, for programs that report what they run on.
#pragma once

const char* GetPravexVersion();
