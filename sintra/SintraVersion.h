// Version of the Sintra library, for programs that report what they run on.
#pragma once

const char* GetSintraVersion();
