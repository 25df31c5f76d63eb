// olvane-export CAPTURE -o DIR [options]: the pictures of a capture as PNG
// frames and its sound as a WAV file. Exit codes: 0 ok, 1 failure, 2 usage.
#include <cstdio>
#include <string>

#include "ExportOptions.h"
#include "Exporter.h"

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
  const int code = RunExport(options, error);
  if (code) std::fprintf(stderr, "olvane-export: %s\n", error.c_str());
  return code;
}
