// olvane-probe FILE [--json] [--records] [--verify]: tells what a capture
// holds. Exit codes: 0 ok, 1 unreadable or refused file (or, with --verify,
// problems found), 2 usage.
#include <cstdio>
#include <cstring>
#include <string>

#include "CaptureProbe.h"
#include "ProbeOutput.h"
#include "pravex/PravexVersion.h"

namespace {

const char kUsage[] =
    "usage: olvane-probe FILE [--json] [--records] [--verify]\n"
    "\n"
    "Shows what a capture file holds: its streams and picture sizes, duration, data start,\n"
    "record counts by stream and type, the information table, the index and the trailer.\n"
    "\n"
    "  --json     print the report as JSON (fields duration, streams, info, index, records, ...)\n"
    "  --records  list every data record: offset, time, stream, type, length, and for screen\n"
    "             records size, encoding and changed area\n"
    "  --verify   read every record and decode every screen picture; report what is wrong and\n"
    "             where (exit code 1 when anything is)\n"
    "  --help     show this text\n"
    "  --version  show the program's version\n"
    "\n"
    "Exit codes: 0 ok, 1 unreadable or refused file (or problems found by --verify), 2 usage.\n";

struct Options {
  std::string file;
  bool json = false;
  bool records = false;
  bool verify = false;
  bool help = false;
  bool version = false;
};

bool ParseArguments(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--json")) options.json = true;
    else if (!std::strcmp(arg, "--records")) options.records = true;
    else if (!std::strcmp(arg, "--verify")) options.verify = true;
    else if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) options.help = true;
    else if (!std::strcmp(arg, "--version")) options.version = true;
    else if (arg[0] == '-' && arg[1] != '\0') {
      error = std::string("unknown option ") + arg;
      return false;
    } else if (options.file.empty()) {
      options.file = arg;
    } else {
      error = std::string("more than one file given: ") + arg;
      return false;
    }
  }
  if (!options.help && !options.version && options.file.empty()) error = "no capture file given";
  return error.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseArguments(argc, argv, options, error)) {
    std::fprintf(stderr, "olvane-probe: %s\n\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("olvane-probe %s\n", GetPravexVersion());
    return 0;
  }
  ProbeResult result;
  if (!ProbeCapture(options.file, options.records, options.verify, result, error)) {
    std::fprintf(stderr, "olvane-probe: %s\n", error.c_str());
    return 1;
  }
  const std::string report =
      options.json ? FormatProbeJson(result, options.records) : FormatProbeText(result, options.records);
  std::fputs(report.c_str(), stdout);
  return result.problems.empty() ? 0 : 1;
}
