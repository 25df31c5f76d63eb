#include "olvane/PlayerKeys.h"

#include <algorithm>
#include <cmath>

#include "olvane/PlayerWnd.h"
#include "olvane/Snapshot.h"
#include "platform/base/Strings.h"
#include "platform/sound/SoundOutput.h"
#include "sintra/widgets/CaptionBar.h"

using namespace player;

namespace {

using B = PlayerKeyBinding;

// Left column: the replay; right column: view, sound and the player.
const std::vector<PlayerKeyBinding> kBindings = {
    {B::kKey, VK_LEFT, PlayerKey::SeekBack, true, "Left / Right", "seek 5 s back / forward", 0},
    {B::kKey, VK_RIGHT, PlayerKey::SeekForward, true, "Left / Right", "seek 5 s back / forward", 0},
    {B::kKey, VK_UP, PlayerKey::SeekForwardLong, true, "Up / Down", "seek 60 s forward / back", 0},
    {B::kKey, VK_DOWN, PlayerKey::SeekBackLong, true, "Up / Down", "seek 60 s forward / back", 0},
    {B::kKey, VK_HOME, PlayerKey::ToStart, false, "Home / End", "start / last picture", 0},
    {B::kKey, VK_END, PlayerKey::ToLastPicture, false, "Home / End", "start / last picture", 0},
    {B::kCharacter, ',', PlayerKey::PictureBack, true, ", / .", "one picture back / forward", 0},
    {B::kCharacter, '.', PlayerKey::PictureForward, true, ", / .", "one picture back / forward", 0},
    {B::kKey, VK_PRIOR, PlayerKey::PreviousChapter, false, "PgUp / PgDn", "previous / next chapter", 0},
    {B::kKey, VK_NEXT, PlayerKey::NextChapter, false, "PgUp / PgDn", "previous / next chapter", 0},
    {B::kCharacter, '[', PlayerKey::SpeedDown, true, "[ / ]", "speed -/+ 10 %", 0},
    {B::kCharacter, ']', PlayerKey::SpeedUp, true, "[ / ]", "speed -/+ 10 %", 0},
    {B::kCharacter, '{', PlayerKey::SpeedHalve, false, "{ / }", "halve / double speed", 0},
    {B::kCharacter, '}', PlayerKey::SpeedDouble, false, "{ / }", "halve / double speed", 0},
    {B::kKey, VK_BACK, PlayerKey::SpeedNormal, false, "Backspace", "normal speed", 0},
    {B::kCharacter, 'l', PlayerKey::ABLoop, false, "l", "A-B loop: A, B, off", 0},
    {B::kCharacter, 'm', PlayerKey::Mute, false, "m", "mute", 1},
    {B::kCharacter, '9', PlayerKey::VolumeDown, true, "9 / 0", "volume down / up 10 %", 1},
    {B::kCharacter, '0', PlayerKey::VolumeUp, true, "9 / 0", "volume down / up 10 %", 1},
    {B::kCharacter, 'f', PlayerKey::FullScreen, false, "f, double click", "full screen", 1},
    {B::kAltKey, '1', PlayerKey::Size50, false, "Alt+1 / 2 / 3", "size 50 / 100 / 200 %", 1},
    {B::kAltKey, '2', PlayerKey::Size100, false, "Alt+1 / 2 / 3", "size 50 / 100 / 200 %", 1},
    {B::kAltKey, '3', PlayerKey::Size200, false, "Alt+1 / 2 / 3", "size 50 / 100 / 200 %", 1},
    {B::kKey, VK_SNAPSHOT, PlayerKey::Snapshot, false, "Print", "save the picture (PNG)", 1},
    {B::kCharacter, '?', PlayerKey::Shortcuts, false, "? / Escape", "this list", 1},
    {B::kKey, VK_ESCAPE, PlayerKey::CloseShortcuts, false, "? / Escape", "this list", 1},
};

// The player's own keys, listed but not handled here.
const ShortcutRow kOtherRows[] = {
    {"Space", "pause (on release)", 1},
    {"Ctrl+P / Ctrl+S", "play / stop (on release)", 1},
    {"Ctrl+Enter", "full screen (on release)", 1},
    {"Right click", "the menu", 1},
};

bool KeyIsDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

std::string TimeText(DWORD ms) {
  const DWORD cs = ms / 10;
  return str::Format("%u:%02u.%02u", static_cast<unsigned>(cs / 6000), static_cast<unsigned>(cs / 100 % 60),
                     static_cast<unsigned>(cs % 100));
}

}  // namespace

const std::vector<PlayerKeyBinding>& PlayerKeyBindings() { return kBindings; }

const PlayerKeyBinding* FindPlayerKey(UINT message, UINT code, bool ctrl, bool alt) {
  B::Input input;
  if (message == WM_KEYDOWN && !ctrl && !alt) {
    input = B::kKey;
  } else if (message == WM_SYSKEYDOWN && alt && !ctrl) {
    input = B::kAltKey;
  } else if (message == WM_CHAR && !ctrl && !alt) {
    input = B::kCharacter;
    if (code >= 'A' && code <= 'Z') code += 'a' - 'A';  // Caps Lock
  } else {
    return nullptr;
  }
  for (const PlayerKeyBinding& b : kBindings)
    if (b.input == input && b.code == code) return &b;
  return nullptr;
}

std::vector<ShortcutRow> PlayerShortcutRows() {
  std::vector<ShortcutRow> rows;
  for (const PlayerKeyBinding& b : kBindings) {
    const bool listed = std::any_of(rows.begin(), rows.end(), [&](const ShortcutRow& r) { return r.keys == b.keys; });
    if (!listed) rows.push_back({b.keys, b.meaning, b.column});
  }
  rows.insert(rows.end(), std::begin(kOtherRows), std::end(kOtherRows));
  return rows;
}

int VolumeToHundredthsOfDb(int percent) {
  if (percent <= 0) return CSoundOutput::kVolumeMin;
  if (percent >= 100) return CSoundOutput::kVolumeFull;
  const int db = static_cast<int>(std::lround(4000.0 * std::log10(percent / 100.0)));
  return std::max(db, CSoundOutput::kVolumeMin + 1);
}

CPlayerKeys::CPlayerKeys(CPlayerWnd& player) : m_player(player) { m_overlay.SetRows(PlayerShortcutRows()); }

CPlayerKeys::~CPlayerKeys() = default;

bool CPlayerKeys::OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto code = static_cast<UINT>(wParam);
  if (message == WM_KEYUP || message == WM_SYSKEYUP) {
    m_keyHeld = false;
    return false;
  }
  if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN && message != WM_CHAR) return false;
  // A key press that repeats a held key carries its previous state (bit 30);
  // the text it types follows it, so a character repeats with its key.
  if (message != WM_CHAR) m_keyHeld = (static_cast<std::uintptr_t>(lParam) & (1u << 30)) != 0;
  const PlayerKeyBinding* binding = FindPlayerKey(message, code, KeyIsDown(VK_CONTROL), KeyIsDown(VK_MENU));
  if (!binding) return false;
  // Escape is only ours while the list is open.
  if (binding->action == PlayerKey::CloseShortcuts && !m_overlay.IsShown()) return false;
  if (m_keyHeld && !binding->repeats) return true;
  Perform(binding->action);
  return true;
}

void CPlayerKeys::Perform(PlayerKey action) {
  switch (action) {
    case PlayerKey::SeekBack:
      SeekBy(-static_cast<long long>(kSeekShortMs));
      break;
    case PlayerKey::SeekForward:
      SeekBy(kSeekShortMs);
      break;
    case PlayerKey::SeekBackLong:
      SeekBy(-static_cast<long long>(kSeekLongMs));
      break;
    case PlayerKey::SeekForwardLong:
      SeekBy(kSeekLongMs);
      break;
    case PlayerKey::ToStart:
      m_player.SeekTo(0);
      break;
    case PlayerKey::ToLastPicture:
      m_player.SeekTo(LastPictureTime());
      break;
    case PlayerKey::PictureBack:
      StepPicture(false);
      break;
    case PlayerKey::PictureForward:
      StepPicture(true);
      break;
    case PlayerKey::PreviousChapter:
      m_player.PreviousChapter();
      break;
    case PlayerKey::NextChapter:
      m_player.NextChapter();
      break;
    case PlayerKey::ABLoop:
      MarkLoop();
      break;
    case PlayerKey::Mute:
      ToggleMute();
      break;
    case PlayerKey::VolumeDown:
      ChangeVolume(-kVolumeStep);
      break;
    case PlayerKey::VolumeUp:
      ChangeVolume(kVolumeStep);
      break;
    case PlayerKey::FullScreen:
      m_player.ToggleFullScreen();
      break;
    case PlayerKey::Size50:
      m_player.ReplaySize(ID_SIZE50);
      break;
    case PlayerKey::Size100:
      m_player.ReplaySize(ID_SIZE100);
      break;
    case PlayerKey::Size200:
      m_player.ReplaySize(ID_SIZE200);
      break;
    case PlayerKey::Snapshot:
      TakeSnapshot();
      break;
    case PlayerKey::Shortcuts:
      ShowOverlay(!m_overlay.IsShown());
      break;
    case PlayerKey::CloseShortcuts:
      ShowOverlay(false);
      break;
    case PlayerKey::SpeedDown:
    case PlayerKey::SpeedUp:
      m_player.StepTempo(action == PlayerKey::SpeedUp ? 1 : -1);
      break;
    case PlayerKey::SpeedHalve:
    case PlayerKey::SpeedDouble:
      m_player.ScaleTempo(action == PlayerKey::SpeedDouble);
      break;
    case PlayerKey::SpeedNormal:
      m_player.ResetTempo();
      break;
  }
}

// --- Seeking and stepping -----------------------------------------------------

void CPlayerKeys::SeekBy(long long deltaMs) {
  if (!m_player.IsClipLoaded()) return;
  const long long target = static_cast<long long>(m_player.SeekBase()) + deltaMs;
  const long long last = LastPictureTime();
  m_player.SeekTo(static_cast<DWORD>(std::clamp<long long>(target, 0, last)));
}

CScreenTimes& CPlayerKeys::ScreenTimes() {
  // Listed once per clip, on the first step or End in it.
  const std::string clip = m_player.IsClipLoaded() ? m_player.GetClipPath() : std::string();
  if (clip != m_screenTimesClip) {
    m_screenTimesClip = clip;
    m_screenTimes.Clear();
    CCaptureFileReader* reader = m_player.GetCaptureFileReader();
    if (!clip.empty() && reader->IsOpen()) m_screenTimes.Scan(reader->GetFileName(), reader->GetDataStart());
  }
  return m_screenTimes;
}

DWORD CPlayerKeys::LastPictureTime() {
  const CScreenTimes& times = ScreenTimes();
  // A clip without screen pictures ends where its data ends.
  return times.IsEmpty() ? m_player.GetClipDuration() : std::min(times.Last(), m_player.GetClipDuration());
}

DWORD CPlayerKeys::NextPictureTime(DWORD time) { return ScreenTimes().Next(time); }

DWORD CPlayerKeys::PreviousPictureTime(DWORD time) { return ScreenTimes().Previous(time); }

void CPlayerKeys::StepPicture(bool forward) {
  if (!m_player.IsClipLoaded()) return;
  // Stepping is for a still picture: a running replay pauses first.
  if (!m_player.IsPaused()) m_player.TogglePause();
  const DWORD now = m_player.SeekBase();
  const DWORD target = forward ? NextPictureTime(now) : PreviousPictureTime(now);
  if (target != now) m_player.SeekTo(target);
}

// --- A-B loop -------------------------------------------------------------------

void CPlayerKeys::MarkLoop() {
  if (!m_player.IsClipLoaded()) return;
  const DWORD now = m_player.SeekBase();
  switch (m_loop.Mark(now, m_player.GetClipPath())) {
    case CABLoop::State::StartSet:
      Notify("Loop from " + TimeText(m_loop.GetStart()));
      break;
    case CABLoop::State::Looping:
      Notify("Loop " + TimeText(m_loop.GetStart()) + " - " + TimeText(m_loop.GetEnd()));
      break;
    case CABLoop::State::Off:
      Notify("Loop off");
      break;
  }
}

void CPlayerKeys::Tick() {
  m_notice.Tick(SourceNow());
  if (m_loop.GetState() == CABLoop::State::Off) return;
  const std::string clip = m_player.IsClipLoaded() ? m_player.GetClipPath() : std::string();
  DWORD target = 0;
  // Only a running replay wraps: a paused one past B stays where it is.
  if (!m_player.IsPlaying() || m_player.IsPaused()) {
    if (clip.empty()) m_loop.Clear();
    return;
  }
  if (m_loop.ShouldWrap(m_player.SeekBase(), clip, target)) m_player.SeekTo(target);
}

// --- Sound ------------------------------------------------------------------------

void CPlayerKeys::ApplyVolume() {
  CSoundBuffer& output = m_player.GetAudioReplay().Output();
  output.SetVolume(VolumeToHundredthsOfDb(m_volume));
  output.SetMute(m_muted ? TRUE : FALSE);
}

void CPlayerKeys::ChangeVolume(int delta) {
  m_volume = std::clamp(m_volume + delta, 0, 100);
  ApplyVolume();
  Notify(str::Format("Volume %d %%%s", m_volume, m_muted ? " (muted)" : ""));
}

void CPlayerKeys::ToggleMute() {
  m_muted = !m_muted;
  ApplyVolume();
  Notify(m_muted ? "Sound muted" : str::Format("Sound on, volume %d %%", m_volume));
}

// --- Snapshot, list of keys, caption --------------------------------------------

void CPlayerKeys::TakeSnapshot() {
  CPlayerView& view = m_player.GetView();
  if (!view.GetSafeHwnd() || !m_player.IsClipLoaded()) return;
  // The picture as shown, without the list of keys over it.
  const bool listShown = m_overlay.IsShown();
  if (listShown) ShowOverlay(false);
  const std::string folder = snapshot::PicturesFolder();
  m_lastSnapshot =
      snapshot::SaveView(&view, folder, snapshot::FileBaseName(m_player.GetClipPath(), m_player.GetClock().Now()));
  if (listShown) ShowOverlay(true);
  Notify(m_lastSnapshot.empty() ? "Could not save the picture in " + folder : "Saved to " + m_lastSnapshot);
}

void CPlayerKeys::ShowOverlay(bool show) {
  m_overlay.SetShown(show);
  CPlayerView& view = m_player.GetView();
  if (view.GetSafeHwnd()) view.Invalidate(FALSE);
}

void CPlayerKeys::PaintOverlay(CDC& dc, const CRect& client) { m_overlay.Paint(dc, client); }

void CPlayerKeys::Notify(const std::string& text) { m_notice.Show(m_player.GetCaptionBar(), text, SourceNow()); }

DWORD CPlayerKeys::SourceNow() { return m_player.GetClock().GetSourceTime(); }
