// Fuzz targets that draw text load fonts; the font and text libraries keep
// process-lifetime caches that the leak checker would report at exit. Include
// this in exactly one source file of such a target.
#pragma once

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libpango-1.0.so\n"
         "leak:libpangoft2-1.0.so\nleak:libharfbuzz.so\nleak:libcairo.so\n";
}
