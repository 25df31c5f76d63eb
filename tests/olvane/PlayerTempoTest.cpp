// Speed with sound on the real player window (headless, demo script): the
// tempo commands and keys, the range in which the sound keeps playing, the
// speed buttons beside them, and the speed shown in the caption.
#include <gtest/gtest.h>

#include <string>

#include "olvane/PlayerWnd.h"
#include "platform/ui/Headless.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/CaptionBar.h"
#include "tests/olvane/PlayerScene.h"

using namespace player;
using playertest::PlayerScene;

namespace {

std::string Speed(const CPlayerWnd& w) {
  int n = 0, d = 0;
  w.GetSpeed(n, d);
  return std::to_string(n) + "/" + std::to_string(d);
}

std::string Caption(CPlayerWnd& w) {
  std::string text;
  w.GetCaptionBar()->GetWindowText(text);
  return text;
}

}  // namespace

TEST(PlayerTempo, StepsHalvesDoublesAndResetsWithinTheButtonsRange) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  const std::string title = Caption(w);
  EXPECT_EQ(w.GetTempo(), 1.0);
  w.StepTempo(1);
  EXPECT_EQ(Speed(w), "11/10");
  EXPECT_EQ(Caption(w), title + "  1.1x");
  EXPECT_EQ(w.GetSpeedIndex(), -1) << "no speed button shows 1.1";
  w.StepTempo(-1);
  w.StepTempo(-1);
  EXPECT_EQ(Speed(w), "9/10");
  w.ScaleTempo(false);
  EXPECT_EQ(Speed(w), "9/20");
  EXPECT_EQ(Caption(w), title + "  0.45x");
  // Halving stops at the slowest button, 1/8, and so does stepping down.
  for (int i = 0; i < 3; ++i) w.ScaleTempo(false);
  EXPECT_EQ(Speed(w), "1/8");
  EXPECT_EQ(w.GetSpeedIndex(), 0);
  EXPECT_TRUE(w.GetButtonBar()->GetCheck(4 + 0));
  w.StepTempo(-1);
  EXPECT_EQ(Speed(w), "1/8");
  w.StepTempo(1);
  EXPECT_EQ(Speed(w), "9/40");
  EXPECT_FALSE(w.GetButtonBar()->GetCheck(4 + 0));
  // Doubling stops at 8.
  for (int i = 0; i < 8; ++i) w.ScaleTempo(true);
  EXPECT_EQ(Speed(w), "8/1");
  EXPECT_EQ(Caption(w), title + "  8x");
  w.StepTempo(1);
  EXPECT_EQ(Speed(w), "8/1");
  w.ResetTempo();
  EXPECT_EQ(Speed(w), "1/1");
  EXPECT_EQ(w.GetSpeedIndex(), 3);
  EXPECT_TRUE(w.GetButtonBar()->GetCheck(4 + 3));
  EXPECT_EQ(Caption(w), title);
}

TEST(PlayerTempo, SoundPlaysAtTheTempoBetweenHalfAndDoubleSpeedOnly) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  ASSERT_TRUE(w.AudioRegistered());
  for (int i = 0; i < 5; ++i) w.StepTempo(1);
  EXPECT_EQ(Speed(w), "3/2");
  EXPECT_TRUE(w.AudioRegistered());
  // The replay restarted at the new speed: clock rate and sound tempo agree.
  DWORD n = 0, d = 0;
  w.GetClock().GetRate(n, d);
  EXPECT_EQ(n * 10 + d, 32u);
  ASSERT_TRUE(s.WaitFor([&] { return w.GetAudioReplay().GetTempo() == 1.5; }));

  struct Step {
    void (*change)(CPlayerWnd&);
    const char* speed;
    bool sound;
  } steps[] = {
      {[](CPlayerWnd& p) { p.ScaleTempo(true); }, "3/1", false},
      {[](CPlayerWnd& p) { p.ScaleTempo(false); }, "3/2", true},
      {[](CPlayerWnd& p) { p.ResetTempo(); }, "1/1", true},
      {[](CPlayerWnd& p) { p.ScaleTempo(false); }, "1/2", true},
      {[](CPlayerWnd& p) { p.StepTempo(-1); }, "2/5", false},
      {[](CPlayerWnd& p) { p.StepTempo(1); }, "1/2", true},
      {[](CPlayerWnd& p) {
         p.ScaleTempo(true);
         p.ScaleTempo(true);
       },
       "2/1", true},
  };
  for (const Step& step : steps) {
    step.change(w);
    EXPECT_EQ(Speed(w), step.speed);
    EXPECT_EQ(w.AudioRegistered(), step.sound) << step.speed;
  }

  // The speed buttons keep their own rule: sound at 1/1 only, even at a
  // speed the tempo commands play with sound.
  s.Command(kSpeedIds[4]);
  EXPECT_EQ(Speed(w), "2/1");
  EXPECT_FALSE(w.AudioRegistered());
  EXPECT_FALSE(w.IsTempoSound());
  EXPECT_TRUE(w.GetButtonBar()->GetCheck(4 + 4));
  s.Command(kSpeedIds[2]);
  EXPECT_FALSE(w.AudioRegistered());
  w.StepTempo(1);
  EXPECT_EQ(Speed(w), "3/5");
  EXPECT_TRUE(w.AudioRegistered());
  s.Command(kSpeedIds[3]);
  EXPECT_TRUE(w.AudioRegistered());
  ASSERT_TRUE(s.WaitFor([&] { return w.GetAudioReplay().GetTempo() == 1.0; }));
}

TEST(PlayerTempo, KeysActOnPress) {
  PlayerScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  ui::InjectText(w.GetSafeHwnd(), "]");
  ASSERT_TRUE(s.WaitFor([&] { return Speed(w) == "11/10"; }));
  ui::InjectText(w.GetSafeHwnd(), "}");
  ASSERT_TRUE(s.WaitFor([&] { return Speed(w) == "11/5"; }));
  ui::InjectText(w.GetSafeHwnd(), "{[");
  ASSERT_TRUE(s.WaitFor([&] { return Speed(w) == "1/1"; }));
  ui::InjectText(w.GetSafeHwnd(), "{");
  ASSERT_TRUE(s.WaitFor([&] { return Speed(w) == "1/2"; }));
  ui::InjectKey(w.GetSafeHwnd(), VK_BACK, true);
  ASSERT_TRUE(s.WaitFor([&] { return Speed(w) == "1/1"; }));
  ui::InjectKey(w.GetSafeHwnd(), VK_BACK, false);
  EXPECT_TRUE(w.IsPlaying());
}
