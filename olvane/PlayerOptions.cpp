#include "olvane/PlayerOptions.h"

#include <cstdint>

#include "pravex/PravexVersion.h"

namespace player {

namespace {

// The largest time accepted: well inside 32 bits of milliseconds and inside
// the replay clock's signed arithmetic.
constexpr std::uint64_t kMaxTimeMs = 24ull * 24 * 3600 * 1000;

// Reads digits into `value`; false when there are none or they overflow the limit.
bool ReadNumber(const std::string& text, std::size_t& pos, std::uint64_t& value) {
  const std::size_t start = pos;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + static_cast<std::uint64_t>(text[pos] - '0');
    if (value > kMaxTimeMs) return false;
    ++pos;
  }
  return pos > start;
}

}  // namespace

bool ParseTimeMs(const std::string& text, DWORD& ms) {
  std::uint64_t fields[3] = {};
  int count = 0;
  std::size_t pos = 0;
  for (;;) {
    if (count == 3 || !ReadNumber(text, pos, fields[count])) return false;
    ++count;
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      continue;
    }
    break;
  }
  // A fraction of a second: milliseconds from its first three digits.
  std::uint64_t fractionMs = 0;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    const std::size_t start = pos;
    std::uint64_t scale = 100;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      fractionMs += static_cast<std::uint64_t>(text[pos] - '0') * scale;
      scale /= 10;
      ++pos;
    }
    if (pos == start) return false;
  }
  if (pos != text.size()) return false;
  // Every field after the first counts within its larger unit.
  for (int i = 1; i < count; ++i)
    if (fields[i] >= 60) return false;
  std::uint64_t seconds = 0;
  for (int i = 0; i < count; ++i) seconds = seconds * 60 + fields[i];
  if (seconds > kMaxTimeMs / 1000) return false;
  const std::uint64_t total = seconds * 1000 + fractionMs;
  if (total > kMaxTimeMs) return false;
  ms = static_cast<DWORD>(total);
  return true;
}

PlayerOptions ParsePlayerOptions(const std::vector<std::string>& args) {
  PlayerOptions options;
  const auto refuse = [&](const std::string& error) {
    options.action = PlayerOptions::Action::kRefused;
    options.error = error;
    return options;
  };
  std::vector<std::string> words;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const std::size_t eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (name == "--help" || name == "-h") {
      if (value) return refuse("option '" + name + "' takes no value");
      options.action = PlayerOptions::Action::kHelp;
      return options;
    }
    if (name == "--version") {
      if (value) return refuse("option '" + name + "' takes no value");
      options.action = PlayerOptions::Action::kVersion;
      return options;
    }
    if (name == "--start" || name == "--skip-idle") {
      if (!value) {
        if (i + 1 >= args.size()) return refuse("option '" + name + "' needs a value");
        value = args[++i];
      }
      DWORD ms = 0;
      if (name == "--start") {
        if (!ParseTimeMs(*value, ms))
          return refuse("option '--start' needs a time as seconds, MM:SS or HH:MM:SS, not '" + *value + "'");
        options.startMs = ms;
      } else {
        // Seconds with an optional fraction only.
        if (value->find(':') != std::string::npos || !ParseTimeMs(*value, ms))
          return refuse("option '--skip-idle' needs a number of seconds, not '" + *value + "'");
        options.skipIdleMs = ms;
      }
      continue;
    }
    return refuse("unknown option '" + name + "'");
  }
  // The words of an unquoted path with blanks belong together.
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) options.commandLine += ' ';
    options.commandLine += words[i];
  }
  return options;
}

std::string UsageText() {
  return "Usage: olvane [OPTION]... [FILE]\n"
         "Plays a screen capture (.zeph, .cpt) or a play script (.tvsf); with no FILE, the demo\n"
         "play script beside the program. Each start opens a new player window.\n"
         "\n"
         "  --start TIME          start the first clip at TIME (seconds, MM:SS or HH:MM:SS,\n"
         "                        each with an optional fraction) without offering to resume\n"
         "  --skip-idle SECONDS   pass quickly over stretches without change longer than SECONDS\n"
         "  --help                show this text and exit\n"
         "  --version             show the version and exit\n"
         "  --                    end of options (for a FILE whose name starts with '-')\n";
}

std::string VersionText() { return std::string("olvane ") + GetPravexVersion() + "\n"; }

}  // namespace player
