// Version of the Glimra library, for programs that report what they run on.
#pragma once

const char* GetGlimraVersion();
