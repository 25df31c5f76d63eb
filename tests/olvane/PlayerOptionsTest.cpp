// The player's command-line options and the times --start takes.
#include "olvane/PlayerOptions.h"

#include <gtest/gtest.h>

using player::ParsePlayerOptions;
using player::PlayerOptions;
using Action = PlayerOptions::Action;

TEST(StartOption, TimesAreSecondsMinutesOrHoursWithAFraction) {
  const struct {
    const char* text;
    DWORD ms;
  } accepted[] = {{"0", 0},
                  {"90", 90000},
                  {"90.5", 90500},
                  {"0.1239", 123},
                  {"1:30", 90000},
                  {"75:00", 4500000},
                  {"01:02:03.25", 3723250},
                  {"0:00:59.999", 59999},
                  {"2073600", 2073600000u}};
  for (const auto& c : accepted) {
    DWORD ms = 1;
    EXPECT_TRUE(player::ParseTimeMs(c.text, ms)) << c.text;
    EXPECT_EQ(ms, c.ms) << c.text;
  }
  for (const char* text : {"", "-5", "+5", ".5", "5.", "1:60", "1:2:60", "1:2:3:4", "1::2", ":30", "1:30x", "abc",
                           "1 30", "2073601", "99999999999999999999999", "576:00:01"}) {
    DWORD ms = 7;
    EXPECT_FALSE(player::ParseTimeMs(text, ms)) << text;
    EXPECT_EQ(ms, 7u) << text;
  }
}

TEST(PlayerOptions, OptionsAreTakenOutAndTheOtherWordsMakeThePath) {
  PlayerOptions o = ParsePlayerOptions({"my", "--start", "1:30", "clip.zeph", "--skip-idle=2.5"});
  EXPECT_EQ(o.action, Action::kRun);
  EXPECT_EQ(o.commandLine, "my clip.zeph");
  EXPECT_EQ(o.startMs, 90000u);
  EXPECT_EQ(o.skipIdleMs, 2500u);

  o = ParsePlayerOptions({});
  EXPECT_EQ(o.action, Action::kRun);
  EXPECT_EQ(o.commandLine, "");
  EXPECT_FALSE(o.startMs);
  EXPECT_FALSE(o.skipIdleMs);

  // "--" ends the options; a lone "-" is a word.
  o = ParsePlayerOptions({"--start=5", "--", "--odd name.zeph", "-"});
  EXPECT_EQ(o.action, Action::kRun);
  EXPECT_EQ(o.commandLine, "--odd name.zeph -");
  EXPECT_EQ(o.startMs, 5000u);

  EXPECT_EQ(ParsePlayerOptions({"clip.zeph", "--help"}).action, Action::kHelp);
  EXPECT_EQ(ParsePlayerOptions({"--version"}).action, Action::kVersion);
}

TEST(PlayerOptions, BadOptionsAreRefusedWithTheirReason) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } refused[] = {
      {{"--bogus", "clip.zeph"}, "unknown option '--bogus'"},
      {{"-x"}, "unknown option '-x'"},
      {{"clip.zeph", "--start"}, "option '--start' needs a value"},
      {{"--start", "1:75"}, "option '--start' needs a time as seconds, MM:SS or HH:MM:SS, not '1:75'"},
      {{"--skip-idle", "1:00"}, "option '--skip-idle' needs a number of seconds, not '1:00'"},
      {{"--skip-idle="}, "option '--skip-idle' needs a number of seconds, not ''"},
      {{"--version=2"}, "option '--version' takes no value"},
  };
  for (const auto& c : refused) {
    const PlayerOptions o = ParsePlayerOptions(c.args);
    EXPECT_EQ(o.action, Action::kRefused) << c.error;
    EXPECT_EQ(o.error, c.error);
  }
}
