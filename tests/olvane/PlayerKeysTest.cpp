// The keys added beside the player's own commands, on the real window with a
// replay clock driven by hand: seeking, stepping one picture, the A-B loop,
// sound, the snapshot, the ? list and the view keys.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "olvane/PlayerKeys.h"
#include "olvane/PlayerWnd.h"
#include "olvane/Snapshot.h"
#include "platform/base/DibStride.h"
#include "platform/os/PackedDib.h"
#include "platform/sound/SoundOutput.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "pravex/capture/CaptureBlock.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/support/ClipboardGrab.h"
#include "tests/common/TestEnvironment.h"
#include "tests/olvane/PlayerScene.h"

using namespace player;
using playertest::PlayerScene;

namespace {

constexpr DWORD kLastPicture = 65000;
constexpr DWORD kPictureWidth = 160;
constexpr DWORD kPictureHeight = 100;

// The screen pictures of the test clip: every 100 ms, but every 250 ms
// between 1 and 2 s, so that a step follows the pictures and not a fixed rate.
std::vector<DWORD> PictureTimes() {
  std::vector<DWORD> times;
  for (DWORD t = 0; t < 1000; t += 100) times.push_back(t);
  for (DWORD t = 1000; t < 2000; t += 250) times.push_back(t);
  for (DWORD t = 2000; t <= kLastPicture; t += 100) times.push_back(t);
  return times;
}

// A silent 65-second clip of small pictures (each a different flat colour
// with a bar that moves) and one data block, on a stream nothing plays, half
// a second after the last picture: the clip's data ends later than its last
// picture.
std::string LongClip() {
  static const std::string path = [] {
    const std::string file = testenv::MakeTempDir("keys") + "/Long clip.zeph";
    CCaptureFileWriter writer;
    EXPECT_TRUE(writer.Create(file));
    EXPECT_TRUE(writer.AddStream(capture::kStreamScreen, kPictureWidth, kPictureHeight));
    const auto stride = static_cast<std::size_t>(DibStride(kPictureWidth, 16));
    std::vector<BYTE> pixels(stride * kPictureHeight);
    int index = 0;
    for (DWORD t : PictureTimes()) {
      for (DWORD y = 0; y < kPictureHeight; ++y)
        for (DWORD x = 0; x < kPictureWidth; ++x) {
          const bool bar = (x + kPictureWidth - static_cast<DWORD>(index) % kPictureWidth) % kPictureWidth < 8;
          const WORD colour = bar ? 0xFFFF : static_cast<WORD>((index * 37 + y) * 0x0821);
          pixels[y * stride + 2 * x] = static_cast<BYTE>(colour);
          pixels[y * stride + 2 * x + 1] = static_cast<BYTE>(colour >> 8);
        }
      EXPECT_TRUE(writer.AddScreenPicture(t, pixels.data(), kPictureWidth, kPictureHeight, 16, index % 20 == 0));
      ++index;
    }
    auto* block = new CCaptureBlock(capture::kRecordBlock, capture::kStreamAudio);
    block->SetTime(kLastPicture + 500);
    const BYTE bytes[4] = {1, 2, 3, 4};
    block->SetDataCopy(bytes, 4);
    EXPECT_TRUE(writer.WriteRecord(*block));
    block->Release();
    EXPECT_TRUE(writer.Finish());
    return file;
  }();
  return path;
}

// The player on a clip, with helpers for keys and for seeks to settle.
struct KeysScene : PlayerScene {
  explicit KeysScene(const std::string& clip = LongClip()) : PlayerScene(clip) {}
  HWND Hwnd() { return wnd->GetSafeHwnd(); }
  void Key(int vk) {
    ui::InjectKeyPress(Hwnd(), vk);
    Settle();
  }
  void Text(const char* text) {
    ui::InjectText(Hwnd(), text);
    Settle();
  }
  void AltKey(int vk) {
    ui::InjectKey(Hwnd(), VK_MENU, true);
    ui::InjectKeyPress(Hwnd(), vk);
    ui::InjectKey(Hwnd(), VK_MENU, false);
    Settle();
  }
  // Everything injected before it has been handled: a key nothing binds is
  // pressed and released behind it, and input is handled in order.
  void Barrier() {
    ui::InjectKey(Hwnd(), VK_F12, true);
    ASSERT_TRUE(WaitFor([] { return (GetAsyncKeyState(VK_F12) & 0x8000) != 0; }));
    ui::InjectKey(Hwnd(), VK_F12, false);
    ASSERT_TRUE(WaitFor([] { return (GetAsyncKeyState(VK_F12) & 0x8000) == 0; }));
  }
  // Input handled, the preroll over and a held-back seek started.
  void Settle() {
    Barrier();
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(WaitFor([&] { return !wnd->GetCaptureFileReader()->IsInPreroll(); }));
      wnd->ClockTick();
    }
    // The changed areas the reader posted during the preroll are taken in.
    Barrier();
  }
  void Pause() {
    if (!wnd->IsPaused()) Command(ID_PAUSE);
    Settle();
  }
  DWORD Now() { return wnd->GetClock().Now(); }
  std::string Caption() {
    std::string text;
    wnd->GetCaptionBar()->GetWindowText(text);
    return text;
  }
  os::CRgbPicture ViewPicture() {
    os::CRgbPicture picture;
    EXPECT_TRUE(GrabWindowPicture(&wnd->GetView(), FALSE, CRect(0, 0, 0, 0), picture));
    return picture;
  }
};

os::CRgbPicture ReadPng(const std::string& path) {
  const std::string bytes = testenv::ReadFile(path);
  os::CRgbPicture picture;
  EXPECT_TRUE(os::ReadPngData(bytes.data(), bytes.size(), picture)) << path;
  return picture;
}

}  // namespace

// Left/Right 5 s, Up/Down 60 s, Home/End: exact times, clamped to the start
// and the last picture (not the end of the clip's data), held keys repeating.
TEST(PlayerKeys, SeekKeys) {
  KeysScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  EXPECT_EQ(w.GetClipDuration(), kLastPicture + 500);
  s.Pause();
  ASSERT_EQ(s.Now(), 0u);
  s.Key(VK_RIGHT);
  EXPECT_EQ(s.Now(), 5000u);
  s.Key(VK_RIGHT);
  EXPECT_EQ(s.Now(), 10000u);
  s.Key(VK_UP);
  EXPECT_EQ(s.Now(), kLastPicture);
  s.Key(VK_DOWN);
  EXPECT_EQ(s.Now(), kLastPicture - 60000);
  s.Key(VK_LEFT);
  EXPECT_EQ(s.Now(), 0u);
  s.Key(VK_LEFT);
  EXPECT_EQ(s.Now(), 0u);
  s.Key(VK_END);
  EXPECT_EQ(s.Now(), kLastPicture);
  s.Key(VK_HOME);
  EXPECT_EQ(s.Now(), 0u);
  EXPECT_TRUE(w.IsPaused());

  // Two presses in a row, the second while the first seek's preroll runs,
  // add up; a held key repeats.
  ui::InjectKeyPress(s.Hwnd(), VK_RIGHT);
  ui::InjectKeyPress(s.Hwnd(), VK_RIGHT);
  s.Settle();
  EXPECT_EQ(s.Now(), 10000u);
  ui::InjectKey(s.Hwnd(), VK_LEFT, true);
  ui::InjectKey(s.Hwnd(), VK_LEFT, true);
  ui::InjectKey(s.Hwnd(), VK_LEFT, false);
  s.Settle();
  EXPECT_EQ(s.Now(), 0u);
  // With Ctrl held the arrows are not these keys.
  ui::InjectKey(s.Hwnd(), VK_CONTROL, true);
  s.Key(VK_RIGHT);
  ui::InjectKey(s.Hwnd(), VK_CONTROL, false);
  s.Settle();
  EXPECT_EQ(s.Now(), 0u);

  // A seek from a stopped player starts the replay there.
  s.Command(ID_STOP);
  ASSERT_FALSE(w.IsPlaying());
  s.Key(VK_RIGHT);
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(s.Now(), 5000u);
}

// "." and "," pause a running replay and land exactly on the next or the
// previous screen picture's time.
TEST(PlayerKeys, FrameStep) {
  KeysScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  s.Settle();
  ASSERT_FALSE(w.IsPaused());
  s.Text(".");
  EXPECT_TRUE(w.IsPaused());
  EXPECT_EQ(s.Now(), 100u);
  w.SeekTo(900);
  s.Settle();
  const DWORD forward[] = {1000, 1250, 1500, 1750, 2000, 2100};
  for (DWORD expected : forward) {
    s.Text(".");
    EXPECT_EQ(s.Now(), expected);
  }
  const DWORD back[] = {2000, 1750, 1500};
  for (DWORD expected : back) {
    s.Text(",");
    EXPECT_EQ(s.Now(), expected);
  }
  // Between two pictures, back goes to the one before the picture shown.
  w.SeekTo(1600);
  s.Settle();
  s.Text(",");
  EXPECT_EQ(s.Now(), 1250u);
  // The ends stay where they are.
  s.Key(VK_END);
  s.Text(".");
  EXPECT_EQ(s.Now(), kLastPicture);
  s.Key(VK_HOME);
  s.Text(",");
  EXPECT_EQ(s.Now(), 0u);
  EXPECT_EQ(w.Keys().LastPictureTime(), kLastPicture);
}

TEST(PlayerKeys, ABLoopMarksInOrderAndBelongsToItsClip) {
  CABLoop loop;
  DWORD target = 0;
  EXPECT_EQ(loop.Mark(3000, "a"), CABLoop::State::StartSet);
  EXPECT_FALSE(loop.ShouldWrap(9000, "a", target));
  EXPECT_EQ(loop.Mark(3000, "a"), CABLoop::State::StartSet) << "B at A's own time is not taken";
  // B before A: the two are ordered.
  EXPECT_EQ(loop.Mark(1000, "a"), CABLoop::State::Looping);
  EXPECT_EQ(loop.GetStart(), 1000u);
  EXPECT_EQ(loop.GetEnd(), 3000u);
  EXPECT_FALSE(loop.ShouldWrap(2999, "a", target));
  ASSERT_TRUE(loop.ShouldWrap(3000, "a", target));
  EXPECT_EQ(target, 1000u);
  EXPECT_EQ(loop.Mark(5000, "a"), CABLoop::State::Off);
  // Another clip ends a loop, and a mark there starts a new one.
  loop.Mark(100, "a");
  loop.Mark(200, "a");
  EXPECT_FALSE(loop.ShouldWrap(300, "b", target));
  EXPECT_EQ(loop.GetState(), CABLoop::State::Off);
  loop.Mark(100, "a");
  EXPECT_EQ(loop.Mark(900, "b"), CABLoop::State::StartSet);
  EXPECT_EQ(loop.GetStart(), 900u);
}

// "l" sets A, then B, then clears; the replay goes back to A at the first
// clock tick after it reaches B, so within one tick.
TEST(PlayerKeys, ABLoop) {
  KeysScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  s.Pause();
  s.Key(VK_RIGHT);
  s.Text("l");
  EXPECT_EQ(w.Keys().Loop().GetState(), CABLoop::State::StartSet);
  EXPECT_EQ(s.Caption(), "Loop from 0:05.00");
  s.Key(VK_RIGHT);
  s.Text("l");
  ASSERT_EQ(w.Keys().Loop().GetState(), CABLoop::State::Looping);
  EXPECT_EQ(w.Keys().Loop().GetStart(), 5000u);
  EXPECT_EQ(w.Keys().Loop().GetEnd(), 10000u);
  // Paused at B, the replay stays there.
  w.ClockTick();
  EXPECT_EQ(s.Now(), 10000u);

  w.SeekTo(9950);
  s.Settle();
  s.Command(ID_PAUSE);
  ASSERT_FALSE(w.IsPaused());
  s.AdvanceTo(9990);
  w.ClockTick();
  EXPECT_GE(s.Now(), 9990u);
  // One timer period later the clock has passed B; that tick wraps.
  s.source.Advance(kClockTimerPeriod);
  ASSERT_GE(s.Now(), 10000u);
  ASSERT_LT(s.Now(), 10000u + kClockTimerPeriod);
  w.ClockTick();
  EXPECT_EQ(w.SeekBase(), 5000u);
  s.Settle();
  EXPECT_EQ(s.Now(), 5000u);
  EXPECT_FALSE(w.IsPaused());

  s.Text("l");
  EXPECT_EQ(w.Keys().Loop().GetState(), CABLoop::State::Off);
  EXPECT_EQ(s.Caption(), "Loop off");
  w.SeekTo(10500);
  s.Settle();
  w.ClockTick();
  EXPECT_EQ(s.Now(), 10500u);
}

// Print saves the view's picture, exactly as shown, as "<clip> <time>.png"
// in the pictures folder, never over an earlier file, and says where in the
// caption bar for two seconds.
TEST(PlayerKeys, Snapshot) {
  // A fresh pictures folder, so that a repeated run starts from the plain name.
  const std::string pictures = std::string(std::getenv("HOME")) + "/Pictures";
  std::filesystem::remove_all(pictures);
  ASSERT_TRUE(std::filesystem::create_directory(pictures));
  KeysScene s;
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  s.Pause();
  s.Key(VK_RIGHT);
  const std::string title = s.Caption();
  const std::string folder = snapshot::PicturesFolder();
  EXPECT_EQ(folder, pictures);

  s.Key(VK_SNAPSHOT);
  const std::string first = w.Keys().GetLastSnapshot();
  EXPECT_EQ(first, folder + "/Long clip 00-00-05.00.png");
  EXPECT_EQ(s.Caption(), "Saved to " + first);
  const os::CRgbPicture view = s.ViewPicture();
  CRect client;
  w.GetView().GetClientRect(&client);
  EXPECT_EQ(view.width, client.Width());
  EXPECT_EQ(view.height, client.Height());
  const os::CRgbPicture saved = ReadPng(first);
  EXPECT_EQ(saved.width, view.width);
  EXPECT_EQ(saved.height, view.height);
  EXPECT_TRUE(saved.pixels == view.pixels);

  // With the list of keys open: the picture without the list, into a second
  // file; the list stays open and the first file is left alone.
  s.Text("?");
  ASSERT_TRUE(w.Keys().Overlay().IsShown());
  s.Key(VK_SNAPSHOT);
  const std::string second = w.Keys().GetLastSnapshot();
  EXPECT_EQ(second, folder + "/Long clip 00-00-05.00 (2).png");
  EXPECT_TRUE(w.Keys().Overlay().IsShown());
  EXPECT_TRUE(ReadPng(second).pixels == saved.pixels);
  EXPECT_TRUE(ReadPng(first).pixels == saved.pixels);
  s.Text("?");

  // At 200 % the picture as the view shows it at that size.
  s.Command(ID_SCALE_SMART);
  s.AltKey('3');
  w.GetView().GetClientRect(&client);
  EXPECT_EQ(client.Size(), CSize(2 * kPictureWidth, 2 * kPictureHeight));
  s.Key(VK_SNAPSHOT);
  const std::string third = w.Keys().GetLastSnapshot();
  EXPECT_EQ(third, folder + "/Long clip 00-00-05.00 (3).png");
  const os::CRgbPicture large = s.ViewPicture();
  const os::CRgbPicture savedLarge = ReadPng(third);
  EXPECT_EQ(savedLarge.width, client.Width());
  EXPECT_EQ(savedLarge.height, client.Height());
  EXPECT_TRUE(savedLarge.pixels == large.pixels);

  // Two seconds of the clock's source later the title is back.
  s.source.Advance(1990);
  w.ClockTick();
  EXPECT_EQ(s.Caption(), "Saved to " + third);
  s.source.Advance(10);
  w.ClockTick();
  EXPECT_EQ(s.Caption(), title);
}

TEST(PlayerKeys, SnapshotNamesAndFiles) {
  EXPECT_EQ(snapshot::FileBaseName("/a/b/Demo.zeph", 3723450), "Demo 01-02-03.45");
  EXPECT_EQ(snapshot::FileBaseName("", 0), "Olvane 00-00-00.00");
  const std::string dir = testenv::MakeTempDir("shots");
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  EXPECT_EQ(snapshot::WriteNewFile(dir, "x", bytes), dir + "/x.png");
  EXPECT_EQ(snapshot::WriteNewFile(dir, "x", bytes), dir + "/x (2).png");
  EXPECT_EQ(snapshot::WriteNewFile(dir + "/missing", "x", bytes), "");
  EXPECT_EQ(snapshot::WriteNewFile(dir, "x", {}), "");
}

// "?" opens a translucent panel over the picture listing every key; "?" or
// Escape closes it and the picture is as before.
TEST(PlayerKeys, ShortcutOverlay) {
  KeysScene s(testenv::BinDir() + "/PlayScript.tvsf");
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  s.Pause();
  const std::vector<ShortcutRow>& rows = w.Keys().Overlay().GetRows();
  const auto listed = [&](const std::string& keys) {
    for (const ShortcutRow& r : rows)
      if (r.keys == keys) return true;
    return false;
  };
  for (const PlayerKeyBinding& b : PlayerKeyBindings()) EXPECT_TRUE(listed(b.keys)) << b.keys;
  for (const char* other : {"[ / ]", "{ / }", "Backspace", "Space", "Ctrl+P / Ctrl+S", "Ctrl+Enter"})
    EXPECT_TRUE(listed(other)) << other;

  const os::CRgbPicture before = s.ViewPicture();
  s.Text("?");
  ASSERT_TRUE(w.Keys().Overlay().IsShown());
  const os::CRgbPicture shown = s.ViewPicture();
  CRect client;
  w.GetView().GetClientRect(&client);
  const CRect panel = w.Keys().Overlay().PanelRect(client);
  ASSERT_FALSE(panel.IsRectEmpty());
  EXPECT_GT(panel.Width(), client.Width() / 2);
  // A corner of the panel (no text there) is the picture with the panel's
  // colour laid over it at the panel's opacity; outside, the picture.
  const auto at = [](const os::CRgbPicture& p, int x, int y) { return p.pixels[y * p.width + x]; };
  const auto channel = [](std::uint32_t v, int shift) { return static_cast<int>((v >> shift) & 0xFF); };
  const std::uint32_t under = at(before, panel.left + 2, panel.top + 2);
  const std::uint32_t over = at(shown, panel.left + 2, panel.top + 2);
  const COLORREF c = CShortcutOverlay::kPanelColour;
  const int a = CShortcutOverlay::kPanelAlpha;
  const int panelRgb[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  for (int i = 0; i < 3; ++i) {
    const int shift = 16 - 8 * i;
    EXPECT_NEAR(channel(over, shift), (channel(under, shift) * (255 - a) + panelRgb[i] * a) / 255, 2) << i;
  }
  ASSERT_GT(panel.left, 0) << panel.Width() << " x " << panel.Height() << " in " << client.Width();
  EXPECT_EQ(at(shown, panel.left - 1, panel.top), at(before, panel.left - 1, panel.top));
  // Escape closes it.
  s.Key(VK_ESCAPE);
  EXPECT_FALSE(w.Keys().Overlay().IsShown());
  EXPECT_TRUE(s.ViewPicture().pixels == before.pixels);
  // "?" toggles.
  s.Text("?");
  s.Text("?");
  EXPECT_FALSE(w.Keys().Overlay().IsShown());
}

// "m" mutes and "9"/"0" change the volume in 10 % steps: the samples the
// sound device takes change with them.
TEST(PlayerKeys, Mute) {
  static std::uint32_t deviceNow = 1000;
  CSoundOutput::UseManualDevice([] { return deviceNow; }, 512);
  struct Restore {
    ~Restore() { CSoundOutput::UseManualDevice(nullptr, 0); }
  } restore;
  KeysScene s(testenv::BinDir() + "/PlayScript.tvsf");
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  CSoundBuffer& sound = w.GetAudioReplay().Output();
  ASSERT_TRUE(s.WaitFor([&] { return sound.HasData() && sound.Output().IsPlaying(); }));

  // A stretch of loud samples in what the replay wrote.
  CSoundOutput& output = sound.Output();
  constexpr DWORD kBytes = 256;
  std::vector<std::int16_t> written(kBytes / 2);
  DWORD offset = 0;
  bool found = false;
  for (; !found && offset + kBytes <= output.GetBufferSize(); offset += kBytes) {
    BYTE *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_TRUE(output.Lock(offset, kBytes, &p1, &n1, &p2, &n2));
    std::memcpy(written.data(), p1, kBytes);
    output.Unlock();
    int loud = 0;
    for (std::int16_t v : written) loud += std::abs(v) > 2000;
    found = loud > 32;
  }
  ASSERT_TRUE(found);
  offset -= kBytes;
  const auto pull = [&] {
    std::vector<std::int16_t> got(kBytes / 2);
    output.SetPlayCursor(offset);
    output.Pull(reinterpret_cast<BYTE*>(got.data()), kBytes);
    return got;
  };
  EXPECT_EQ(pull(), written);

  s.Text("m");
  EXPECT_TRUE(w.Keys().IsMuted());
  EXPECT_EQ(s.Caption(), "Sound muted");
  EXPECT_EQ(pull(), std::vector<std::int16_t>(kBytes / 2, 0));
  // The volume is kept apart from the mute.
  for (int i = 0; i < 5; ++i) s.Text("9");
  EXPECT_EQ(w.Keys().GetVolume(), 50);
  EXPECT_EQ(pull(), std::vector<std::int16_t>(kBytes / 2, 0));
  s.Text("m");
  EXPECT_FALSE(w.Keys().IsMuted());
  // Half volume is a quarter of the amplitude (-12 dB).
  const std::vector<std::int16_t> half = pull();
  for (std::size_t i = 0; i < half.size(); ++i) ASSERT_NEAR(half[i], written[i] / 4, 1) << i;
  for (int i = 0; i < 8; ++i) s.Text("0");
  EXPECT_EQ(w.Keys().GetVolume(), 100);
  EXPECT_EQ(pull(), written);
  for (int i = 0; i < 12; ++i) s.Text("9");
  EXPECT_EQ(w.Keys().GetVolume(), 0);
  EXPECT_EQ(pull(), std::vector<std::int16_t>(kBytes / 2, 0));
  EXPECT_EQ(VolumeToHundredthsOfDb(10), -4000);
  EXPECT_EQ(VolumeToHundredthsOfDb(0), CSoundOutput::kVolumeMin);
}

// Alt+1/2/3 set the replay size, "f" and a double click on the picture toggle
// full screen, PgUp/PgDn go through the chapters.
TEST(PlayerKeys, ViewAndChapterKeys) {
  KeysScene s(testenv::BinDir() + "/PlayScript.tvsf");
  ASSERT_TRUE(s.started);
  CPlayerWnd& w = *s.wnd;
  const CSize picture = w.GetReplaySize();
  const auto viewSize = [&] {
    CRect r;
    w.GetView().GetClientRect(&r);
    return CSize(r.Width(), r.Height());
  };
  // (200 % of the demo does not fit the headless screen; the snapshot test
  // takes it on a smaller clip.)
  s.AltKey('1');
  EXPECT_EQ(viewSize(), CSize(picture.cx / 2, picture.cy / 2));
  s.AltKey('2');
  EXPECT_EQ(viewSize(), picture);
  // Without Alt the digits are the volume keys, not sizes.
  s.Key('1');
  EXPECT_EQ(viewSize(), picture);

  s.Text("f");
  EXPECT_TRUE(w.IsFullScreen());
  s.Text("F");
  EXPECT_FALSE(w.IsFullScreen());
  ui::InjectMouseButton(w.GetView().GetSafeHwnd(), CPoint(20, 20), VK_LBUTTON, true, 2);
  ui::InjectMouseButton(w.GetView().GetSafeHwnd(), CPoint(20, 20), VK_LBUTTON, false, 2);
  ASSERT_TRUE(s.WaitFor([&] { return w.IsFullScreen() != 0; }));
  s.Key(VK_ESCAPE);  // the list is closed: Escape is not taken
  EXPECT_TRUE(w.IsFullScreen());
  s.Text("f");
  EXPECT_FALSE(w.IsFullScreen());

  const std::vector<int> chapters = w.Chapters();
  ASSERT_GE(chapters.size(), 2u);
  s.Key(VK_NEXT);
  const DWORD first = s.Now();
  EXPECT_GT(first, 0u);
  s.Key(VK_NEXT);
  EXPECT_GT(s.Now(), first);
}
