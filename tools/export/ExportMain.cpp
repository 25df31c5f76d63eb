// olvane-export CAPTURE -o DIR [options]: the pictures of a capture as PNG
// frames and its sound as a WAV file. Exit codes: 0 ok, 1 failure, 2 usage.
#include <cstdio>
#include <string>

#include "ExportOptions.h"
#include "Exporter.h"
#include "pravex/PravexVersion.h"

// Text annotations load fonts; the font libraries keep process-lifetime caches
// that a leak-checking build would report at exit. Read only by such builds.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libpango-1.0.so\n"
         "leak:libpangoft2-1.0.so\nleak:libharfbuzz.so\nleak:libcairo.so\n";
}

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

int main(int argc, char** argv) {
  ExportOptions options;
  std::string error;
  if (!ParseExportOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "olvane-export: %s\n\n%s", error.c_str(), kExportUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kExportUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("olvane-export %s\n", GetPravexVersion());
    return 0;
  }
  const int code = RunExport(options, error);
  if (code) std::fprintf(stderr, "olvane-export: %s\n", error.c_str());
  return code;
}
